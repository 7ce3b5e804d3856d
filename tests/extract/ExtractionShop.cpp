#include "ExtractionShop.h"

#include "tests/support/TableRows.h"

#include "db/BaseTables.h"
#include "extract/KeyFile.h"

namespace plw::test {
namespace {

struct Customer {
    int number;
    const char16_t* seib;
    qint32 rgk; // -1: Null
    const char16_t* bart;
    const char16_t* sraB;
    const char16_t* nenS;
    const char16_t* dmmOsr;
    const char16_t* emaOsr;
};

// clang-format off
constexpr Customer kCustomers[] = {
    { 1, u"1", 90000, u"19800515", u"",         u"",   u"1", u"1"},
    { 2, u"2", 80000, u"19900401", u"",         u"",   u"1", u"2"},
    { 3, u"1", 70000, u"20000331", u"",         u"",   u"2", u"1"},
    { 4, u"2", 60000, u"19800000", u"",         u"",   u"1", u"1"},
    { 5, u"1", 50000, u"",         u"20160101", u"30", u"2", u"2"},
    { 6, u"2", 40000, u"",         u"",         u"",   u"1", u"1"},
    { 7, u"1", 30000, u"19200101", u"",         u"",   u"1", u"1"},
    { 8, u"2", 20000, u"19850230", u"20200101", u"20", u"1", u"1"},
    { 9, u"1", 10000, u"20100601", u"",         u"",   u"1", u"1"},
    {10, u"2",    -1, u"19700101", u"",         u"",   u"1", u"1"},
};
// clang-format on

QString Text(const char16_t* value) {
    return QString::fromUtf16(value);
}

} // namespace

QStringList Numbers(std::initializer_list<int> numbers) {
    QStringList out;
    for (int number : numbers)
        out << QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0'));
    return out;
}

ConditionRecord Conditions(std::initializer_list<Setting> settings) {
    ConditionRecord record = ClearedConditionRecord();
    for (const Setting& s : settings)
        record[s.field] = QString::fromUtf16(s.value);
    return record;
}

void AddCustomer(db::Database& database, const QVariantMap& values) {
    InsertRow(database, db::CustomerMasterTable, values);
}

void ExtractionShop::SetUp() {
    ASSERT_TRUE(mDir.isValid());
    mTrn = db::Database::create(mDir.filePath(QStringLiteral("PLW_TRN.MDB")));
    db::CreateTransactionBaseTables(*mTrn);
    mContext = std::make_unique<ExtractionContext>(*mTrn, mClock, mPump, mWait);
    mContext->RandomSeed = 7;
    for (const Customer& c : kCustomers)
        AddCustomer(*mTrn, {{QStringLiteral("M1KaiBan"), Numbers({c.number}).front()},
                            {QStringLiteral("M1KhSeib"), Text(c.seib)},
                            {QStringLiteral("M1SakRgk"), c.rgk < 0 ? QVariant() : QVariant(c.rgk)},
                            {QStringLiteral("M1KhBart"), Text(c.bart)},
                            {QStringLiteral("M1KhSraB"), Text(c.sraB)},
                            {QStringLiteral("M1KhNenS"), Text(c.nenS)},
                            {QStringLiteral("M1DmmOsr"), Text(c.dmmOsr)},
                            {QStringLiteral("M1EmaOsr"), Text(c.emaOsr)}});
}

ExtractionResult ExtractionShop::extract(const ConditionRecord& conditions, ExtractionMode mode,
                                         Sampling sampling, qint64 size) {
    return ExtractCustomers(*mContext, mode, conditions, keyFile(), sampling, size);
}

QStringList ExtractionShop::customers(const QString& table) {
    return column(QStringLiteral("SELECT M1KaiBan FROM %1 ORDER BY M1KaiBan").arg(table),
                  QStringLiteral("M1KaiBan"));
}

QStringList ExtractionShop::keyFileCustomers() const {
    QStringList out;
    KeyFileReader reader;
    QString error;
    if (!reader.open(keyFile(), &error)) {
        ADD_FAILURE() << error.toStdString();
        return out;
    }
    KeyFileRecord record;
    while (reader.next(&record, &error))
        out << record.CustomerNumber;
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return out;
}

QStringList ExtractionShop::column(const QString& query, const QString& name) {
    QStringList out;
    for (auto rs = mTrn->openRecordset(query); !rs->eof(); rs->moveNext()) {
        const QVariant value = rs->value(name);
        out << (value.isValid() ? value.toString() : QStringLiteral("<null>"));
    }
    return out;
}

} // namespace plw::test
