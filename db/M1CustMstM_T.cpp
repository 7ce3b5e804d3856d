#include "db/M1CustMstM_T.h"

#include "db/Database.h"
#include "db/FieldValues.h"

namespace plw::db {
namespace {

// Stores the column's value converted by convert; a Null leaves the field as it is.
template <typename Field, typename Convert>
void read(const Recordset& recordset, const char16_t* column, Field& field, Convert convert) {
    const QVariant value = recordset.value(QStringView(column));
    if (value.isValid())
        field = convert(value);
}

} // namespace

void ClearCustomerRecord(CustomerRecord& record) {
    record = CustomerRecord();
}

void ReadCustomerRecord(const Recordset& recordset, CustomerRecord& record) {
    ClearCustomerRecord(record);
    read(recordset, u"M1KaiBan", record.M1KaiBan, FieldText);
    read(recordset, u"M1CtlYMD", record.M1CtlYMD, FieldText);
    read(recordset, u"M1CtlHMS", record.M1CtlHMS, FieldText);
    read(recordset, u"M1Ct2YMD", record.M1Ct2YMD, FieldText);
    read(recordset, u"M1Ct2HMS", record.M1Ct2HMS, FieldText);
    read(recordset, u"M1KhSraB", record.M1KhSraB, FieldText);
    read(recordset, u"M1MisBan", record.M1MisBan, FieldText);
    read(recordset, u"M1KikBan", record.M1KikBan, FieldText);
    read(recordset, u"M1KhNamH", record.M1KhNamH, FieldText);
    read(recordset, u"M1KhNamZ", record.M1KhNamZ, FieldText);
    read(recordset, u"M1KhSeib", record.M1KhSeib, FieldText);
    read(recordset, u"M1KhBart", record.M1KhBart, FieldText);
    read(recordset, u"M1KhNenS", record.M1KhNenS, FieldText);
    read(recordset, u"M1KhZIPC", record.M1KhZIPC, FieldText);
    read(recordset, u"M1KhADD1", record.M1KhADD1, FieldText);
    read(recordset, u"M1KhADD2", record.M1KhADD2, FieldText);
    read(recordset, u"M1KhADD3", record.M1KhADD3, FieldText);
    read(recordset, u"M1KhTEL1", record.M1KhTEL1, FieldText);
    read(recordset, u"M1KhTEL2", record.M1KhTEL2, FieldText);
    read(recordset, u"M1KhMemo", record.M1KhMemo, FieldText);
    read(recordset, u"M1EmaOsr", record.M1EmaOsr, FieldText);
    read(recordset, u"M1EmaAdr", record.M1EmaAdr, FieldText);
    read(recordset, u"M1EmaSbt", record.M1EmaSbt, FieldText);
    read(recordset, u"M1DmmOsr", record.M1DmmOsr, FieldText);
    read(recordset, u"M1SakEka", record.M1SakEka, FieldShort);
    read(recordset, u"M1SakSfb", record.M1SakSfb, FieldText);
    read(recordset, u"M1SakDmk", record.M1SakDmk, FieldShort);
    read(recordset, u"M1SakDmH", record.M1SakDmH, FieldText);
    read(recordset, u"M1SakRik", record.M1SakRik, FieldLong);
    read(recordset, u"M1SakRgk", record.M1SakRgk, FieldLong);
    read(recordset, u"M1SakHby", record.M1SakHby, FieldText);
    read(recordset, u"M1SakHbh", record.M1SakHbh, FieldText);
    read(recordset, u"M1SakGak", record.M1SakGak, FieldLong);
    read(recordset, u"M1SakRak", record.M1SakRak, FieldText);
    read(recordset, u"M1SakPoG", record.M1SakPoG, FieldLong);
    read(recordset, u"M1SakPoL", record.M1SakPoL, FieldLong);
    read(recordset, u"M1SakPoZ", record.M1SakPoZ, FieldLong);
    read(recordset, u"M1SakPoK", record.M1SakPoK, FieldLong);
    read(recordset, u"M1BunJh1", record.M1BunJh1, FieldText);
    read(recordset, u"M1BunJh2", record.M1BunJh2, FieldText);
    read(recordset, u"M1BunJh3", record.M1BunJh3, FieldText);
    read(recordset, u"M1BunJh4", record.M1BunJh4, FieldText);
    read(recordset, u"M1BunJC1", record.M1BunJC1, FieldText);
    read(recordset, u"M1BunJC2", record.M1BunJC2, FieldText);
    read(recordset, u"M1BunJC3", record.M1BunJC3, FieldText);
    read(recordset, u"M1BunJC4", record.M1BunJC4, FieldText);
}

void WriteCustomerRecord(Table& table, const CustomerRecord& record) {
    table.setValue(u"M1KaiBan", record.M1KaiBan);
    table.setValue(u"M1CtlYMD", record.M1CtlYMD);
    table.setValue(u"M1CtlHMS", record.M1CtlHMS);
    table.setValue(u"M1Ct2YMD", record.M1Ct2YMD);
    table.setValue(u"M1Ct2HMS", record.M1Ct2HMS);
    table.setValue(u"M1KhSraB", record.M1KhSraB);
    table.setValue(u"M1MisBan", record.M1MisBan);
    table.setValue(u"M1KikBan", record.M1KikBan);
    table.setValue(u"M1KhNamH", record.M1KhNamH);
    table.setValue(u"M1KhNamZ", record.M1KhNamZ);
    table.setValue(u"M1KhSeib", record.M1KhSeib);
    table.setValue(u"M1KhBart", record.M1KhBart);
    table.setValue(u"M1KhNenS", record.M1KhNenS);
    table.setValue(u"M1KhZIPC", record.M1KhZIPC);
    table.setValue(u"M1KhADD1", record.M1KhADD1);
    table.setValue(u"M1KhADD2", record.M1KhADD2);
    table.setValue(u"M1KhADD3", record.M1KhADD3);
    table.setValue(u"M1KhTEL1", record.M1KhTEL1);
    table.setValue(u"M1KhTEL2", record.M1KhTEL2);
    table.setValue(u"M1KhMemo", record.M1KhMemo);
    table.setValue(u"M1EmaOsr", record.M1EmaOsr);
    table.setValue(u"M1EmaAdr", record.M1EmaAdr);
    table.setValue(u"M1EmaSbt", record.M1EmaSbt);
    table.setValue(u"M1DmmOsr", record.M1DmmOsr);
    table.setValue(u"M1SakEka", QVariant(int(record.M1SakEka)));
    table.setValue(u"M1SakSfb", record.M1SakSfb);
    table.setValue(u"M1SakDmk", QVariant(int(record.M1SakDmk)));
    table.setValue(u"M1SakDmH", record.M1SakDmH);
    table.setValue(u"M1SakRik", QVariant(int(record.M1SakRik)));
    table.setValue(u"M1SakRgk", QVariant(int(record.M1SakRgk)));
    table.setValue(u"M1SakHby", record.M1SakHby);
    table.setValue(u"M1SakHbh", record.M1SakHbh);
    table.setValue(u"M1SakGak", QVariant(int(record.M1SakGak)));
    table.setValue(u"M1SakRak", record.M1SakRak);
    table.setValue(u"M1SakPoG", QVariant(int(record.M1SakPoG)));
    table.setValue(u"M1SakPoL", QVariant(int(record.M1SakPoL)));
    table.setValue(u"M1SakPoZ", QVariant(int(record.M1SakPoZ)));
    table.setValue(u"M1SakPoK", QVariant(int(record.M1SakPoK)));
    table.setValue(u"M1BunJh1", record.M1BunJh1);
    table.setValue(u"M1BunJh2", record.M1BunJh2);
    table.setValue(u"M1BunJh3", record.M1BunJh3);
    table.setValue(u"M1BunJh4", record.M1BunJh4);
    table.setValue(u"M1BunJC1", record.M1BunJC1);
    table.setValue(u"M1BunJC2", record.M1BunJC2);
    table.setValue(u"M1BunJC3", record.M1BunJC3);
    table.setValue(u"M1BunJC4", record.M1BunJC4);
}

} // namespace plw::db
