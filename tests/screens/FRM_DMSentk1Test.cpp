#include "screens/FRM_DMSentk1.h"
#include "tests/support/ConditionCodes.h"

#include "app/Clock.h"
#include "extract/ConditionModule.h"
#include "screens/DateField.h"
#include "screens/MonthDayField.h"
#include "screens/TextField.h"
#include "tests/extract/ConditionModuleFixture.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace plw;
using R = ConditionRecord;

namespace {

// An installation whose work folder is folder.
Environment InstallationAt(const QString& folder) {
    Environment environment;
    environment.WorkFolder = folder + QLatin1Char('/');
    environment.BuildPaths();
    environment.PrinterDestination = QStringLiteral("SCR");
    environment.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return environment;
}

// The condition screen over a module with two classification levels, on 31 March 2026.
class ConditionScreen : public ::testing::Test {
public:
    ConditionScreen() {
        module.Finished = [this](bool confirmed) {
            finished << confirmed;
        };
        ConditionRecord unused;
        module.Run(ConditionModule::Mode::Prepare, ConditionCaller::None, unused);
    }

    // Opens the screen for caller on record and makes it the active window.
    void open(const char* caller, ConditionRecord record = ClearedConditionRecord()) {
        module.Run(ConditionModule::Mode::SetAndShow, test::CallerOf(caller), record);
        ASSERT_TRUE(screen.isVisible());
        screen.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    }

    template <typename T = QWidget> T* control(const QString& name) {
        T* found = screen.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    template <typename T = QWidget> T* control(const char* name) {
        return control<T>(QString::fromLatin1(name));
    }
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    // Types into a box as the operator does: it has the focus, its text is replaced.
    void type(const char* name, const QString& text) {
        auto* box = control<QLineEdit>(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        // Keys for what a keyboard types directly, the input method's result for the rest.
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(box, text);
        else
            box->insert(text);
    }
    bool checked(const char* name) { return control<QAbstractButton>(name)->isChecked(); }
    QString focusName() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
    int currentTab() { return control<QTabWidget>("SSTab1")->currentIndex(); }
    QStringList summary() {
        QStringList lines;
        auto* list = control<QListWidget>("List1");
        for (int row = 0; row < list->count(); ++row)
            lines << list->item(row)->text();
        return lines;
    }
    QColor base(const char* name) { return control(name)->palette().color(QPalette::Base); }

    QTemporaryDir dir;
    Environment environment = InstallationAt(dir.path());
    ClassificationTable table = test::SmallClassifications();
    test::ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2026, 3, 31), QTime(9, 0))};
    ConditionModule module{environment, table, prompter, clock};
    FRM_DMSentk1 screen{environment, prompter, module};
    QList<bool> finished;
};

ConditionRecord WithPeriod() {
    ConditionRecord record = ClearedConditionRecord();
    record[R::PinRaiKind] = QStringLiteral("3");
    record[R::PinRaiFrom] = QStringLiteral("20250401");
    record[R::PinRaiTo] = QStringLiteral("20260331");
    return record;
}

const QColor White(Qt::white);

TEST_F(ConditionScreen, TheFirstOpeningShowsNoConditionWithTheirValuesLocked) {
    // No CtyuGet.PRM yet: the module's default mode reads it and finds the cleared record.
    ConditionRecord record;
    module.Run(ConditionModule::Mode::LoadAndShow, ConditionCaller::Analysis, record);
    ASSERT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("抽出条件の設定"));
    EXPECT_EQ(currentTab(), 0);
    for (const ConditionControl& c : ConditionControls) {
        const QString group = QString::fromUtf16(c.OptionGroup);
        EXPECT_TRUE(control<QRadioButton>(group + QStringLiteral("_1"))->isChecked())
            << group.toStdString();
    }
    EXPECT_TRUE(checked("optKihSeI_A_1"));
    EXPECT_TRUE(checked("optDmkYNo_1"));
    EXPECT_TRUE(checked("optEmlYNo_1"));
    EXPECT_FALSE(control("txtKihKai_F")->isEnabled());
    EXPECT_EQ(base("txtKihKai_F"), QApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_FALSE(control("optKihSeI_A_2")->isEnabled());
    EXPECT_TRUE(summary().isEmpty());
    EXPECT_EQ(control<QListWidget>("lstZok1")->count(), 3);
    EXPECT_EQ(control<QGroupBox>("frmBun2")->title(), QStringLiteral("趣味"));
}

