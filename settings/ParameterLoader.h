#pragma once

#include "app/StoredFile.h"

#include <QString>
#include <QStringList>

namespace plw {

struct AnalysisParameters;
struct ConditionRecord;
struct Environment;
struct OutputScreenState;
struct ParameterScreenState;
class ConditionModule;

// What loading found in the two files.
struct ParameterLoad {
    StoredFileRead Parameters; // PLWAN40.PRM
    StoredFileRead Conditions; // PLWAN40.JKN
    StoredFileRead Own = {};   // PLWAN40.OPT, the program's own settings (read by the caller)
};

// Fills the parameter and output screens from PLWAN40.PRM and the saved conditions from
// PLWAN40.JKN, once at start-up after the output item list is built. parameters is the record
// kept in memory until SaveParameters: a file that cannot be used leaves it (and so the screens)
// as it was, a condition file that cannot be used gives the cleared record; the result says
// which, for the caller to judge. The saved conditions always get the screen's last-visit range
// as an "and" condition and are handed to the condition module, whose summary the parameter
// screen shows.
ParameterLoad LoadParameters(const Environment& environment, const QStringList& outputItems,
                             AnalysisParameters& parameters, ParameterScreenState& parameterScreen,
                             OutputScreenState& outputScreen, ConditionRecord& savedConditions,
                             ConditionModule& conditions);

// The analysis period of the parameter screen as the last-visit "and" condition of the saved
// conditions, handed to the condition module (whose summary then shows it): at loading, when
// the screen's period changes and before a batch run.
void ApplyAnalysisPeriod(const ParameterScreenState& parameterScreen,
                         ConditionRecord& savedConditions, ConditionModule& conditions);

} // namespace plw
