#include "screens/FRM_PLWAN401.h"
#include "screens/Sub_HDCOPY.h"
#include "tests/screens/WindowTour.h"
#include "tests/x11/XServer.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

using namespace plw;

namespace {

// A window the window manager has framed (or a popup it does not frame), shown where it stays.
class FramedAndSettled {
public:
    bool operator()(QWidget& window) {
        const std::optional<test::FramedWindow> now = test::ReadFramedWindow(window.winId());
        if (!now || !now->Viewable || (!now->Frame && window.windowType() != Qt::Popup))
            return false;
        const QRect seen = now->Frame.value_or(now->Inner);
        const bool settled = mLast.count(window.winId()) && mLast[window.winId()] == seen;
        mLast[window.winId()] = seen;
        return settled;
    }

private:
    std::map<WId, QRect> mLast;
};

QRect FrameOf(QWidget& window) {
    const std::optional<test::FramedWindow> framed = test::ReadFramedWindow(window.winId());
    return framed ? framed->Frame.value_or(framed->Inner) : QRect();
}

class WindowFrames : public ::testing::TestWithParam<const char*> {};

} // namespace

// Every window of the program, opened through its own flow, lies with the frame the window
// manager drew around it on a 1366 x 768 display above a task bar; the condition screen keeps
// one width whatever it shows. Without a side and with "MIGI" in the system description.
TEST_P(WindowFrames, EveryWindowWithItsFrameFitsALaptopDisplay) {
    const QRect usable = test::WorkArea();
    ASSERT_EQ(usable, QRect(0, 0, 1366, 720));
    test::TourProgram tour{QLatin1String(GetParam())};
    ASSERT_TRUE(tour.start());
    QList<int> conditionWidths;
    int visited = 0;
    test::TakeTour(test::ProgramWindows(tour.program()), FramedAndSettled(),
                   [&](const QString& name, QWidget& window) {
                       ++visited;
                       test::ExpectColumnListsInOneFont(window);
                       const QRect frame = FrameOf(window);
                       EXPECT_TRUE(usable.contains(frame))
                           << name.toStdString() << ": " << frame.x() << "," << frame.y() << " "
                           << frame.width() << "x" << frame.height();
                       if (name.startsWith(QLatin1String("FRM_DMSentk1")))
                           conditionWidths << frame.width();
                   });
    EXPECT_EQ(visited, int(test::ProgramWindows(tour.program()).size()));
    for (int width : conditionWidths)
        EXPECT_EQ(width, conditionWidths.front());
}

INSTANTIATE_TEST_SUITE_P(ScreenSides, WindowFrames, ::testing::Values("", "MIGI"));

// The hard copy of a screen is the window as the operator sees it: with the window manager's
// frame and title.
TEST(WindowFrames, TheHardCopyTakesTheFrameWithTheTitle) {
    test::TourProgram tour;
    ASSERT_TRUE(tour.start());
    QWidget& screen = tour.program().parameterScreen();
    FramedAndSettled ready;
    for (int i = 0; i < 500 && !ready(screen); ++i)
        QTest::qWait(20);
    const QRect frame = FrameOf(screen);
    ASSERT_GT(frame.height(), screen.height());
    const QImage picture = CaptureWindow(&screen);
    EXPECT_EQ(picture.size(), frame.size());
}
