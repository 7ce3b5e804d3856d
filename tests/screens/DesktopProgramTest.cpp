#include "program/DesktopProgram.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/MasterBrowser.h"
#include "program/Session.h"
#include "rfm/PLWAN4_hrhen.h"
#include "screens/DistributionWindow.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN402.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/FRM_PLWAN404.h"
#include "screens/GroupMatrixWidget.h"
#include "screens/SaveFileDialog.h"
#include "screens/Sub_HDCOPY.h"
#include "screens/TextField.h"
#include "settings/AnalysisParameters.h"
#include "tests/screens/ScreenAidDoubles.h"
#include "tests/screens/ScriptedSaveDialog.h"
#include "tests/support/Files.h"
#include "tests/support/MasterBrowsing.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/sample/SampleInstallation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace plw;

namespace {

struct NoSaveDialog final : SaveFileDialog {
    QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&,
                            const QString&, const QString&) override {
        return {};
    }
};

// A sample installation started from the menu (its marker written), the desktop program on it.
class DesktopProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 12;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSummary))
            << error.toStdString();
        mSession.Env.LocationFileOverride = mSummary.locationFile;
        test::WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
        mProgram.setEndHandler([this](int status) { mEnds.append(status); });
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSummary;
    test::ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    CountingEventPump mPump;
    Session mSession{mPrompter, mClock, mPump};
    NoSaveDialog mSaveDialog;
    DesktopProgram mProgram{mSession, mSaveDialog};
    QList<int> mEnds;
};

// Keys reach a screen's shortcuts only in the active window.
void Activate(QWidget& window) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST_F(DesktopProgramTest, EscSavesTheSettingsForTheMenuAndTheNextStartShowsThem) {
    ASSERT_FALSE(mProgram.start()) << mPrompter.texts().join(u'|').toStdString();
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    EXPECT_TRUE(screen.isVisible());
    auto* f12 = screen.findChild<QAbstractButton*>(QStringLiteral("cmdF12"));
    ASSERT_TRUE(f12);
    EXPECT_TRUE(f12->isEnabled());
    EXPECT_EQ(screen.state().BaseDate, mSession.ParameterScreen.BaseDate);

    // A changed base date is saved on the way to the menu.
    ParameterScreenState changed = screen.state();
    changed.BaseDate = QStringLiteral("20261201");
    screen.loadState(changed);
    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_Escape);
    EXPECT_EQ(mEnds, QList<int>{0});
    EXPECT_FALSE(QFile::exists(mSummary.workFolder + QStringLiteral("MENU.DAT")));
    EXPECT_FALSE(mSession.Databases.Open);
    EXPECT_TRUE(
        test::ReadBytes(mSummary.workFolder + QStringLiteral("PLWAN40.PRM")).contains("20261201"));

    // The next start, from the menu again, shows what was saved.
    test::WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
    Session again(mPrompter, mClock, mPump);
    again.Env.LocationFileOverride = mSummary.locationFile;
    DesktopProgram restarted(again, mSaveDialog);
    ASSERT_FALSE(restarted.start());
    EXPECT_EQ(restarted.parameterScreen().state().BaseDate, u"20261201");
}

TEST_F(DesktopProgramTest, StartingAndLeavingAtOnceKeepsEverySavedSettingByteForByte) {
    const QString parameters = mSummary.workFolder + QStringLiteral("PLWAN40.PRM");
    const QString conditions = mSummary.workFolder + QStringLiteral("PLWAN40.JKN");
    const QByteArray savedParameters = test::ReadBytes(parameters);
    const QByteArray savedConditions = test::ReadBytes(conditions);
    // Twice: the first exit must not change what the second start reads.
    for (int start = 0; start < 2; ++start) {
        test::WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
        test::ScriptedPrompter prompter;
        Session session(prompter, mClock, mPump);
        session.Env.LocationFileOverride = mSummary.locationFile;
        DesktopProgram program(session, mSaveDialog);
        QList<int> ends;
        program.setEndHandler([&](int status) { ends.append(status); });
        ASSERT_FALSE(program.start()) << prompter.texts().join(u'|').toStdString();
        Activate(program.parameterScreen());
        QTest::keyClick(&program.parameterScreen(), Qt::Key_Escape);
        ASSERT_EQ(ends, QList<int>{0});
        EXPECT_EQ(test::ReadBytes(parameters), savedParameters) << "start " << start;
        EXPECT_EQ(test::ReadBytes(conditions), savedConditions) << "start " << start;
        EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.texts().join(u'|').toStdString();
    }
}