TEST_F(ConditionScreen, RefreshEnablesValuesByKindAndLocksTheCallersOwnConditions) {
    struct Case {
        const char* caller;
        const char* option; // clicked first, or nullptr
        const char* control;
        bool enabled;
    };
    const std::vector<Case> cases{
        // The analysis period belongs to the parameter screen, whatever its kind.
        {"P1", nullptr, "optPinRai_1", false},
        {"P1", nullptr, "optPinRai_3", false},
        {"P1", nullptr, "imdPinRai_F", false},
        {"P1", nullptr, "cmdSetA", false},
        {"P1", nullptr, "sldPinRai", false},
        {"P1", nullptr, "cmdPinRai", false},
        {"P1", nullptr, "optDmkOSR_3", true},
        // The campaign callers own their consent instead.
        {"DM", nullptr, "optDmkOSR_1", false},
        {"DM", nullptr, "optDmkYNo_2", false},
        {"DM", nullptr, "optPinRai_2", true},
        {"DM", nullptr, "imdPinRai_T", true},
        {"EL", nullptr, "optEmlOSR_4", false},
        {"EL", nullptr, "optEmlYNo_3", false},
        {"EL", nullptr, "optDmkOSR_1", true},
        // Any kind but "指定しない" opens a condition's values.
        {"P1", nullptr, "txtPinGak_F", false},
        {"P1", "optPinGak_2", "txtPinGak_F", true},
        {"P1", "optPinGak_4", "sldPinGak_T", true},
        {"P1", "optPinGak_3", "cmdPinGak_T", true},
        {"P1", "optPinGak_3", "updPinGak_F", true},
        {"P1", "optTosTuk_2", "chkTosTuk_12", true},
        {"P1", "optTosTuk_2", "cmdCLR", true},
        {"P1", "optTosBar_3", "cmdNow2", true},
        {"P1", "optKihSeI_4", "optKihSeI_A_2", true},
        {"P1", "optEmlSbt_3", "chkEmlSbt_3", true},
        {"P1", "optKihHjm_3", "cmdKihHjm_X", true},
        // Classification buttons follow their own level only.
        {"P1", nullptr, "cmdBunKai0_0", false},
        {"P1", "optBun1_2", "cmdBunKai0_0", true},
        {"P1", "optBun1_2", "lstZok1", true},
        {"P1", "optBun1_2", "cmdBunKai1_1", false},
        {"P1", "optBun2_4", "cmdBunKai1_1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caller) + " " + (c.option ? c.option : "-") + " " + c.control);
        ConditionRecord record = WithPeriod();
        record[R::DmkOsrKind] = record[R::EmlOsrKind] = QStringLiteral("3");
        open(c.caller, record);
        if (c.option)
            click(c.option);
        EXPECT_EQ(control(c.control)->isEnabled(), c.enabled);
        if (qobject_cast<QLineEdit*>(control(c.control))) {
            EXPECT_EQ(base(c.control) == White, c.enabled);
        }
    }
}

TEST_F(ConditionScreen, ChecksStopAtTheFirstFailureShowingItsTabAndField) {
    struct Case {
        const char* name;
        std::function<void(ConditionScreen&)> edit;
        QString message;
        int tab;
        QString focus;
    };
    const QString range = QStringLiteral("範囲を指定してください");
    const std::vector<Case> cases{
        {"amount without bounds", [](ConditionScreen& t) { t.click("optPinGak_3"); }, range, 2,
         QStringLiteral("txtPinGak_F")},
        {"customer number with a letter",
         [](ConditionScreen& t) {
             t.click("optKihKai_3");
             t.type("txtKihKai_F", QStringLiteral("1O"));
             t.type("txtKihKai_T", QStringLiteral("5"));
         },
         QStringLiteral("数字以外は指定できません(マイナスも指定できません)"), 0,
         QStringLiteral("txtKihKai_F")},
        {"postal code empty", [](ConditionScreen& t) { t.click("optKihZip_2"); },
         QStringLiteral("指定してください"), 0, QStringLiteral("txtKihZip_A")},
        {"birth dates reversed",
         [](ConditionScreen& t) {
             t.click("optTosTan_3");
             t.control<DateField>("imdTosTan_F")->setValue(QStringLiteral("19900101"));
             t.control<DateField>("imdTosTan_T")->setValue(QStringLiteral("19800101"));
         },
         QStringLiteral("範囲の指定が間違っています。"), 1, QStringLiteral("imdTosTan_F")},
        {"no birth month", [](ConditionScreen& t) { t.click("optTosTuk_2"); },
         QStringLiteral("１つは指定してください"), 1, QStringLiteral("chkTosTuk_1")},
        {"mail type without mail consent",
         [](ConditionScreen& t) {
             t.click("optEmlSbt_3");
             t.click("chkEmlSbt_2");
         },
         QStringLiteral("メール送信許諾が　指定しない　の場合は指定できません"), 4,
         QStringLiteral("chkEmlSbt_2")},
        {"classification without an entry", [](ConditionScreen& t) { t.click("optBun2_4"); },
         QStringLiteral("趣味の項目を１つ以上してください"), 6, QStringLiteral("lstZok2")},
        {"screen order: the address before the amount",
         [](ConditionScreen& t) {
             t.click("optPinGak_3");
             t.click("optKihAdr_3");
         },
         QStringLiteral("指定してください"), 0, QStringLiteral("txtKihAdr_A")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open("P1", WithPeriod());
        c.edit(*this);
        control<QTabWidget>("SSTab1")->setCurrentIndex(5);
        auto* memo = control("txtKhmemo_A");
        QTest::keyClick(memo, Qt::Key_F12);
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, c.message);
        EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::Critical);
        EXPECT_EQ(currentTab(), c.tab);
        EXPECT_EQ(focusName(), c.focus);
        EXPECT_TRUE(screen.isVisible());
        EXPECT_TRUE(finished.isEmpty());
        prompter = test::ScriptedPrompter();
    }
}

