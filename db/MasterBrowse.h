#pragma once

#include "db/MasterBrowser.h"

#include <QString>

#include <optional>

namespace plw {

class EventPump;
class MasterBrowserDialog;

// What a caller passes a master browser: where the list starts ("" from the beginning) and the
// title added to the window's caption.
struct BrowseCall {
    QString StartKey;
    QString Title;
};

// The services a browser works with.
struct BrowseServices {
    db::Database& Master;
    MasterBrowserDialog& Dialog;
    Prompter& Messages;
    EventPump& Pump;
};

// The browser window's caption: "TBLBRST1  一覧からの選択", "  先頭から　" and the call's title.
QString BrowserCaption(const QString& title);

// Lets the operator pick a row of the master: the preparing window while page 1 is read, then
// the list. The chosen key, or nothing when the operator closed the list, the master holds no
// row from the start key on ("該当データはありません") or it could not be read (reported).
std::optional<QString> BrowseMaster(const MasterTable& table, const BrowseCall& call,
                                    const BrowseServices& services);

} // namespace plw
