#include "screens/Frm_TYuHelp1.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace plw;

namespace {

int HelpWindows() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String("Frm_TYuHelp1") ? 1 : 0;
    return count;
}

TEST(HelpWindow, TwoClicksShowOneWindowWhichCloseHidesAndTheNextClickShowsAgain) {
    Environment environment;
    std::unique_ptr<Frm_TYuHelp1> window;
    ShowHelpWindow(window, environment);
    ASSERT_TRUE(window);
    Frm_TYuHelp1* first = window.get();
    ShowHelpWindow(window, environment);
    EXPECT_EQ(window.get(), first);
    EXPECT_EQ(HelpWindows(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("抽出条件の説明"));

    window->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(window->isVisible());
    ShowHelpWindow(window, environment);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(HelpWindows(), 1);

    // Esc on the focused button closes it as well.
    QTest::keyClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST(HelpWindow, ThePictureFillsTheWindowAboveTheButtonStripAndFitsTheDisplay) {
    Environment environment;
    Frm_TYuHelp1 window(environment);
    // The picture drawn at build time is in the program.
    QWidget* picture = window.findChild<QWidget*>(QStringLiteral("Help1"));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(QImage(QStringLiteral(":/help/ConditionHelp.png")).isNull());
    EXPECT_LE(window.width(), 1366);
    EXPECT_LE(window.height(), 690);

    window.show();
    window.resize(600, 400);
    const QRect place = window.pictureRect();
    EXPECT_EQ(picture->geometry(), place);
    EXPECT_EQ(place.width(), 600);
    EXPECT_GT(place.height(), 340);
    EXPECT_LT(place.height(), 400);
    auto* close = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    EXPECT_GE(close->geometry().top(), place.bottom());
    window.resize(600, window.minimumHeight());
    EXPECT_GE(window.pictureRect().height(), 0);
}

} // namespace
