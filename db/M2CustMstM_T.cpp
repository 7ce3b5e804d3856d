#include "db/M2CustMstM_T.h"

#include "db/Database.h"
#include "db/FieldValues.h"

namespace plw::db {
namespace {

template <typename Field, typename Convert>
void read(const Recordset& recordset, const char16_t* column, Field& field, Convert convert) {
    const QVariant value = recordset.value(QStringView(column));
    if (value.isValid())
        field = convert(value);
}

} // namespace

void ClearPointHistoryRecord(PointHistoryRecord& record) {
    record = PointHistoryRecord();
}

void ReadPointHistoryRecord(const Recordset& recordset, PointHistoryRecord& record) {
    ClearPointHistoryRecord(record);
    read(recordset, u"M2CusCod", record.M2CusCod, FieldText);
    read(recordset, u"M2CusNam", record.M2CusNam, FieldText);
    read(recordset, u"M2MisBan", record.M2MisBan, FieldText);
    read(recordset, u"M2KikBan", record.M2KikBan, FieldText);
    read(recordset, u"M2BuyYmd", record.M2BuyYmd, FieldText);
    read(recordset, u"M2BuyYob", record.M2BuyYob, FieldText);
    read(recordset, u"M2BuyHks", record.M2BuyHks, FieldText);
    read(recordset, u"M2BuyHjt", record.M2BuyHjt, FieldText);
    read(recordset, u"M2BuyGak", record.M2BuyGak, FieldLong);
    read(recordset, u"M2FlgHpn", record.M2FlgHpn, FieldText);
    read(recordset, u"M2FlgSyu", record.M2FlgSyu, FieldText);
    read(recordset, u"M2FlgRnk", record.M2FlgRnk, FieldText);
    read(recordset, u"M2PitCur", record.M2PitCur, FieldLong);
    read(recordset, u"M2PitKon", record.M2PitKon, FieldLong);
    read(recordset, u"M2PitLif", record.M2PitLif, FieldLong);
    read(recordset, u"M2PitUse", record.M2PitUse, FieldText);
    read(recordset, u"M2KetCod", record.M2KetCod, FieldText);
}

} // namespace plw::db
