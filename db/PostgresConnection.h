#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace plw::db {

class PostgresWriteQueue;

struct PgResultDeleter {
    void operator()(pg_result* result) const;
};
// A result of libpq, cleared when released.
using PgResult = std::unique_ptr<pg_result, PgResultDeleter>;

// A parameter's text as the server reads it; std::nullopt for Null.
using PgParameters = std::vector<std::optional<QByteArray>>;

// The DatabaseError code of an SQLSTATE ("42P01"): its five characters read as a number in base
// 36, so that codes of one class stay together.
int PostgresErrorCode(const char* sqlState);
// Whether the code is the server's or the connection's failure rather than one statement's
// (connection lost, server shut down or out of resources, transaction aborted).
bool IsPostgresServerFailure(int code);

// One connection to a PostgreSQL server, shared by the database and every recordset, table and
// statement opened on it. It owns the transaction they run in: the server closes a cursor when
// its transaction ends, so one transaction is open while a cursor is open or a transaction has
// been begun, and the program's own transactions are savepoints inside it.
class PostgresConnection {
public:
    // Connects (text in UTF-8) and sets the search path to the schemas, in order. Throws
    // DatabaseError naming the server, the database and libpq's cause.
    PostgresConnection(const QString& connectionInfo, const QStringList& searchPath);
    ~PostgresConnection();
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    pg_conn* handle() const { return mHandle; }
    // "サーバー host:port、データベース name", for messages.
    const QString& description() const { return mDescription; }

    // Runs one statement ($1, $2, ... as parameters) and returns its result. Queued writes go
    // first. A failure throws DatabaseError showing shown (the program's statement) or sql.
    PgResult run(const QString& sql, const PgParameters& parameters = {},
                 const QString& shown = {});
    // Runs statements as one unit: all or none, and a failure leaves an open transaction usable
    // (a savepoint around them), as SQLite leaves it.
    void runAtomically(const QStringList& statements, const QString& shown);
    // The names of a query's result columns, without running it.
    QStringList describeColumns(const QString& sql, const QString& shown);
    // A statement prepared on the server under a new name, with the number of its parameters;
    // run with its values; dropped.
    QString prepare(const QString& sql, const QString& shown, int* parameters);
    PgResult runPrepared(const QString& name, const PgParameters& parameters, const QString& shown);
    void deallocate(const QString& name) noexcept;
    // COPY ... FROM STDIN with rows in COPY's text format, at once or in pieces: begin, put the
    // rows in any number of pieces, end (which reports the server's verdict).
    void copyIn(const QString& copySql, const QByteArray& rows, const QString& shown);
    void beginCopy(const QString& copySql);
    void putCopy(const QByteArray& rows);
    void endCopy();
    // Calls the COPY under way off (none of its rows stay).
    void abortCopy(const QString& reason) noexcept;

    // The program's transactions, nested as savepoints.
    void begin();
    void commit();
    void rollback();
    int depth() const { return mDepth; }

    // Cursors: declared in the connection's transaction (begun for the first one), closed, and
    // that transaction committed when the last one closes outside the program's transactions.
    QString openCursor(const QString& query, const PgParameters& parameters, const QString& shown);
    PgResult fetch(const QString& cursor, int rows, const QString& shown);
    void closeCursor(const QString& cursor) noexcept;

    // Rows delivered to query recordsets on this connection.
    qint64 rowsFetched() const { return mRowsFetched; }
    void countFetchedRow() { ++mRowsFetched; }

    // Row changes of table walks waiting to be written in batches, and writing them now.
    PostgresWriteQueue& writes() { return *mWrites; }
    void flushWrites();

private:
    PgResult exec(const QString& sql, const PgParameters& parameters, const QString& shown);
    PgResult checked(pg_result* result, const QString& statement);
    [[noreturn]] void fail(pg_result* result, const QString& statement);
    void ensureTransaction();
    void endTransactionWhenIdle();
    // After a failure outside the program's transactions the server's transaction is aborted:
    // it is rolled back, and with it every cursor.
    void recover() noexcept;

    pg_conn* mHandle = nullptr;
    QString mDescription;
    std::unique_ptr<PostgresWriteQueue> mWrites;
    bool mTransaction = false; // the connection's own transaction is open
    int mDepth = 0;            // the program's transactions (savepoints) inside it
    int mCursors = 0;
    int mNextCursor = 0;
    int mNextStatement = 0;
    QString mCopy; // the COPY under way
    bool mCopyFailed = false;
    bool mFlushing = false;
    qint64 mRowsFetched = 0;
};

// A value as a parameter's text: numbers as digits, texts in UTF-8, bytes as bytea's hex form.
std::optional<QByteArray> PgParameter(const QVariant& value);
// The value of a field: invalid QVariant for Null, qlonglong for integers (and whole numerics),
// double, QByteArray for bytea, QString for everything else.
QVariant PgValue(const pg_result* result, int row, int column);
// The field as text into out's storage; false for Null.
bool PgText(const pg_result* result, int row, int column, QString& out);
// One field of a row in COPY's text format (tab-separated, \N for Null, escapes).
void AppendCopyField(QByteArray& out, const std::optional<QByteArray>& value);

} // namespace plw::db
