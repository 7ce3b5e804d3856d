#include "screens/ScreenRoutines.h"

#include <QLayout>

#include <algorithm>

#include "app/Environment.h"
#include "app/ScreenFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace plw {

namespace {

QScreen* displayOf(QWidget* form) {
    QScreen* screen = form->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

void SetScreenTitle(QWidget* form, const QString& designedCaption, const Environment& environment) {
    form->setWindowTitle(ScreenTitleText(designedCaption, ReadDeviceType(environment)));
}

void CentreScreen(QWidget* form) {
    QScreen* screen = displayOf(form);
    if (!screen)
        return;
    const QRect display = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(display.x() + std::max(0, (display.width() - size.width()) / 2),
               display.y() + std::max(0, (display.height() - size.height()) / 2));
}

void CompactLayout(QLayout* layout) {
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
}

void PlaceScreen(QWidget* form, const Environment& environment) {
    QScreen* screen = displayOf(form);
    if (!screen)
        return;
    const QRect display = screen->geometry();
    const std::optional<double> left = PlacedLeftTwips(
        double(display.width()) * TwipsPerPixel,
        double(form->frameGeometry().width()) * TwipsPerPixel, environment.ScreenSide);
    if (left)
        form->move(display.x() + int(std::lround(*left / TwipsPerPixel)), form->y());
}

void KeepOnTop(QWidget* form) {
    const QRect geometry = form->geometry();
    form->setAttribute(Qt::WA_ShowWithoutActivating, true);
    form->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    form->setGeometry(geometry);
    form->show();
}

} // namespace plw
