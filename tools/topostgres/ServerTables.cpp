#include "tools/topostgres/ServerTables.h"

#include "app/FileSystem.h"
#include "db/BaseTables.h"
#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace plw::topostgres {
namespace {

// Rows per piece handed to COPY: large enough that the copy is not chatty, small enough that
// memory stays flat.
constexpr qint64 CopyPiece = 4000;

// Each base table's Jet DDL: the CREATE TABLE first, the indexes after it.
QStringList ddlOf(const QString& table) {
    if (table == db::CustomerMasterTable)
        return db::CustomerMasterDdl();
    if (table == db::PointHistoryTable)
        return db::PointHistoryDdl();
    if (table == db::DirectMailMasterTable)
        return db::DirectMailMasterDdl();
    return db::MailMasterDdl();
}

bool isIndex(const QString& statement) {
    return statement.trimmed().startsWith(QStringLiteral("CREATE INDEX"), Qt::CaseInsensitive) ||
           statement.trimmed().startsWith(QStringLiteral("CREATE UNIQUE INDEX"),
                                          Qt::CaseInsensitive);
}

} // namespace

QString DefaultBaseSchema(const QString& systemFolder) {
    const QString path = QDir::cleanPath(QFileInfo(ToNativePath(systemFolder)).absoluteFilePath());
    QString name;
    for (const QChar c : QFileInfo(path).fileName().toLower())
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            name += c;
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("plwan40_") + name.left(30) +
           (name.isEmpty() ? QString() : QStringLiteral("_")) + QString::fromLatin1(hash);
}

QString DefaultWorkSchema(const QString& baseSchema) {
    return baseSchema + QStringLiteral("_work");
}

QStringList BaseTableNames() {
    return {db::CustomerMasterTable, db::PointHistoryTable, db::DirectMailMasterTable,
            db::MailMasterTable};
}

bool CreateBaseTables(db::PostgresDatabase& admin, const QString& baseSchema,
                      const QString& workSchema, QString* error) {
    db::PostgresConnection& server = admin.connection();
    QStringList present;
    for (const QString& table : BaseTableNames()) {
        const QString qualified = db::QuoteSqliteName(baseSchema) + QLatin1Char('.') +
                                  db::QuoteSqliteName(db::FoldPostgresName(table));
        const db::PgResult found = server.run(
            QStringLiteral("SELECT pg_catalog.to_regclass($1) IS NOT NULL"), {qualified.toUtf8()});
        if (db::PgValue(found.get(), 0, 0).toBool())
            present << table;
    }
    if (!present.isEmpty()) {
        *error = QStringLiteral("スキーマ %1 には既に表 %2 があります。写し直すには --refresh を"
                                "付けてください")
                     .arg(baseSchema, present.join(QStringLiteral("、")));
        return false;
    }
    for (const QString& schema : {baseSchema, workSchema})
        server.run(
            QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(db::QuoteSqliteName(schema)));
    for (const QString& table : BaseTableNames())
        for (const QString& statement : ddlOf(table))
            if (!isIndex(statement))
                admin.execute(statement);
    return true;
}

void CreateBaseIndexes(db::PostgresDatabase& admin) {
    for (const QString& table : BaseTableNames())
        for (const QString& statement : ddlOf(table))
            if (isIndex(statement))
                admin.execute(statement);
}

qint64 CopyTableRows(db::Database& from, db::PostgresDatabase& to, const QString& table) {
    auto rows = from.openRecordset(QStringLiteral("SELECT * FROM ") + table);
    QStringList columns;
    for (int c = 0; c < rows->fieldCount(); ++c)
        columns << db::QuoteSqliteName(db::FoldPostgresName(rows->fieldName(c)));
    db::PostgresConnection& server = to.connection();
    server.beginCopy(QStringLiteral("COPY %1 (%2) FROM STDIN")
                         .arg(db::QuoteSqliteName(db::FoldPostgresName(table)),
                              columns.join(QStringLiteral(", "))));
    QByteArray piece;
    qint64 count = 0;
    try {
        for (; !rows->eof(); rows->moveNext()) {
            for (int c = 0; c < rows->fieldCount(); ++c) {
                if (c > 0)
                    piece += '\t';
                db::AppendCopyField(piece, db::PgParameter(rows->value(c)));
            }
            piece += '\n';
            if (++count % CopyPiece == 0) {
                server.putCopy(piece);
                piece.clear();
            }
        }
    } catch (...) {
        // The COPY is ended, failing, so that the connection can report and go on.
        server.putCopy(QByteArray("\\\\.\n"));
        try {
            server.endCopy();
        } catch (const db::DatabaseError&) {
        }
        throw;
    }
    server.putCopy(piece);
    server.endCopy();
    return count;
}

qint64 CountRows(db::Database& database, const QString& table) {
    return database.openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)
        ->integer(u"n");
}

} // namespace plw::topostgres
