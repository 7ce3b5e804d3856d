#include "program/DesktopProgram.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/ProgressSink.h"
#include "app/QtJapanese.h"
#include "app/Sleeper.h"
#include "app/XdgDocumentOpener.h"
#include "program/ConditionScreenFlow.h"
#include "program/DesktopStart.h"
#include "program/ExitPaths.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamPrompter.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "rfm/AnalysisRun.h"
#include "rfm/GroupHistory.h"
#include "rfm/PLWAN40_sgn.h"
#include "rfm/RankedValues.h"
#include "rfm/ReadRankedValues.h"
#include "screens/DistributionWindow.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN402.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/FRM_PLWAN404.h"
#include "screens/Frm_TYuHelp1.h"
#include "screens/Frm_excel2jyu.h"
#include "screens/Frm_excelRun.h"
#include "screens/MessageBoxPrompter.h"
#include "screens/QtHardCopyDialog.h"
#include "screens/QtHardCopyPrinter.h"
#include "screens/QtMasterBrowserDialog.h"
#include "screens/QtSaveFileDialog.h"
#include "screens/QtTemplateDialog.h"
#include "screens/Sub_HDCOPY.h"
#include "screens/TemplateButtons.h"
#include "settings/ParameterFieldLimits.h"
#include "settings/ParameterLoader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFont>

