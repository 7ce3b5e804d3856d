#pragma once

#include <QString>
#include <QtGlobal>

namespace plw {

class EventPump;
class ProgressSink;

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
