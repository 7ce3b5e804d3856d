#include "program/ConditionScreenFlow.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/KeyFile.h"
#include "program/BatchRun.h"
#include "program/DesktopProgram.h"
#include "program/Session.h"
#include "screens/DateField.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/SaveFileDialog.h"
#include "tests/support/Files.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/sample/SampleInstallation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace plw;
using R = ConditionRecord;

namespace {

// Runs a look at the windows whenever long work yields to the window system.
struct WatchingPump final : EventPump {
    void yield() override {
        if (watch)
            watch();
    }
    std::function<void()> watch;
};

struct NoSaveDialog final : SaveFileDialog {
    QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&,
                            const QString&, const QString&) override {
        return {};
    }
};

// The desktop program on a dozen-customer sample installation, started from the menu.
class ConditionScreenFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 12;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSummary))
            << error.toStdString();
        start(mSession, mProgram);
    }

    void start(Session& session, DesktopProgram& program) {
        session.Env.LocationFileOverride = mSummary.locationFile;
        test::WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
        program.setEndHandler([this](int status) { mEnds.append(status); });
        ASSERT_FALSE(program.start()) << mPrompter.texts().join(u'|').toStdString();
    }

    template <typename T = QWidget> static T* control(QWidget& screen, const char* name) {
        T* found = screen.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget& screen, const char* name) {
        control<QAbstractButton>(screen, name)->click();
    }
    // A key pressed on a window, which the operator has made the active one.
    static void key(QWidget& screen, Qt::Key key) {
        screen.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&screen)) << qPrintable(screen.objectName());
        // The offscreen platform leaves a window shown again without the widgets' activation.
        if (QApplication::activeWindow() != &screen)
            QApplication::setActiveWindow(&screen);
        QTest::keyClick(&screen, key);
    }
    static QStringList summary(QWidget& screen) {
        QStringList lines;
        auto* list = control<QListWidget>(screen, "List1");
        for (int row = 0; row < list->count(); ++row)
            lines << list->item(row)->text();
        return lines;
    }
    // Women only, on the condition screen.
    static void chooseWomen(FRM_DMSentk1& conditions) {
        click(conditions, "optKihSeI_3");
        click(conditions, "optKihSeI_A_2");
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSummary;
    test::ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    WatchingPump mPump;
    NoSaveDialog mSaveDialog;
    Session mSession{mPrompter, mClock, mPump};
    DesktopProgram mProgram{mSession, mSaveDialog};
    QList<int> mEnds;
};

const QString Women = QStringLiteral("基本情報:性別 指定（かつ）     女");

TEST_F(ConditionScreenFlowTest, ConditionsConfirmedWithF12StayForThePeriodTheExitAndTheNextStart) {
    FRM_PLWAN401& parameters = mProgram.parameterScreen();
    FRM_DMSentk1& conditions = mProgram.conditionScreen();
    EXPECT_FALSE(conditions.isVisible()); // made hidden at start-up
    click(parameters, "cmdNew");
    ASSERT_TRUE(conditions.isVisible());
    EXPECT_FALSE(parameters.isVisible());
    EXPECT_EQ(control<QLabel>(conditions, "lblMode")->text(), QStringLiteral("設定"));
    chooseWomen(conditions);
    key(conditions, Qt::Key_F12);
    EXPECT_FALSE(conditions.isVisible());
    ASSERT_TRUE(parameters.isVisible());
    EXPECT_TRUE(summary(parameters).contains(Women));
    EXPECT_TRUE(QFile::exists(mSession.Env.ConditionScreenPath));

    // A new period is the last-visit condition of the same record.
    ASSERT_TRUE(
        control<DateField>(parameters, "imdPinRai_F")->setValue(QStringLiteral("20260101")));
    EXPECT_TRUE(summary(parameters).contains(Women));
    EXPECT_EQ(mSession.SavedConditions[R::PinRaiFrom], QStringLiteral("20260101"));
    EXPECT_EQ(mSession.SavedConditions[R::KihSeiValue], QStringLiteral("2"));

    key(parameters, Qt::Key_Escape);
    ASSERT_EQ(mEnds, QList<int>{0});

    Session again(mPrompter, mClock, mPump);
    DesktopProgram restarted(again, mSaveDialog);
    start(again, restarted);
    EXPECT_TRUE(summary(restarted.parameterScreen()).contains(Women));
    click(restarted.parameterScreen(), "cmdNew");
    EXPECT_TRUE(
        control<QAbstractButton>(restarted.conditionScreen(), "optKihSeI_A_2")->isChecked());
    EXPECT_TRUE(control<QAbstractButton>(restarted.conditionScreen(), "optKihSeI_3")->isChecked());
}

