#include "db/SqliteDatabase.h"

#include "app/FileSystem.h"
#include "db/JetSql.h"
#include "db/SqliteErrorText.h"
#include "db/SqliteFunctions.h"
#include "db/SqliteRecordset.h"
#include "db/SqliteStatement.h"
#include "db/SqliteTable.h"
#include "db/SqliteWriteBehind.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace plw::db {
namespace {

constexpr int BusyTimeoutMs = 5000;
constexpr char SqliteHeader[] = "SQLite format 3"; // followed by a NUL: 16 bytes

// The first bytes of every SQLite database file. A missing, empty, short or foreign file fails
// here with a description the operator can act on.
void checkDatabaseFile(const QString& nativePath) {
    const QFileInfo info(nativePath);
    if (!info.exists() || !info.isFile())
        throw DatabaseError(SQLITE_CANTOPEN,
                            QStringLiteral("データベースファイルが見つかりません。"));
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(
            SQLITE_CANTOPEN,
            QStringLiteral("データベースファイルを読み取れません。(%1)").arg(file.errorString()));
    const QByteArray header = file.read(16);
    if (header != QByteArray(SqliteHeader, sizeof SqliteHeader))
        throw DatabaseError(SQLITE_NOTADB,
                            QStringLiteral("データベースとして認識できないファイルです。"));
}

// A failure of the database file or its use rather than of one statement.
bool isDatabaseFailure(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_READONLY:
    case SQLITE_NOMEM:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

// The cause of a failed sqlite3_open_v2, naming the file.
QString openError(int rc, sqlite3* handle, const QString& nativePath) {
    return SqliteErrorText(rc,
                           QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc)),
                           nativePath, handle ? sqlite3_system_errno(handle) : 0);
}

QString pragmaText(const SqliteConnection& connection, const char* sql) {
    StatementHandle statement = connection.prepare(QString::fromLatin1(sql));
    return connection.step(statement.get(), {}) ? ColumnValue(statement.get(), 0).toString()
                                                : QString();
}

} // namespace

std::unique_ptr<Database> Database::open(const QString& systemPath) {
    return SqliteDatabase::openFile(systemPath);
}

