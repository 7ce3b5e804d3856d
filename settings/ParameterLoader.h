#pragma once

#include <QString>
#include <QStringList>

namespace plw {

struct AnalysisParameters;
struct ConditionRecord;
struct Environment;
struct OutputScreenState;
struct ParameterScreenState;
class ConditionModule;

// Fills the parameter and output screens from PLWAN40.PRM and the saved conditions from
// PLWAN40.JKN, once at start-up after the output item list is built. parameters is the record
// kept in memory until SaveParameters: a file that cannot be read leaves it (and so the screens)
// as it was. The saved conditions always get the screen's last-visit range as an "and" condition
// and are handed to the condition module, whose summary the parameter screen shows.
void LoadParameters(const Environment& environment, const QStringList& outputItems,
                    AnalysisParameters& parameters, ParameterScreenState& parameterScreen,
                    OutputScreenState& outputScreen, ConditionRecord& savedConditions,
                    ConditionModule& conditions);

} // namespace plw