TEST_F(ConditionScreenFlowTest,
       PreviousConditionsOpenWithTheScreensPeriodAndEscPutsTheCurrentBack) {
    FRM_PLWAN401& parameters = mProgram.parameterScreen();
    FRM_DMSentk1& conditions = mProgram.conditionScreen();
    // What the last exit saved: a memo condition over an old period.
    ConditionRecord previous = ClearedConditionRecord();
    previous[R::KhMemoKind] = QStringLiteral("3");
    previous[R::KhMemoText] = QStringLiteral("常連");
    previous[R::PinRaiKind] = QStringLiteral("3");
    previous[R::PinRaiFrom] = QStringLiteral("20200101");
    previous[R::PinRaiTo] = QStringLiteral("20201231");
    QString error;
    ASSERT_TRUE(WriteConditionFile(mSession.Env.SavedConditionPath, previous, &error));

    click(parameters, "cmdNew");
    chooseWomen(conditions);
    key(conditions, Qt::Key_F12);
    const QStringList current = summary(parameters);
    ASSERT_TRUE(current.contains(Women));

    click(parameters, "cmdMae");
    ASSERT_TRUE(conditions.isVisible());
    EXPECT_EQ(control<QLabel>(conditions, "lblMode")->text(), QStringLiteral("前条件"));
    EXPECT_TRUE(control<QAbstractButton>(conditions, "optKhmemo_3")->isChecked());
    EXPECT_TRUE(control<QAbstractButton>(conditions, "optKihSeI_1")->isChecked());
    // The analysis period stays the parameter screen's.
    EXPECT_EQ(control<DateField>(conditions, "imdPinRai_F")->value(),
              parameters.state().LastVisitFrom);
    key(conditions, Qt::Key_Escape);
    ASSERT_TRUE(parameters.isVisible());
    EXPECT_EQ(summary(parameters), current);
    EXPECT_EQ(mSession.SavedConditions[R::KhMemoKind], QStringLiteral("1"));

    click(parameters, "cmdMae");
    key(conditions, Qt::Key_F12);
    EXPECT_TRUE(
        summary(parameters).contains(QStringLiteral("基本情報:メモ 指定（かつ）     常連")));
    EXPECT_FALSE(summary(parameters).contains(Women));
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();

    // A file that is there but unreadable is reported; nothing opens, nothing changes.
    test::WriteBytes(mSession.Env.SavedConditionPath, QByteArray(40, '\xff'));
    const ConditionRecord before = mSession.SavedConditions;
    click(parameters, "cmdMae");
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_TRUE(mPrompter.texts()[0].contains(QStringLiteral("を読み込めませんでした")));
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(conditions.isVisible());
    EXPECT_TRUE(parameters.isVisible());
    EXPECT_EQ(mSession.SavedConditions, before);
}

TEST_F(ConditionScreenFlowTest, TheConditionScreenOpensOnlyOnAParameterScreenThatPassesItsCheck) {
    FRM_PLWAN401& parameters = mProgram.parameterScreen();
    ASSERT_TRUE(control<DateField>(parameters, "imdKijyun")->setValue(QString()));
    for (const char* button : {"cmdNew", "cmdMae"}) {
        click(parameters, button);
        EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("省略できません")) << button;
        EXPECT_FALSE(mProgram.conditionScreen().isVisible()) << button;
    }
}

