#include "ShopFixture.h"

#include "tests/support/TableRows.h"

#include "db/BaseTables.h"
#include "db/JetSql.h"
#include "db/PostgresDatabase.h"

namespace plw::db::test {
namespace {

struct Customer {
    int number;
    const char16_t* seib;
    const char16_t* zip;
    const char16_t* add1;
    const char16_t* bart;
    const char16_t* sraB;
    qint32 rgk; // -1: Null, and M1SakRik Null too
    qint32 rik;
    const char16_t* hby;
    const char16_t* dmmOsr;
    const char16_t* emaOsr;
    const char16_t* emaAdr;
    const char16_t* emaSbt;
    const char16_t* memo;
    const char16_t* bunJC1;
    const char16_t* dmH;
};

// clang-format off
constexpr Customer kCustomers[] = {
    { 1, u"1", u"1000001", u"東京都千代田区", u"19800515", u"20150401", 120000, 30, u"20240110", u"1", u"1", u"a@example.jp", u"1", u"VIP客",    u"01", u"20231001"},
    { 2, u"2", u"1500002", u"東京都渋谷区",   u"19901220", u"20180601",  50000, 10, u"20231201", u"2", u"1", u"",             u"2", u"",         u"02", u""},
    { 3, u"2", u"5300001", u"大阪府大阪市",   u"20000101", u"20200101",   5000,  2, u"20220101", u"1", u"2", u"c@example.jp", u"",  u"vip候補",  u"03", u"20240201"},
    { 4, u"1", u"1500003", u"東京都渋谷区",   u"19750512", u"20100101",  12000,  4, u"20230615", u"2", u"2", u"",             u"1", u"",         u"01", u"20220101"},
    { 5, u"1", u"0010001", u"   ",            u"19850301", u"20190101",   8000,  3, u"20240301", u"1", u"1", u"  ",           u"2", u"",         u"",   u""},
    { 6, u"2", u"0010002", u"　",             u"19921205", u"20200505",  30000,  6, u"20240105", u"1", u"1", u"f@example.jp", u"1", u"",         u"02", u"20230505"},
    { 7, u"1", u"9000001", u"沖縄県那覇市",   u"19700704", u"20120301",  50000,  9, u"20231120", u"2", u"2", u"",             u"",  u"100%満足", u"04", u""},
    { 8, u"2", u"0600001", u"北海道札幌市",   u"19880808", u"20110101", 200000, 40, u"20240201", u"1", u"1", u"h@example.jp", u"2", u"a_b",      u"01", u"20240101"},
    { 9, u"1", u"2200001", u"神奈川県横浜市", u"19950515", u"20210101",   1000,  1, u"20210101", u"2", u"1", u"i@example.jp", u"1", u"",         u"03", u""},
    {10, u"2", u"1000010", u"東京都港区",     u"19600229", u"20050101",  75000, 15, u"20240115", u"1", u"2", u"",             u"",  u"",         u"02", u"20230101"},
    {11, u"1", u"4600001", u"愛知県名古屋市", u"20050515", u"20220101",   9000,  5, u"20230301", u"2", u"2", u"",             u"2", u"",         u"",   u""},
    {12, u"2", u"1000012", u"東京都中央区",   u"19991212", u"20230101",     -1,  0, u"20240120", u"1", u"1", u"l@example.jp", u"1", u"",         u"01", u""},
};
// clang-format on

QString text(const char16_t* value) {
    return QString::fromUtf16(value);
}

} // namespace

QStringList Customers(std::initializer_list<int> numbers) {
    QStringList out;
    for (int number : numbers)
        out << QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0'));
    return out;
}

void InsertRow(Database& database, const QString& table, const QVariantMap& values) {
    plw::test::InsertRow(database, table, values);
}

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Postgres ? "Postgres" : "Sqlite";
}