TEST_F(DesktopProgramTest, AStoredValueTheFieldsCannotHoldIsShownWholeReportedAndRefused) {
    const QString path = mSummary.workFolder + QStringLiteral("PLWAN40.PRM");
    AnalysisParameters stored;
    QString error;
    ASSERT_TRUE(ReadParameterFile(path, stored));
    stored.MThreshold[4] = QStringLiteral("123456");
    stored.LastVisitMonths = QStringLiteral("1200");
    ASSERT_TRUE(WriteParameterFile(path, stored, &error)) << error.toStdString();

    ASSERT_FALSE(mProgram.start());
    ASSERT_EQ(mPrompter.texts().size(), 1) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_TRUE(mPrompter.texts()[0].contains(QStringLiteral("Ｍのランク５のしきい値「123456」")))
        << mPrompter.texts()[0].toStdString();
    EXPECT_TRUE(mPrompter.texts()[0].contains(QStringLiteral("最終来店日の月数「1200」")));
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("txtPrmM_5"))->text(), u"123456");
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("txtPinRai_X"))->text(), u"1200");

    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_F12);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(mPrompter.texts().last(),
              QStringLiteral("しきい値は５桁までの数字で指定してください"));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("txtPrmM_5"));
}

TEST_F(DesktopProgramTest, AWorkbookNothingCanShowIsNamedWithItsFullPath) {
    ASSERT_FALSE(mProgram.start());
    // The only spreadsheet program on the search path fails at once, as one without a display.
    const QString bin = mDir.path() + QStringLiteral("/bin");
    test::WriteBytes(bin + QStringLiteral("/localc"),
                     "#!/bin/sh\necho cannot open display >&2\nexit 1\n");
    QFile::setPermissions(bin + QStringLiteral("/localc"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    const QString workbook = mDir.path() + QStringLiteral("/RFM分析結果.xls");
    test::WriteBytes(workbook, "saved");
    mSession.OpenWorkbook(workbook);
    qputenv("PATH", path);
    ASSERT_EQ(mPrompter.texts().size(), 1);
    EXPECT_TRUE(mPrompter.texts()[0].startsWith(QStringLiteral("Excelブックを保存しました。\r") +
                                                workbook + u'\r'))
        << mPrompter.texts()[0].toStdString();
    EXPECT_TRUE(mPrompter.texts()[0].contains(QStringLiteral("終了コード 1")));
}

TEST_F(DesktopProgramTest, DamagedSettingsAreReportedKeptAsideAndTheScreensStartFromDefaults) {
    const QString prm = mSummary.workFolder + QStringLiteral("PLWAN40.PRM");
    const QString jkn = mSummary.workFolder + QStringLiteral("PLWAN40.JKN");
    const QByteArray cut = test::ReadBytes(prm).chopped(30);
    QByteArray flipped = test::ReadBytes(jkn);
    flipped[3] = char(flipped[3] ^ 0x01); // a bit of the "V10YUK" marker
    test::WriteBytes(prm, cut);
    test::WriteBytes(jkn, flipped);
    const QString opt = mSummary.workFolder + QStringLiteral("PLWAN40.OPT");
    // The marker, then a comparison date that is no date.
    test::WriteBytes(opt, QByteArray("\x06\x00"
                                     "V10OPT"
                                     "\x08\x00"
                                     "20261399",
                                     18));

    ASSERT_FALSE(mProgram.start());
    ASSERT_EQ(mPrompter.texts().size(), 3) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_TRUE(
        mPrompter.texts()[0].startsWith(QStringLiteral("分析の設定（パラメータファイル）（") + prm +
                                        QStringLiteral("）を読めませんでした")))
        << mPrompter.texts()[0].toStdString();
    EXPECT_TRUE(mPrompter.texts()[0].contains(QStringLiteral("画面は初期値で始めます。")));
    EXPECT_TRUE(mPrompter.texts()[1].contains(QStringLiteral("抽出条件なしで始めます。")))
        << mPrompter.texts()[1].toStdString();
    EXPECT_EQ(test::ReadBytes(prm + QStringLiteral(".damaged")), cut);
    EXPECT_EQ(test::ReadBytes(jkn + QStringLiteral(".damaged")), flipped);
    EXPECT_TRUE(mPrompter.texts()[2].startsWith(QStringLiteral("前回との比較と宛名リストの設定（") +
                                                opt + QStringLiteral("）を読めませんでした")))
        << mPrompter.texts()[2].toStdString();
    EXPECT_TRUE(mPrompter.texts()[2].contains(QStringLiteral("比較する基準日 20261399")));
    EXPECT_TRUE(QFile::exists(opt + QStringLiteral(".damaged")));
    EXPECT_EQ(mProgram.parameterScreen().state().BaseDate, QString());

    // Leaving writes new files; the damaged ones stay where they were put.
    Activate(mProgram.parameterScreen());
    QTest::keyClick(&mProgram.parameterScreen(), Qt::Key_Escape);
    AnalysisParameters written;
    EXPECT_TRUE(ReadParameterFile(prm, written));
    EXPECT_EQ(test::ReadBytes(prm + QStringLiteral(".damaged")), cut);

    // A missing parameter file is a first start: nothing to say.
    QFile::remove(prm);
    test::WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
    test::ScriptedPrompter quiet;
    Session again(quiet, mClock, mPump);
    again.Env.LocationFileOverride = mSummary.locationFile;
    DesktopProgram restarted(again, mSaveDialog);
    ASSERT_FALSE(restarted.start());
    EXPECT_TRUE(quiet.texts().isEmpty()) << quiet.texts().join(u'|').toStdString();
}

TEST_F(DesktopProgramTest, TheFourMainScreensCarryOneTitle) {
    ASSERT_FALSE(mProgram.start());
    const QString title = mProgram.parameterScreen().windowTitle();
    EXPECT_TRUE(title.startsWith(QStringLiteral("Twsystem Lumen v1 (PLWAN401) ")))
        << title.toStdString();
    for (QWidget* screen : std::initializer_list<QWidget*>{
             &mProgram.viewpointScreen(), &mProgram.outputScreen(), &mProgram.thresholdScreen()})
        EXPECT_EQ(screen->windowTitle(), title);
}

TEST_F(DesktopProgramTest, TheCloseBoxGoesToTheMenuAndF12ToTheOutputScreen) {
    ASSERT_FALSE(mProgram.start());
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_F12);
    EXPECT_TRUE(mProgram.outputScreen().isVisible()) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(screen.isVisible());
    Activate(mProgram.outputScreen());
    QTest::keyClick(&mProgram.outputScreen(), Qt::Key_Escape);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_TRUE(mEnds.isEmpty());

    static_cast<QWidget&>(screen).close();
    EXPECT_EQ(mEnds, QList<int>{0});
    EXPECT_FALSE(mSession.Databases.Open);
}

TEST_F(DesktopProgramTest, APaintingInTheViewpointScreenComesBackToTheParameterScreen) {
    ASSERT_FALSE(mProgram.start());
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    auto* viewpoints = screen.findChild<QAbstractButton*>(QStringLiteral("Command7"));
    ASSERT_TRUE(viewpoints);
    viewpoints->click();
    FRM_PLWAN402& other = mProgram.viewpointScreen();
    ASSERT_TRUE(other.isVisible());
    EXPECT_FALSE(screen.isVisible());
    other.groupOption(5)->click(); // group E
    GroupMatrixWidget* fView = other.view(GroupMatrixWidget::Arrangement::F);
    QTest::mouseClick(fView, Qt::LeftButton, {}, fView->cellRect(QStringLiteral("534")).center());
    EXPECT_EQ(other.view(GroupMatrixWidget::Arrangement::R)->group(QStringLiteral("534")), u"E");
    Activate(other);
    QTest::keyClick(&other, Qt::Key_F12);
    ASSERT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.state().GroupMatrix[size_t(CellIndex(QStringLiteral("534"))) - 1], u"E");
}

