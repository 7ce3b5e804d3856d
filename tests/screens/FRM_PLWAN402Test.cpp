#include "screens/FRM_PLWAN402.h"
#include "settings/ParameterScreenState.h"
#include "settings/SampleParameters.h"
#include "tests/support/ScriptedPrompter.h"

#include <QAbstractButton>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace plw;
using Arrangement = GroupMatrixWidget::Arrangement;

namespace {

Environment environment() {
    Environment e;
    e.PrinterDestination = QStringLiteral("SCR");
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return e;
}

QString letterOf(const GroupMatrix& matrix, const char16_t* code) {
    return matrix[CellIndex(QString::fromUtf16(code)) - 1];
}

// The viewpoint screen opened on the sample matrix with group C selected, recording how it went
// back.
struct ViewpointScreen {
    ViewpointScreen() : screen(environment(), prompter, state) {
        state.GroupMatrix = SampleGroupMatrix();
        state.PaintGroup = 3;
        screen.setReturnHandler([this](bool copied) { returned = copied; });
        screen.open();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&screen));
    }

    GroupMatrixWidget& view(Arrangement arrangement) { return *screen.view(arrangement); }
    void click(Arrangement arrangement, const char16_t* code) {
        GroupMatrixWidget& v = view(arrangement);
        QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier,
                          v.cellRect(QString::fromUtf16(code)).center());
    }
    // The letter of a code in each of the three views.
    std::array<QString, 3> letters(const char16_t* code) {
        const QString c = QString::fromUtf16(code);
        return {view(Arrangement::R).group(c), view(Arrangement::F).group(c),
                view(Arrangement::M).group(c)};
    }

    test::ScriptedPrompter prompter;
    ParameterScreenState state;
    FRM_PLWAN402 screen;
    std::optional<bool> returned;
};

std::array<QString, 3> all(const char16_t* letter) {
    const QString l = QString::fromUtf16(letter);
    return {l, l, l};
}

} // namespace

TEST(FRM_PLWAN402, OpeningShowsTheMatrixInAllThreeViewsAndTheSelectedOption) {
    ViewpointScreen s;
    EXPECT_TRUE(s.screen.isVisible());
    for (Arrangement a : {Arrangement::R, Arrangement::F, Arrangement::M})
        EXPECT_EQ(s.view(a).groupMatrix(), s.state.GroupMatrix);
    // The F view's first cell is F5 M5 R5, its 7th F5 M4 R4: the code's letter, not cell 7's.
    EXPECT_EQ(s.view(Arrangement::F).codeAt(7), QStringLiteral("454"));
    EXPECT_EQ(s.view(Arrangement::F).group(QStringLiteral("454")),
              letterOf(s.state.GroupMatrix, u"454"));
    EXPECT_EQ(s.screen.paintGroup(), 3);
    EXPECT_TRUE(s.screen.groupOption(3)->isChecked());
    EXPECT_EQ(s.screen.groupOption(3)->objectName(), QStringLiteral("lblGrp_C"));
}

TEST(FRM_PLWAN402, PaintingInTheFViewShowsInTheOthersAndReachesTheStateWithF12) {
    ViewpointScreen s;
    ASSERT_EQ(letterOf(s.state.GroupMatrix, u"534"), QStringLiteral("A"));
    QTest::mouseClick(s.screen.groupOption(5), Qt::LeftButton);
    EXPECT_EQ(s.screen.paintGroup(), 5);
    EXPECT_FALSE(s.screen.groupOption(3)->isChecked());

    s.click(Arrangement::F, u"534");
    EXPECT_EQ(s.letters(u"534"), all(u"E"));
    // Only that code changed.
    GroupMatrix expected = SampleGroupMatrix();
    expected[CellIndex(QStringLiteral("534")) - 1] = QStringLiteral("E");
    EXPECT_EQ(s.view(Arrangement::R).groupMatrix(), expected);
    EXPECT_EQ(s.view(Arrangement::M).groupMatrix(), expected);
    EXPECT_EQ(s.state.GroupMatrix, SampleGroupMatrix()); // a copy until F12

    QTest::keyClick(&s.screen, Qt::Key_F12);
    EXPECT_EQ(s.returned, std::optional<bool>(true));
    EXPECT_FALSE(s.screen.isVisible());
    EXPECT_EQ(s.state.GroupMatrix, expected);
    EXPECT_EQ(s.state.PaintGroup, 5);
}

TEST(FRM_PLWAN402, ShiftTracingInTheMViewAndClicksInTheRViewKeepTheViewsInStep) {
    ViewpointScreen s;
    QTest::mouseClick(s.screen.groupOption(6), Qt::LeftButton);
    // M view, block M1, row R5: codes 551 .. 511 along the row.
    GroupMatrixWidget& m = s.view(Arrangement::M);
    const QPoint from = m.cellRect(QStringLiteral("551")).center();
    const QPoint to = m.cellRect(QStringLiteral("521")).center();
    QTest::mousePress(&m, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseEvent(QTest::MouseMove, &m, Qt::NoButton, Qt::ShiftModifier, to);
    QTest::mouseRelease(&m, Qt::LeftButton, Qt::ShiftModifier, to);
    for (const char16_t* code : {u"551", u"541", u"531", u"521"})
        EXPECT_EQ(s.letters(code), all(u"X")) << QString::fromUtf16(code).toStdString();
    EXPECT_EQ(s.letters(u"511"), all(u"D"));

    // Opened without a selected option, a click paints "no group".
    s.screen.close();
    s.state.PaintGroup = 0;
    s.screen.open();
    for (int option = 1; option <= 6; ++option)
        EXPECT_FALSE(s.screen.groupOption(option)->isChecked());
    s.click(Arrangement::R, u"555");
    EXPECT_EQ(s.letters(u"555"), all(u""));
}

TEST(FRM_PLWAN402, CloseBoxReturnsWithoutCopying) {
    ViewpointScreen s;
    QTest::mouseClick(s.screen.groupOption(5), Qt::LeftButton);
    s.click(Arrangement::F, u"534");
    s.click(Arrangement::M, u"111");
    s.screen.close();

    EXPECT_EQ(s.returned, std::optional<bool>(false));
    EXPECT_FALSE(s.screen.isVisible());
    EXPECT_EQ(s.state.GroupMatrix, SampleGroupMatrix());
    EXPECT_EQ(s.state.PaintGroup, 3);

    // Opened again, the views show the state, not the painting that was dropped.
    s.screen.open();
    EXPECT_EQ(s.letters(u"534"), all(u"A"));
    EXPECT_EQ(s.screen.paintGroup(), 3);
}
