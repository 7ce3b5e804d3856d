#include "screens/FRM_PLWAN401.h"

#include "app/Clock.h"
#include "screens/DateField.h"
#include "screens/GroupMatrixWidget.h"
#include "settings/SampleParameters.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace plw;

namespace {

Environment environment() {
    Environment e;
    e.PrinterDestination = QStringLiteral("SCR");
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return e;
}

// A state that passes every check on 4 December 2026.
ParameterScreenState validState() {
    ParameterScreenState s;
    s.LastVisitFrom = QStringLiteral("20260901");
    s.LastVisitTo = QStringLiteral("20261130");
    s.LastVisitMonths = QStringLiteral("3");
    s.BaseDate = QStringLiteral("20261201");
    const SampleThresholdSet t = SampleThresholds();
    s.RThreshold = t.R;
    s.FThreshold = t.F;
    s.MThreshold = t.M;
    s.PaintGroup = 1;
    s.GroupMatrix = SampleGroupMatrix();
    s.ConditionSummary = {QStringLiteral("最終来店日　2026/09/01～2026/11/30")};
    return s;
}

// The screen on a fixed day, shown and active, with every handler counted.
class ParameterScreen : public ::testing::Test {
public:
    void SetUp() override {
        screen.setNextHandler([this] { ++nexts; });
        screen.setMenuHandler([this] { ++menus; });
        screen.loadState(validState());
        screen.show();
        screen.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    }

    template <typename T = QWidget> T* control(const QString& name) {
        T* found = screen.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    // Check boxes and options take a click on their indicator, at their left.
    void click(const QString& name) {
        QWidget* w = control(name);
        const bool indicator = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier,
                          indicator ? QPoint(8, w->height() / 2) : QPoint());
    }
    QString focusName() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
    void setDate(const QString& name, const QString& value) {
        ASSERT_TRUE(control<DateField>(name)->setValue(value));
    }
    void setText(const QString& name, const QString& value) {
        control<QLineEdit>(name)->setText(value);
    }

    test::ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2026, 12, 4), QTime(10, 0))};
    FRM_PLWAN401 screen{environment(), prompter, clock};
    int nexts = 0;
    int menus = 0;
};

TEST_F(ParameterScreen, LoadsAndStoresItsState) {
    ParameterScreenState s = validState();
    s.DetailPeriodOn = true;
    s.DetailControlsEnabled = true;
    s.DetailFrom = QStringLiteral("20260101");
    s.DetailTo = QStringLiteral("20261130");
    s.LastVisitFromDetail = true;
    s.PaintGroup = 6;
    screen.loadState(s);
    const ParameterScreenState back = screen.state();
    EXPECT_EQ(back.LastVisitFrom, s.LastVisitFrom);
    EXPECT_EQ(back.LastVisitTo, s.LastVisitTo);
    EXPECT_EQ(back.LastVisitMonths, s.LastVisitMonths);
    EXPECT_EQ(back.BaseDate, s.BaseDate);
    EXPECT_EQ(back.RThreshold, s.RThreshold);
    EXPECT_EQ(back.FThreshold, s.FThreshold);
    EXPECT_EQ(back.MThreshold, s.MThreshold);
    EXPECT_EQ(back.PaintGroup, 6);
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("lblGrp_X"))->isChecked());
    EXPECT_EQ(back.GroupMatrix, s.GroupMatrix);
    EXPECT_TRUE(back.DetailPeriodOn);
    EXPECT_TRUE(back.LastVisitFromDetail);
    EXPECT_EQ(back.DetailFrom, s.DetailFrom);
    EXPECT_EQ(back.DetailTo, s.DetailTo);
    EXPECT_TRUE(back.DetailControlsEnabled);
    EXPECT_EQ(back.ConditionSummary, s.ConditionSummary);
    EXPECT_EQ(control<QSlider>(QStringLiteral("sldPinRai"))->value(), 3);
}

TEST_F(ParameterScreen, F12KeyRunsTheSameChecksAsTheButton) {
    setDate(QStringLiteral("imdPinRai_F"), QString());
    QWidget* field = control(QStringLiteral("txtPrmR_3"));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F12);
    click(QStringLiteral("cmdF12"));
    ASSERT_EQ(prompter.messages().size(), 2);
    for (const auto& message : prompter.messages()) {
        EXPECT_EQ(message.text, QStringLiteral("省略できません"));
        EXPECT_EQ(message.icon, MessageIcon::Critical);
    }
    EXPECT_EQ(focusName(), QStringLiteral("imdPinRai_F"));
    EXPECT_EQ(nexts, 0);

    // Once valid, F12 goes on to the next screen without a message.
    setDate(QStringLiteral("imdPinRai_F"), QStringLiteral("20260901"));
    QTest::keyClick(field, Qt::Key_F12);
    EXPECT_EQ(nexts, 1);
    EXPECT_EQ(prompter.messages().size(), 2);
}

