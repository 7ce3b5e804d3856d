#include "db/M1CustMstM_T.h"

#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/WholeNumber.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace plw::db {
namespace {

using R = CustomerRecord;

// One column and the field that holds it (exactly one of the two is set). Made from the
// table's definition list; a field whose type does not hold the column's type does not compile.
struct Column {
    QStringView name;
    QString R::*text = nullptr;
    qint64 R::*number = nullptr;

    consteval Column(QStringView n, ColumnType type, QString R::*field) : name(n), text(field) {
        if (type != ColumnType::Text)
            throw "a text field for a number column";
    }
    consteval Column(QStringView n, ColumnType type, qint64 R::*field) : name(n), number(field) {
        if (type != ColumnType::Short && type != ColumnType::Integer)
            throw "a number field for a text column";
    }
};

// The columns in the table's definition order, each with the record's field of its name.
#define PLW_RECORD_COLUMN(name, type, width) Column(u"" #name, ColumnType::type, &R::name),
constexpr Column kColumns[] = {PLW_CUSTOMER_MASTER_COLUMNS(PLW_RECORD_COLUMN)};
#undef PLW_RECORD_COLUMN

// The same names for the recordset's column positions.
constexpr auto kNames = [] {
    std::array<QStringView, std::size(kColumns)> names{};
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = kColumns[i].name;
    return names;
}();

} // namespace

void ClearCustomerRecord(CustomerRecord& record) {
    // Texts are emptied in place: a walk over many rows then reuses their storage.
    for (const Column& column : kColumns) {
        if (column.text)
            (record.*column.text).truncate(0);
        else
            record.*column.number = 0;
    }
}

namespace {

// Reads one column into its field as the record routines hold it; Null gives the cleared value.
// A number column must hold a whole number within the range of WholeNumber.
void ReadColumn(const Recordset& recordset, const Column& column, int index,
                CustomerRecord& record) {
    if (column.text) {
        QString& field = record.*column.text;
        if (!recordset.readText(index, field))
            field.truncate(0);
        return;
    }
    const QVariant value = recordset.value(index);
    const WholeNumber number = WholeNumber::read(value);
    if (!number.ok()) {
        // The customer is named from the row, or from the record when the row does not hold it.
        const int own = recordset.fieldIndex(u"M1KaiBan");
        const QString customer = own >= 0 ? recordset.value(own).toString() : record.M1KaiBan;
        throw NumberValueError(NumberFaultText(number.fault(), column.name, value, customer));
    }
    record.*column.number = number.value();
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
        else
            table.setValue(column.name, record.*column.number);
    }
}

} // namespace plw::db
