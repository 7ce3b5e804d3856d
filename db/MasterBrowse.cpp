#include "db/MasterBrowse.h"

#include "app/EventPump.h"
#include "app/Prompter.h"
#include "db/MasterBrowserDialog.h"

namespace plw {

QString BrowserCaption(const QString& title) {
    return QStringLiteral("TBLBRST1  一覧からの選択") + QStringLiteral("  ") +
           QStringLiteral("先頭から　") + title;
}

std::optional<QString> BrowseMaster(const MasterTable& table, const BrowseCall& call,
                                    const BrowseServices& services) {
    services.Dialog.showPreparing();
    services.Pump.yield();
    MasterBrowser browser(services.Master, table, services.Messages);
    const MasterBrowser::Read read = browser.open(call.StartKey);
    services.Dialog.hidePreparing();
    if (read == MasterBrowser::Read::Failed)
        return std::nullopt;
    if (read == MasterBrowser::Read::Empty) {
        services.Messages.show(QStringLiteral("該当データはありません"), MessageIcon::Exclamation);
        return std::nullopt;
    }
    return services.Dialog.choose(browser, BrowserCaption(call.Title));
}

} // namespace plw
