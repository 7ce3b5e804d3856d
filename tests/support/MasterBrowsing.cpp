#include "tests/support/MasterBrowsing.h"

#include "db/BaseTables.h"
#include "db/Database.h"
#include "tests/support/TableRows.h"

#include <QDate>

namespace plw::test {

void InsertCampaigns(db::Database& master, const QString& table, int count) {
    const bool directMail = table == db::DirectMailMasterTable;
    const QString prefix = directMail ? QStringLiteral("M4") : QStringLiteral("M6");
    db::Transaction transaction(master);
    for (int n = 1; n <= count; ++n) {
        const QString number = QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
        InsertRow(
            master, table,
            {{prefix + (directMail ? QStringLiteral("DmmBan") : QStringLiteral("EmlBan")), number},
             {prefix + QStringLiteral("KihYot"),
              QDate(2024, 1, 20).addMonths(n - 1).toString(QStringLiteral("yyyyMMdd"))},
             {prefix + QStringLiteral("TyuYts"), n * 100},
             {prefix + QStringLiteral("KihMem"), QStringLiteral("案内") + number}});
    }
    transaction.commit();
}

void ScriptedBrowserDialog::showPreparing() {
    ++mPreparingShown;
    mPreparing = true;
}

std::optional<QString> ScriptedBrowserDialog::choose(MasterBrowser& browser,
                                                     const QString& caption) {
    mCaptions << caption;
    mListedWhilePreparing = mListedWhilePreparing || mPreparing;
    return mScript ? mScript(browser) : std::nullopt;
}

} // namespace plw::test
