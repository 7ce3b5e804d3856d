#include "db/BaseTables.h"

#include "db/Database.h"

#include <QStringList>

namespace plw::db {
namespace {

constexpr ColumnType T = ColumnType::Text;
constexpr ColumnType S = ColumnType::Short;
constexpr ColumnType I = ColumnType::Integer;

constexpr ColumnDef kCustomerMaster[] = {
    {u"M1KaiBan", T, 7},  {u"M1CtlYMD", T, 8},  {u"M1CtlHMS", T, 6},  {u"M1Ct2YMD", T, 8},
    {u"M1Ct2HMS", T, 6},  {u"M1KhSraB", T, 8},  {u"M1MisBan", T, 4},  {u"M1KikBan", T, 2},
    {u"M1KhNamH", T, 32}, {u"M1KhNamZ", T, 32}, {u"M1KhSeib", T, 1},  {u"M1KhBart", T, 8},
    {u"M1KhNenS", T, 2},  {u"M1KhZIPC", T, 7},  {u"M1KhADD1", T, 40}, {u"M1KhADD2", T, 40},
    {u"M1KhADD3", T, 40}, {u"M1KhTEL1", T, 14}, {u"M1KhTEL2", T, 14}, {u"M1KhMemo", T, 60},
    {u"M1EmaOsr", T, 1},  {u"M1EmaAdr", T, 64}, {u"M1DmmOsr", T, 1},  {u"M1SakEka", S, 0},
    {u"M1SakSfb", T, 8},  {u"M1SakDmk", S, 0},  {u"M1SakDmH", T, 8},  {u"M1SakRgk", I, 0},
    {u"M1SakRik", I, 0},  {u"M1SakHby", T, 8},  {u"M1SakHbh", T, 6},  {u"M1SakGak", I, 0},
    {u"M1SakRak", T, 1},  {u"M1SakPoG", I, 0},  {u"M1SakPoL", I, 0},  {u"M1SakPoZ", I, 0},
    {u"M1SakPoK", I, 0},  {u"M1EmaSbt", T, 1},  {u"M1BunJh1", T, 20}, {u"M1BunJC1", T, 2},
    {u"M1BunJh2", T, 20}, {u"M1BunJC2", T, 2},  {u"M1BunJh3", T, 20}, {u"M1BunJC3", T, 2},
    {u"M1BunJh4", T, 20}, {u"M1BunJC4", T, 2},
};

constexpr ColumnDef kPointHistory[] = {
    {u"M2CusCod", T, 7}, {u"M2CusNam", T, 16}, {u"M2MisBan", T, 4}, {u"M2KikBan", T, 2},
    {u"M2BuyYmd", T, 8}, {u"M2BuyYob", T, 1},  {u"M2BuyHks", T, 6}, {u"M2BuyHjt", T, 2},
    {u"M2BuyGak", I, 0}, {u"M2FlgHpn", T, 1},  {u"M2FlgSyu", T, 1}, {u"M2FlgRnk", T, 1},
    {u"M2PitCur", I, 0}, {u"M2PitKon", I, 0},  {u"M2PitLif", I, 0}, {u"M2PitUse", I, 0},
    {u"M2KetCod", T, 7},
};

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
