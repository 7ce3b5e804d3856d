#include "db/SqliteWriteBehind.h"

#include <sqlite3.h>

namespace plw::db {

sqlite3_stmt* SqliteWriteBehind::batchFor(const QString& quotedTable, const std::string& key,
                                          const QStringList& quotedColumns) {
    const std::string id = quotedTable.toStdString() + '\n' + key;
    auto it = mBatches.find(id);
    if (it == mBatches.end()) {
        // UPDATE t SET a = v.column2, ... FROM (VALUES (?, ?, ...), ...) AS v
        // WHERE t.rowid = v.column1; unused rows keep a Null rowid and match nothing.
        QStringList sets;
        for (qsizetype i = 0; i < quotedColumns.size(); ++i)
            sets << QStringLiteral("%1 = v.column%2").arg(quotedColumns[i]).arg(i + 2);
        const QString row =
            QLatin1Char('(') +
            QStringList(quotedColumns.size() + 1, QStringLiteral("?")).join(QLatin1Char(',')) +
            QLatin1Char(')');
        const QString sql =
            QStringLiteral("UPDATE %1 SET %2 FROM (VALUES %3) AS v WHERE %1.rowid = v.column1")
                .arg(quotedTable, sets.join(QStringLiteral(", ")),
                     QStringList(BatchRows, row).join(QLatin1Char(',')));
        it = mBatches.emplace(id, mConnection.prepare(sql)).first;
    }
    return it->second.get();
}

void SqliteWriteBehind::queue(const QString& quotedTable, const std::string& key,
                              const QStringList& quotedColumns, qint64 rowid,
                              const QVariantList& values) {
    sqlite3_stmt* batch = batchFor(quotedTable, key, quotedColumns);
    if (batch != mBatch || hasQueued(rowid)) {
        flush();
        mBatch = batch;
        mColumns = int(quotedColumns.size());
    }
    int parameter = mRows * (mColumns + 1) + 1;
    sqlite3_bind_int64(mBatch, parameter++, rowid);
    for (const QVariant& value : values)
        BindValue(mConnection, mBatch, parameter++, value);
    mLastRowid = rowid;
    if (++mRows == BatchRows)
        flush();
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