TEST_F(ConditionScreen, F12StoresTheScreenInCtyuGetAndTellsTheParameterScreen) {
    open("P1", WithPeriod());
    click("optKihSeI_3");
    click("optKihSeI_A_2");
    QTest::keyClick(control("optKihSeI_A_2"), Qt::Key_F12);
    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(finished, QList<bool>{true});
    ConditionRecord stored;
    ASSERT_TRUE(ReadConditionFile(environment.ConditionScreenPath, stored));
    EXPECT_EQ(stored[R::KihSeiKind] + stored[R::KihSeiValue], QStringLiteral("32"));
    EXPECT_EQ(stored[R::PinRaiFrom], QStringLiteral("20250401"));
}

TEST_F(ConditionScreen, EscAndTheCloseBoxBringBackTheConditionsTheScreenOpenedWith) {
    ConditionRecord opened = WithPeriod();
    opened[R::KihSeiKind] = QStringLiteral("3");
    opened[R::KihSeiValue] = QStringLiteral("2");
    // The program's conditions are on the screen before it is shown (start-up's "SR").
    module.Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, opened);
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Esc");
        open("P1", opened);
        click("optKihSeI_A_1");
        click("optKhmemo_3");
        type("txtKhmemo_A", QStringLiteral("常連"));
        if (closeBox)
            screen.close();
        else
            QTest::keyClick(control("txtKhmemo_A"), Qt::Key_Escape);
        EXPECT_FALSE(screen.isVisible());
        EXPECT_EQ(module.Working()[R::KihSeiValue], QStringLiteral("2"));
        EXPECT_EQ(module.Working()[R::KhMemoKind], QStringLiteral("1"));
        EXPECT_TRUE(checked("optKihSeI_A_2"));
        EXPECT_TRUE(checked("optKhmemo_1"));
        EXPECT_FALSE(QFile::exists(environment.ConditionScreenPath));
    }
    EXPECT_EQ(finished, (QList<bool>{false, false}));
}

