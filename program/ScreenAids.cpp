#include "program/ScreenAids.h"

#include "app/ExplanatoryDocument.h"
#include "program/Session.h"
#include "db/MasterBrowse.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/HardCopyButton.h"

namespace plw {

void ConnectScreenAids(Session& session, const ScreenAids& aids, FRM_PLWAN401& parameterScreen,
                       std::initializer_list<QWidget*> screens) {
    if (aids.HardCopies)
        for (QWidget* screen : screens)
            ConnectHardCopy(screen, *aids.HardCopies);

    if (aids.Browsers)
        parameterScreen.setCampaignHandler(
            [&session, browsers = aids.Browsers](CampaignSource source,
                                                 const ParameterScreenState& screen) {
                const BrowseServices services{*session.Databases.Master, *browsers,
                                              session.Messages, session.Pump};
                return TakeCampaignConditions(source, screen, session.Env, services);
            });

    if (aids.Documents)
        parameterScreen.setExplanationHandler([&session, documents = aids.Documents] {
            OpenExplanatoryDocument(session.Env.ProgramFolder, *documents, session.Messages);
        });
}

} // namespace plw
