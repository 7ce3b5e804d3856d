#include "db/PostgresDatabase.h"

#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"
#include "db/PostgresConnection.h"
#include "db/PostgresRecordset.h"
#include "db/PostgresStatement.h"
#include "db/PostgresTable.h"

#include <libpq-fe.h>

namespace plw::db {
namespace {

// The result columns named as SQLite names them in CREATE TABLE AS: a name already taken (letter
// case aside) gets ":1", ":2", ... .
QStringList distinctNames(const QStringList& names) {
    QStringList out;
    auto taken = [&out](const QString& name) {
        return out.contains(name, Qt::CaseInsensitive);
    };
    for (const QString& name : names) {
        QString unique = name;
        for (int n = 1; taken(unique); ++n)
            unique = name + QLatin1Char(':') + QString::number(n);
        out << unique;
    }
    return out;
}

// The advisory locks' first key: this program's own space of keys.
constexpr int WorkLockSpace = 4040;

} // namespace

PostgresDatabase::PostgresDatabase(std::shared_ptr<PostgresConnection> connection,
                                   QString firstSchema)
    : mConnection(std::move(connection)), mPath(mConnection->description()),
      mFirstSchema(std::move(firstSchema)) {}

std::unique_ptr<PostgresDatabase> PostgresDatabase::connect(const QString& connectionInfo,
                                                            const QStringList& searchPath) {
    return std::unique_ptr<PostgresDatabase>(new PostgresDatabase(
        std::make_shared<PostgresConnection>(connectionInfo, searchPath), searchPath.value(0)));
}

bool PostgresDatabase::lockWorkTables(QString* message) {
    const PgResult taken = mConnection->run(
        QStringLiteral("SELECT pg_catalog.pg_try_advisory_lock(%1, pg_catalog.hashtext($1))")
            .arg(WorkLockSpace),
        {mFirstSchema.toUtf8()});
    if (*PQgetvalue(taken.get(), 0, 0) == 't')
        return true;
    *message = QStringLiteral("作業スキーマ %1 では他の PC で分析を実行中です。\r"
                              "終了してから、もう一度実行してください。")
                   .arg(mFirstSchema);
    return false;
}

void PostgresDatabase::unlockWorkTables() {
    try {
        mConnection->run(
            QStringLiteral("SELECT pg_catalog.pg_advisory_unlock(%1, pg_catalog.hashtext($1))")
                .arg(WorkLockSpace),
            {mFirstSchema.toUtf8()});
    } catch (const DatabaseError&) {
        // A connection that is gone has released its locks with it.
    }
}

void PostgresDatabase::execute(const QString& jetSql) {
    SqlTranslation translation = TranslateJetSql(jetSql, SqlDialect::Postgres);
    if (!translation.newTable.isEmpty()) {
        QStringList columns;
        for (const QString& column :
             distinctNames(mConnection->describeColumns(translation.newTableQuery, jetSql)))
            columns << QuoteSqliteName(column);
        translation.statements.front() =
            QStringLiteral("CREATE TABLE %1 (%2) AS %3")
                .arg(translation.newTable, columns.join(QStringLiteral(", ")),
                     translation.newTableQuery);
    }
    mConnection->runAtomically(translation.statements, jetSql);
}

bool PostgresDatabase::tryExecute(const QString& jetSql, QString* error) {
    try {
        execute(jetSql);
        return true;
    } catch (const DatabaseError& failure) {
        // The server or the connection failing is no failure of the statement: it goes to the
        // caller as from execute.
        if (IsPostgresServerFailure(failure.code()))
            throw;
        if (error)
            *error = failure.message();
        return false;
    }
}

std::unique_ptr<Recordset> PostgresDatabase::openRecordset(const QString& jetSql) {
    const SqlTranslation translation = TranslateJetSql(jetSql, SqlDialect::Postgres);
    if (translation.statements.size() != 1 || !translation.newTable.isEmpty())
        throw DatabaseError(JetSqlError, QStringLiteral("問い合わせ (SELECT) の文ではありません"),
                            jetSql);
    return std::make_unique<PostgresRecordset>(mConnection, translation.statements.front(), jetSql,
                                               translation.hiddenColumns);
}

std::unique_ptr<Table> PostgresDatabase::openTable(const QString& tableName) {
    return std::make_unique<PostgresTable>(mConnection, tableName);
}

std::unique_ptr<Statement> PostgresDatabase::prepare(const QString& jetSql) {
    const SqlTranslation translation = TranslateJetSql(jetSql, SqlDialect::Postgres);
    if (translation.statements.size() != 1 || !translation.newTable.isEmpty())
        throw DatabaseError(JetSqlError, QStringLiteral("この文は準備できません。実行してください"),
                            jetSql);
    return std::make_unique<PostgresStatement>(mConnection, translation.statements.front(), jetSql);
}

bool PostgresDatabase::tableExists(const QString& tableName) {
    const PgResult found = mConnection->run(
        QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE oid = pg_catalog.to_regclass($1) "
                       "AND relkind IN ('r', 'p')"),
        {QuoteSqliteName(FoldPostgresName(tableName)).toUtf8()});
    return PQntuples(found.get()) > 0;
}

qint64 PostgresDatabase::rowsFetched() const {
    return mConnection->rowsFetched();
}

void PostgresDatabase::begin() {
    mConnection->begin();
}

void PostgresDatabase::commit() {
    mConnection->commit();
}

void PostgresDatabase::rollback() {
    mConnection->rollback();
}

} // namespace plw::db