TEST_F(ConditionScreen, AllToNoneKeepsWhatTheCallerOwns) {
    struct Case {
        const char* caller;
        MessageAnswer answer;
        const char* sexKind; // option selected afterwards
        const char* lastVisit;
        const char* dmConsent;
        const char* mailConsent;
    };
    const Case cases[] = {
        {"P1", MessageAnswer::Ok, "optKihSeI_1", "optPinRai_3", "optDmkOSR_1", "optEmlOSR_1"},
        {"DM", MessageAnswer::Ok, "optKihSeI_1", "optPinRai_1", "optDmkOSR_3", "optEmlOSR_1"},
        {"EL", MessageAnswer::Ok, "optKihSeI_1", "optPinRai_1", "optDmkOSR_1", "optEmlOSR_3"},
        {"P1", MessageAnswer::Cancel, "optKihSeI_2", "optPinRai_3", "optDmkOSR_4", "optEmlOSR_2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caller);
        ConditionRecord record = WithPeriod();
        record[R::KihSeiKind] = QStringLiteral("2");
        record[R::DmkOsrKind] = QStringLiteral("4");
        record[R::EmlOsrKind] = QStringLiteral("2");
        open(c.caller, record);
        prompter.answerNext(c.answer);
        click("cmdAllDel");
        EXPECT_EQ(prompter.texts().last(),
                  QStringLiteral("すべてを指定しないにしてもよろしいですか？"));
        EXPECT_EQ(prompter.messages().last().buttons, MessageButtons::OkCancel);
        for (const char* option : {c.sexKind, c.lastVisit, c.dmConsent, c.mailConsent})
            EXPECT_TRUE(checked(option)) << option;
    }
}

TEST_F(ConditionScreen, BoxesSlidersUpDownsAndMinMaxMoveTogether) {
    open("P1", WithPeriod());
    click("optPinUse_3");
    type("txtPinUse_F", QStringLiteral("25"));
    EXPECT_EQ(control<QSlider>("sldPinUse_F")->value(), 25);
    control<QSlider>("sldPinUse_T")->setValue(40);
    EXPECT_EQ(control<QLineEdit>("txtPinUse_T")->text(), QStringLiteral("40"));
    click("updPinUse_T_up");
    EXPECT_EQ(control<QLineEdit>("txtPinUse_T")->text(), QStringLiteral("41"));
    click("updPinUse_F_down");
    EXPECT_EQ(control<QLineEdit>("txtPinUse_F")->text(), QStringLiteral("24"));
    EXPECT_EQ(module.Working()[R::PinUseFrom] + u'~' + module.Working()[R::PinUseTo],
              QStringLiteral("24~41"));
    click("cmdPinUse_T");
    EXPECT_EQ(control<QLineEdit>("txtPinUse_T")->text(), QStringLiteral("99999"));
    EXPECT_EQ(control<QSlider>("sldPinUse_T")->value(), 99999);
    click("cmdPinUse_F");
    EXPECT_EQ(control<QLineEdit>("txtPinUse_F")->text(), QStringLiteral("0"));
    // What is typed stays as typed, even when the slider cannot show it.
    type("txtPinUse_F", QStringLiteral("7x"));
    EXPECT_EQ(control<QLineEdit>("txtPinUse_F")->text(), QStringLiteral("7x"));
    EXPECT_EQ(module.Working()[R::PinUseFrom], QStringLiteral("7x"));

    // The count shown last is emptied by any change.
    module.Screen().CountLabel = QStringLiteral("該当 ３ 人");
    screen.showState();
    EXPECT_EQ(control<QLabel>("lblKen")->text(), QStringLiteral("該当 ３ 人"));
    click("updPinUse_T_down");
    EXPECT_EQ(control<QLabel>("lblKen")->text(), QString());
}

TEST_F(ConditionScreen, NumbersGetTheirLeadingZerosOnLeaving) {
    open("P1", WithPeriod());
    click("optKihKai_3");
    click("optMisBan_3");
    const struct {
        const char* box;
        const char16_t* typed;
        const char16_t* left;
    } cases[] = {
        {"txtKihKai_F", u"12", u"0000012"},
        {"txtKihKai_T", u"0", u"0"},
        {"txtMisBan_A", u"7", u"0007"},
        {"txtMisBan_A", u"7a", u"7a"},
    };
    for (const auto& c : cases) {
        type(c.box, QString::fromUtf16(c.typed));
        QTest::keyClick(control(c.box), Qt::Key_Tab);
        EXPECT_EQ(control<QLineEdit>(c.box)->text(), QString::fromUtf16(c.left)) << c.box;
    }
    EXPECT_EQ(module.Working()[R::KihKaiFrom], QStringLiteral("0000012"));
}

TEST_F(ConditionScreen, TheSummaryListsAndThenIncludesAndExcludes) {
    ConditionRecord record = WithPeriod();
    record[R::KihSeiKind] = QStringLiteral("3");
    record[R::KihSeiValue] = QStringLiteral("2");
    record[R::KihAdrKind] = QStringLiteral("2");
    record[R::KihAdrText] = QStringLiteral("港区");
    record[R::BunKind(1)] = QStringLiteral("4");
    record[R::BunItem(1, 2)] = QStringLiteral("1");
    open("P1", record);
    const QStringList lines = summary();
    ASSERT_EQ(lines.size(), 6) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("基本情報:性別 指定（かつ）     女"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("ポイント情報:最終来店日 ")));
    EXPECT_EQ(lines[2],
              QString(94, u'-') + QStringLiteral("下記で指定の人を付加") + QString(38, u'-'));
    EXPECT_EQ(lines[3], QStringLiteral("基本情報:住所 指定（含める）   港区"));
    EXPECT_EQ(lines[4],
              QString(94, u'-') + QStringLiteral("下記で指定の人を除外") + QString(39, u'-'));
    EXPECT_EQ(lines[5], QStringLiteral("分類情報:地区 除外する         02:南 "));

    // A ticked entry is in the list at once; the level's buttons tick and untick all.
    control<QListWidget>("lstZok1")->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(summary().last(), QStringLiteral("分類情報:地区 除外する         01:北 02:南 "));
    click("cmdBunKai0_0");
    EXPECT_EQ(summary().last(),
              QStringLiteral("分類情報:地区 除外する         01:北 02:南 03:東 "));
    click("cmdBunKai1_0");
    EXPECT_EQ(control<QListWidget>("lstZok1")->item(2)->checkState(), Qt::Unchecked);
}

