#pragma once

#include <QString>

namespace plw::db {

class Recordset;

// One row of "M2_ポイント履歴": one field per column, in definition order, held like the
// customer record, except M2PitUse, which is held as text ("0" when cleared).
struct PointHistoryRecord {
    QString M2CusCod;
    QString M2CusNam;
    QString M2MisBan;
    QString M2KikBan;
    QString M2BuyYmd;
    QString M2BuyYob;
    QString M2BuyHks;
    QString M2BuyHjt;
    qint64 M2BuyGak = 0;
    QString M2FlgHpn;
    QString M2FlgSyu;
    QString M2FlgRnk;
    qint64 M2PitCur = 0;
    qint64 M2PitKon = 0;
    qint64 M2PitLif = 0;
    QString M2PitUse = QStringLiteral("0");
    QString M2KetCod;

    bool operator==(const PointHistoryRecord&) const = default;
};

// Texts "", numbers 0, M2PitUse "0".
void ClearPointHistoryRecord(PointHistoryRecord& record);
// Clears the record, then copies every column of the current row that is not Null, in table order.
// A number column holding no whole number in range throws NumberValueError naming the customer.
void ReadPointHistoryRecord(const Recordset& recordset, PointHistoryRecord& record);

} // namespace plw::db
