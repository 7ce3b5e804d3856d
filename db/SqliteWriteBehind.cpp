#include "db/SqliteWriteBehind.h"

#include <sqlite3.h>

#include <algorithm>

namespace plw::db {

sqlite3_stmt* SqliteWriteBehind::batchFor(const std::string& layout, const QString& quotedTable,
                                          const QStringList& quotedColumns,
                                          const std::vector<char>& assigned) {
    mId = layout;
    mId.append(assigned.begin(), assigned.end());
    auto it = mBatches.find(mId);
    if (it == mBatches.end()) {
        // UPDATE t SET a = v.column2, ... FROM (VALUES (?, ?, ...), ...) AS v
        // WHERE t.rowid = v.column1; unused rows keep a Null rowid and match nothing.
        QStringList sets;
        for (size_t i = 0; i < assigned.size(); ++i)
            if (assigned[i])
                sets << QStringLiteral("%1 = v.column%2")
                            .arg(quotedColumns[qsizetype(i)])
                            .arg(sets.size() + 2);
        const QString row =
            QLatin1Char('(') +
            QStringList(sets.size() + 1, QStringLiteral("?")).join(QLatin1Char(',')) +
            QLatin1Char(')');
        const QString sql =
            QStringLiteral("UPDATE %1 SET %2 FROM (VALUES %3) AS v WHERE %1.rowid = v.column1")
                .arg(quotedTable, sets.join(QStringLiteral(", ")),
                     QStringList(BatchRows, row).join(QLatin1Char(',')));
        it = mBatches.emplace(mId, mConnection.prepare(sql)).first;
    }
    return it->second.get();
}

void SqliteWriteBehind::queue(const std::string& layout, const QString& quotedTable,
                              const QStringList& quotedColumns, const std::vector<char>& assigned,
                              qint64 rowid, const std::vector<QVariant>& values) {
    sqlite3_stmt* batch = batchFor(layout, quotedTable, quotedColumns, assigned);
    if (batch != mBatch || hasQueued(rowid)) {
        flush();
        mBatch = batch;
        mColumns = int(std::count(assigned.begin(), assigned.end(), 1));
    }
    int parameter = mRows * (mColumns + 1) + 1;
    sqlite3_bind_int64(mBatch, parameter++, rowid);
    for (size_t i = 0; i < assigned.size(); ++i)
        if (assigned[i])
            BindValue(mConnection, mBatch, parameter++, values[i]);
    mLastRowid = rowid;
    if (++mRows == BatchRows)
        flush();
}

void SqliteWriteBehind::discard() {
    if (mRows == 0)
        return;
    mRows = 0;
    sqlite3_reset(mBatch);
    sqlite3_clear_bindings(mBatch);
}

void SqliteWriteBehind::flush() {
    if (mRows == 0 || mFlushing)
        return;
    mFlushing = true;
    mRows = 0;
    struct Done {
        SqliteWriteBehind& self;
        ~Done() {
            sqlite3_reset(self.mBatch);
            sqlite3_clear_bindings(self.mBatch);
            self.mFlushing = false;
        }
    } done{*this};
    mConnection.step(mBatch, {});
}

} // namespace plw::db
