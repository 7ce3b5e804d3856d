#pragma once

#include <QString>
#include <QVariant>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace plw::db {

class SqliteWriteBehind;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
// A prepared SQLite statement, finalized when released.
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// One open SQLite connection, shared by the database and every recordset, table and statement
// opened on it, so that it closes only after the last of them.
class SqliteConnection {
public:
    SqliteConnection(sqlite3* handle, QString path);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* handle() const { return mHandle; }
    const QString& path() const { return mPath; }

    // Throws DatabaseError with the connection's last error for the statement concerned.
    [[noreturn]] void fail(int code, const QString& statement) const;
    // The operator's text of the connection's last error (SqliteErrorText).
    QString errorText(int code) const;

    // Prepares one SQLite statement; throws on an error or on text after the statement.
    StatementHandle prepare(const QString& sql, const QString& jetSql = {}) const;
    // Runs one SQLite statement to its end.
    void run(const QString& sql, const QString& jetSql = {}) const;
    // Steps a statement: true for a row, false at its end; throws on an error. Queued row
    // changes are written first, as for prepare and run.
    bool step(sqlite3_stmt* statement, const QString& jetSql) const;
    // Steps a table's own walk, which only moves past the rows whose changes are queued.
    bool stepWalk(sqlite3_stmt* statement) const;

    // Rows delivered to query recordsets on this connection.
    qint64 rowsFetched() const { return mRowsFetched; }
    void countFetchedRow() const { ++mRowsFetched; }

    // The queue of row changes that the connection writes before it does anything else.
    SqliteWriteBehind& writeBehind() const { return *mWriteBehind; }
    void flushWrites() const;

private:
    sqlite3* mHandle;
    QString mPath;
    std::unique_ptr<SqliteWriteBehind> mWriteBehind;
    mutable qint64 mRowsFetched = 0;
};

// Binds a value to parameter index (from 1): Null, text, whole number, real number or bytes.
void BindValue(const SqliteConnection& connection, sqlite3_stmt* statement, int index,
               const QVariant& value);
// The value of a result column: invalid QVariant for Null, qlonglong, double, QString or
// QByteArray.
QVariant ColumnValue(sqlite3_stmt* statement, int index);
// The value of a result column as text, decoded into out's storage; false for Null.
bool ColumnText(sqlite3_stmt* statement, int index, QString& out);

} // namespace plw::db
