#include "app/ScreenFrame.h"
#include "screens/ScreenButton.h"
#include "tests/screens/WindowTour.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace plw;

namespace {

// A 1366 x 768 display with a task bar leaves 1366 x 720 for a window and its frame. A window
// manager's frame is a title bar and thin borders around what Qt lays out; the offscreen
// platform's frame is thinner, so the size is checked with a usual frame, the place with the
// platform's.
const QRect Usable(0, 0, 1366, 720);
const QMargins Frame(4, 30, 4, 4);

// The windows that the wide-screen rule places.
bool Placed(const QString& name) {
    for (const char* placed :
         {"FRM_PLWAN40", "FRM_DMSentk1", "FRM_TEMPLATE", "FRM_TBLBRSM", "Frm_TYuHelp1"})
        if (name.startsWith(QLatin1String(placed)))
            return true;
    return false;
}

// The window lies within the usable area with its frame, at a size that cuts none of its
// contents off; the program's own windows press a focused button with Enter.
void ExpectFits(const QString& name, QWidget& window) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1366, 768));
    const bool popup = window.windowType() == Qt::Popup;
    const QSize size = popup ? window.size() : window.size().grownBy(Frame);
    EXPECT_TRUE(size.width() <= Usable.width() && size.height() <= Usable.height())
        << name.toStdString() << ": " << size.width() << "x" << size.height();
    const QRect placed = window.frameGeometry();
    EXPECT_TRUE(Usable.contains(placed))
        << name.toStdString() << ": " << placed.x() << "," << placed.y() << " " << placed.width()
        << "x" << placed.height();
    const QSize needed = window.minimumSizeHint();
    EXPECT_GE(window.width(), needed.width()) << name.toStdString();
    EXPECT_GE(window.height(), needed.height()) << name.toStdString();
    if (qobject_cast<QMessageBox*>(&window) || qobject_cast<QFileDialog*>(&window) || popup)
        return;
    for (QPushButton* button : window.findChildren<QPushButton*>())
        EXPECT_TRUE(dynamic_cast<ScreenButton*>(button))
            << name.toStdString() << ": " << button->objectName().toStdString();
}

// Where the wide-screen rule puts a window of the width on displays of the common sizes (a
// task bar below): nowhere else for another side or a display up to 1280 pixels, else in the
// chosen half when the whole window fits there, else as near to it as the display allows.
void ExpectPlacedOnTheDisplay(const QString& name, int frameWidth) {
    for (int width : {1280, 1366, 1920, 2560}) {
        const QRect display(0, 0, width, 1080);
        const QRect available(0, 0, width, 1032);
        for (const char* side : {"MIGI", "HIDA", "", "hida"}) {
            SCOPED_TRACE(name.toStdString() + " " + std::to_string(width) + " " + side);
            const std::optional<int> left =
                PlacedFrameLeft(display, available, frameWidth, QLatin1String(side));
            const bool rule =
                width > 1280 && (side == std::string("MIGI") || side == std::string("HIDA"));
            ASSERT_EQ(left.has_value(), rule);
            if (!rule)
                continue;
            EXPECT_GE(*left, 0);
            EXPECT_LE(*left + frameWidth, width);
            const double half = width / 2.0;
            const int centred = int(
                std::lround((half - frameWidth) / 2 + (side == std::string("MIGI") ? half : 0)));
            if (centred >= 0 && centred + frameWidth <= width)
                EXPECT_EQ(*left, centred);
            else
                EXPECT_EQ(*left, centred < 0 ? 0 : width - frameWidth);
        }
    }
}

class WindowFit : public ::testing::TestWithParam<const char*> {};

} // namespace

// Every window through the program's own flow, on an installation that centres its windows
// (no ScreenSide) and on one that puts them into the right half ("MIGI").
TEST_P(WindowFit, EveryWindowOfTheProgramFitsALaptopDisplay) {
    test::TourProgram tour{QLatin1String(GetParam())};
    ASSERT_TRUE(tour.start());
    std::map<QString, int> placedWidths;
    QList<int> conditionWidths;
    test::TakeTour(
        test::ProgramWindows(tour.program()), [](QWidget&) { return true; },
        [&](const QString& name, QWidget& window) {
            SCOPED_TRACE(name.toStdString());
            ExpectFits(name, window);
            test::ExpectColumnListsInOneFont(window);
            if (Placed(name))
                placedWidths[name] = window.size().grownBy(Frame).width();
            if (name.startsWith(QLatin1String("FRM_DMSentk1")))
                conditionWidths << window.width();
            if (name.endsWith(QStringLiteral("F4キーの案内"))) {
                EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("picHelp2"))->isVisible());
            }
        });
    EXPECT_GE(placedWidths.size(), 8u);
    // The condition screen keeps its width on every tab, with its hint and under a message.
    ASSERT_EQ(conditionWidths.size(), 9);
    for (int width : conditionWidths)
        EXPECT_EQ(width, conditionWidths.front());
    for (const auto& [name, width] : placedWidths)
        ExpectPlacedOnTheDisplay(name, width);
}

INSTANTIATE_TEST_SUITE_P(ScreenSides, WindowFit, ::testing::Values("", "MIGI"));