TEST_F(DesktopProgramTest, TheValuesButtonShowsTheSelectedCustomersFigures) {
    ASSERT_FALSE(mProgram.start());
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    auto* values = screen.findChild<QAbstractButton*>(QStringLiteral("Command3"));
    ASSERT_TRUE(values);
    ASSERT_TRUE(values->isEnabled());
    values->click();
    auto* count = screen.findChild<QLabel*>(QStringLiteral("lblSgnCnt"));
    ASSERT_TRUE(count);
    bool number = false;
    count->text().trimmed().remove(u',').toInt(&number);
    EXPECT_TRUE(number) << count->text().toStdString()
                        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_TRUE(screen.isEnabled()); // the screen takes input again after the preview
}

// F5 on the parameter screen: the screen check first, then the window on the selected
// customers; its thresholds come back with "この閾値を使う", and nothing is saved or written.
TEST_F(DesktopProgramTest, F5OpensTheDistributionsAfterTheScreenCheckAndTakesItsThresholdsBack) {
    ASSERT_FALSE(mProgram.start());
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    const QString parameters = mSummary.workFolder + QStringLiteral("PLWAN40.PRM");
    const QByteArray savedParameters = test::ReadBytes(parameters);
    DistributionWindow& window = mProgram.distributionWindow();

    ParameterScreenState state = screen.state();
    const QString base = state.BaseDate;
    state.BaseDate.clear();
    screen.loadState(state);
    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_F5);
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("省略できません")});
    EXPECT_FALSE(window.isVisible());

    state.BaseDate = base;
    screen.loadState(state);
    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_F5);
    ASSERT_TRUE(window.isVisible()) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(screen.isVisible());
    const qint64 inPeriod = [&] {
        auto rows = mSession.Databases.Transaction->openRecordset(
            QStringLiteral("SELECT COUNT(*) FROM M1_お客様マスタ WHERE M1SakHby >= '%1' AND "
                           "M1SakHby <= '%2'")
                .arg(state.LastVisitFrom, state.LastVisitTo));
        return rows->value(0).toLongLong();
    }();
    EXPECT_EQ(window.counts().customers(), inPeriod);
    EXPECT_FALSE(mProgram.waitWindow().isVisible());
    EXPECT_FALSE(mProgram.waitWindow()
                     .findChild<QAbstractButton*>(QStringLiteral("cmdCancel"))
                     ->isVisibleTo(&mProgram.waitWindow()));

    window.findChild<QAbstractButton*>(QStringLiteral("cmdSplitAll"))->click();
    const QString m5 = window.thresholdField('M', 5)->text();
    window.findChild<QAbstractButton*>(QStringLiteral("cmdUse"))->click();
    EXPECT_FALSE(window.isVisible()) << mPrompter.texts().join(u'|').toStdString();
    ASSERT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.state().MThreshold[4], m5);
    EXPECT_EQ(screen.state().BaseDate, base);
    EXPECT_EQ(test::ReadBytes(parameters), savedParameters);
    EXPECT_TRUE(mEnds.isEmpty());
}

