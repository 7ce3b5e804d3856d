#include "db/BaseTables.h"

#include "db/Database.h"

#include <QStringList>

namespace plw::db {
namespace {

constexpr ColumnType T = ColumnType::Text;
constexpr ColumnType I = ColumnType::Integer;

#define PLW_COLUMN_DEF(name, type, width) {u"" #name, ColumnType::type, width},
constexpr ColumnDef kCustomerMaster[] = {PLW_CUSTOMER_MASTER_COLUMNS(PLW_COLUMN_DEF)};
constexpr ColumnDef kPointHistory[] = {PLW_POINT_HISTORY_COLUMNS(PLW_COLUMN_DEF)};
#undef PLW_COLUMN_DEF
static_assert(std::size(kCustomerMaster) == size_t(CustomerColumnCount));
static_assert(std::size(kPointHistory) == size_t(PointHistoryColumnCount));

constexpr ColumnDef kDirectMailMaster[] = {
    {u"M4DmmBan", T, 5}, {u"M4KihYot", T, 8}, {u"M4KihMem", T, 96}, {u"M4TyuYts", I, 0},
    {u"M4TyuOvf", T, 1}, {u"M4PrnYMD", T, 8}, {u"M4PrnHMS", T, 6},  {u"M4PrnKaz", I, 0},
};

constexpr ColumnDef kMailMaster[] = {
    {u"M6EmlBan", T, 5},   {u"M6KihYot", T, 8}, {u"M6KihMem", T, 96},
    {u"M6HbnFnm", T, 196}, {u"M6TyuYts", I, 0}, {u"M6TyuOvf", T, 1},
    {u"M6PrnYMD", T, 8},   {u"M6PrnHMS", T, 6}, {u"M6PrnKaz", I, 0},
};

QString columnSql(const ColumnDef& column) {
    const QString name = QString::fromUtf16(column.name);
    switch (column.type) {
    case ColumnType::Text:
        return QStringLiteral("%1 CHAR(%2)").arg(name).arg(column.width);
    case ColumnType::Short:
        return name + QStringLiteral(" SMALLINT");
    case ColumnType::Integer:
        return name + QStringLiteral(" INTEGER");
    }
    return name;
}

// CREATE TABLE with the columns in order; the key column, when given, is the primary key, named
// "FRMKEY" as the suite names its primary indexes.
QString createTable(const QString& table, std::span<const ColumnDef> columns,
                    const QString& keyColumn) {
    QStringList parts;
    for (const ColumnDef& column : columns) {
        QString sql = columnSql(column);
        if (QString::fromUtf16(column.name) == keyColumn)
            sql += QStringLiteral(" NOT NULL CONSTRAINT FRMKEY PRIMARY KEY");
        parts << sql;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table, parts.join(QStringLiteral(", ")));
}

void run(Database& database, const QStringList& statements) {
    for (const QString& sql : statements)
        database.execute(sql);
}

} // namespace

std::span<const ColumnDef> CustomerMasterColumns() {
    return kCustomerMaster;
}
std::span<const ColumnDef> PointHistoryColumns() {
    return kPointHistory;
}
std::span<const ColumnDef> DirectMailMasterColumns() {
    return kDirectMailMaster;
}
std::span<const ColumnDef> MailMasterColumns() {
    return kMailMaster;
}

QStringList CustomerMasterDdl() {
    return {createTable(CustomerMasterTable, kCustomerMaster, QStringLiteral("M1KaiBan"))};
}

QStringList PointHistoryDdl() {
    // No key: a customer has many rows. The index serves the history of one customer in a period.
    // Index names are per table, as in Jet; SQLite stores this one as "M2_ポイント履歴.CusYmd".
    return {
        createTable(PointHistoryTable, kPointHistory, QString()),
        QStringLiteral("CREATE INDEX CusYmd ON %1 (M2CusCod, M2BuyYmd)").arg(PointHistoryTable)};
}

QStringList DirectMailMasterDdl() {
    return {createTable(DirectMailMasterTable, kDirectMailMaster, QStringLiteral("M4DmmBan"))};
}

QStringList MailMasterDdl() {
    return {createTable(MailMasterTable, kMailMaster, QStringLiteral("M6EmlBan"))};
}

void CreateTransactionBaseTables(Database& database) {
    run(database, CustomerMasterDdl());
}

void CreateMasterBaseTables(Database& database) {
    run(database, PointHistoryDdl());
    run(database, DirectMailMasterDdl());
    run(database, MailMasterDdl());
}

} // namespace plw::db
