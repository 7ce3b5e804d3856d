#include "db/MasterBrowser.h"

#include "app/EventPump.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/Sub_TBLBRSM4.h"
#include "db/Sub_TBLBRSM6.h"
#include "tests/support/MasterBrowsing.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// A master database with campaigns 1 to count in one master.
class Browsing : public ::testing::Test {
protected:
    void fill(const QString& table, int count) {
        mMaster =
            db::Database::create(mDir.filePath(QStringLiteral("PLW_MST%1.MDB").arg(++mFiles)));
        db::CreateMasterBaseTables(*mMaster);
        test::InsertCampaigns(*mMaster, table, count);
    }
    MasterBrowser browser(const MasterTable& table = DirectMailMaster()) {
        return MasterBrowser(*mMaster, table, mPrompter);
    }
    BrowseServices services() { return {*mMaster, mDialog, mPrompter, mPump}; }
    // The keys of the lines shown: characters 7 to 11.
    static QStringList keys(const MasterBrowser& b) {
        QStringList out;
        for (const QString& line : b.lines())
            out << line.mid(6, 5);
        return out;
    }
    static QString key(int n) { return QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')); }
    // Keys from down to down - count + 1.
    static QStringList keysDown(int from, int count) {
        QStringList out;
        for (int n = from; n > from - count; --n)
            out << key(n);
        return out;
    }

    QTemporaryDir mDir;
    int mFiles = 0;
    std::unique_ptr<db::Database> mMaster;
    test::ScriptedPrompter mPrompter;
    test::ScriptedBrowserDialog mDialog;
    CountingEventPump mPump;
};

TEST_F(Browsing, ListLineHasTheNumberKeyKanjiDateCountAndMemo) {
    fill(db::DirectMailMasterTable, 12);
    MasterBrowser b = browser();
    ASSERT_EQ(b.open(QString()), MasterBrowser::Read::Listed);
    // Highest number first; campaign 12 is planned on 20 December 2024 for 1,200 customers.
    EXPECT_EQ(b.lines().front(), QStringLiteral("0001: 00012  2024年12月20日 1,200  案内00012  "));
    EXPECT_EQ(b.lines().back(), QStringLiteral("0012: 00001  2024年01月20日   100  案内00001  "));
    EXPECT_EQ(b.pageLabel(), QStringLiteral("1 頁"));
    EXPECT_EQ(b.choose(1), key(11));
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(Browsing, PagesOfSixteenAtBothEndsOfTheList) {
    struct Case {
        int rows;
        bool secondPage;
    };
    for (const Case c : {Case{16, false}, Case{17, true}}) {
        SCOPED_TRACE(c.rows);
        fill(c.rows == 16 ? db::DirectMailMasterTable : db::MailMasterTable, c.rows);
        test::ScriptedPrompter prompter;
        MasterBrowser b(*mMaster, c.rows == 16 ? DirectMailMaster() : MailMaster(), prompter);
        ASSERT_EQ(b.open(QString()), MasterBrowser::Read::Listed);
        EXPECT_EQ(keys(b), keysDown(c.rows, 16));

        EXPECT_FALSE(b.previousPage());
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("前ページはありません")});
        EXPECT_EQ(b.nextPage(), c.secondPage);
        if (c.secondPage) {
            EXPECT_EQ(b.page(), 2);
            EXPECT_EQ(b.pageLabel(), QStringLiteral("2 頁"));
            EXPECT_EQ(b.lines(), QStringList{QStringLiteral(
                                     "0017: 00001  2024年01月20日   100  案内00001  ")});
            EXPECT_FALSE(b.nextPage());
        } else {
            EXPECT_EQ(b.page(), 1);
            EXPECT_EQ(keys(b), keysDown(16, 16)); // the list stays
        }
        EXPECT_EQ(prompter.texts().last(), QStringLiteral("次ページはありません"));
        EXPECT_EQ(b.page(), c.secondPage ? 2 : 1);
    }
}

