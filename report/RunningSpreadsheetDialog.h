#pragma once

#include <QString>

namespace plw {

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
    // Shows the dialog modally (optAutoQuit selected when it opens) and returns the selection;
    // holder says who holds the workbook open (SpreadsheetHost::holder), "" when not known.
    virtual Choice choose(const QString& holder) = 0;
    // Shows that the run waits for this file to be closed, with a button that cancels the wait.
    virtual void showWaiting(const QString& file) = 0;
    // True once the operator pressed the wait's cancel button.
    virtual bool waitCancelled() = 0;
    // Unloads the dialog and the wait display.
    virtual void close() = 0;
};

} // namespace plw