std::unique_ptr<Database> Database::create(const QString& systemPath) {
    return SqliteDatabase::createFile(systemPath);
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::createFile(const QString& systemPath) {
    const QString nativePath = ToNativePath(systemPath);
    if (QFileInfo::exists(nativePath))
        throw DatabaseError(SQLITE_CANTOPEN,
                            QStringLiteral("データベースファイルが既にあります。"));
    sqlite3* handle = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(nativePath).constData(), &handle,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    {
        const SqliteConnection connection(handle, nativePath);
        if (rc != SQLITE_OK)
            throw DatabaseError(rc, QStringLiteral("データベースを作成できません。(%1)")
                                        .arg(openError(rc, handle, nativePath)));
        // Switching to WAL writes the file's first page, so the new file is a database at once.
        connection.run(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    return openFile(systemPath);
}

SqliteDatabase::SqliteDatabase(std::shared_ptr<const SqliteConnection> connection, QString path)
    : mConnection(std::move(connection)), mPath(std::move(path)) {}

std::unique_ptr<SqliteDatabase> SqliteDatabase::openFile(const QString& systemPath) {
    const QString nativePath = ToNativePath(systemPath);
    checkDatabaseFile(nativePath);

    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(nativePath).constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto connection = std::make_shared<const SqliteConnection>(handle, nativePath);
    if (rc != SQLITE_OK)
        throw DatabaseError(rc, QStringLiteral("データベースを開けません。(%1)")
                                    .arg(openError(rc, handle, nativePath)));
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, BusyTimeoutMs);
    if (RegisterJetFunctions(handle) != SQLITE_OK)
        connection->fail(SQLITE_ERROR, QStringLiteral("関数の登録"));

    try {
        // Reading the schema proves the file is a database (a damaged one fails here).
        pragmaText(*connection, "SELECT count(*) FROM sqlite_schema");
        if (!sqlite3_db_readonly(handle, "main")) {
            if (pragmaText(*connection, "PRAGMA journal_mode=WAL")
                    .compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
                throw DatabaseError(SQLITE_CANTOPEN,
                                    QStringLiteral("ジャーナルを WAL 方式に切り替えられません"));
            connection->run(QStringLiteral("PRAGMA synchronous=NORMAL"));
        }
    } catch (const DatabaseError& error) {
        throw DatabaseError(error.code(),
                            QStringLiteral("データベースを開けません。(%1)").arg(error.message()));
    }
    return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(std::move(connection), systemPath));
}

void SqliteDatabase::execute(const QString& jetSql) {
    const SqlTranslation translation = TranslateJetSql(jetSql);
    if (translation.statements.size() == 1) {
        mConnection->run(translation.statements.front(), jetSql);
        return;
    }
    // Several SQLite statements carry out one Jet statement: all or nothing.
    mConnection->run(QStringLiteral("SAVEPOINT jet_statement"));
    try {
        for (const QString& sql : translation.statements)
            mConnection->run(sql, jetSql);
    } catch (const DatabaseError&) {
        mConnection->run(QStringLiteral("ROLLBACK TO jet_statement"));
        mConnection->run(QStringLiteral("RELEASE jet_statement"));
        throw;
    }
    mConnection->run(QStringLiteral("RELEASE jet_statement"));
}

bool SqliteDatabase::tryExecute(const QString& jetSql, QString* error) {
    try {
        execute(jetSql);
        return true;
    } catch (const DatabaseError& failure) {
        // The database itself failing (held by another program, a full disk, a damaged file) is
        // no failure of the statement: it goes to the caller as from execute.
        if (isDatabaseFailure(failure.code()))
            throw;
        if (error)
            *error = failure.message();
        return false;
    }
}

std::unique_ptr<Recordset> SqliteDatabase::openRecordset(const QString& jetSql) {
    const SqlTranslation translation = TranslateJetSql(jetSql);
    if (translation.statements.size() != 1)
        throw DatabaseError(JetSqlError, QStringLiteral("問い合わせ (SELECT) の文ではありません"),
                            jetSql);
    StatementHandle statement = mConnection->prepare(translation.statements.front(), jetSql);
    return std::make_unique<SqliteRecordset>(mConnection, std::move(statement), jetSql,
                                             translation.hiddenColumns);
}

std::unique_ptr<Table> SqliteDatabase::openTable(const QString& tableName) {
    return std::make_unique<SqliteTable>(mConnection, tableName);
}

std::unique_ptr<Statement> SqliteDatabase::prepare(const QString& jetSql) {
    const SqlTranslation translation = TranslateJetSql(jetSql);
    if (translation.statements.size() != 1)
        throw DatabaseError(JetSqlError, QStringLiteral("この文は準備できません。実行してください"),
                            jetSql);
    return std::make_unique<SqliteStatement>(
        mConnection, mConnection->prepare(translation.statements.front(), jetSql), jetSql);
}

bool SqliteDatabase::tableExists(const QString& tableName) {
    StatementHandle statement = mConnection->prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    BindValue(*mConnection, statement.get(), 1, tableName);
    return mConnection->step(statement.get(), {});
}

void SqliteDatabase::begin() {
    mConnection->run(mDepth == 0 ? QStringLiteral("BEGIN IMMEDIATE")
                                 : QStringLiteral("SAVEPOINT jet_transaction_%1").arg(mDepth));
    ++mDepth;
}

void SqliteDatabase::commit() {
    if (mDepth == 0)
        throw DatabaseError(0, QStringLiteral("トランザクションのない COMMIT です"));
    mConnection->run(mDepth == 1 ? QStringLiteral("COMMIT")
                                 : QStringLiteral("RELEASE jet_transaction_%1").arg(mDepth - 1));
    --mDepth;
}

void SqliteDatabase::rollback() {
    if (mDepth == 0)
        throw DatabaseError(0, QStringLiteral("トランザクションのない ROLLBACK です"));
    // Changes still queued were made since the last begin: they go with the rollback.
    mConnection->writeBehind().discard();
    if (mDepth == 1) {
        // SQLite may have rolled back already after a failure such as a full disk.
        if (!sqlite3_get_autocommit(mConnection->handle()))
            mConnection->run(QStringLiteral("ROLLBACK"));
    } else {
        const QString savepoint = QStringLiteral("jet_transaction_%1").arg(mDepth - 1);
        mConnection->run(QStringLiteral("ROLLBACK TO ") + savepoint);
        mConnection->run(QStringLiteral("RELEASE ") + savepoint);
    }
    --mDepth;
}

} // namespace plw::db
