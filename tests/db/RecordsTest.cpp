// The customer and point-history records: Null reads as the cleared value, texts pass untrimmed
// both ways, and a write assigns every column.

#include "ShopFixture.h"

#include "db/BaseTables.h"
#include "db/M1CustMstM_T.h"
#include "db/M2CustMstM_T.h"
#include "db/WholeNumber.h"

#include "tests/support/Printers.h"

namespace plw::db::test {
namespace {

using RecordsTest = EngineShop;

CustomerRecord readCustomer(Database& db, const QString& table, const QString& number) {
    auto rs = db.openRecordset(
        QStringLiteral("SELECT * FROM %1 WHERE M1KaiBan = '%2'").arg(table, number));
    EXPECT_FALSE(rs->eof());
    CustomerRecord record;
    record.M1KhMemo = QStringLiteral("left over");
    ReadCustomerRecord(*rs, record);
    return record;
}

TEST_P(RecordsTest, NullAmountAndVisitsReadAsZero) {
    const CustomerRecord record =
        readCustomer(*mTrn, CustomerMasterTable, QStringLiteral("0000012"));
    EXPECT_EQ(record.M1SakRgk, 0);
    EXPECT_EQ(record.M1SakRik, 0);
    EXPECT_EQ(record.M1KhMemo, QString()); // cleared before reading
    EXPECT_EQ(record.M1SakHby, QStringLiteral("20240120"));
    EXPECT_EQ(readCustomer(*mTrn, CustomerMasterTable, QStringLiteral("0000005")).M1KhADD1,
              QStringLiteral("   ")); // not trimmed

    // A row of a kind "2" merge holds nothing but the customer number.
    mTrn->execute(
        QStringLiteral("CREATE TABLE bare (M1KaiBan CHAR(7), M1SakEka SHORT, M1KhSeib CHAR(1))"));
    mTrn->execute(QStringLiteral("INSERT INTO bare (M1KaiBan) VALUES ('0000099')"));
    auto rs = mTrn->openRecordset(QStringLiteral("SELECT * FROM M1_お客様マスタ INNER JOIN bare ON "
                                                 "bare.M1KaiBan = M1_お客様マスタ.M1KaiBan"));
    EXPECT_TRUE(rs->eof());
}

// SQLite keeps what it is given in a number column; PostgreSQL's bigint columns refuse a text
// and round a fraction on the way in, so a fraction read back matters on SQLite only.
using SqliteRecords = ShopFixture;

TEST_F(SqliteRecords, NumbersAreReadExactlyBeyond32BitsAndAnythingElseIsNamed) {
    mTrn->execute(QStringLiteral("UPDATE M1_お客様マスタ SET M1SakEka = ' 12 ', M1SakDmk = 70000, "
                                 "M1SakRgk = 2147483648, M1SakGak = -9007199254740992 "
                                 "WHERE M1KaiBan = '0000001'"));
    const CustomerRecord record =
        readCustomer(*mTrn, CustomerMasterTable, QStringLiteral("0000001"));
    EXPECT_EQ(record.M1SakEka, 12);
    EXPECT_EQ(record.M1SakDmk, 70000); // beyond a 16-bit number, as the database holds it
    EXPECT_EQ(record.M1SakRgk, 2147483648);
    EXPECT_EQ(record.M1SakGak, -9007199254740992);

    // The customer is named from the row, also for a reader that does not read its number.
    mTrn->execute(
        QStringLiteral("UPDATE M1_お客様マスタ SET M1SakRgk = 1234.5 WHERE M1KaiBan = '0000001'"));
    const QString fraction =
        QStringLiteral("顧客 0000001 の M1SakRgk の値 1234.5 は整数ではありません。");
    auto rs = mTrn->openRecordset(
        QStringLiteral("SELECT * FROM M1_お客様マスタ WHERE M1KaiBan = '0000001'"));
    CustomerRecord whole;
    try {
        ReadCustomerRecord(*rs, whole);
        ADD_FAILURE() << "read as a number";
    } catch (const NumberValueError& error) {
        EXPECT_EQ(error.message(), fraction);
    }
    try {
        CustomerFieldReader(*rs, {u"M1SakRgk"}).read(*rs, whole);
        ADD_FAILURE() << "read as a number";
    } catch (const NumberValueError& error) {
        EXPECT_EQ(error.message(), fraction);
    }
}

TEST_P(RecordsTest, AFieldReaderReadsItsFieldsAsTheWholeRecordDoesAndNothingElse) {
    mTrn->execute(QStringLiteral("UPDATE M1_お客様マスタ SET M1SakEka = ' 12 ', "
                                 "M1SakRgk = 2147483648 WHERE M1KaiBan = '0000001'"));
    auto rs =
        mTrn->openRecordset(QStringLiteral("SELECT * FROM M1_お客様マスタ ORDER BY M1KaiBan"));
    const CustomerFieldReader reader(*rs, {u"M1SakHby", u"M1SakRgk", u"M1SakEka", u"M1KhADD1"});
    for (; !rs->eof(); rs->moveNext()) {
        CustomerRecord whole, some;
        ReadCustomerRecord(*rs, whole);
        some.M1KhMemo = QStringLiteral("kept");
        reader.read(*rs, some);
        EXPECT_EQ(some.M1SakHby, whole.M1SakHby);
        EXPECT_EQ(some.M1SakRgk, whole.M1SakRgk);
        EXPECT_EQ(some.M1SakEka, whole.M1SakEka);
        EXPECT_EQ(some.M1KhADD1, whole.M1KhADD1);
        EXPECT_EQ(some.M1KhMemo, QStringLiteral("kept"));
        EXPECT_EQ(some.M1SakRik, 0);
    }
    EXPECT_THROW(CustomerFieldReader(*rs, {u"M2BuyGak"}), DatabaseError);
}

TEST_P(RecordsTest, WriteAssignsAll46ColumnsUntrimmed) {
    mTrn->execute(QStringLiteral("SELECT *  INTO WorkRFM_1 FROM M1_お客様マスタ"));
    CustomerRecord written;
    int n = 0;
    // Every field a value of its own, texts with blanks at both ends.
    auto text = [&n]() {
        return QStringLiteral(" t%1 ").arg(++n);
    };
    written.M1KaiBan = QStringLiteral("0000003");
    for (QString* field :
         {&written.M1CtlYMD, &written.M1CtlHMS, &written.M1Ct2YMD, &written.M1Ct2HMS,
          &written.M1KhSraB, &written.M1MisBan, &written.M1KikBan, &written.M1KhNamH,
          &written.M1KhNamZ, &written.M1KhSeib, &written.M1KhBart, &written.M1KhNenS,
          &written.M1KhZIPC, &written.M1KhADD1, &written.M1KhADD2, &written.M1KhADD3,
          &written.M1KhTEL1, &written.M1KhTEL2, &written.M1KhMemo, &written.M1EmaOsr,
          &written.M1EmaAdr, &written.M1DmmOsr, &written.M1SakSfb, &written.M1SakDmH,
          &written.M1SakHby, &written.M1SakHbh, &written.M1SakRak, &written.M1EmaSbt,
          &written.M1BunJh1, &written.M1BunJC1, &written.M1BunJh2, &written.M1BunJC2,
          &written.M1BunJh3, &written.M1BunJC3, &written.M1BunJh4, &written.M1BunJC4})
        *field = text();
    written.M1SakEka = -2;
    written.M1SakDmk = 32767;
    written.M1SakRgk = 9007199254740992;
    written.M1SakRik = 41;
    written.M1SakGak = -5;
    written.M1SakPoG = 6;
    written.M1SakPoL = 7;
    written.M1SakPoZ = 8;
    written.M1SakPoK = 9;

    // A copied table has no index until the program creates one.
    EXPECT_THROW(mTrn->openTable(QStringLiteral("WorkRFM_1"))->setIndex(QStringLiteral("FRMKEY")),
                 DatabaseError);
    mTrn->execute(QStringLiteral("CREATE INDEX FRMKEY ON WorkRFM_1 (M1KaiBan)WITH PRIMARY"));
    auto table = mTrn->openTable(QStringLiteral("WorkRFM_1"));
    table->setIndex(QStringLiteral("FRMKEY"));
    table->seek(QStringLiteral("0000003"));
    ASSERT_FALSE(table->noMatch());
    table->edit();
    WriteCustomerRecord(*table, written);
    table->update();
    table.reset();

    EXPECT_EQ(readCustomer(*mTrn, QStringLiteral("WorkRFM_1"), QStringLiteral("0000003")), written);
    // Column by column in the database, so that no field was left out of the write.
    auto rs =
        mTrn->openRecordset(QStringLiteral("SELECT * FROM WorkRFM_1 WHERE M1KaiBan = '0000003'"));
    int texts = 0;
    for (const ColumnDef& column : CustomerMasterColumns()) {
        const QVariant value = rs->value(QStringView(column.name));
        if (column.type == ColumnType::Text && QStringView(column.name) != u"M1KaiBan") {
            EXPECT_TRUE(value.toString().startsWith(QStringLiteral(" t")) &&
                        value.toString().endsWith(u' '))
                << QString::fromUtf16(column.name).toStdString();
            ++texts;
        }
    }
    EXPECT_EQ(texts, 36);
    EXPECT_EQ(rs->integer(u"M1SakRgk"), 9007199254740992);
    EXPECT_EQ(rs->integer(u"M1SakEka"), -2);
}

// A cleared text is the empty text, never Null: the suite's convention for "not recorded".
TEST_P(RecordsTest, ClearedTextsAreWrittenAsEmptyTexts) {
    auto table = mTrn->openTable(CustomerMasterTable);
    table->addNew();
    CustomerRecord record;
    record.M1KaiBan = QStringLiteral("0000020");
    WriteCustomerRecord(*table, record);
    table->update();
    table.reset();
    EXPECT_EQ(
        Column(*mTrn,
               QStringLiteral("SELECT COUNT(*) AS n FROM M1_お客様マスタ WHERE M1KaiBan = "
                              "'0000020' AND M1KhMemo = '' AND M1BunJC4 = '' AND M1SakRgk = 0"),
               QStringLiteral("n")),
        QStringList{QStringLiteral("1")});
}

TEST_P(RecordsTest, PointHistoryHoldsPointsUsedAsText) {
    PointHistoryRecord record;
    EXPECT_EQ(record.M2PitUse, QStringLiteral("0"));
    mMst->execute(QStringLiteral("UPDATE M2_ポイント履歴 SET M2PitUse = 150, M2KetCod = NULL "
                                 "WHERE M2BuyGak = 400"));
    mMst->execute(
        QStringLiteral("UPDATE M2_ポイント履歴 SET M2PitUse = NULL WHERE M2BuyGak = 300"));
    auto rs = mMst->openRecordset(QStringLiteral(
        "SELECT * FROM M2_ポイント履歴 WHERE M2BuyGak >= 300 ORDER BY M2BuyGak DESC"));
    ReadPointHistoryRecord(*rs, record);
    EXPECT_EQ(record.M2PitUse, QStringLiteral("150"));
    EXPECT_EQ(record.M2BuyGak, 400);
    EXPECT_EQ(record.M2BuyHks, QStringLiteral("120000"));
    EXPECT_EQ(record.M2KetCod, QString());
    rs->moveNext();
    ReadPointHistoryRecord(*rs, record);
    EXPECT_EQ(record.M2PitUse, QStringLiteral("0"));
    EXPECT_EQ(record.M2BuyGak, 300);

    // Text where a number belongs: a SQLite file may hold it; a server's bigint column cannot.
    if (GetParam() == Engine::Postgres)
        return;
    mMst->execute(QStringLiteral("UPDATE M2_ポイント履歴 SET M2BuyGak = 'x' WHERE M2BuyGak = 300"));
    rs = mMst->openRecordset(QStringLiteral("SELECT * FROM M2_ポイント履歴 WHERE M2BuyGak = 'x'"));
    ASSERT_FALSE(rs->eof());
    try {
        ReadPointHistoryRecord(*rs, record);
        ADD_FAILURE() << "read as a number";
    } catch (const NumberValueError& error) {
        EXPECT_TRUE(
            error.message().contains(QStringLiteral("の M2BuyGak の値 「x」 は数値ではありません")))
            << error.message().toStdString();
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("顧客 ") + record.M2CusCod));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

} // namespace
} // namespace plw::db::test