void ShopFixture::openShop(Engine engine) {
    ASSERT_TRUE(mDir.isValid());
    mEngine = engine;
    if (engine == Engine::Postgres) {
        if (plw::test::TestServerConnection().isEmpty())
            GTEST_SKIP() << "no PostgreSQL test server (ctest starts one)";
        mServer = std::make_unique<plw::test::TestSchemas>();
        mTrn = mServer->transaction();
        mMst = mServer->master();
        // The customer master lives with the other base tables, shared.
        CreateTransactionBaseTables(*mMst);
    } else {
        mTrn = Database::create(path(QStringLiteral("PLW_TRN.MDB")));
        mMst = Database::create(path(QStringLiteral("PLW_MST.MDB")));
        CreateTransactionBaseTables(*mTrn);
    }
    CreateMasterBaseTables(*mMst);

    for (const Customer& c : kCustomers) {
        QVariantMap row{{QStringLiteral("M1KaiBan"), Customers({c.number}).front()},
                        {QStringLiteral("M1KhSeib"), text(c.seib)},
                        {QStringLiteral("M1KhZIPC"), text(c.zip)},
                        {QStringLiteral("M1KhADD1"), text(c.add1)},
                        {QStringLiteral("M1KhBart"), text(c.bart)},
                        {QStringLiteral("M1KhSraB"), text(c.sraB)},
                        {QStringLiteral("M1SakRgk"), c.rgk < 0 ? QVariant() : QVariant(c.rgk)},
                        {QStringLiteral("M1SakRik"), c.rgk < 0 ? QVariant() : QVariant(c.rik)},
                        {QStringLiteral("M1SakHby"), text(c.hby)},
                        {QStringLiteral("M1DmmOsr"), text(c.dmmOsr)},
                        {QStringLiteral("M1EmaOsr"), text(c.emaOsr)},
                        {QStringLiteral("M1EmaAdr"), text(c.emaAdr)},
                        {QStringLiteral("M1EmaSbt"), text(c.emaSbt)},
                        {QStringLiteral("M1KhMemo"), text(c.memo)},
                        {QStringLiteral("M1BunJC1"), text(c.bunJC1)},
                        {QStringLiteral("M1SakDmH"), text(c.dmH)}};
        InsertRow(*mTrn, CustomerMasterTable, row);
    }

    // Customer 1's history around the year 2024; amounts tell the rows apart.
    const struct {
        const char16_t* ymd;
        const char16_t* hks; // nullptr: Null
        int amount;
    } history[] = {{u"20231231", u"235959", 1},   {u"20240301", u"120000", 400},
                   {u"20240105", u"180000", 300}, {u"20240105", nullptr, 100},
                   {u"20240105", u"093000", 200}, {u"20250101", u"000000", 2}};
    for (const auto& h : history)
        InsertRow(*mMst, PointHistoryTable,
                  {{QStringLiteral("M2CusCod"), QStringLiteral("0000001")},
                   {QStringLiteral("M2BuyYmd"), text(h.ymd)},
                   {QStringLiteral("M2BuyHks"), h.hks ? QVariant(text(h.hks)) : QVariant()},
                   {QStringLiteral("M2BuyGak"), h.amount}});
    InsertRow(*mMst, PointHistoryTable,
              {{QStringLiteral("M2CusCod"), QStringLiteral("0000002")},
               {QStringLiteral("M2BuyYmd"), QStringLiteral("20240105")},
               {QStringLiteral("M2BuyGak"), 9}});

    for (const char16_t* key : {u"00002", u"00010", u"00001"}) {
        InsertRow(*mMst, DirectMailMasterTable,
                  {{QStringLiteral("M4DmmBan"), text(key)},
                   {QStringLiteral("M4KihYot"), QStringLiteral("20240401")}});
        InsertRow(*mMst, MailMasterTable,
                  {{QStringLiteral("M6EmlBan"), text(key)},
                   {QStringLiteral("M6KihYot"), QStringLiteral("20240401")}});
    }
}

QStringList Column(Database& database, const QString& query, const QString& column) {
    QStringList out;
    for (auto rs = database.openRecordset(query); !rs->eof(); rs->moveNext()) {
        const QVariant value = rs->value(column);
        out << (value.isValid() ? value.toString() : QStringLiteral("<null>"));
    }
    return out;
}

QStringList Folded(const QStringList& names) {
    QStringList out;
    for (const QString& name : names)
        out << FoldPostgresName(name);
    return out;
}

QStringList TableColumns(Database& database, const QString& table) {
    if (dynamic_cast<PostgresDatabase*>(&database))
        return Column(database,
                      QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = "
                                     "to_regclass('\"%1\"') AND attnum > 0 AND NOT attisdropped "
                                     "ORDER BY attnum")
                          .arg(FoldPostgresName(table)),
                      QStringLiteral("attname"));
    return Folded(
        Column(database,
               QStringLiteral("SELECT name FROM pragma_table_info('%1') ORDER BY cid").arg(table),
               QStringLiteral("name")));
}

QStringList TableIndexes(Database& database, const QString& table) {
    if (dynamic_cast<PostgresDatabase*>(&database))
        return Column(database,
                      QStringLiteral("SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = "
                                     "i.indexrelid WHERE i.indrelid = to_regclass('\"%1\"') "
                                     "ORDER BY 1")
                          .arg(FoldPostgresName(table)),
                      QStringLiteral("relname"));
    return Folded(
        Column(database,
               QStringLiteral("SELECT name FROM pragma_index_list('%1') ORDER BY name").arg(table),
               QStringLiteral("name")));
}

} // namespace plw::db::test
