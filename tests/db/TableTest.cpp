// Tables: walking in table order with one update per row, seeks on an index, adding and
// deleting rows.

#include "ShopFixture.h"

#include "db/BaseTables.h"

#include "tests/support/Printers.h"

namespace plw::db::test {
namespace {

using TableTest = EngineShop;

TEST_P(TableTest, WalkUpdatesEveryRowInTableOrder) {
    mTrn->execute(
        QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ ORDER BY M1KaiBan DESC"));
    mTrn->execute(QStringLiteral(" ALTER TABLE Work抽出A ADD COLUMN  RANS integer "));
    Transaction transaction(*mTrn);
    auto table = mTrn->openTable(QStringLiteral("work抽出a"));
    QStringList order;
    for (int n = 1; !table->eof(); table->moveNext(), ++n) {
        order << table->text(u"M1KaiBan");
        table->edit();
        table->setValue(u"rans", n);
        table->update();
        EXPECT_EQ(table->integer(u"RANS"), n); // the row shows what update stored
    }
    transaction.commit();
    EXPECT_EQ(order, Customers({12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(Column(*mTrn, QStringLiteral("SELECT RANS FROM Work抽出A WHERE M1KaiBan = '0000012'"),
                     QStringLiteral("RANS")),
              QStringList{QStringLiteral("1")});
}

// Changes made in a walk inside a transaction are written in batches; whoever reads next sees
// them all, and a rollback takes them back.
TEST_P(TableTest, BatchedChangesAreSeenByTheNextReaderAndFollowTheTransaction) {
    mTrn->execute(QStringLiteral("CREATE TABLE w (k CHAR(7), n INTEGER, t CHAR(3))"));
    {
        Transaction transaction(*mTrn);
        auto insert = mTrn->prepare(QStringLiteral("INSERT INTO w (k, n) VALUES (?1, 0)"));
        for (int i = 1; i <= 250; ++i) {
            insert->bind(1, QString::number(i));
            insert->execute();
        }
        transaction.commit();
    }
    auto sum = [this]() {
        return mTrn->openRecordset(QStringLiteral("SELECT SUM(n) AS s, COUNT(t) AS c FROM w"));
    };
    for (const bool commit : {false, true}) {
        mTrn->begin();
        auto table = mTrn->openTable(QStringLiteral("w"));
        for (int i = 1; !table->eof(); table->moveNext(), ++i) {
            table->edit();
            table->setValue(u"n", i);
            table->update();
            table->edit(); // a second change of the same row wins
            table->setValue(u"n", i * 2);
            table->setValue(u"t", QStringLiteral("abc"));
            table->update();
            if (i == 120) { // a reader in the middle of the walk sees the first 120 rows
                EXPECT_EQ(sum()->integer(u"s"), 120 * 121);
                EXPECT_EQ(sum()->integer(u"c"), 120);
            }
        }
        table.reset();
        // The last rows' changes are still queued here.
        if (commit)
            mTrn->commit();
        else
            mTrn->rollback();
        EXPECT_EQ(sum()->integer(u"s"), commit ? 250 * 251 : 0);
        EXPECT_EQ(sum()->integer(u"c"), commit ? 250 : 0);
    }
}

// A work table dropped and created again with other columns gets statements of its own.
TEST_P(TableTest, ATableCreatedAgainIsWrittenByItsNewColumns) {
    for (const QString& column : {QStringLiteral("a"), QStringLiteral("b")}) {
        mTrn->tryExecute(QStringLiteral("DROP TABLE w"));
        mTrn->execute(QStringLiteral("CREATE TABLE w (k CHAR(7), %1 CHAR(3))").arg(column));
        mTrn->execute(QStringLiteral("INSERT INTO w (k) VALUES ('1')"));
        Transaction transaction(*mTrn);
        auto table = mTrn->openTable(QStringLiteral("w"));
        table->edit();
        table->setValue(column, column);
        table->update();
        table.reset();
        transaction.commit();
        EXPECT_EQ(Column(*mTrn, QStringLiteral("SELECT %1 FROM w").arg(column), column),
                  QStringList{column});
    }
}

// A change of a key column is written at once, so that a broken key fails where it is made.
TEST_P(TableTest, KeyChangesFailAtTheirUpdate) {
    Transaction transaction(*mTrn);
    auto table = mTrn->openTable(CustomerMasterTable);
    table->edit();
    table->setValue(u"M1KaiBan", QStringLiteral("0000002"));
    EXPECT_THROW(table->update(), DatabaseError);
}

TEST_P(TableTest, SeekEditAddAndRemoveOnThePrimaryIndex) {
    auto table = mTrn->openTable(CustomerMasterTable);
    table->setIndex(QStringLiteral("FRMKEY")); // the base table's unnamed primary key
    table->seek(QStringLiteral("0000004"));
    ASSERT_FALSE(table->noMatch());
    table->edit();
    table->setValue(u"M1KhMemo", QStringLiteral(" memo "));
    table->update();

    table->seek(QStringLiteral("0000050"));
    EXPECT_TRUE(table->noMatch());
    EXPECT_THROW(table->edit(), DatabaseError); // no current row after a failed seek
    table->addNew();
    table->setValue(u"M1KaiBan", QStringLiteral("0000050"));
    table->update();

    table->seek(QStringLiteral("0000002"));
    ASSERT_FALSE(table->noMatch());
    table->remove();
    EXPECT_THROW(table->value(u"M1KaiBan"), DatabaseError);
    table->moveNext(); // index order continues after the removed row
    EXPECT_EQ(table->text(u"M1KaiBan"), QStringLiteral("0000003"));

    EXPECT_EQ(
        Column(*mTrn,
               QStringLiteral("SELECT M1KhMemo FROM M1_お客様マスタ WHERE M1KaiBan = '0000004'"),
               QStringLiteral("M1KhMemo")),
        QStringList{QStringLiteral(" memo ")});
    const QStringList numbers =
        Column(*mTrn, QStringLiteral("SELECT M1KaiBan FROM M1_お客様マスタ ORDER BY M1KaiBan"),
               QStringLiteral("M1KaiBan"));
    EXPECT_FALSE(numbers.contains(QStringLiteral("0000002")));
    EXPECT_EQ(numbers.constLast(), QStringLiteral("0000050"));
}

TEST_P(TableTest, SeekOnTheFirstColumnsOfATwoColumnIndex) {
    auto table = mMst->openTable(PointHistoryTable);
    table->setIndex(QStringLiteral("CusYmd"));
    table->seek(QVariantList{QStringLiteral("0000001"), QStringLiteral("20240105")});
    ASSERT_FALSE(table->noMatch());
    EXPECT_EQ(table->text(u"M2BuyYmd"), QStringLiteral("20240105"));
    table->seek(QStringLiteral("0000002"));
    ASSERT_FALSE(table->noMatch());
    EXPECT_EQ(table->integer(u"M2BuyGak"), 9);
    table->seek(QVariantList{QStringLiteral("0000001"), QStringLiteral("20240102")});
    EXPECT_TRUE(table->noMatch());
}

TEST_P(TableTest, MisuseIsReportedNotIgnored) {
    auto table = mTrn->openTable(CustomerMasterTable);
    EXPECT_THROW(table->seek(QStringLiteral("0000001")), DatabaseError); // no index chosen
    EXPECT_THROW(table->setIndex(QStringLiteral("NoSuchIndex")), DatabaseError);
    EXPECT_THROW(table->setValue(u"M1KhMemo", QString()), DatabaseError); // no edit
    table->edit();
    EXPECT_THROW(table->setValue(u"NoSuchColumn", QString()), DatabaseError);
    EXPECT_THROW(table->value(u"NoSuchColumn"), DatabaseError);
    EXPECT_THROW(mTrn->openTable(QStringLiteral("NoSuchTable")), DatabaseError);

    mTrn->execute(
        QStringLiteral("CREATE TABLE k (TmpKaiBan CHAR(7)  CONSTRAINT FRMKEY PRIMARY KEY  )"));
    auto keys = mTrn->openTable(QStringLiteral("k"));
    EXPECT_THROW(keys->setIndex(QStringLiteral("OTHER")), DatabaseError); // the key is FRMKEY
    keys->addNew();
    keys->setValue(u"TmpKaiBan", QStringLiteral("0000001"));
    keys->update();
    keys->addNew();
    keys->setValue(u"TmpKaiBan", QStringLiteral("0000001"));
    EXPECT_THROW(keys->update(), DatabaseError);
}

// SQLite keeps malformed UTF-8 that another program wrote; PostgreSQL refuses it on the way in.
using SqliteTexts = ShopFixture;

TEST_F(SqliteTexts, ReadEveryCharacterAndReplaceBrokenBytes) {
    auto rs = mTrn->openRecordset(QStringLiteral(
        "SELECT CAST(X'41C3A9E697A5EFBDA2F09F9880' AS TEXT) AS good, "
        "CAST(X'41FF42C3' AS TEXT) AS broken, CAST(X'EDA080' AS TEXT) AS surrogate, '' AS empty, "
        "NULL AS missing, 12 AS number"));
    QString text = QStringLiteral("previous value, longer than any read");
    ASSERT_TRUE(rs->readText(0, text));
    EXPECT_EQ(text, QStringLiteral("Aé日｢") + QString::fromUcs4(U"\U0001F600", 1));
    ASSERT_TRUE(rs->readText(1, text));
    EXPECT_EQ(text, QString::fromUtf8("A\xFF"
                                      "B\xC3"));
    ASSERT_TRUE(rs->readText(2, text));
    EXPECT_EQ(text, QString::fromUtf8("\xED\xA0\x80"));
    ASSERT_TRUE(rs->readText(3, text));
    EXPECT_EQ(text, QString());
    EXPECT_FALSE(rs->readText(4, text));
    ASSERT_TRUE(rs->readText(5, text));
    EXPECT_EQ(text, QStringLiteral("12"));
}

TEST_P(TableTest, RecordsetsFindColumnsWithoutRegardToCase) {
    auto rs =
        mTrn->openRecordset(QStringLiteral("SELECT * FROM M1_お客様マスタ ORDER BY M1KaiBan"));
    EXPECT_EQ(rs->fieldCount(), 46);
    EXPECT_EQ(rs->text(u"m1kaiban"), QStringLiteral("0000001"));
    EXPECT_EQ(rs->fieldIndex(u"M1KHZIPC"), 13);
    EXPECT_EQ(rs->fieldIndex(u"nothing"), -1);
    EXPECT_THROW(rs->value(u"nothing"), DatabaseError);
}

INSTANTIATE_TEST_SUITE_P(Engines, TableTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

} // namespace
} // namespace plw::db::test
