#include "screens/FRM_PLWAN404.h"
#include "screens/TextField.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/ScriptedPrompter.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace plw;

namespace {

Environment environment() {
    Environment e;
    e.PrinterDestination = QStringLiteral("SCR");
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return e;
}

std::array<QString, 5> texts(std::initializer_list<const char16_t*> fiveToOne) {
    std::array<QString, 5> values;
    int i = 4;
    for (const char16_t* text : fiveToOne)
        values[i--] = QString::fromUtf16(text);
    return values;
}

// The threshold screen opened on a parameter screen state, recording how it went back.
struct ThresholdScreen {
    ThresholdScreen() : screen(environment(), prompter, state) {
        state.RThreshold = texts({u"15", u"30", u"60", u"90", u"90"});
        state.FThreshold = texts({u"50", u"30", u"10", u"2", u"2"});
        state.MThreshold = texts({u"100", u"50", u"20", u"10", u"10"});
        screen.setReturnHandler([this](bool copied) { returned = copied; });
        screen.open();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&screen));
    }

    // Fields 5 down to 1 of a dimension.
    std::array<QString, 5> fields(char dimension) const {
        std::array<QString, 5> values;
        for (int i = 1; i <= 5; ++i)
            values[5 - i] = screen.thresholdField(dimension, i)->text();
        return values;
    }
    void press(const QString& button, int times = 1) {
        auto* push = screen.findChild<QPushButton*>(button);
        ASSERT_NE(push, nullptr) << button.toStdString();
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(push, Qt::LeftButton);
    }

    test::ScriptedPrompter prompter;
    ParameterScreenState state;
    FRM_PLWAN404 screen;
    std::optional<bool> returned;
};

std::array<QString, 5> fiveToOne(std::initializer_list<const char16_t*> values) {
    std::array<QString, 5> result;
    int i = 0;
    for (const char16_t* text : values)
        result[i++] = QString::fromUtf16(text);
    return result;
}

} // namespace

