#include "db/PostgresRecordset.h"

#include <libpq-fe.h>

namespace plw::db {
namespace {

// The first batch is small, for the paging lists that read one page; later ones are larger.
constexpr int FirstBatch = 64;
constexpr int LaterBatch = 2000;

} // namespace

PostgresRecordset::PostgresRecordset(std::shared_ptr<PostgresConnection> connection,
                                     const QString& query, QString jetSql, int hiddenColumns)
    : mConnection(std::move(connection)), mJetSql(std::move(jetSql)) {
    mCursor = mConnection->openCursor(query, {}, mJetSql);
    try {
        mBatchSize = FirstBatch;
        mBatch = mConnection->fetch(mCursor, mBatchSize, mJetSql);
    } catch (...) {
        mConnection->closeCursor(mCursor);
        throw;
    }
    QStringList names;
    const int count = PQnfields(mBatch.get()) - hiddenColumns;
    for (int i = 0; i < count; ++i)
        names << QString::fromUtf8(PQfname(mBatch.get(), i));
    mNames = ColumnNames(names);
    mLastBatch = PQntuples(mBatch.get()) < mBatchSize;
    mRow = -1;
    fetch();
}

PostgresRecordset::~PostgresRecordset() {
    closeCursor();
}

void PostgresRecordset::closeCursor() {
    if (mCursor.isEmpty())
        return;
    mConnection->closeCursor(mCursor);
    mCursor.clear();
}

void PostgresRecordset::fetch() {
    ++mRow;
    if (mRow >= PQntuples(mBatch.get()) && !mLastBatch) {
        mBatchSize = LaterBatch;
        mBatch = mConnection->fetch(mCursor, mBatchSize, mJetSql);
        mLastBatch = PQntuples(mBatch.get()) < mBatchSize;
        mRow = 0;
    }
    // With the last rows read the cursor, and with it the server's transaction, can go.
    if (mLastBatch)
        closeCursor();
    mEof = mRow >= PQntuples(mBatch.get());
    if (!mEof)
        mConnection->countFetchedRow();
}

void PostgresRecordset::moveNext() {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("現在の行がありません"), mJetSql);
    fetch();
}

QString PostgresRecordset::fieldName(int index) const {
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(0, QStringLiteral("%1 番目の列がありません").arg(index), mJetSql);
    return mNames.name(index);
}

void PostgresRecordset::check(int index) const {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("現在の行がありません"), mJetSql);
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(0, QStringLiteral("%1 番目の列がありません").arg(index), mJetSql);
}

QVariant PostgresRecordset::value(int index) const {
    check(index);
    return PgValue(mBatch.get(), mRow, index);
}

bool PostgresRecordset::readText(int index, QString& out) const {
    check(index);
    return PgText(mBatch.get(), mRow, index, out);
}

} // namespace plw::db
