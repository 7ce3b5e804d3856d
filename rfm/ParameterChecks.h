#pragma once

#include <QString>

namespace plw {

class Clock;
struct ParameterScreenState;

// The first failing check of the parameter screen: the message to show (critical icon) and the
// control that gets the focus. An empty message means every check passed.
struct ParameterCheckFailure {
    QString Message;
    QString Focus;
    bool passed() const { return Message.isEmpty(); }
};

// The screen check before leaving the parameter screen: the last-visit period, the base date
// (not before the period's end, not after today) and, when it is on, the detailed period.
ParameterCheckFailure CheckParameterScreen(const ParameterScreenState& screen, const Clock& clock);

// The thresholds of ranks 2 to 5 must be digits (at most five) and improve strictly: R falling,
// F and M rising.
ParameterCheckFailure CheckThresholds(const ParameterScreenState& screen);

// Everything the parameter screen checks before a run: the screen check, then the thresholds.
ParameterCheckFailure CheckParameters(const ParameterScreenState& screen, const Clock& clock);

} // namespace plw
