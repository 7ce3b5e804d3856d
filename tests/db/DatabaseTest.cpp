#include "db/Database.h"

#include "tests/support/Printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plw::db {
namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        mDb = Database::create(mDir.filePath(QStringLiteral("PLW_TRN.MDB")));
    }
    QTemporaryDir mDir;
    std::unique_ptr<Database> mDb;
};

TEST_F(DatabaseTest, ExecutesQueriesAndPreparedStatements) {
    mDb->execute(QStringLiteral(
        "CREATE TABLE t (TmpKaiBan CHAR(7) CONSTRAINT FRMKEY PRIMARY KEY, N SHORT)"));
    auto insert = mDb->prepare(QStringLiteral("INSERT INTO t (TmpKaiBan, N) VALUES (?1, ?2)"));
    Transaction transaction(*mDb);
    for (int i = 1; i <= 3; ++i) {
        insert->bind(1, QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')));
        insert->bind(2, i * 10);
        insert->execute();
    }
    transaction.commit();
    auto rs = mDb->openRecordset(QStringLiteral("SELECT COUNT(*) AS [件数], SUM(n) AS s FROM t"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->integer(u"件数"), 3);
    EXPECT_EQ(rs->integer(u"S"), 60);
    EXPECT_TRUE(mDb->tableExists(QStringLiteral("T")));
    EXPECT_FALSE(mDb->tryExecute(QStringLiteral("DROP TABLE missing")));
}

} // namespace
} // namespace plw::db
