#pragma once

#include "db/SqliteConnection.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <unordered_map>
#include <vector>

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

    // Queues new values for the row: assigned flags the columns (quotedColumns holds every
    // column's quoted name) whose values are in the same places of values. layout identifies
    // the table and its columns (a table dropped and created again may differ).
    void queue(const std::string& layout, const QString& quotedTable,
               const QStringList& quotedColumns, const std::vector<char>& assigned, qint64 rowid,
               const std::vector<QVariant>& values);
    // Writes what is queued. Errors are thrown to the caller that caused the write.
    void flush();
    // Drops what is queued: the transaction it belongs to is being rolled back.
    void discard();
    bool hasQueued(qint64 rowid) const { return mRows > 0 && mLastRowid == rowid; }

private:
    sqlite3_stmt* batchFor(const std::string& layout, const QString& quotedTable,
                           const QStringList& quotedColumns, const std::vector<char>& assigned);

    const SqliteConnection& mConnection;
    std::unordered_map<std::string, StatementHandle> mBatches; // by layout and column set
    sqlite3_stmt* mBatch = nullptr;
    std::string mId; // layout and column flags of the batch asked for, reused
    int mColumns = 0;
    int mRows = 0;
    qint64 mLastRowid = 0;
    bool mFlushing = false;
};

} // namespace plw::db