TEST_F(ConditionScreen, DateButtonsFillTheirDates) {
    open("P1", WithPeriod());
    click("optKihHjm_3");
    click("cmdAA"); // 前月
    EXPECT_EQ(control<DateField>("imdSeiFR")->value(), QStringLiteral("20260201"));
    EXPECT_EQ(control<DateField>("imdSeiTO")->value(), QStringLiteral("20260331"));
    type("txtKihHjm_X", QStringLiteral("2"));
    EXPECT_EQ(control<QSlider>("sldKihHjm")->value(), 2);
    click("cmdKihHjm_X");
    EXPECT_EQ(control<DateField>("imdSeiTO")->value(), QStringLiteral("20260401"));
    control<DateField>("imdSeiFR")->setValue(QString());
    click("cmdKihHjm_X");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("指定してください")});
    EXPECT_EQ(focusName(), QStringLiteral("imdSeiFR"));

    click("optTosBar_3");
    click("cmdNow2"); // 明日
    EXPECT_EQ(control<MonthDayField>("imdTosBar_A")->text(), QStringLiteral("04月01日"));
    EXPECT_EQ(module.Working()[R::TosBarMmdd], QStringLiteral("0401"));
    click("optTosTuk_3");
    click("chkTosTuk_5");
    click("chkTosTuk_12");
    click("cmdCLR");
    EXPECT_FALSE(checked("chkTosTuk_5"));
    EXPECT_FALSE(checked("chkTosTuk_12"));

    // Birth dates show their era.
    click("optTosTan_3");
    control<DateField>("imdTosTan_F")->setValue(QStringLiteral("19700101"));
    EXPECT_EQ(control<QLabel>("lblTosTan_F")->text(), QStringLiteral("S45.01.01"));
}

TEST_F(ConditionScreen, FunctionKeysWorkAnywhereAndDateFieldsShowTheCalendarHint) {
    int counts = 0;
    screen.setCountHandler([&] { ++counts; });
    open("P1", WithPeriod());
    auto* hint = control<QLabel>("picHelp2");
    click("optKihHjm_3");
    control("imdSeiFR")->setFocus();
    EXPECT_TRUE(hint->isVisible());
    control("optKihZip_1")->setFocus();
    EXPECT_FALSE(hint->isVisible());
    click("optKihHjm_1");
    control<QTabWidget>("SSTab1")->setCurrentIndex(5);
    QTest::keyClick(control("txtKhmemo_A"), Qt::Key_F1);
    EXPECT_EQ(counts, 1);
    EXPECT_EQ(focusName(), QStringLiteral("cmdF1"));
    QTest::keyClick(control("cmdF1"), Qt::Key_F12);
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(finished, QList<bool>{true});
}

