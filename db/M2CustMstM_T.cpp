#include "db/M2CustMstM_T.h"

#include "db/Database.h"
#include "db/WholeNumber.h"

namespace plw::db {
namespace {

void readText(const Recordset& recordset, const char16_t* column, QString& field) {
    const QVariant value = recordset.value(QStringView(column));
    if (value.isValid())
        field = value.toString();
}

void readNumber(const Recordset& recordset, const char16_t* column, qint64& field,
                const QString& customer) {
    field = WholeNumber::require(recordset.value(QStringView(column)), column, customer);
}

} // namespace

void ClearPointHistoryRecord(PointHistoryRecord& record) {
    record = PointHistoryRecord();
}

void ReadPointHistoryRecord(const Recordset& recordset, PointHistoryRecord& record) {
    ClearPointHistoryRecord(record);
    readText(recordset, u"M2CusCod", record.M2CusCod);
    readText(recordset, u"M2CusNam", record.M2CusNam);
    readText(recordset, u"M2MisBan", record.M2MisBan);
    readText(recordset, u"M2KikBan", record.M2KikBan);
    readText(recordset, u"M2BuyYmd", record.M2BuyYmd);
    readText(recordset, u"M2BuyYob", record.M2BuyYob);
    readText(recordset, u"M2BuyHks", record.M2BuyHks);
    readText(recordset, u"M2BuyHjt", record.M2BuyHjt);
    readNumber(recordset, u"M2BuyGak", record.M2BuyGak, record.M2CusCod);
    readText(recordset, u"M2FlgHpn", record.M2FlgHpn);
    readText(recordset, u"M2FlgSyu", record.M2FlgSyu);
    readText(recordset, u"M2FlgRnk", record.M2FlgRnk);
    readNumber(recordset, u"M2PitCur", record.M2PitCur, record.M2CusCod);
    readNumber(recordset, u"M2PitKon", record.M2PitKon, record.M2CusCod);
    readNumber(recordset, u"M2PitLif", record.M2PitLif, record.M2CusCod);
    readText(recordset, u"M2PitUse", record.M2PitUse);
    readText(recordset, u"M2KetCod", record.M2KetCod);
}

} // namespace plw::db
