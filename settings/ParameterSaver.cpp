#include "settings/ParameterSaver.h"

#include "app/Environment.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/ParameterMapping.h"

#include <QStringList>

namespace plw {

bool SaveParameters(const Environment& environment, const ParameterScreenState& parameterScreen,
                    const OutputScreenState& outputScreen, AnalysisParameters& parameters,
                    ConditionRecord& savedConditions, QString* error) {
    ParameterScreenToParameters(parameterScreen, parameters);
    OutputScreenToParameters(outputScreen, parameters);

    QStringList failures;
    QString cause;
    if (!WriteParameterFile(environment.ParameterPath, parameters, &cause))
        failures << QStringLiteral("%1 を保存できません: %2").arg(environment.ParameterPath, cause);
    if (!WriteConditionFile(environment.SavedConditionPath, savedConditions, &cause))
        failures
            << QStringLiteral("%1 を保存できません: %2").arg(environment.SavedConditionPath, cause);
    if (failures.isEmpty())
        return true;
    if (error)
        *error = failures.join(QLatin1Char('\r'));
    return false;
}

} // namespace plw
