#pragma once

#include <QString>
#include <QtGlobal>

namespace plw {

class EventPump;
class Prompter;
class SpreadsheetHost;

// The already-running dialog and the wait that may follow it. The desktop shows the modal
// dialog and a wait window with a cancel button; tests answer from a script.
class RunningSpreadsheetDialog {
public:
    enum class Choice {
        AutoQuit, // optAutoQuit: let the running program go and continue
        Closed,   // optZokkou: the operator has closed it; continue
        Abandon,  // optTyudan: abandon the run
    };

    virtual ~RunningSpreadsheetDialog() = default;
    // Shows the dialog modally (optAutoQuit selected when it opens) and returns the selection.
    virtual Choice choose() = 0;
    // Shows that the run waits for this file to be closed, with a button that cancels the wait.
    virtual void showWaiting(const QString& file) = 0;
    // True once the operator pressed the wait's cancel button.
    virtual bool waitCancelled() = 0;
    // Unloads the dialog and the wait display.
    virtual void close() = 0;
};

// Waiting a number of milliseconds; the program sleeps, tests count.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleep(int milliseconds) = 0;
};

// The thread sleeping for real.
class ThreadSleeper final : public Sleeper {
public:
    void sleep(int milliseconds) override;
};

// The results of ExcelRunCheck.
enum ExcelRunResult : qint16 {
    ExcelNotRunning = 0,
    ExcelAbandoned = 1,
    ExcelClosedByOperator = 2,
    ExcelQuitAutomatically = 3,
    ExcelNotAvailable = 4, // not installed, or it never let go
};

struct ExcelRunCheckContext {
    SpreadsheetHost& host;
    RunningSpreadsheetDialog& dialog;
    Prompter& prompter;
    EventPump& pump;
    Sleeper& sleeper;
};

// Makes sure a spreadsheet program is installed and the output workbook is not open in one
// before the workbook is written, asking the operator what to do when it is.
qint16 ExcelRunCheck(ExcelRunCheckContext context);

// The rounds of the automatic wait: half a second each, one hour at most.
inline constexpr int QuitWaitRoundMs = 500;
inline constexpr int QuitWaitRounds = 7200;
// How often the operator may say "closed" while the workbook is still open.
inline constexpr int ClosedConfirmRounds = 1000;

} // namespace plw
