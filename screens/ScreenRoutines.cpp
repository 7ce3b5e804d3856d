#include "screens/ScreenRoutines.h"

#include "app/Environment.h"
#include "app/ScreenFrame.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace plw {

namespace {

// The frame most window managers draw: a title bar and thin borders.
constexpr QMargins UsualFrame(4, 30, 4, 4);

QScreen* displayOf(QWidget* form) {
    QScreen* screen = form->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

QMargins ownFrame(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

// Moves the window so that its frame's top left corner is at the point. The window's own
// position is set, which means the same before and after the window manager framed it.
void moveFrameTo(QWidget* form, const QPoint& frameTopLeft, const QMargins& frame) {
    form->setGeometry(
        QRect(frameTopLeft + QPoint(frame.left(), frame.top()), form->geometry().size()));
}

} // namespace

void SetScreenTitle(QWidget* form, const QString& designedCaption, const Environment& environment) {
    form->setWindowTitle(ScreenTitleText(designedCaption, ReadDeviceType(environment)));
}

QMargins FrameMargins(const QWidget* form) {
    const QMargins own = ownFrame(form);
    if (!own.isNull())
        return own;
    // Until the window manager has framed the window, the frame of another one tells.
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window == form || !window->isVisible() ||
            window->windowFlags().testFlag(Qt::FramelessWindowHint) ||
            (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog))
            continue;
        const QMargins other = ownFrame(window);
        if (!other.isNull())
            return other;
    }
    return UsualFrame;
}

void CentreScreen(QWidget* form) {
    QScreen* screen = displayOf(form);
    if (!screen)
        return;
    const QRect display = screen->availableGeometry();
    const QMargins frame = FrameMargins(form);
    const QSize size = form->geometry().size().grownBy(frame);
    moveFrameTo(form,
                QPoint(display.x() + std::max(0, (display.width() - size.width()) / 2),
                       display.y() + std::max(0, (display.height() - size.height()) / 2)),
                frame);
}

void CompactLayout(QLayout* layout) {
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
}

void PlaceScreen(QWidget* form, const Environment& environment) {
    QScreen* screen = displayOf(form);
    if (!screen)
        return;
    const QMargins frame = FrameMargins(form);
    const QRect framed = form->geometry().marginsAdded(frame);
    const std::optional<int> left = PlacedFrameLeft(screen->geometry(), screen->availableGeometry(),
                                                    framed.width(), environment.ScreenSide);
    if (left)
        moveFrameTo(form, QPoint(*left, framed.top()), frame);
}

QFont ColumnListFont() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(QApplication::font().pointSizeF());
    return font;
}

void KeepOnTop(QWidget* form) {
    const QRect geometry = form->geometry();
    form->setAttribute(Qt::WA_ShowWithoutActivating, true);
    form->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    form->setGeometry(geometry);
    form->show();
}

} // namespace plw