TEST_F(ParameterScreen, ChecksShowTheFirstFailureAndFocusItsField) {
    struct Case {
        const char* name;
        std::function<void(ParameterScreen&)> change;
        QString message; // "" when the screen passes
        QString focus;
    };
    const QString later = QStringLiteral("基準日は最終来店日以降としてください");
    const QString larger = QStringLiteral("大きな値を設定してください");
    const QString smaller = QStringLiteral("小さな値を設定してください");
    const std::vector<Case> cases{
        {"to empty",
         [](ParameterScreen& t) { t.setDate(QStringLiteral("imdPinRai_T"), QString()); },
         QStringLiteral("省略できません"), QStringLiteral("imdPinRai_T")},
        {"range reversed",
         [](ParameterScreen& t) {
             t.setDate(QStringLiteral("imdPinRai_F"), QStringLiteral("20261201"));
         },
         QStringLiteral("範囲の指定が間違っています。"), QStringLiteral("imdPinRai_F")},
        {"base date a day before the last visit",
         [](ParameterScreen& t) {
             t.setDate(QStringLiteral("imdKijyun"), QStringLiteral("20261129"));
         },
         later, QStringLiteral("imdKijyun")},
        {"base date equal to the last visit",
         [](ParameterScreen& t) {
             t.setDate(QStringLiteral("imdKijyun"), QStringLiteral("20261130"));
         },
         QString(), QString()},
        {"base date from the last visit",
         [](ParameterScreen& t) {
             t.setDate(QStringLiteral("imdKijyun"), QStringLiteral("20260101"));
             t.click(QStringLiteral("Command6"));
         },
         QString(), QString()},
        {"base date after today",
         [](ParameterScreen& t) {
             t.setDate(QStringLiteral("imdPinRai_T"), QStringLiteral("20261205"));
             t.setDate(QStringLiteral("imdKijyun"), QStringLiteral("20261205"));
         },
         QStringLiteral("基準日には、本日より後の日付は指定できません"),
         QStringLiteral("imdKijyun")},
        {"detailed period on and empty",
         [](ParameterScreen& t) {
             t.click(QStringLiteral("chkKs1"));
             t.setDate(QStringLiteral("imdPinRai_2F"), QStringLiteral("20260101"));
         },
         QStringLiteral("省略できません"), QStringLiteral("imdPinRai_2T")},
        {"detailed period off and empty", [](ParameterScreen&) {}, QString(), QString()},
        {"R equal thresholds",
         [](ParameterScreen& t) {
             t.setText(QStringLiteral("txtPrmR_5"), QStringLiteral("30"));
             t.setText(QStringLiteral("txtPrmR_4"), QStringLiteral("60"));
             t.setText(QStringLiteral("txtPrmR_3"), QStringLiteral("60"));
             t.setText(QStringLiteral("txtPrmR_2"), QStringLiteral("180"));
         },
         QStringLiteral("ランク４より\r") + larger, QStringLiteral("txtPrmR_3")},
        {"F rank 3 not below rank 2",
         [](ParameterScreen& t) { t.setText(QStringLiteral("txtPrmF_3"), QStringLiteral("2")); },
         QStringLiteral("ランク３より\r") + smaller, QStringLiteral("txtPrmF_2")},
        {"M rank 5 not above rank 4, screen check first",
         [](ParameterScreen& t) {
             t.setText(QStringLiteral("txtPrmM_5"), QStringLiteral("50"));
             t.setDate(QStringLiteral("imdKijyun"), QString());
         },
         QStringLiteral("省略できません"), QStringLiteral("imdKijyun")},
        {"M rank 5 not above rank 4",
         [](ParameterScreen& t) { t.setText(QStringLiteral("txtPrmM_5"), QStringLiteral("50")); },
         QStringLiteral("ランク５より\r") + smaller, QStringLiteral("txtPrmM_4")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen.loadState(validState());
        prompter = test::ScriptedPrompter();
        nexts = 0;
        control(QStringLiteral("txtPinRai_X"))->setFocus();
        c.change(*this);
        click(QStringLiteral("cmdF12"));
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.messages().isEmpty());
            EXPECT_EQ(nexts, 1);
            continue;
        }
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, c.message);
        EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::Critical);
        EXPECT_EQ(focusName(), c.focus);
        EXPECT_EQ(nexts, 0);
    }
}

