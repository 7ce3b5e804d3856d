#pragma once

#include "db/SqliteConnection.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <unordered_map>

namespace plw::db {

// Row changes of a table walk, queued and written a hundred rows per statement: SQLite's cost of
// one UPDATE by rowid is mostly the statement itself. The connection writes the queue before
// anything else uses it, so no reader ever sees a stale row; queued changes are only those that
// cannot fail (no key, index, constraint or trigger involved), made inside a transaction, so
// that writing them later changes nothing but the time.
class SqliteWriteBehind {
public:
    static constexpr int BatchRows = 100;

    explicit SqliteWriteBehind(const SqliteConnection& connection) : mConnection(connection) {}

    // Queues new values for the row: quotedColumns are the assigned columns, in the order of
    // values; key identifies that set of columns of the table.
    void queue(const QString& quotedTable, const std::string& key, const QStringList& quotedColumns,
               qint64 rowid, const QVariantList& values);
    // Writes what is queued. Errors are thrown to the caller that caused the write.
    void flush();
    bool hasQueued(qint64 rowid) const { return mRows > 0 && mLastRowid == rowid; }

private:
    sqlite3_stmt* batchFor(const QString& quotedTable, const std::string& key,
                           const QStringList& quotedColumns);

    const SqliteConnection& mConnection;
    std::unordered_map<std::string, StatementHandle> mBatches; // by table and column set
    sqlite3_stmt* mBatch = nullptr;
    std::string mBatchKey;
    int mColumns = 0;
    int mRows = 0;
    qint64 mLastRowid = 0;
    bool mFlushing = false;
};

} // namespace plw::db