TEST_F(Browsing, PagingBackAndForthReadsOnePageAtATime) {
    fill(db::DirectMailMasterTable, 100);
    MasterBrowser b = browser();
    const qint64 before = mMaster->rowsFetched();
    ASSERT_EQ(b.open(QString()), MasterBrowser::Read::Listed);
    EXPECT_EQ(mMaster->rowsFetched() - before, 16);

    // Pages 1 -> 3 -> 1: three pages read, each once.
    ASSERT_TRUE(b.nextPage());
    ASSERT_TRUE(b.nextPage());
    EXPECT_EQ(b.page(), 3);
    EXPECT_EQ(keys(b), keysDown(68, 16));
    EXPECT_EQ(b.lines().front().left(4), QStringLiteral("0033"));
    ASSERT_TRUE(b.previousPage());
    EXPECT_EQ(keys(b), keysDown(84, 16));
    EXPECT_EQ(b.lines().front().left(4), QStringLiteral("0017"));
    ASSERT_TRUE(b.previousPage());
    EXPECT_EQ(keys(b), keysDown(100, 16));
    EXPECT_LE(mMaster->rowsFetched() - before, 48);
    EXPECT_EQ(b.firstKey(1), key(100));
    EXPECT_EQ(b.firstKey(2), key(84));
    EXPECT_EQ(b.firstKey(3), key(68));

    // Forward again over pages already read: nothing is read; page 4 is read as one page.
    ASSERT_TRUE(b.nextPage());
    ASSERT_TRUE(b.nextPage());
    ASSERT_TRUE(b.nextPage());
    EXPECT_EQ(keys(b), keysDown(52, 16));
    EXPECT_EQ(mMaster->rowsFetched() - before, 64);
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(Browsing, ChoosingTakesTheLineOfThePageShown) {
    fill(db::MailMasterTable, 20);
    MasterBrowser b = browser(MailMaster());
    ASSERT_EQ(b.open(QString()), MasterBrowser::Read::Listed);
    EXPECT_EQ(b.choose(-1), std::nullopt);
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("選択されていません")});
    ASSERT_TRUE(b.nextPage());
    EXPECT_EQ(b.choose(3), key(1)); // page 2 holds the last four
    EXPECT_EQ(b.choose(4), std::nullopt);
    ASSERT_TRUE(b.previousPage());
    EXPECT_EQ(b.choose(15), key(5));
    EXPECT_EQ(b.choose(16), std::nullopt);
    EXPECT_EQ(mPrompter.texts().size(), 3);
}

TEST_F(Browsing, QueryIsTheSuitesFromTheStartKeyOn) {
    EXPECT_EQ(MasterBrowser::Query(DirectMailMaster(), QString()),
              QStringLiteral("SELECT  * FROM M4_ＤＭマスタ WHERE M4DmmBan >='            ' "
                             "ORDER BY M4DmmBan DESC "));
    EXPECT_EQ(MasterBrowser::Query(MailMaster(), QStringLiteral("00002")),
              QStringLiteral("SELECT  * FROM M6_メールマスタ WHERE M6eMlBan >='00002' "
                             "ORDER BY M6eMlBan DESC "));
    fill(db::MailMasterTable, 20);
    MasterBrowser b = browser(MailMaster());
    ASSERT_EQ(b.open(QStringLiteral("00015")), MasterBrowser::Read::Listed);
    EXPECT_EQ(keys(b), keysDown(20, 6));
    // A quote in a start key stays inside the literal.
    EXPECT_EQ(b.open(QStringLiteral("0'1")), MasterBrowser::Read::Listed);
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(Browsing, BrowseShowsThePreparingWindowThenTheListAndGivesTheChoice) {
    fill(db::DirectMailMasterTable, 20);
    mDialog.setScript([](MasterBrowser& b) {
        b.nextPage();
        return b.choose(0);
    });
    EXPECT_EQ(BrowseDmMaster({QString(), QStringLiteral("ＤＭ設定から取得")}, services()), key(4));
    EXPECT_EQ(mDialog.captions(),
              QStringList{QStringLiteral("TBLBRST1  一覧からの選択  先頭から　ＤＭ設定から取得")});
    EXPECT_EQ(mDialog.preparingShown(), 1);
    EXPECT_FALSE(mDialog.listedWhilePreparing());
    EXPECT_GE(mPump.count(), 1);

    mDialog.setScript([](MasterBrowser&) { return std::nullopt; }); // "閉る"
    EXPECT_EQ(BrowseDmMaster({}, services()), std::nullopt);
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(Browsing, EmptyOrUnreadableMasterOpensNoList) {
    fill(db::DirectMailMasterTable, 3);
    mDialog.setScript([](MasterBrowser& b) { return b.choose(0); });
    EXPECT_EQ(BrowseMailMaster({}, services()), std::nullopt);
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_EQ(mPrompter.messages()[0].text, QStringLiteral("該当データはありません"));
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Exclamation);

    mMaster->execute(QStringLiteral("DROP TABLE M4_ＤＭマスタ"));
    EXPECT_EQ(BrowseDmMaster({}, services()), std::nullopt);
    ASSERT_EQ(mPrompter.messages().size(), 2);
    EXPECT_TRUE(mPrompter.messages()[1].text.startsWith(QStringLiteral("一覧を読めませんでした")));
    EXPECT_EQ(mPrompter.messages()[1].icon, MessageIcon::Critical);
    EXPECT_TRUE(mDialog.captions().isEmpty());
}

} // namespace
