#include "db/SqliteRecordset.h"

#include <sqlite3.h>

namespace plw::db {

SqliteRecordset::SqliteRecordset(std::shared_ptr<const SqliteConnection> connection,
                                 StatementHandle statement, QString jetSql, int hiddenColumns)
    : mConnection(std::move(connection)), mStatement(std::move(statement)),
      mJetSql(std::move(jetSql)) {
    QStringList names;
    const int count = sqlite3_column_count(mStatement.get()) - hiddenColumns;
    for (int i = 0; i < count; ++i)
        names << QString::fromUtf8(sqlite3_column_name(mStatement.get(), i));
    mNames = ColumnNames(names);
    fetch();
}

void SqliteRecordset::moveNext() {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("現在の行がありません"), mJetSql);
    fetch();
}

void SqliteRecordset::fetch() {
    mEof = !mConnection->step(mStatement.get(), mJetSql);
    if (!mEof)
        mConnection->countFetchedRow();
}

QString SqliteRecordset::fieldName(int index) const {
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(0, QStringLiteral("%1 番目の列がありません").arg(index), mJetSql);
    return mNames.name(index);
}

QVariant SqliteRecordset::value(int index) const {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("現在の行がありません"), mJetSql);
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(0, QStringLiteral("%1 番目の列がありません").arg(index), mJetSql);
    return ColumnValue(mStatement.get(), index);
}

bool SqliteRecordset::readText(int index, QString& out) const {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("現在の行がありません"), mJetSql);
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(0, QStringLiteral("%1 番目の列がありません").arg(index), mJetSql);
    return ColumnText(mStatement.get(), index, out);
}

} // namespace plw::db
