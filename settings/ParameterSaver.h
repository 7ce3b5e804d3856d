#pragma once

#include <QString>

namespace plw {

struct AnalysisParameters;
struct ConditionRecord;
struct Environment;
struct OutputScreenState;
struct ParameterScreenState;

// Writes the screens' current values to PLWAN40.PRM and the saved conditions to PLWAN40.JKN, at
// every exit. parameters is the record kept since LoadParameters: the values no screen control
// sets (an option group with nothing selected, the stored items after ListItemCount, the head)
// are written back as they were. Both files are written, each atomically, also when the other
// fails; false with one line per failed file in error, for the caller to show.
bool SaveParameters(const Environment& environment, const ParameterScreenState& parameterScreen,
                    const OutputScreenState& outputScreen, AnalysisParameters& parameters,
                    ConditionRecord& savedConditions, QString* error);

} // namespace plw