TEST(FRM_PLWAN404, StepButtonsMoveFieldsFiveToTwoOfTheirDimensionAndFieldOneFollows) {
    struct Case {
        const char16_t* button;
        int times;
        char dimension;
        std::array<QString, 5> expected; // fields 5 down to 1
    };
    const Case cases[] = {
        {u"Command1", 1, 'R', fiveToOne({u"14", u"29", u"59", u"89", u"89"})},
        {u"Command2", 1, 'R', fiveToOne({u"16", u"31", u"61", u"91", u"91"})},
        // Field 5 is held at 0 when a decrease would take it below.
        {u"Command3", 2, 'R', fiveToOne({u"0", u"10", u"40", u"70", u"70"})},
        {u"Command4", 1, 'R', fiveToOne({u"25", u"40", u"70", u"100", u"100"})},
        {u"Command6", 3, 'F', fiveToOne({u"47", u"27", u"7", u"0", u"0"})},
        {u"Command8", 1, 'F', fiveToOne({u"51", u"31", u"11", u"3", u"3"})},
        {u"Command5", 1, 'F', fiveToOne({u"40", u"20", u"0", u"0", u"0"})},
        {u"Command7", 1, 'F', fiveToOne({u"60", u"40", u"20", u"12", u"12"})},
        {u"Command11", 1, 'M', fiveToOne({u"99", u"49", u"19", u"9", u"9"})},
        {u"Command9", 1, 'M', fiveToOne({u"101", u"51", u"21", u"11", u"11"})},
        {u"Command12", 2, 'M', fiveToOne({u"80", u"30", u"0", u"0", u"0"})},
        {u"Command10", 1, 'M', fiveToOne({u"110", u"60", u"30", u"20", u"20"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.button).toStdString());
        ThresholdScreen t;
        const auto before = std::array{t.fields('R'), t.fields('F'), t.fields('M')};
        t.press(QString::fromUtf16(c.button), c.times);
        EXPECT_EQ(t.fields(c.dimension), c.expected);
        const char dimensions[] = {'R', 'F', 'M'};
        for (int d = 0; d < 3; ++d) {
            if (dimensions[d] != c.dimension) {
                EXPECT_EQ(t.fields(dimensions[d]), before[d]) << dimensions[d];
            }
        }
        // Nothing reaches the state before F12.
        EXPECT_EQ(t.state.RThreshold, texts({u"15", u"30", u"60", u"90", u"90"}));
    }
}

TEST(FRM_PLWAN404, StepsTakeTheLeadingNumberOfWhatIsStored) {
    ThresholdScreen t;
    t.screen.thresholdField('R', 5)->setText(QStringLiteral(" 12日"));
    t.screen.thresholdField('R', 4)->setText(QString());
    t.press(QStringLiteral("Command2"));
    EXPECT_EQ(t.fields('R'), fiveToOne({u"13", u"1", u"61", u"91", u"91"}));
}

TEST(FRM_PLWAN404, FieldsHoldFiveDigitsAndAStepPastThemIsRefused) {
    ThresholdScreen t;
    TextField* five = t.screen.thresholdField('M', 5);
    five->setFocus();
    five->selectAll();
    QTest::keyClicks(five, QStringLiteral("999950"));
    EXPECT_EQ(five->text(), QStringLiteral("99995"));

    t.press(QStringLiteral("Command10")); // + 10 would make 100005
    EXPECT_EQ(t.prompter.texts(), QStringList{QStringLiteral("しきい値は 99999 までです")});
    EXPECT_EQ(t.fields('M'), fiveToOne({u"99995", u"50", u"20", u"10", u"10"}));
    t.press(QStringLiteral("Command9"), 4); // + 1 up to the largest
    EXPECT_EQ(t.fields('M'), fiveToOne({u"99999", u"54", u"24", u"14", u"14"}));
    EXPECT_EQ(t.prompter.texts().size(), 1);
}

TEST(FRM_PLWAN404, FieldOneShowsFieldTwoAsItIsTypedAndCannotBeEditedItself) {
    ThresholdScreen t;
    TextField* two = t.screen.thresholdField('F', 2);
    TextField* one = t.screen.thresholdField('F', 1);
    two->setFocus();
    two->selectAll();
    QTest::keyClicks(two, QStringLiteral("3"));
    EXPECT_EQ(two->text(), QStringLiteral("3"));
    EXPECT_EQ(one->text(), QStringLiteral("3"));

    QTest::keyClicks(one, QStringLiteral("9"));
    EXPECT_EQ(one->text(), QStringLiteral("3"));
    EXPECT_TRUE(one->isReadOnly());
}

TEST(FRM_PLWAN404, OpeningCopiesTheFifteenThresholdsAsTheyAre) {
    ThresholdScreen t;
    EXPECT_TRUE(t.screen.isVisible());
    EXPECT_EQ(t.fields('R'), fiveToOne({u"15", u"30", u"60", u"90", u"90"}));
    EXPECT_EQ(t.fields('M'), fiveToOne({u"100", u"50", u"20", u"10", u"10"}));

    // Reopening takes the state afresh, dropping what was stepped and not brought back.
    t.press(QStringLiteral("Command10"));
    t.screen.close();
    t.state.FThreshold = texts({u"9", u"8", u"7", u"6", u"5"});
    t.screen.open();
    EXPECT_EQ(t.fields('F'), fiveToOne({u"9", u"8", u"7", u"6", u"5"}));
    EXPECT_EQ(t.fields('M'), fiveToOne({u"100", u"50", u"20", u"10", u"10"}));
}

TEST(FRM_PLWAN404, F12CopiesTheThresholdsBackAndReturns) {
    ThresholdScreen t;
    t.press(QStringLiteral("Command3"), 2);
    t.press(QStringLiteral("Command7"));
    QTest::keyClick(t.screen.thresholdField('R', 5), Qt::Key_F12);

    EXPECT_EQ(t.returned, std::optional<bool>(true));
    EXPECT_FALSE(t.screen.isVisible());
    EXPECT_EQ(t.state.RThreshold, texts({u"0", u"10", u"40", u"70", u"70"}));
    EXPECT_EQ(t.state.FThreshold, texts({u"60", u"40", u"20", u"12", u"12"}));
    EXPECT_EQ(t.state.MThreshold, texts({u"100", u"50", u"20", u"10", u"10"}));
}

TEST(FRM_PLWAN404, CloseBoxReturnsWithoutCopying) {
    ThresholdScreen t;
    const ParameterScreenState before = t.state;
    t.press(QStringLiteral("Command4"));
    t.press(QStringLiteral("Command12"));
    t.screen.close();

    EXPECT_EQ(t.returned, std::optional<bool>(false));
    EXPECT_FALSE(t.screen.isVisible());
    EXPECT_EQ(t.state.RThreshold, before.RThreshold);
    EXPECT_EQ(t.state.FThreshold, before.FThreshold);
    EXPECT_EQ(t.state.MThreshold, before.MThreshold);
}
