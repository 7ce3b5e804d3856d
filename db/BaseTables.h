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