// The operator clicks into an empty date field wherever the mouse lands and types the date:
// the digits go in from its first position, the field moves on only once they filled it.
TEST_F(ConditionScreen, DatesTypedAfterAClickIntoAnEmptyFieldAreTakenWhole) {
    open("P1", WithPeriod());
    control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    click("optTosTan_2");
    click("optTosBar_2");
    struct Case {
        const char* field;
        QString typed;
        QString value;
    };
    const Case cases[] = {
        {"imdTosTan_F", QStringLiteral("19800101"), QStringLiteral("19800101")},
        {"imdTosTan_T", QStringLiteral("19891231"), QStringLiteral("19891231")},
        {"imdTosBar_A", QStringLiteral("0229"), QStringLiteral("0229")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        auto* field = control<TextField>(c.field);
        // Near its right end, where the day's blanks are.
        QTest::mouseClick(field, Qt::LeftButton, {},
                          QPoint(field->width() - 6, field->height() / 2));
        EXPECT_EQ(QApplication::focusWidget(), field);
        EXPECT_EQ(field->cursorPosition(), 0);
        QTest::keyClicks(field, c.typed);
        const QString value = c.typed.size() == 8 ? static_cast<DateField*>(field)->value()
                                                  : static_cast<MonthDayField*>(field)->value();
        EXPECT_EQ(value, c.value);
        EXPECT_NE(focusName(), QLatin1String(c.field));
    }
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(module.Screen().TosTanFrom, u"19800101");
    EXPECT_EQ(module.Screen().TosTanTo, u"19891231");
}

// Ctrl+A, a click into a field with a date or a key that changes nothing keeps the focus where
// it is; typing over the selection then works and moves on once the date is whole.
TEST_F(ConditionScreen, OnlyATypedCharacterThatFillsADateFieldMovesOn) {
    open("P1", WithPeriod());
    control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    click("optTosTan_2");
    auto* from = control<DateField>("imdTosTan_F");
    ASSERT_TRUE(from->setValue(QStringLiteral("19800101")));
    from->setFocus();
    from->end(false);
    QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(focusName(), QStringLiteral("imdTosTan_F"));
    QTest::keyClicks(from, QStringLiteral("1975"));
    EXPECT_EQ(focusName(), QStringLiteral("imdTosTan_F"));
    QTest::keyClicks(from, QStringLiteral("0607"));
    EXPECT_EQ(from->value(), QStringLiteral("19750607"));
    EXPECT_EQ(focusName(), QStringLiteral("imdTosTan_T"));

    from->setFocus();
    from->end(false);
    QTest::keyClick(from, Qt::Key_5);
    QTest::keyClick(from, Qt::Key_End);
    QTest::mouseClick(from, Qt::LeftButton, {}, QPoint(from->width() - 6, from->height() / 2));
    EXPECT_EQ(focusName(), QStringLiteral("imdTosTan_F"));
    EXPECT_EQ(from->value(), QStringLiteral("19750607"));
    EXPECT_EQ(prompter.texts(), QStringList());
}

TEST_F(ConditionScreen, TheSqlButtonIsThereOnlyInDebugMode) {
    open("P1", WithPeriod());
    EXPECT_FALSE(control("cmdDebug")->isVisible());
    environment.DebugMode = 1;
    open("P1", WithPeriod());
    ASSERT_TRUE(control("cmdDebug")->isVisible());
    click("cmdDebug");
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("抽出１\n")));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("クリップしました")});
}

TEST_F(ConditionScreen, FitsALaptopDisplayWithItsTaskBar) {
    open("P1", WithPeriod());
    // The window frame adds about 30 pixels to a height of at most 720.
    const QSize size = screen.sizeHint().expandedTo(screen.minimumSizeHint());
    EXPECT_LE(size.width(), 1350);
    EXPECT_LE(size.height(), 690);
}

} // namespace