TEST_F(ParameterScreen, AnEntryThatIsNoDateStaysAsTypedAndF12RefusesIt) {
    auto* base = dynamic_cast<DateField*>(control<QLineEdit>(QStringLiteral("imdKijyun")));
    ASSERT_TRUE(base);
    base->setFocus();
    base->home(false);
    QTest::keyClicks(base, QStringLiteral("20250231"));
    QTest::keyClick(base, Qt::Key_F12);
    EXPECT_EQ(nexts, 0);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("正しい日付を入力してください")});
    EXPECT_EQ(focusName(), QStringLiteral("imdKijyun"));
    EXPECT_EQ(base->displayText(), QStringLiteral("2025年02月31日"));
    EXPECT_EQ(screen.state().BaseDate, QStringLiteral("20261201"));
}

TEST_F(ParameterScreen, QuickRangesAndBaseDateButtonsFollowTheClock) {
    struct Case {
        const char16_t* button;
        const char16_t* fromField;
        const char16_t* from;
        const char16_t* toField;
        const char16_t* to;
    };
    click(QStringLiteral("chkKs1"));
    const Case cases[] = {
        {u"cmdSetA", u"imdPinRai_F", u"20260901", u"imdPinRai_T", u"20261204"},
        {u"cmdSetA1", u"imdPinRai_F", u"20260601", u"imdPinRai_T", u"20261204"},
        {u"cmdSetB", u"imdPinRai_F", u"20251201", u"imdPinRai_T", u"20261204"},
        {u"cmdSetD", u"imdPinRai_F", u"20241201", u"imdPinRai_T", u"20261204"},
        {u"cmdSetC", u"imdPinRai_F", u"20161201", u"imdPinRai_T", u"20261204"},
        {u"cmdSet2A", u"imdPinRai_2F", u"20260901", u"imdPinRai_2T", u"20261204"},
        {u"cmdSet2C", u"imdPinRai_2F", u"20161201", u"imdPinRai_2T", u"20261204"},
        {u"cmdHi1", u"imdKijyun", u"20261204", nullptr, nullptr},
        {u"cmdHi2", u"imdKijyun", u"20261201", nullptr, nullptr},
        {u"cmdHi3", u"imdKijyun", u"20261101", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.button);
        SCOPED_TRACE(name.toStdString());
        click(name);
        EXPECT_EQ(control<DateField>(QString::fromUtf16(c.fromField))->value(),
                  QString::fromUtf16(c.from));
        if (c.toField) {
            EXPECT_EQ(control<DateField>(QString::fromUtf16(c.toField))->value(),
                      QString::fromUtf16(c.to));
        }
    }
    // In January the previous month is last year's December.
    clock.set(QDateTime(QDate(2027, 1, 15), QTime(9, 0)));
    click(QStringLiteral("cmdHi3"));
    EXPECT_EQ(screen.state().BaseDate, QStringLiteral("20261201"));
}

TEST_F(ParameterScreen, LastVisitChangesAreReported) {
    QStringList reported;
    screen.setLastVisitHandler([&](const QString& from, const QString& to, const QString& months) {
        reported.append(from + u'-' + to + u'-' + months);
    });
    click(QStringLiteral("cmdSetB"));
    ASSERT_FALSE(reported.isEmpty());
    EXPECT_EQ(reported.last(), QStringLiteral("20251201-20261204-3"));
    // Loading a state reports nothing.
    const qsizetype before = reported.size();
    screen.loadState(validState());
    EXPECT_EQ(reported.size(), before);
    screen.setConditionSummary({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(control<QListWidget>(QStringLiteral("List1"))->count(), 2);
}

TEST_F(ParameterScreen, DateSettingAddsTheMonthCount) {
    auto* slider = control<QSlider>(QStringLiteral("sldPinRai"));
    slider->setValue(6);
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtPinRai_X"))->text(), QStringLiteral("6"));
    click(QStringLiteral("cmdPinRai"));
    EXPECT_EQ(screen.state().LastVisitTo, QStringLiteral("20270301"));

    click(QStringLiteral("updPinRai_up"));
    EXPECT_EQ(screen.state().LastVisitMonths, QStringLiteral("7"));
    EXPECT_EQ(slider->value(), 7);

    // Without a month count the button reports it and changes nothing.
    setText(QStringLiteral("txtPinRai_X"), QString());
    click(QStringLiteral("cmdPinRai"));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("指定してください")});
    EXPECT_EQ(screen.state().LastVisitTo, QStringLiteral("20270301"));
}

