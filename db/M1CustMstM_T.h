#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <utility>
#include <vector>

namespace plw::db {

class Recordset;
class Table;

// The current customer: one field per column of "M1_お客様マスタ", in definition order. Text
// columns are held as read (untrimmed); SHORT and INTEGER columns, amounts and counts, as 64-bit
// integers within the range of WholeNumber. Scoring reads and changes a customer only here; the
// customer list is written from it.
struct CustomerRecord {
    QString M1KaiBan;
    QString M1CtlYMD;
    QString M1CtlHMS;
    QString M1Ct2YMD;
    QString M1Ct2HMS;
    QString M1KhSraB;
    QString M1MisBan;
    QString M1KikBan;
    QString M1KhNamH;
    QString M1KhNamZ;
    QString M1KhSeib;
    QString M1KhBart;
    QString M1KhNenS;
    QString M1KhZIPC;
    QString M1KhADD1;
    QString M1KhADD2;
    QString M1KhADD3;
    QString M1KhTEL1;
    QString M1KhTEL2;
    QString M1KhMemo;
    QString M1EmaOsr;
    QString M1EmaAdr;
    QString M1DmmOsr;
    qint64 M1SakEka = 0;
    QString M1SakSfb;
    qint64 M1SakDmk = 0;
    QString M1SakDmH;
    qint64 M1SakRgk = 0;
    qint64 M1SakRik = 0;
    QString M1SakHby;
    QString M1SakHbh;
    qint64 M1SakGak = 0;
    QString M1SakRak;
    qint64 M1SakPoG = 0;
    qint64 M1SakPoL = 0;
    qint64 M1SakPoZ = 0;
    qint64 M1SakPoK = 0;
    QString M1EmaSbt;
    QString M1BunJh1;
    QString M1BunJC1;
    QString M1BunJh2;
    QString M1BunJC2;
    QString M1BunJh3;
    QString M1BunJC3;
    QString M1BunJh4;
    QString M1BunJC4;

    bool operator==(const CustomerRecord&) const = default;
};

// Every text field "", every number 0.
void ClearCustomerRecord(CustomerRecord& record);
// Clears the record, then copies every column of the recordset's current row that is not Null,
// converted to the field's holding type. A missing column throws DatabaseError; a number column
// holding no whole number in range throws NumberValueError naming the customer, the column and
// the value.
void ReadCustomerRecord(const Recordset& recordset, CustomerRecord& record);
// Reads only the named fields of each row, converted as ReadCustomerRecord converts them; the
// other fields keep what they hold. For walks that need a few columns of many rows.
class CustomerFieldReader {
public:
    // The names must be columns of the customer master; resolved once for the recordset.
    CustomerFieldReader(const Recordset& recordset, std::initializer_list<QStringView> names);
    void read(const Recordset& recordset, CustomerRecord& record) const;

private:
    std::vector<std::pair<size_t, int>> mFields;
};

// Assigns all 46 fields to the columns of the same name in the table's current row, exactly as
// held. The caller has called edit() or addNew() and calls update() afterwards.
void WriteCustomerRecord(Table& table, const CustomerRecord& record);

} // namespace plw::db
