#include "settings/ParameterLoader.h"

#include "app/Environment.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterScreenState.h"

namespace plw {

void LoadParameters(const Environment& environment, const QStringList& outputItems,
                    AnalysisParameters& parameters, ParameterScreenState& parameterScreen,
                    OutputScreenState& outputScreen, ConditionRecord& savedConditions,
                    ConditionModule& conditions) {
    // A missing, unreadable or foreign file is no error here: the record keeps its values.
    QString ignored;
    ReadParameterFile(environment.ParameterPath, parameters, &ignored);
    ParametersToParameterScreen(parameters, parameterScreen);
    ParametersToOutputScreen(parameters, outputItems, outputScreen);

    // An unreadable or foreign file gives the cleared record.
    ReadConditionFile(environment.SavedConditionPath, savedConditions);
    SetLastVisitCondition(parameterScreen, savedConditions);
    conditions.Run(QStringLiteral("SR"), QStringLiteral("P1"), savedConditions);
    parameterScreen.ConditionSummary = conditions.SummaryLines();
}

} // namespace plw
