#include "program/SessionAnalysis.h"

#include "program/Session.h"

namespace plw {

AnalysisContext SessionAnalysis(Session& session, WaitWindow& wait, ProgressSink& progress,
                                WorkbookWriter* workbook) {
    return AnalysisContext{session.Env,
                           session.Databases,
                           session.Messages,
                           session.Time,
                           session.Pump,
                           wait,
                           progress,
                           *session.Conditions,
                           session.Parameters,
                           session.ParameterScreen,
                           session.OutputScreen,
                           session.SavedConditions,
                           session.Cancel,
                           session.Statistics,
                           workbook,
                           {},
                           {},
                           false,
                           false,
                           std::nullopt};
}

} // namespace plw