TEST_F(ParameterScreen, ThresholdTwoEchoesIntoThresholdOne) {
    auto* field = control<QLineEdit>(QStringLiteral("txtPrmF_2"));
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("3"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtPrmF_1"))->text(), QStringLiteral("3"));

    for (const QString& name : {QStringLiteral("txtPrmR_5"), QStringLiteral("txtPrmM_2")})
        setText(name, QStringLiteral("999"));
    click(QStringLiteral("Command1"));
    const ParameterScreenState s = screen.state();
    const SampleThresholdSet sample = SampleThresholds();
    EXPECT_EQ(s.RThreshold[4], QStringLiteral("30"));
    EXPECT_EQ(s.RThreshold[1], QStringLiteral("180"));
    EXPECT_EQ(s.RThreshold[0], QStringLiteral("180"));
    EXPECT_EQ(s.FThreshold, sample.F);
    EXPECT_EQ(s.MThreshold[0], s.MThreshold[1]);
    EXPECT_EQ(s.MThreshold, sample.M);
}

TEST_F(ParameterScreen, DetailPeriodControlsFollowTheTick) {
    const QStringList dependent{QStringLiteral("chkKs2"),       QStringLiteral("imdPinRai_2F"),
                                QStringLiteral("imdPinRai_2T"), QStringLiteral("cmdSet2A"),
                                QStringLiteral("cmdSet2A1"),    QStringLiteral("cmdSet2B"),
                                QStringLiteral("cmdSet2C"),     QStringLiteral("cmdSet2D")};
    const auto enabled = [&](bool expected) {
        for (const QString& name : dependent)
            EXPECT_EQ(control(name)->isEnabled(), expected) << name.toStdString();
        EXPECT_EQ(screen.state().DetailControlsEnabled, expected);
    };
    enabled(false);
    click(QStringLiteral("chkKs1"));
    EXPECT_TRUE(screen.state().DetailPeriodOn);
    enabled(true);
    click(QStringLiteral("chkKs1"));
    EXPECT_FALSE(screen.state().DetailPeriodOn);
    enabled(false);
}

TEST_F(ParameterScreen, PaintingTheMatrixIsWhatTheStateReads) {
    auto* matrix = control<GroupMatrixWidget>(QStringLiteral("lblR54321"));
    click(QStringLiteral("lblGrp_X"));
    EXPECT_EQ(screen.state().PaintGroup, 6);
    QTest::mouseClick(matrix, Qt::LeftButton, Qt::NoModifier,
                      matrix->cellRect(QStringLiteral("555")).center());
    ParameterScreenState s = screen.state();
    EXPECT_EQ(s.GroupMatrix[0], QStringLiteral("X"));
    EXPECT_EQ(s.GroupMatrix[1], SampleGroupMatrix()[1]);

    // Shift held while moving paints every cell passed: along the top row of block R5.
    click(QStringLiteral("lblGrp_D"));
    const QPoint start = matrix->cellRect(QStringLiteral("554")).center();
    const QPoint end = matrix->cellRect(QStringLiteral("514")).center();
    QTest::mouseMove(matrix, start);
    QMouseEvent first(QEvent::MouseMove, start, matrix->mapToGlobal(start), Qt::NoButton,
                      Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(matrix, &first);
    QMouseEvent second(QEvent::MouseMove, end, matrix->mapToGlobal(end), Qt::NoButton, Qt::NoButton,
                       Qt::ShiftModifier);
    QApplication::sendEvent(matrix, &second);
    s = screen.state();
    EXPECT_EQ(s.GroupMatrix[0], QStringLiteral("X"));
    for (const char16_t* code : {u"554", u"534", u"514"})
        EXPECT_EQ(matrix->group(QString::fromUtf16(code)), QStringLiteral("D"));

    click(QStringLiteral("lblGrp_B"));
    click(QStringLiteral("Command5"));
    for (const QString& letter : screen.state().GroupMatrix)
        EXPECT_EQ(letter, QStringLiteral("B"));
    click(QStringLiteral("Command2"));
    EXPECT_EQ(screen.state().GroupMatrix, SampleGroupMatrix());
}

TEST_F(ParameterScreen, PreviewShowsTheLabelsItIsGiven) {
    auto* button = control<QPushButton>(QStringLiteral("Command3"));
    EXPECT_FALSE(button->isEnabled());
    QString waitingMin;
    bool found = true;
    screen.setPreviewHandler([&](PreviewLabels& labels) {
        waitingMin = control<QLabel>(QStringLiteral("lblSgnMin"))->text();
        if (!found)
            return false;
        labels = {QStringLiteral("             1"), QStringLiteral("        12,345"),
                  QStringLiteral("        12,345"), QStringLiteral("        12,345"),
                  QStringLiteral("        12,345")};
        return true;
    });
    click(QStringLiteral("Command3"));
    EXPECT_EQ(waitingMin, QStringLiteral("カウント中"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblSgnCnt"))->text(),
              QStringLiteral("             1"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblSgnAVG"))->text(),
              QStringLiteral("        12,345"));

    // Nothing selected: the waiting texts stay.
    found = false;
    click(QStringLiteral("Command3"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblSgnMax"))->text(), QStringLiteral("しばらく"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblSgnSum"))->text(),
              QStringLiteral("お待ちください"));
    EXPECT_TRUE(control<QLabel>(QStringLiteral("lblSgnCnt"))->text().isEmpty());
}

TEST_F(ParameterScreen, EscGoesToTheMenuAndLaterScreensAreDisabled) {
    QTest::keyClick(control(QStringLiteral("txtPrmR_5")), Qt::Key_Escape);
    EXPECT_EQ(menus, 1);
    click(QStringLiteral("cmdEsc"));
    EXPECT_EQ(menus, 2);
    for (const char16_t* name :
         {u"cmdNew", u"cmdMae", u"cmdDM", u"cmdEL", u"cmdTeplate", u"cmdTeplate2", u"Command8",
          u"imgHDCopy", u"Command7", u"Command9"})
        EXPECT_FALSE(control(QString::fromUtf16(name))->isEnabled())
            << QString::fromUtf16(name).toStdString();
    int viewpoints = 0;
    screen.setViewpointHandler([&] { ++viewpoints; });
    click(QStringLiteral("Command7"));
    EXPECT_EQ(viewpoints, 1);
}

TEST_F(ParameterScreen, CalendarHintShowsOnTheDateFields) {
    auto* hint = control(QStringLiteral("picHelp2"));
    control(QStringLiteral("imdKijyun"))->setFocus();
    EXPECT_TRUE(hint->isVisible());
    control(QStringLiteral("txtPrmR_5"))->setFocus();
    EXPECT_FALSE(hint->isVisible());
}

} // namespace

TEST_F(ParameterScreen, CampaignButtonsCheckTheScreenThenOpenTheConditionScreenOnTheCampaign) {
    QList<std::pair<CampaignSource, QString>> asked;
    QList<std::pair<QString, QString>> opened;
    bool pickCancelled = false;
    screen.setCampaignHandler([&](CampaignSource source, const ParameterScreenState& s)
                                  -> std::optional<CampaignConditions> {
        asked.append({source, s.LastVisitFrom});
        if (pickCancelled)
            return std::nullopt;
        CampaignConditions taken{source == CampaignSource::DirectMail ? u"ＤＭ"_qs : u"メール"_qs,
                                 ClearedConditionRecord()};
        taken.Record[ConditionRecord::PinRaiFrom] = s.LastVisitFrom;
        return taken;
    });
    screen.setConditionScreenHandler([&](const QString& caption, const ConditionRecord& record) {
        opened.append({caption, record[ConditionRecord::PinRaiFrom]});
    });
    ASSERT_TRUE(control(QStringLiteral("cmdDM"))->isEnabled());
    ASSERT_TRUE(control(QStringLiteral("cmdEL"))->isEnabled());

    // A screen that fails its check opens nothing.
    setDate(QStringLiteral("imdKijyun"), QString());
    click(QStringLiteral("cmdDM"));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("省略できません")});
    EXPECT_EQ(focusName(), QStringLiteral("imdKijyun"));
    EXPECT_TRUE(asked.isEmpty());

    setDate(QStringLiteral("imdKijyun"), QStringLiteral("20261201"));
    click(QStringLiteral("cmdDM"));
    click(QStringLiteral("cmdEL"));
    pickCancelled = true;
    click(QStringLiteral("cmdDM"));
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0], std::make_pair(CampaignSource::DirectMail, u"20260901"_qs));
    EXPECT_EQ(asked[1].first, CampaignSource::Mail);
    EXPECT_EQ(opened, (QList<std::pair<QString, QString>>{{u"ＤＭ"_qs, u"20260901"_qs},
                                                          {u"メール"_qs, u"20260901"_qs}}));
    EXPECT_EQ(prompter.texts().size(), 1);
}

TEST_F(ParameterScreen, ExplanationButtonOpensTheDocument) {
    EXPECT_FALSE(control(QStringLiteral("Command8"))->isEnabled());
    int explained = 0;
    screen.setExplanationHandler([&] { ++explained; });
    click(QStringLiteral("Command8"));
    EXPECT_EQ(explained, 1);
}
