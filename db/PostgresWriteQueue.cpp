#include "db/PostgresWriteQueue.h"

#include "db/Database.h"

#include <libpq-fe.h>

namespace plw::db {
namespace {

// An array literal of the values ("{"a","b",NULL}"): each element quoted, backslash and quote
// escaped.
QByteArray arrayLiteral(const std::vector<const std::optional<QByteArray>*>& values) {
    QByteArray out("{");
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::optional<QByteArray>& value = *values[i];
        if (!value) {
            out += "NULL";
            continue;
        }
        out += '"';
        for (char c : *value) {
            if (c == '"' || c == '\\')
                out += '\\';
            out += c;
        }
        out += '"';
    }
    out += '}';
    return out;
}

} // namespace

void PostgresWriteQueue::start(Kind kind, const QString& key, const QString& quotedTable,
                               const QStringList& quotedColumns, const QStringList& types) {
    if (!mRows.empty() && mKind == kind && mKey == key)
        return;
    flush();
    mKind = kind;
    mKey = key;
    mTable = quotedTable;
    mColumns = quotedColumns;
    mTypes = types;
}

void PostgresWriteQueue::queueUpdate(const QString& key, const QString& quotedTable,
                                     const QStringList& quotedColumns, const QStringList& types,
                                     const QByteArray& ctid, PgParameters values,
                                     PgRowMoved* listener) {
    start(Kind::Update, key, quotedTable, quotedColumns, types);
    mListener = listener;
    if (!mPlaces.empty() && mPlaces.back() == ctid) {
        // The same row changed again before the batch went: the later values win, as they
        // would in two statements.
        mRows.back() = std::move(values);
        return;
    }
    mPlaces.push_back(ctid);
    mRows.push_back(std::move(values));
    if (int(mRows.size()) == BatchRows)
        flush();
}

void PostgresWriteQueue::queueInsert(const QString& key, const QString& quotedTable,
                                     const QStringList& quotedColumns, PgParameters values) {
    start(Kind::Insert, key, quotedTable, quotedColumns, {});
    mRows.push_back(std::move(values));
    if (int(mRows.size()) == BatchRows)
        flush();
}

void PostgresWriteQueue::discard() {
    mRows.clear();
    mPlaces.clear();
}

void PostgresWriteQueue::forget(const PgRowMoved* listener) {
    if (mListener == listener)
        mListener = nullptr;
}

void PostgresWriteQueue::flush() {
    if (mRows.empty() || mFlushing)
        return;
    mFlushing = true;
    struct Done {
        PostgresWriteQueue& self;
        ~Done() {
            self.discard();
            self.mFlushing = false;
        }
    } done{*this};
    if (mKind == Kind::Update)
        flushUpdates();
    else
        flushInserts();
}

void PostgresWriteQueue::flushUpdates() {
    // UPDATE t SET a = v.jet_1, ... FROM unnest($1::tid[], $2::type[], ...) AS v(jet_ctid,
    // jet_1, ...) WHERE t.ctid = v.jet_ctid: one statement of a fixed text whatever the number
    // of rows; the server reaches each row by its place (a TID scan per row).
    QStringList sets, arrays, names;
    arrays << QStringLiteral("$1::tid[]");
    names << QStringLiteral("jet_ctid");
    for (qsizetype i = 0; i < mColumns.size(); ++i) {
        sets << QStringLiteral("%1 = v.jet_%2").arg(mColumns[i]).arg(i + 1);
        arrays << QStringLiteral("$%1::%2[]").arg(i + 2).arg(mTypes[i]);
        names << QStringLiteral("jet_%1").arg(i + 1);
    }
    const QString sql =
        QStringLiteral("UPDATE %1 AS jet_t SET %2 FROM unnest(%3) AS v(%4) WHERE jet_t.ctid = "
                       "v.jet_ctid RETURNING v.jet_ctid, jet_t.ctid")
            .arg(mTable, sets.join(QStringLiteral(", ")), arrays.join(QStringLiteral(", ")),
                 names.join(QStringLiteral(", ")));
    PgParameters parameters;
    std::vector<std::optional<QByteArray>> places(mPlaces.begin(), mPlaces.end());
    std::vector<const std::optional<QByteArray>*> column;
    for (const auto& place : places)
        column.push_back(&place);
    parameters.push_back(arrayLiteral(column));
    for (qsizetype c = 0; c < mColumns.size(); ++c) {
        column.clear();
        for (const PgParameters& row : mRows)
            column.push_back(&row[size_t(c)]);
        parameters.push_back(arrayLiteral(column));
    }
    const PgResult result = mConnection.run(sql, parameters);
    const int updated = PQntuples(result.get());
    if (updated != int(mPlaces.size()))
        throw DatabaseError(PostgresErrorCode("P0002"),
                            QStringLiteral("表 %1 の %2 行のうち %3 行しか書き換えられませんでした"
                                           "（行が他で変えられたか消されています）")
                                .arg(mTable)
                                .arg(mPlaces.size())
                                .arg(updated),
                            sql);
    if (mListener)
        for (int row = 0; row < updated; ++row)
            mListener->moved(QByteArray(PQgetvalue(result.get(), row, 0)),
                             QByteArray(PQgetvalue(result.get(), row, 1)));
}

void PostgresWriteQueue::flushInserts() {
    QByteArray data;
    for (const PgParameters& row : mRows) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                data += '\t';
            AppendCopyField(data, row[c]);
        }
        data += '\n';
    }
    mConnection.copyIn(
        QStringLiteral("COPY %1 (%2) FROM STDIN").arg(mTable, mColumns.join(QStringLiteral(", "))),
        data, {});
}

} // namespace plw::db
