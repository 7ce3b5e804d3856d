#pragma once

#include <QString>
#include <span>

namespace plw::db {

class Database;

// The suite's base tables as this program reads them. The definitions here are the contract of
// docs/SCHEMA.md: the sample installation and the tests create the tables from them.
enum class ColumnType { Text, Short, Integer };

struct ColumnDef {
    const char16_t* name;
    ColumnType type;
    int width; // characters, for Text
};

// The customer master's and the point history's columns in definition order, as
// X(name, type, width): the one list from which the tables' definitions, the record routines and
// the sample generator are made.
// clang-format off
#define PLW_CUSTOMER_MASTER_COLUMNS(X) \
    X(M1KaiBan, Text, 7) \
    X(M1CtlYMD, Text, 8) \
    X(M1CtlHMS, Text, 6) \
    X(M1Ct2YMD, Text, 8) \
    X(M1Ct2HMS, Text, 6) \
    X(M1KhSraB, Text, 8) \
    X(M1MisBan, Text, 4) \
    X(M1KikBan, Text, 2) \
    X(M1KhNamH, Text, 32) \
    X(M1KhNamZ, Text, 32) \
    X(M1KhSeib, Text, 1) \
    X(M1KhBart, Text, 8) \
    X(M1KhNenS, Text, 2) \
    X(M1KhZIPC, Text, 7) \
    X(M1KhADD1, Text, 40) \
    X(M1KhADD2, Text, 40) \
    X(M1KhADD3, Text, 40) \
    X(M1KhTEL1, Text, 14) \
    X(M1KhTEL2, Text, 14) \
    X(M1KhMemo, Text, 60) \
    X(M1EmaOsr, Text, 1) \
    X(M1EmaAdr, Text, 64) \
    X(M1DmmOsr, Text, 1) \
    X(M1SakEka, Short, 0) \
    X(M1SakSfb, Text, 8) \
    X(M1SakDmk, Short, 0) \
    X(M1SakDmH, Text, 8) \
    X(M1SakRgk, Integer, 0) \
    X(M1SakRik, Integer, 0) \
    X(M1SakHby, Text, 8) \
    X(M1SakHbh, Text, 6) \
    X(M1SakGak, Integer, 0) \
    X(M1SakRak, Text, 1) \
    X(M1SakPoG, Integer, 0) \
    X(M1SakPoL, Integer, 0) \
    X(M1SakPoZ, Integer, 0) \
    X(M1SakPoK, Integer, 0) \
    X(M1EmaSbt, Text, 1) \
    X(M1BunJh1, Text, 20) \
    X(M1BunJC1, Text, 2) \
    X(M1BunJh2, Text, 20) \
    X(M1BunJC2, Text, 2) \
    X(M1BunJh3, Text, 20) \
    X(M1BunJC3, Text, 2) \
    X(M1BunJh4, Text, 20) \
    X(M1BunJC4, Text, 2)

#define PLW_POINT_HISTORY_COLUMNS(X) \
    X(M2CusCod, Text, 7) \
    X(M2CusNam, Text, 16) \
    X(M2MisBan, Text, 4) \
    X(M2KikBan, Text, 2) \
    X(M2BuyYmd, Text, 8) \
    X(M2BuyYob, Text, 1) \
    X(M2BuyHks, Text, 6) \
    X(M2BuyHjt, Text, 2) \
    X(M2BuyGak, Integer, 0) \
    X(M2FlgHpn, Text, 1) \
    X(M2FlgSyu, Text, 1) \
    X(M2FlgRnk, Text, 1) \
    X(M2PitCur, Integer, 0) \
    X(M2PitKon, Integer, 0) \
    X(M2PitLif, Integer, 0) \
    X(M2PitUse, Integer, 0) \
    X(M2KetCod, Text, 7)
// clang-format on

#define PLW_COLUMN_ENUMERATOR(name, type, width) name,
#define PLW_COLUMN_ONE(name, type, width) +1
// A column's position in its table's definition, and the number of columns.
enum class CustomerColumn : int { PLW_CUSTOMER_MASTER_COLUMNS(PLW_COLUMN_ENUMERATOR) };
enum class PointHistoryColumn : int { PLW_POINT_HISTORY_COLUMNS(PLW_COLUMN_ENUMERATOR) };
inline constexpr int CustomerColumnCount = 0 PLW_CUSTOMER_MASTER_COLUMNS(PLW_COLUMN_ONE);
inline constexpr int PointHistoryColumnCount = 0 PLW_POINT_HISTORY_COLUMNS(PLW_COLUMN_ONE);
#undef PLW_COLUMN_ONE
#undef PLW_COLUMN_ENUMERATOR

inline const QString CustomerMasterTable = QStringLiteral("M1_お客様マスタ");
inline const QString PointHistoryTable = QStringLiteral("M2_ポイント履歴");
inline const QString DirectMailMasterTable = QStringLiteral("M4_ＤＭマスタ");
inline const QString MailMasterTable = QStringLiteral("M6_メールマスタ");

// Columns in definition order.
std::span<const ColumnDef> CustomerMasterColumns();
std::span<const ColumnDef> PointHistoryColumns();
std::span<const ColumnDef> DirectMailMasterColumns();
std::span<const ColumnDef> MailMasterColumns();

// The DDL of one table, with its indexes, as statements in order for Database::execute. They
// are SQLite DDL as they stand, but for the index name, which SQLite stores with the table's
// name in front (docs/SCHEMA.md shows the stored form).
QStringList CustomerMasterDdl();
QStringList PointHistoryDdl();
QStringList DirectMailMasterDdl();
QStringList MailMasterDdl();

// Creates the base tables of the transaction database ("PLW_TRN.MDB": the customer master) or
// of the master database ("DATA\PLW_MST.MDB": point history, direct-mail and mail masters).
void CreateTransactionBaseTables(Database& database);
void CreateMasterBaseTables(Database& database);

} // namespace plw::db
