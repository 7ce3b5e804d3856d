#pragma once

#include <QString>

namespace plw {

// The display of a long run's progress: the progress window in the desktop program, a bar on
// standard error in batch mode.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Shows the window without blocking; lblKey1 names the current step.
    virtual void open() = 0;
    virtual void showStep(const QString& text) = 0;
    // lblKen1: "current/total", each "##,###" (a zero prints as nothing).
    virtual void showCount(const QString& text) = 0;
    // proBAR: 0 to 100.
    virtual void showPercent(int percent) = 0;
    // lblKen1 and proBAR shown (while the customer list is written) or hidden. A display
    // without them ignores it.
    virtual void setCounterVisible(bool visible) { (void)visible; }
    // Unloads the window at the end of the workbook step.
    virtual void close() {}
};

} // namespace plw