// The operator's whole path: a period, a painted cell, F12, the sheets, F12, the confirmation,
// the progress window, the workbook saved and opened, the program at its end.
TEST_F(DesktopProgramTest, AnOperatorRunsAnAnalysisFromStartToTheSavedWorkbook) {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    mSession.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    ASSERT_FALSE(mProgram.start());
    QStringList opened;
    mSession.OpenWorkbook = [&](const QString& path) {
        opened << path;
    };

    FRM_PLWAN401& screen = mProgram.parameterScreen();
    ParameterScreenState parameters = screen.state();
    parameters.LastVisitFrom = QStringLiteral("20250101");
    parameters.LastVisitTo = QStringLiteral("20261130");
    parameters.BaseDate = QStringLiteral("20261130");
    screen.loadState(parameters);
    auto* matrix = screen.findChild<GroupMatrixWidget*>(QStringLiteral("lblR54321"));
    ASSERT_TRUE(matrix);
    auto* groupA = screen.findChild<QAbstractButton*>(QStringLiteral("lblGrp_A"));
    ASSERT_TRUE(groupA);
    groupA->click();
    QTest::mouseClick(matrix, Qt::LeftButton, {}, matrix->cellRect(QStringLiteral("111")).center());
    EXPECT_EQ(screen.state().GroupMatrix[size_t(CellIndex(QStringLiteral("111"))) - 1], u"A");
    Activate(screen);
    QTest::keyClick(&screen, Qt::Key_F12);
    ASSERT_TRUE(mProgram.outputScreen().isVisible()) << mPrompter.texts().join(u'|').toStdString();

    FRM_PLWAN403& output = mProgram.outputScreen();
    output.storeState();
    OutputScreenState& state = output.state();
    state.OutParameters = state.OutGroupValues = state.OutCustomerList = true;
    state.OutRCount = true;
    state.WorkbookName = mDir.filePath(QStringLiteral("分析.xls"));
    output.loadState();
    Activate(output);
    QTest::keyClick(&output, Qt::Key_F12);

    EXPECT_EQ(mEnds, QList<int>{0}) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_EQ(opened, QStringList{mDir.filePath(QStringLiteral("分析.xls"))});
    EXPECT_TRUE(QFile::exists(mDir.filePath(QStringLiteral("分析.xls"))));
    EXPECT_TRUE(mPrompter.texts().contains(QStringLiteral("処理してもよろしいですか？")))
        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(mSession.Databases.Open);
}

