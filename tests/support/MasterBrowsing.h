#pragma once

#include "db/MasterBrowserDialog.h"

#include <QStringList>

#include <functional>

namespace plw::db {
class Database;
}

namespace plw::test {

// Campaigns 1 to count in the direct-mail or the mail master (table: "M4_ＤＭマスタ" or
// "M6_メールマスタ"): number "00001" ..., planned on the 20th of successive months from January
// 2024, count number x 100, memo "案内" + number.
void InsertCampaigns(db::Database& master, const QString& table, int count);

// Plays the operator of the browser windows: the script runs on the browser when its list would
// open (paging, choosing) and gives the window's result. Records what the windows were asked.
class ScriptedBrowserDialog final : public MasterBrowserDialog {
public:
    using Script = std::function<std::optional<QString>(MasterBrowser& browser)>;

    void setScript(Script script) { mScript = std::move(script); }

    void showPreparing() override;
    void hidePreparing() override { mPreparing = false; }
    std::optional<QString> choose(MasterBrowser& browser, const QString& caption) override;

    // The captions of the lists opened, in order.
    const QStringList& captions() const { return mCaptions; }
    int preparingShown() const { return mPreparingShown; }
    // Whether the preparing window was still up when a list opened.
    bool listedWhilePreparing() const { return mListedWhilePreparing; }

private:
    Script mScript;
    QStringList mCaptions;
    int mPreparingShown = 0;
    bool mPreparing = false;
    bool mListedWhilePreparing = false;
};

} // namespace plw::test
