#include "settings/ParameterLoader.h"

#include "app/Environment.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterScreenState.h"

namespace plw {

ParameterLoad LoadParameters(const Environment& environment, const QStringList& outputItems,
                             AnalysisParameters& parameters, ParameterScreenState& parameterScreen,
                             OutputScreenState& outputScreen, ConditionRecord& savedConditions,
                             ConditionModule& conditions) {
    ParameterLoad load;
    load.Parameters = ReadParameterFile(environment.ParameterPath, parameters);
    ParametersToParameterScreen(parameters, parameterScreen);
    ParametersToOutputScreen(parameters, outputItems, outputScreen);

    load.Conditions = ReadConditionFile(environment.SavedConditionPath, savedConditions);
    SetLastVisitCondition(parameterScreen, savedConditions);
    conditions.Run(QStringLiteral("SR"), QStringLiteral("P1"), savedConditions);
    parameterScreen.ConditionSummary = conditions.SummaryLines();
    return load;
}

} // namespace plw