// The screens' aids on the sample installation: a direct mail's conditions taken from the
// third page of its master into the condition screen, a hard copy of the parameter screen, the
// explanatory document.
TEST_F(DesktopProgramTest, CampaignConditionsHardCopyAndTheDocumentFromTheParameterScreen) {
    test::ScriptedBrowserDialog browsers;
    test::ScriptedHardCopyDialog hardCopyDialog;
    test::PdfPrinters printers(mDir.path(), {QStringLiteral("事務所のプリンタ")});
    test::ScriptedSaveDialog pdfDialog;
    ScreenHardCopy hardCopies(mClock, mPrompter, hardCopyDialog, printers, pdfDialog);
    test::RecordingOpener documents;
    mProgram.setScreenAids({&browsers, &hardCopies, &documents});
    mSession.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    ASSERT_FALSE(mProgram.start());
    FRM_PLWAN401& screen = mProgram.parameterScreen();
    const ParameterScreenState before = screen.state();

    // Page 3 of forty campaigns lists 00008 down to 00001: the sixth line is 00003, a mailing
    // for women only.
    browsers.setScript([](MasterBrowser& b) {
        b.nextPage();
        b.nextPage();
        return b.choose(5);
    });
    const ConditionRecord current = mSession.SavedConditions;
    const auto take = [&] {
        screen.findChild<QAbstractButton*>(QStringLiteral("cmdDM"))->click();
    };
    const auto press = [this](const char* name) {
        mProgram.conditionScreen().findChild<QAbstractButton*>(QLatin1String(name))->click();
    };
    // The campaign opens the condition screen in its mode; ESC keeps the current conditions.
    take();
    ASSERT_EQ(browsers.captions().size(), 1) << mPrompter.texts().join(u'|').toStdString();
    FRM_DMSentk1& conditions = mProgram.conditionScreen();
    ASSERT_TRUE(conditions.isVisible());
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(conditions.findChild<QLabel*>(QStringLiteral("lblMode"))->text(),
              QStringLiteral("ＤＭ"));
    EXPECT_TRUE(
        conditions.findChild<QAbstractButton*>(QStringLiteral("optKihSeI_A_2"))->isChecked());
    press("cmdEsc");
    ASSERT_TRUE(screen.isVisible());
    EXPECT_EQ(mSession.SavedConditions, current);
    EXPECT_EQ(screen.state().ConditionSummary, before.ConditionSummary);

    // F12 makes them the current conditions.
    take();
    press("cmdF12");
    ASSERT_TRUE(screen.isVisible());
    const ConditionRecord& taken = mSession.SavedConditions;
    EXPECT_EQ(taken[ConditionRecord::KihSeiKind], ConditionKind::KindAnd);
    EXPECT_EQ(taken[ConditionRecord::KihSeiValue], u"2");
    EXPECT_EQ(taken[ConditionRecord::PinRaiKind], ConditionKind::KindAnd);
    EXPECT_EQ(taken[ConditionRecord::PinRaiFrom], before.LastVisitFrom);
    EXPECT_EQ(taken[ConditionRecord::PinRaiTo], before.LastVisitTo);
    EXPECT_EQ(screen.state().ConditionSummary, mSession.Conditions->SummaryLines());
    EXPECT_NE(screen.state().ConditionSummary, before.ConditionSummary);
    EXPECT_TRUE(mPrompter.texts().isEmpty()) << mPrompter.texts().join(u'|').toStdString();

    for (QWidget* other : std::initializer_list<QWidget*>{&screen, &mProgram.viewpointScreen(),
                                                          &mProgram.outputScreen(), &conditions})
        EXPECT_TRUE(other->findChild<QAbstractButton*>(QStringLiteral("imgHDCopy"))->isEnabled())
            << other->objectName().toStdString();
    screen.findChild<QAbstractButton*>(QStringLiteral("imgHDCopy"))->click();
    EXPECT_EQ(hardCopyDialog.sizes, QList<QSize>{screen.size()});

    screen.findChild<QAbstractButton*>(QStringLiteral("Command8"))->click();
    EXPECT_EQ(documents.opened,
              QStringList{QDir(QStringLiteral(PLWAN40_PROGRAM_FOLDER))
                              .filePath(QStringLiteral("説明：RFM分析日付の関係.pdf"))});
}

} // namespace
