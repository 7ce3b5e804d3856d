#include "app/main/StartUp.h"

#include "app/OutputItemList.h"
#include "app/Prompter.h"
#include "app/main/Session.h"
#include "db/Sub_DataBaseFotDB.h"
#include "settings/ParameterLoader.h"
#include "settings/ParameterSaver.h"

namespace plw {

MaybeEnd PrepareSession(Session& session, MenuCheck menuCheck) {
    if (MaybeEnd end = LoadSystemDescription(session.Env, session.Messages, menuCheck))
        return end;
    if (MaybeEnd end = db::OpenDatabases(session.Env, session.Databases, session.Messages))
        return end;
    session.Classifications = LoadClassifications(session.Env.ClassificationPath);
    session.Conditions = std::make_unique<ConditionModule>(session.Env, session.Classifications,
                                                           session.Messages, session.Time);
    session.Conditions->Run(QStringLiteral("JB"), QString(), session.SavedConditions);
    QStringList levels;
    for (int level = 1; level <= ClassificationLevels; ++level)
        levels << LevelName(session.Classifications, level);
    session.OutputItems = BuildOutputItemList(levels);
    return std::nullopt;
}

void LoadSessionParameters(Session& session) {
    LoadParameters(session.Env, session.OutputItems, session.Parameters, session.ParameterScreen,
                   session.OutputScreen, session.SavedConditions, *session.Conditions);
}

void SaveSessionParameters(Session& session) {
    QString error;
    if (!SaveParameters(session.Env, session.ParameterScreen, session.OutputScreen,
                        session.Parameters, session.SavedConditions, &error))
        session.Messages.show(error, MessageIcon::Critical);
}

} // namespace plw
