#include "db/M1CustMstM_T.h"

#include "db/Database.h"
#include "db/FieldValues.h"

#include <algorithm>
#include <iterator>

namespace plw::db {
namespace {

using R = CustomerRecord;

// One column and the field that holds it (exactly one of the three is set).
struct Column {
    QStringView name;
    QString R::*text;
    qint16 R::*shortNumber;
    qint32 R::*longNumber;
};

// The columns in the order the record routines read and write them.
// clang-format off
constexpr Column kColumns[] = {
    {u"M1KaiBan", &R::M1KaiBan, nullptr, nullptr},
    {u"M1CtlYMD", &R::M1CtlYMD, nullptr, nullptr},
    {u"M1CtlHMS", &R::M1CtlHMS, nullptr, nullptr},
    {u"M1Ct2YMD", &R::M1Ct2YMD, nullptr, nullptr},
    {u"M1Ct2HMS", &R::M1Ct2HMS, nullptr, nullptr},
    {u"M1KhSraB", &R::M1KhSraB, nullptr, nullptr},
    {u"M1MisBan", &R::M1MisBan, nullptr, nullptr},
    {u"M1KikBan", &R::M1KikBan, nullptr, nullptr},
    {u"M1KhNamH", &R::M1KhNamH, nullptr, nullptr},
    {u"M1KhNamZ", &R::M1KhNamZ, nullptr, nullptr},
    {u"M1KhSeib", &R::M1KhSeib, nullptr, nullptr},
    {u"M1KhBart", &R::M1KhBart, nullptr, nullptr},
    {u"M1KhNenS", &R::M1KhNenS, nullptr, nullptr},
    {u"M1KhZIPC", &R::M1KhZIPC, nullptr, nullptr},
    {u"M1KhADD1", &R::M1KhADD1, nullptr, nullptr},
    {u"M1KhADD2", &R::M1KhADD2, nullptr, nullptr},
    {u"M1KhADD3", &R::M1KhADD3, nullptr, nullptr},
    {u"M1KhTEL1", &R::M1KhTEL1, nullptr, nullptr},
    {u"M1KhTEL2", &R::M1KhTEL2, nullptr, nullptr},
    {u"M1KhMemo", &R::M1KhMemo, nullptr, nullptr},
    {u"M1EmaOsr", &R::M1EmaOsr, nullptr, nullptr},
    {u"M1EmaAdr", &R::M1EmaAdr, nullptr, nullptr},
    {u"M1EmaSbt", &R::M1EmaSbt, nullptr, nullptr},
    {u"M1DmmOsr", &R::M1DmmOsr, nullptr, nullptr},
    {u"M1SakEka", nullptr, &R::M1SakEka, nullptr},
    {u"M1SakSfb", &R::M1SakSfb, nullptr, nullptr},
    {u"M1SakDmk", nullptr, &R::M1SakDmk, nullptr},
    {u"M1SakDmH", &R::M1SakDmH, nullptr, nullptr},
    {u"M1SakRik", nullptr, nullptr, &R::M1SakRik},
    {u"M1SakRgk", nullptr, nullptr, &R::M1SakRgk},
    {u"M1SakHby", &R::M1SakHby, nullptr, nullptr},
    {u"M1SakHbh", &R::M1SakHbh, nullptr, nullptr},
    {u"M1SakGak", nullptr, nullptr, &R::M1SakGak},
    {u"M1SakRak", &R::M1SakRak, nullptr, nullptr},
    {u"M1SakPoG", nullptr, nullptr, &R::M1SakPoG},
    {u"M1SakPoL", nullptr, nullptr, &R::M1SakPoL},
    {u"M1SakPoZ", nullptr, nullptr, &R::M1SakPoZ},
    {u"M1SakPoK", nullptr, nullptr, &R::M1SakPoK},
    {u"M1BunJh1", &R::M1BunJh1, nullptr, nullptr},
    {u"M1BunJh2", &R::M1BunJh2, nullptr, nullptr},
    {u"M1BunJh3", &R::M1BunJh3, nullptr, nullptr},
    {u"M1BunJh4", &R::M1BunJh4, nullptr, nullptr},
    {u"M1BunJC1", &R::M1BunJC1, nullptr, nullptr},
    {u"M1BunJC2", &R::M1BunJC2, nullptr, nullptr},
    {u"M1BunJC3", &R::M1BunJC3, nullptr, nullptr},
    {u"M1BunJC4", &R::M1BunJC4, nullptr, nullptr},
};
// clang-format on

// The same names for the recordset's column positions.
constexpr QStringView kNames[] = {
    u"M1KaiBan", u"M1CtlYMD", u"M1CtlHMS", u"M1Ct2YMD", u"M1Ct2HMS", u"M1KhSraB", u"M1MisBan",
    u"M1KikBan", u"M1KhNamH", u"M1KhNamZ", u"M1KhSeib", u"M1KhBart", u"M1KhNenS", u"M1KhZIPC",
    u"M1KhADD1", u"M1KhADD2", u"M1KhADD3", u"M1KhTEL1", u"M1KhTEL2", u"M1KhMemo", u"M1EmaOsr",
    u"M1EmaAdr", u"M1EmaSbt", u"M1DmmOsr", u"M1SakEka", u"M1SakSfb", u"M1SakDmk", u"M1SakDmH",
    u"M1SakRik", u"M1SakRgk", u"M1SakHby", u"M1SakHbh", u"M1SakGak", u"M1SakRak", u"M1SakPoG",
    u"M1SakPoL", u"M1SakPoZ", u"M1SakPoK", u"M1BunJh1", u"M1BunJh2", u"M1BunJh3", u"M1BunJh4",
    u"M1BunJC1", u"M1BunJC2", u"M1BunJC3", u"M1BunJC4",
};
static_assert(std::size(kNames) == std::size(kColumns));

} // namespace

void ClearCustomerRecord(CustomerRecord& record) {
    // Texts are emptied in place: a walk over many rows then reuses their storage.
    for (const Column& column : kColumns) {
        if (column.text)
            (record.*column.text).truncate(0);
        else if (column.shortNumber)
            record.*column.shortNumber = 0;
        else
            record.*column.longNumber = 0;
    }
}

namespace {

// Reads one column into its field as the record routines hold it; Null gives the cleared value.
void ReadColumn(const Recordset& recordset, const Column& column, int index,
                CustomerRecord& record) {
    if (column.text) {
        QString& field = record.*column.text;
        if (!recordset.readText(index, field))
            field.truncate(0);
        return;
    }
    const QVariant value = recordset.value(index);
    if (column.shortNumber)
        record.*column.shortNumber = value.isValid() ? FieldShort(value) : qint16(0);
    else
        record.*column.longNumber = value.isValid() ? FieldLong(value) : 0;
}

} // namespace

void ReadCustomerRecord(const Recordset& recordset, CustomerRecord& record) {
    const std::vector<int>& indexes = recordset.fieldIndexes(kColumns, kNames);
    for (size_t i = 0; i < std::size(kColumns); ++i)
        ReadColumn(recordset, kColumns[i], indexes[i], record);
}

CustomerFieldReader::CustomerFieldReader(const Recordset& recordset,
                                         std::initializer_list<QStringView> names) {
    for (const QStringView name : names) {
        const auto column = std::find_if(std::begin(kColumns), std::end(kColumns),
                                         [&](const Column& c) { return c.name == name; });
        if (column == std::end(kColumns))
            throw DatabaseError(
                0, QStringLiteral("顧客マスタに項目 %1 がありません").arg(name.toString()));
        mFields.push_back(
            {static_cast<size_t>(column - std::begin(kColumns)), recordset.requireField(name)});
    }
}

void CustomerFieldReader::read(const Recordset& recordset, CustomerRecord& record) const {
    for (const auto& [column, index] : mFields)
        ReadColumn(recordset, kColumns[column], index, record);
}

void WriteCustomerRecord(Table& table, const CustomerRecord& record) {
    for (const Column& column : kColumns) {
        if (column.text)
            table.setValue(column.name, record.*column.text);
        else if (column.shortNumber)
            table.setValue(column.name, int(record.*column.shortNumber));
        else
            table.setValue(column.name, int(record.*column.longNumber));
    }
}

} // namespace plw::db
