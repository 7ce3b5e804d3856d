#include "screens/ScreenAids.h"

#include "app/ExplanatoryDocument.h"
#include "app/main/Session.h"
#include "db/MasterBrowse.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/HardCopyButton.h"

namespace plw {

void ConnectScreenAids(Session& session, const ScreenAids& aids, FRM_PLWAN401& parameterScreen,
                       std::initializer_list<QWidget*> screens) {
    if (aids.HardCopies)
        for (QWidget* screen : screens)
            ConnectHardCopy(screen, *aids.HardCopies);

    if (aids.Browsers) {
        parameterScreen.setCampaignHandler(
            [&session, browsers = aids.Browsers](CampaignSource source,
                                                 const ParameterScreenState& screen) {
                const BrowseServices services{*session.Databases.Master, *browsers,
                                              session.Messages, session.Pump};
                return TakeCampaignConditions(source, screen, session.Env, services);
            });
        // Until the condition screen takes the prepared conditions (with its mode caption and
        // ESC), they become the current conditions as they are.
        parameterScreen.setConditionScreenHandler(
            [&session, &parameterScreen](const QString&, const ConditionRecord& conditions) {
                session.SavedConditions = conditions;
                session.Conditions->Run(QStringLiteral("SR"), QStringLiteral("P1"),
                                        session.SavedConditions);
                parameterScreen.setConditionSummary(session.Conditions->SummaryLines());
            });
    }

    if (aids.Documents)
        parameterScreen.setExplanationHandler([&session, documents = aids.Documents] {
            OpenExplanatoryDocument(session.Env.ProgramFolder, *documents, session.Messages);
        });
}

} // namespace plw