TEST_F(ConditionScreenFlowTest, F1CountsTheCustomersTheBatchRunThenExtracts) {
    FRM_PLWAN401& parameters = mProgram.parameterScreen();
    FRM_DMSentk1& conditions = mProgram.conditionScreen();
    const ParameterScreenState period = parameters.state();
    QStringList women;
    auto rows = mSession.Databases.Transaction->openRecordset(
        QStringLiteral("SELECT M1KaiBan FROM M1_お客様マスタ WHERE M1KhSeib = '2' AND "
                       "M1SakHby >= '%1' AND M1SakHby <= '%2' ORDER BY M1KaiBan")
            .arg(period.LastVisitFrom, period.LastVisitTo));
    for (; !rows->eof(); rows->moveNext())
        women << rows->value(0).toString();
    rows.reset();
    ASSERT_FALSE(women.isEmpty());
    ASSERT_LT(women.size(), 12);

    click(parameters, "cmdNew");
    chooseWomen(conditions);
    // While the count yields, the wait window is up and nothing else takes input.
    int yields = 0;
    mPump.watch = [&] {
        ++yields;
        EXPECT_TRUE(mProgram.waitWindow().isVisible());
        EXPECT_EQ(mProgram.waitWindow().windowTitle(), QStringLiteral("抽出中"));
        EXPECT_FALSE(conditions.body()->isEnabled());
        EXPECT_FALSE(parameters.isEnabled());
    };
    key(conditions, Qt::Key_F1);
    mPump.watch = nullptr;
    EXPECT_GT(yields, 0);
    EXPECT_FALSE(mProgram.waitWindow().isVisible());
    const QString count = QString::number(women.size());
    QString wide;
    for (QChar c : count)
        wide += QChar(0xFF10 + (c.unicode() - u'0'));
    EXPECT_EQ(control<QLabel>(conditions, "lblKen")->text(),
              QStringLiteral("該当 ") + wide + QStringLiteral(" 人"));
    ASSERT_EQ(mPrompter.messages().size(), 1) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(conditions.body()->isEnabled());
    EXPECT_TRUE(parameters.isEnabled());

    // The run reads what the screen saved: F12, a sheet chosen, the exit, then a batch run.
    key(conditions, Qt::Key_F12);
    FRM_PLWAN403& output = mProgram.outputScreen();
    output.storeState();
    output.state().OutRCount = true;
    output.state().WorkbookName = mDir.filePath(QStringLiteral("分析.xls"));
    output.loadState();
    key(parameters, Qt::Key_Escape);
    ASSERT_EQ(mEnds, QList<int>{0});
    test::ScriptedPrompter batchPrompter;
    Session batch(batchPrompter, mClock, mPump);
    batch.Env.LocationFileOverride = mSummary.locationFile;
    batch.Env.ProgramFolder = mDir.path(); // no workbook template: the run stops after scoring
    std::FILE* printed = std::tmpfile();
    const int status = RunBatch(batch, {}, printed, printed).status;
    std::fclose(printed);
    EXPECT_EQ(status, 3) << batchPrompter.texts().join(u'|').toStdString();
    const QByteArray keys = test::ReadBytes(mSummary.workFolder + QStringLiteral("PLWAN40.KEY"));
    QStringList extracted;
    for (qsizetype at = 0; at + KeyFileRecord::Length <= keys.size(); at += KeyFileRecord::Length)
        extracted << DecodeKeyFileRecord(keys.constData() + at).CustomerNumber;
    EXPECT_EQ(extracted, women);
}

} // namespace

namespace {

TEST_F(ConditionScreenFlowTest, TheButtonsLeadSomewhereAndTwoHelpClicksShowOneWindow) {
    FRM_PLWAN401& parameters = mProgram.parameterScreen();
    FRM_DMSentk1& conditions = mProgram.conditionScreen();
    for (const char* name : {"cmdNew", "cmdMae", "cmdTeplate", "cmdTeplate2"})
        EXPECT_TRUE(control(parameters, name)->isEnabled()) << name;
    for (const char* name : {"cmdF1", "cmdTeplate", "cmdHelp", "cmdAllDel"})
        EXPECT_TRUE(control(conditions, name)->isEnabled()) << name;
    // "説明" twice: one help window, the condition screen still usable beside it.
    click(parameters, "cmdNew");
    click(conditions, "cmdHelp");
    click(conditions, "cmdHelp");
    int helpWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("Frm_TYuHelp1") && window->isVisible())
            ++helpWindows;
    EXPECT_EQ(helpWindows, 1);
    EXPECT_TRUE(conditions.isVisible());
    EXPECT_TRUE(conditions.isEnabled());
}

} // namespace
