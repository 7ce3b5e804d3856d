#pragma once

#include <QString>
#include <QtGlobal>

namespace plw {

class EventPump;

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

// Counts progress reports and updates the display on every step-th one, which then yields to
// the window system: that yield is where a click on the cancel button is served.
class ProgressCounter {
public:
    ProgressCounter(ProgressSink& sink, EventPump& pump) : mSink(sink), mPump(pump) {}

    void ReportProgress(qint64 current, qint64 total, int step);
    // Starts counting afresh, as at the start of a run.
    void Reset() { mTicks = 0; }

private:
    ProgressSink& mSink;
    EventPump& mPump;
    int mTicks = 0;
};

} // namespace plw