namespace plw {

namespace {

// The event pump of the desktop: pending window events are processed.
class ApplicationEventPump final : public EventPump {
public:
    void yield() override { QCoreApplication::processEvents(); }
};

// Calls a function instead of closing a window: a screen's close box does what its ESC button
// does, so the program never ends behind the operator's back.
class CloseFilter final : public QObject {
public:
    CloseFilter(QObject* parent, std::function<void()> onClose)
        : QObject(parent), mOnClose(std::move(onClose)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && mOnClose) {
            event->ignore();
            mOnClose();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mOnClose;
};

QAbstractButton* F12Button(QWidget* screen) {
    return screen->findChild<QAbstractButton*>(QStringLiteral("cmdF12"));
}

} // namespace

DesktopProgram::DesktopProgram(Session& session, SaveFileDialog& saveDialog)
    : mSession(session), mSaveDialog(saveDialog) {}

DesktopProgram::~DesktopProgram() = default;

MaybeEnd DesktopProgram::start() {
    if (MaybeEnd end = PrepareSession(mSession, MenuCheck::Required))
        return end;
    buildScreens();
    if (QAbstractButton* f12 = F12Button(mParameterScreen.get()))
        f12->setEnabled(false);
    const ParameterLoad load = LoadSessionParameters(mSession);
    // Every screen shows the loaded parameters, so that the exit saves what they hold.
    mParameterScreen->loadState(mSession.ParameterScreen);
    mParameterScreen->setConditionSummary(mSession.Conditions->SummaryLines());
    mOutputScreen->loadState();
    mSession.SaveSettings = [this](Session& session) {
        session.ParameterScreen = mParameterScreen->state();
        mOutputScreen->storeState();
        SaveSessionParameters(session);
    };
    mSession.UnloadScreens = [this] {
        for (QWidget* window : std::initializer_list<QWidget*>{
                 mParameterScreen.get(), mOutputScreen.get(), mViewpointScreen.get(),
                 mThresholdScreen.get(), mDistributionWindow.get(), mConditionScreen.get(),
                 mHelpWindow.get(), mProgress.get(), mWait.get()})
            if (window)
                window->hide();
    };
    mSession.OpenWorkbook = [this](const QString& path) {
        // When nothing can show the workbook, the operator still learns where it was saved.
        QString error;
        LinuxSpreadsheetHost host(path);
        if (!host.Open(path, &error))
            mSession.Messages.show(QStringLiteral("Excelブックを保存しました。\r") +
                                       ToNativePath(path) + QStringLiteral("\r\r") + error,
                                   MessageIcon::Exclamation);
    };
    mParameterScreen->show();
    if (QAbstractButton* f12 = F12Button(mParameterScreen.get()))
        f12->setEnabled(true);
    ReportDamagedSettings(mSession, load);
    if (const QString matrix = DamagedMatrixText(mSession); !matrix.isEmpty())
        mSession.Messages.show(matrix, MessageIcon::Exclamation);
    if (const QString damaged = DamagedClassificationsText(mSession); !damaged.isEmpty())
        mSession.Messages.show(
            damaged + QStringLiteral("\r分類の名前と項目が正しくない可能性があります。ファイルを"
                                     "直すまで、分類による抽出と顧客一覧の分類の列は使わないで"
                                     "ください。"),
            MessageIcon::Exclamation);
    // A stored value the fields cannot hold is shown as it is, and the operator is told.
    const QStringList unfit = ValuesThatDoNotFit(mSession.ParameterScreen);
    if (!unfit.isEmpty())
        mSession.Messages.show(DoNotFitMessage(unfit), MessageIcon::Exclamation);
    return std::nullopt;
}

void DesktopProgram::buildScreens() {
    const Environment& env = mSession.Env;
    Prompter& prompter = mSession.Messages;
    mParameterScreen = std::make_unique<FRM_PLWAN401>(env, prompter, mSession.Time);
    mViewpointScreen = std::make_unique<FRM_PLWAN402>(env, prompter, mSession.ParameterScreen);
    mThresholdScreen = std::make_unique<FRM_PLWAN404>(env, prompter, mSession.ParameterScreen);
    mDistributionWindow =
        std::make_unique<DistributionWindow>(env, prompter, mSession.ParameterScreen);
    mOutputScreen = std::make_unique<FRM_PLWAN403>(env, prompter, mSession.OutputScreen,
                                                   mSession.OutputItems, mSaveDialog);
    mProgress = std::make_unique<Frm_excelRun>(prompter, mSession.Cancel);
    mRunningDialog = std::make_unique<Frm_excel2jyu>();
    mWait = std::make_unique<ExtractionWaitWindow>();
    // Made once for the program's life, hidden, on its first tab, before the parameters load.
    mConditionScreen = std::make_unique<FRM_DMSentk1>(env, prompter, *mSession.Conditions);
    mConditionFlow =
        std::make_unique<ConditionScreenFlow>(mSession, *mParameterScreen, *mConditionScreen,
                                              *mWait, [this](bool busy) { setBusy(busy); });
    mTemplateDialog = std::make_unique<QtTemplateDialog>(env, prompter);
    mTemplateButtons = std::make_unique<TemplateButtons>(
        *mTemplateDialog, prompter, *mSession.Conditions, *mConditionScreen, *mParameterScreen);
    mConditionScreen->setHelpHandler([this] { ShowHelpWindow(mHelpWindow, mSession.Env); });

    FRM_PLWAN401& screen = *mParameterScreen;
    screen.installEventFilter(new CloseFilter(&screen, [this] { toMenu(); }));
    screen.setMenuHandler([this] { toMenu(); });
    screen.setNextHandler([this] { toOutputScreen(); });
    screen.setLastVisitHandler([this](const QString&, const QString&, const QString&) {
        // The period is the last-visit condition, as the condition module keeps it.
        mSession.ParameterScreen = mParameterScreen->state();
        ApplyAnalysisPeriod(mSession.ParameterScreen, mSession.SavedConditions,
                            *mSession.Conditions);
        mParameterScreen->setConditionSummary(mSession.Conditions->SummaryLines());
    });
    // The threshold and viewpoint screens work on the session's state: the parameter screen's
    // values go there before they open and come back when they copied something.
    const auto openOver = [this](auto& other) {
        mSession.ParameterScreen = mParameterScreen->state();
        mParameterScreen->hide();
        other.open();
    };
    const auto back = [this](bool copied) {
        if (copied)
            mParameterScreen->loadState(mSession.ParameterScreen);
        mParameterScreen->show();
    };
    mThresholdScreen->setReturnHandler(back);
    mViewpointScreen->setReturnHandler(back);
    mDistributionWindow->setReturnHandler(back);
    screen.setDistributionHandler([this] { openDistribution(); });
    screen.setThresholdScreenHandler([this, openOver] { openOver(*mThresholdScreen); });
    screen.setViewpointHandler([this, openOver] { openOver(*mViewpointScreen); });
    screen.setPreviewHandler([this](PreviewLabels& labels) {
        mSession.ParameterScreen = mParameterScreen->state();
        bool shown = false;
        withContext([&](AnalysisContext& context) { shown = PreviewStatistics(context, labels); });
        return shown;
    });

    ConnectScreenAids(mSession, mAids, screen,
                      {mParameterScreen.get(), mViewpointScreen.get(), mThresholdScreen.get(),
                       mDistributionWindow.get(), mOutputScreen.get(), mConditionScreen.get()});

    mOutputScreen->setBackHandler([this] { mParameterScreen->show(); });
    mOutputScreen->setExecuteHandler([this] { return runAnalysis(); });

    mSleeper = std::make_unique<ThreadSleeper>();
    mWorkbook =
        std::make_unique<ExcelWorkbookWriter>(*mRunningDialog, *mSleeper, [](const QString& file) {
            return std::make_unique<LinuxSpreadsheetHost>(file);
        });
}

void DesktopProgram::withContext(const std::function<void(AnalysisContext&)>& work) {
    AnalysisContext context = SessionAnalysis(mSession, *mWait, *mProgress, mWorkbook.get());
    context.HideScreens = [this] {
        mOutputScreen->hide();
        mParameterScreen->hide();
    };
    setBusy(true);
    work(context);
    setBusy(false);
}

void DesktopProgram::setBusy(bool busy) {
    // The run's own windows keep their cancel; the screens take no input meanwhile.
    for (QWidget* screen : std::initializer_list<QWidget*>{
             mParameterScreen.get(), mOutputScreen.get(), mViewpointScreen.get(),
             mThresholdScreen.get(), mDistributionWindow.get(), mHelpWindow.get()})
        if (screen)
            screen->setEnabled(!busy);
}

void DesktopProgram::openDistribution() {
    mSession.ParameterScreen = mParameterScreen->state();
    RankedValues values;
    ReadingOutcome outcome = ReadingOutcome::Failed;
    // The wait window's "中断" stops the reading; the window opens only on what was read.
    mWait->setCancel(&mSession.Cancel);
    withContext([&](AnalysisContext& context) { outcome = ReadRankedValues(context, values); });
    mWait->setCancel(nullptr);
    if (outcome != ReadingOutcome::Read)
        return;
    mParameterScreen->hide();
    mDistributionWindow->open(RankDistribution(std::move(values)));
}

void DesktopProgram::toMenu() {
    finish(ExitToMenu(mSession));
}

void DesktopProgram::toOutputScreen() {
    mSession.ParameterScreen = mParameterScreen->state();
    mParameterScreen->hide();
    // The comparison lists the kept runs as the history holds them now; reading writes nothing.
    mOutputScreen->setHistory(ReadHistory(*mSession.Databases.Transaction),
                              DateOfText(mSession.ParameterScreen.BaseDate));
    mOutputScreen->loadState();
    mOutputScreen->show();
}

AnalysisResult DesktopProgram::runAnalysis() {
    AnalysisResult result;
    withContext([&](AnalysisContext& context) { result = ExecuteAnalysis(context); });
    mProgress->close();
    mWait->close();
    if (MaybeEnd end = EndAfterRun(mSession, result)) {
        finish(*end);
    } else if (!mOutputScreen->isVisible() && !mParameterScreen->isVisible()) {
        mOutputScreen->show(); // back to the screens after a run that did not end the program
    }
    return result;
}

void DesktopProgram::finish(const ProgramEnd& end) {
    if (mEnded)
        return;
    mEnded = true;
    if (mEnd)
        mEnd(end.status);
}

int RunDesktop(int argc, char* argv[], const CommandLine& line) {
    // Wayland ignores where a window asks to be placed: the X11 platform is used where it exists.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (!DisplayNamed()) {
        StreamPrompter prompter(stderr);
        static_cast<Prompter&>(prompter).show(NoDisplayMessage(), MessageIcon::Critical);
        return NoDisplayStatus;
    }
    const ApplicationStartGuard guard;
    QApplication application(argc, argv);
    guard.started();
    QApplication::setApplicationName(QStringLiteral("plwan40"));
    QApplication::setQuitOnLastWindowClosed(false);
    QString error;
    if (!LoadJapanese(application, &error))
        StreamPrompter(stderr).show(error, MessageIcon::Information, MessageButtons::Ok);

    MessageBoxPrompter prompter(QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"));
    SystemClock clock;
    ApplicationEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.ProgramFolder = QCoreApplication::applicationDirPath();
    session.Env.LocationFileOverride = line.LocationFile;
    QtSaveFileDialog saveDialog;
    QtMasterBrowserDialog browsers(session.Env);
    QtHardCopyPrinter printer;
    QtHardCopyDialog hardCopyDialog(printer, prompter);
    ScreenHardCopy hardCopies(clock, prompter, hardCopyDialog, printer, saveDialog);
    XdgDocumentOpener documents(prompter);
    DesktopProgram program(session, saveDialog);
    program.setScreenAids({&browsers, &hardCopies, &documents});
    program.setEndHandler([](int status) { QCoreApplication::exit(status); });
    if (MaybeEnd end = program.start())
        return end->status;
    return application.exec();
}

} // namespace plw
