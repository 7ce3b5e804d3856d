#pragma once

#include "app/ProgramEnd.h"
#include "program/CommandLine.h"
#include "program/ScreenAids.h"

#include <functional>
#include <memory>

class QWidget;

namespace plw {

struct Environment;
class ConditionScreenFlow;
class DistributionWindow;
class FRM_DMSentk1;
class Frm_TYuHelp1;
class FRM_PLWAN401;
class FRM_PLWAN402;
class FRM_PLWAN403;
class FRM_PLWAN404;
class Frm_excel2jyu;
class Frm_excelRun;
class ExtractionWaitWindow;
class SaveFileDialog;
class TemplateButtons;
class TemplateDialog;
class ExcelWorkbookWriter;
class Sleeper;
struct AnalysisContext;
struct AnalysisResult;
struct Session;

// The desktop program over a session: the start-up with its screens in the order of the main
// routine, the moves between the screens, the analysis run with its windows, and the exits. The
// program's end is reported through the end handler (the event loop's exit in the program).
class DesktopProgram {
public:
    DesktopProgram(Session& session, SaveFileDialog& saveDialog);
    ~DesktopProgram();

    // The start-up: system description, databases, classifications, condition module, output
    // items, the parameter screen loaded with F12 disabled, the parameters, the screen shown and
    // F12 enabled. The end when a step failed (its message shown).
    MaybeEnd start();

    // The browsers, hard copy and document viewer the screens open; set before start.
    void setScreenAids(const ScreenAids& aids) { mAids = aids; }

    // Called once with the program's end status when an exit path has run.
    void setEndHandler(std::function<void(int status)> handler) { mEnd = std::move(handler); }

    FRM_PLWAN401& parameterScreen() { return *mParameterScreen; }
    FRM_PLWAN402& viewpointScreen() { return *mViewpointScreen; }
    FRM_PLWAN403& outputScreen() { return *mOutputScreen; }
    FRM_DMSentk1& conditionScreen() { return *mConditionScreen; }
    FRM_PLWAN404& thresholdScreen() { return *mThresholdScreen; }
    DistributionWindow& distributionWindow() { return *mDistributionWindow; }
    ExtractionWaitWindow& waitWindow() { return *mWait; }
    Frm_excelRun& progressWindow() { return *mProgress; }
    Frm_excel2jyu& runningDialog() { return *mRunningDialog; }

private:
    void buildScreens();
    void toMenu();
    void toOutputScreen();
    AnalysisResult runAnalysis();
    // "分布と閾値": reads the selected customers' figures, then opens the window on them.
    void openDistribution();
    // Runs work with the analysis context of the session and the run's windows.
    void withContext(const std::function<void(AnalysisContext&)>& work);
    void finish(const ProgramEnd& end);
    // While an operation yields, no other window takes input (no second operation, no exit).
    void setBusy(bool busy);

    Session& mSession;
    SaveFileDialog& mSaveDialog;
    std::unique_ptr<FRM_PLWAN401> mParameterScreen;
    std::unique_ptr<FRM_PLWAN402> mViewpointScreen;
    std::unique_ptr<FRM_PLWAN403> mOutputScreen;
    std::unique_ptr<FRM_PLWAN404> mThresholdScreen;
    std::unique_ptr<DistributionWindow> mDistributionWindow;
    std::unique_ptr<FRM_DMSentk1> mConditionScreen;
    std::unique_ptr<Frm_excelRun> mProgress;
    std::unique_ptr<Frm_excel2jyu> mRunningDialog;
    std::unique_ptr<ExtractionWaitWindow> mWait;
    std::unique_ptr<ConditionScreenFlow> mConditionFlow;
    std::unique_ptr<TemplateDialog> mTemplateDialog;
    std::unique_ptr<TemplateButtons> mTemplateButtons;
    std::unique_ptr<Frm_TYuHelp1> mHelpWindow; // made by the first "説明"
    std::unique_ptr<Sleeper> mSleeper;
    std::unique_ptr<ExcelWorkbookWriter> mWorkbook;
    std::function<void(int)> mEnd;
    ScreenAids mAids;
    bool mEnded = false;
};

// The desktop program's entry: the Qt application (the X11 platform preferred where Wayland
// would ignore window placement) in Japanese, the session and the event loop. Exit status; 2
// without a display.
int RunDesktop(int argc, char* argv[], const CommandLine& line);

} // namespace plw
