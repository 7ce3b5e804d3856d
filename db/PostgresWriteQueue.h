#pragma once

#include "db/PostgresConnection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace plw::db {

// Told when a queued update gave a row a new place (ctid), so that a table can change its
// current row again.
class PgRowMoved {
public:
    virtual void moved(const QByteArray& from, const QByteArray& to) = 0;

protected:
    ~PgRowMoved() = default;
};

// Row changes of table walks, queued and written many rows a statement, so that a walk is not
// one round trip to the server per row: updates of rows by their place (ctid) as one
// UPDATE ... FROM unnest(arrays), new rows as one COPY. Only inside the program's transactions,
// so that a failure found when the batch is written still rolls back the work it belongs to.
// The connection writes the queue before it runs anything else; one table and one set of
// columns at a time.
class PostgresWriteQueue {
public:
    static constexpr int BatchRows = 2000;

    explicit PostgresWriteQueue(PostgresConnection& connection) : mConnection(connection) {}

    // The values of the assigned columns (quoted names, their types as format_type gives
    // them) for the row at ctid. key identifies the table and the columns. ctid is read after
    // the flush this call may make first, which may have moved the row (the listener's own
    // field, passed by reference, has the new place then).
    void queueUpdate(const QString& key, const QString& quotedTable,
                     const QStringList& quotedColumns, const QStringList& types,
                     const QByteArray& ctid, PgParameters values, PgRowMoved* listener);
    // A new row with the values of the assigned columns.
    void queueInsert(const QString& key, const QString& quotedTable,
                     const QStringList& quotedColumns, PgParameters values);
    // Writes what is queued; errors go to the caller that caused the write.
    void flush();
    // Drops what is queued: the transaction it belongs to is being rolled back.
    void discard();
    // The listener is going away.
    void forget(const PgRowMoved* listener);

private:
    enum class Kind { Update, Insert };
    void start(Kind kind, const QString& key, const QString& quotedTable,
               const QStringList& quotedColumns, const QStringList& types);
    void flushUpdates();
    void flushInserts();

    PostgresConnection& mConnection;
    Kind mKind = Kind::Update;
    QString mKey;
    QString mTable;
    QStringList mColumns;
    QStringList mTypes;
    std::vector<QByteArray> mPlaces; // updates: the rows' ctids
    std::vector<PgParameters> mRows; // the values, in the columns' order
    PgRowMoved* mListener = nullptr;
    bool mFlushing = false;
};

} // namespace plw::db
