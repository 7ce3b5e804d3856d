#include "db/SqliteTable.h"

#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"
#include "db/SqliteWriteBehind.h"

#include <sqlite3.h>

#include <algorithm>

namespace plw::db {
namespace {

// Result columns before the table's own: rowid and the seek's match flag.
constexpr int Leading = 2;

// The name of the table's PRIMARY KEY constraint in its CREATE statement, "" when unnamed.
QString primaryKeyConstraintName(const QString& createSql) {
    JetTokens tokens;
    try {
        tokens = TokenizeJetSql(createSql);
    } catch (const DatabaseError&) {
        return {};
    }
    for (qsizetype i = 0; i + 2 < tokens.size(); ++i)
        if (tokens[i].isWord(u"CONSTRAINT") && tokens[i + 2].isWord(u"PRIMARY"))
            return tokens[i + 1].text;
    return {};
}

} // namespace

SqliteTable::SqliteTable(std::shared_ptr<const SqliteConnection> connection,
                         const QString& tableName)
    : mConnection(std::move(connection)) {
    {
        StatementHandle find = mConnection->prepare(
            QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name = ?1 "
                           "COLLATE NOCASE"));
        BindValue(*mConnection, find.get(), 1, tableName);
        if (!mConnection->step(find.get(), {}))
            throw DatabaseError(SQLITE_ERROR,
                                QStringLiteral("表「%1」がありません").arg(tableName));
        mName = ColumnValue(find.get(), 0).toString();
        mCreateSql = ColumnValue(find.get(), 1).toString();
    }
    mQuoted = QuoteSqliteName(mName);

    QStringList names;
    StatementHandle columns =
        mConnection->prepare(QStringLiteral("SELECT name FROM pragma_table_info(?1) ORDER BY cid"));
    BindValue(*mConnection, columns.get(), 1, mName);
    while (mConnection->step(columns.get(), {}))
        names << ColumnValue(columns.get(), 0).toString();
    mNames = ColumnNames(names);
    for (const QString& name : names)
        mQuotedNames << QuoteSqliteName(name);
    mLayout = (mQuoted + QLatin1Char('\n') + mQuotedNames.join(QLatin1Char('\n'))).toStdString();
    findDeferrableColumns();
    mUpdated.resize(size_t(names.size()));
    mIsUpdated.resize(size_t(names.size()));
    mBuffer.resize(size_t(names.size()));
    mAssigned.resize(size_t(names.size()));
    beginWalk();
}

void SqliteTable::findDeferrableColumns() {
    // A change may wait in the write-behind queue only where it cannot fail: no trigger, CHECK,
    // foreign key or STRICT typing on the table, no key, NOT NULL or index on the column.
    mDeferrable.assign(size_t(mNames.size()), 1);
    bool table = true;
    for (const JetToken& token : TokenizeJetSql(mCreateSql))
        if (token.isWord(u"CHECK") || token.isWord(u"REFERENCES") || token.isWord(u"STRICT") ||
            token.isWord(u"GENERATED"))
            table = false;
    {
        StatementHandle triggers = mConnection->prepare(QStringLiteral(
            "SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND tbl_name = ?1 COLLATE NOCASE"));
        BindValue(*mConnection, triggers.get(), 1, mName);
        if (mConnection->step(triggers.get(), {}))
            table = false;
    }
    {
        StatementHandle columns = mConnection->prepare(
            QStringLiteral("SELECT cid FROM pragma_table_info(?1) WHERE \"notnull\" OR pk > 0"));
        BindValue(*mConnection, columns.get(), 1, mName);
        while (mConnection->step(columns.get(), {}))
            mDeferrable[size_t(sqlite3_column_int(columns.get(), 0))] = 0;
    }
    {
        StatementHandle indexed =
            mConnection->prepare(QStringLiteral("SELECT x.cid FROM pragma_index_list(?1) AS l, "
                                                "pragma_index_xinfo(l.name) AS x WHERE x.key"));
        BindValue(*mConnection, indexed.get(), 1, mName);
        while (mConnection->step(indexed.get(), {})) {
            const int cid = sqlite3_column_int(indexed.get(), 0);
            if (cid < 0 || cid >= mNames.size())
                table = false; // an expression or the rowid
            else
                mDeferrable[size_t(cid)] = 0;
        }
    }
    if (!table)
        std::fill(mDeferrable.begin(), mDeferrable.end(), 0);
}

QString SqliteTable::orderClause() const {
    if (mRowidKey || mKeyColumns.isEmpty())
        return QStringLiteral(" ORDER BY rowid");
    QStringList keys;
    for (const QString& key : mKeyColumns)
        keys << QuoteSqliteName(key);
    return QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
}

QString SqliteTable::indexedBy() const {
    return mIndex.isEmpty() ? QString() : QStringLiteral(" INDEXED BY ") + QuoteSqliteName(mIndex);
}

void SqliteTable::beginWalk() {
    mWalk = mConnection->prepare(QStringLiteral("SELECT rowid, 1, * FROM ") + mQuoted +
                                 indexedBy() + orderClause());
    mCursor = mWalk.get();
    mNoMatch = false;
    readRow();
}

void SqliteTable::readRow() {
    mMode = Mode::None;
    mDeleted = false;
    std::fill(mIsUpdated.begin(), mIsUpdated.end(), 0);
    mEof = !mConnection->stepWalk(mCursor);
    if (!mEof)
        mRowid = sqlite3_column_int64(mCursor, 0);
}

void SqliteTable::moveNext() {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("表 %1 に現在の行がありません").arg(mName));
    readRow();
}

QString SqliteTable::fieldName(int index) const {
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(
            0, QStringLiteral("表 %2 に %1 番目の列がありません").arg(index).arg(mName));
    return mNames.name(index);
}

void SqliteTable::requireRow(const char* operation) const {
    if (mEof || mDeleted)
        throw DatabaseError(0, QStringLiteral("%1: 表 %2 に現在の行がありません")
                                   .arg(QString::fromLatin1(operation), mName));
}

QVariant SqliteTable::value(int index) const {
    requireRow("value");
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(
            0, QStringLiteral("表 %2 に %1 番目の列がありません").arg(index).arg(mName));
    if (mIsUpdated[size_t(index)])
        return mUpdated[size_t(index)];
    return ColumnValue(mCursor, index + Leading);
}

bool SqliteTable::readText(int index, QString& out) const {
    requireRow("value");
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(
            0, QStringLiteral("表 %2 に %1 番目の列がありません").arg(index).arg(mName));
    if (mIsUpdated[size_t(index)])
        return Recordset::readText(index, out);
    return ColumnText(mCursor, index + Leading, out);
}

void SqliteTable::setIndex(const QString& name) {
    // An index created by CREATE INDEX carries the table in its SQLite name.
    const QString wanted = SqliteIndexName(mName, name);
    QString found;
    QString primary;
    {
        StatementHandle list =
            mConnection->prepare(QStringLiteral("SELECT name, origin FROM pragma_index_list(?1)"));
        BindValue(*mConnection, list.get(), 1, mName);
        while (mConnection->step(list.get(), {})) {
            const QString index = ColumnValue(list.get(), 0).toString();
            if (index.compare(wanted, Qt::CaseInsensitive) == 0)
                found = index;
            if (ColumnValue(list.get(), 1).toString() == u"pk")
                primary = index;
        }
    }
    QStringList keys;
    bool rowidKey = false;
    if (found.isEmpty()) {
        // Otherwise the primary key under its constraint's name, or "PrimaryKey" when it has
        // none (the name Jet gives an unnamed primary index).
        QString constraint = primaryKeyConstraintName(mCreateSql);
        if (constraint.isEmpty())
            constraint = QStringLiteral("PrimaryKey");
        const bool named = constraint.compare(name, Qt::CaseInsensitive) == 0;
        if (named && !primary.isEmpty()) {
            found = primary;
        } else if (named) {
            StatementHandle info = mConnection->prepare(
                QStringLiteral("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk"));
            BindValue(*mConnection, info.get(), 1, mName);
            while (mConnection->step(info.get(), {}))
                keys << ColumnValue(info.get(), 0).toString();
            rowidKey = keys.size() == 1; // INTEGER PRIMARY KEY: the rowid itself
        }
        if (found.isEmpty() && !rowidKey)
            throw DatabaseError(SQLITE_ERROR,
                                QStringLiteral("表 %2 に索引 %1 がありません").arg(name, mName));
    }
    if (!found.isEmpty()) {
        StatementHandle info = mConnection->prepare(
            QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
        BindValue(*mConnection, info.get(), 1, found);
        while (mConnection->step(info.get(), {}))
            keys << ColumnValue(info.get(), 0).toString();
    }
    mIndex = found;
    mKeyColumns = keys;
    mRowidKey = rowidKey;
    mSeeks.clear();
    beginWalk();
}

void SqliteTable::seek(const QVariant& key) {
    if (mKeyColumns.isEmpty())
        throw DatabaseError(0, QStringLiteral("索引を指定せずに表 %1 を検索しました").arg(mName));
    const QVariantList keys =
        key.typeId() == QMetaType::QVariantList ? key.toList() : QVariantList{key};
    if (keys.isEmpty() || keys.size() > mKeyColumns.size())
        throw DatabaseError(0, QStringLiteral("表 %1 の検索: キーの列 %3 個に値が %2 個です")
                                   .arg(mName)
                                   .arg(keys.size())
                                   .arg(mKeyColumns.size()));
    const QString cacheKey = QString::number(keys.size());
    auto found = mSeeks.find(cacheKey);
    if (found == mSeeks.end()) {
        // First row at or after the key in index order; the flag tells whether it equals it.
        QStringList match, columns, parameters;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QString column =
                mRowidKey ? QStringLiteral("rowid") : QuoteSqliteName(mKeyColumns[i]);
            match << QStringLiteral("%1 = ?%2").arg(column).arg(i + 1);
            columns << column;
            parameters << QStringLiteral("?%1").arg(i + 1);
        }
        const QString sql = QStringLiteral("SELECT rowid, (%1), * FROM %2%3 WHERE (%4) >= (%5)%6")
                                .arg(match.join(QStringLiteral(" AND ")), mQuoted, indexedBy(),
                                     columns.join(QStringLiteral(", ")),
                                     parameters.join(QStringLiteral(", ")), orderClause());
        found = mSeeks.emplace(cacheKey, mConnection->prepare(sql)).first;
    }
    sqlite3_stmt* statement = found->second.get();
    mConnection->flushWrites(); // the seek may land on a row whose change is queued
    sqlite3_reset(statement);
    for (qsizetype i = 0; i < keys.size(); ++i)
        BindValue(*mConnection, statement, int(i + 1), keys[i]);
    mCursor = statement;
    readRow();
    mNoMatch = mEof || sqlite3_column_int(mCursor, 1) == 0;
    if (mNoMatch)
        mEof = true; // no current row after a failed seek
}

void SqliteTable::edit() {
    requireRow("edit");
    mMode = Mode::Edit;
    std::fill(mAssigned.begin(), mAssigned.end(), 0);
}

void SqliteTable::addNew() {
    mMode = Mode::Add;
    std::fill(mAssigned.begin(), mAssigned.end(), 0);
}

void SqliteTable::setValue(QStringView name, const QVariant& value) {
    if (mMode == Mode::None)
        throw DatabaseError(
            0, QStringLiteral("表 %1 で編集 (edit/addNew) の前に値を設定しました").arg(mName));
    const int index = mNames.find(name);
    if (index < 0)
        throw DatabaseError(
            0, QStringLiteral("表 %2 に列「%1」がありません").arg(name.toString(), mName));
    mBuffer[size_t(index)] = value;
    mAssigned[size_t(index)] = 1;
}

// The UPDATE or INSERT for the columns assigned, prepared on first use.
sqlite3_stmt* SqliteTable::changeStatement() {
    // Which columns were assigned decides the statement.
    const std::string key(mAssigned.begin(), mAssigned.end());
    auto& cache = mMode == Mode::Edit ? mUpdates : mInserts;
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second.get();

    QStringList columns, parameters, sets;
    for (int i = 0; i < mNames.size(); ++i) {
        if (mAssigned[size_t(i)]) {
            columns << QuoteSqliteName(mNames.name(i));
            parameters << QStringLiteral("?%1").arg(columns.size());
            sets << columns.constLast() + QStringLiteral(" = ") + parameters.constLast();
        }
    }
    QString sql;
    if (mMode == Mode::Edit)
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(mQuoted, sets.join(QStringLiteral(", ")))
                  .arg(columns.size() + 1);
    else if (columns.isEmpty())
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(mQuoted);
    else
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(mQuoted, columns.join(QStringLiteral(", ")),
                       parameters.join(QStringLiteral(", ")));
    return cache.emplace(key, mConnection->prepare(sql)).first->second.get();
}

void SqliteTable::update() {
    if (mMode == Mode::None)
        throw DatabaseError(
            0, QStringLiteral("表 %1 で編集 (edit/addNew) の前に更新しました").arg(mName));
    if (mMode == Mode::Edit) {
        requireRow("update");
        if (std::find(mAssigned.begin(), mAssigned.end(), 1) == mAssigned.end()) {
            mMode = Mode::None;
            return;
        }
    }
    if (mMode == Mode::Edit && deferrable()) {
        mConnection->writeBehind().queue(mLayout, mQuoted, mQuotedNames, mAssigned, mRowid,
                                         mBuffer);
        showUpdated();
        return;
    }
    sqlite3_stmt* statement = changeStatement();
    int parameter = 1;
    for (size_t i = 0; i < mAssigned.size(); ++i)
        if (mAssigned[i])
            BindValue(*mConnection, statement, parameter++, mBuffer[i]);
    if (mMode == Mode::Edit)
        sqlite3_bind_int64(statement, parameter, mRowid);
    mConnection->step(statement, {});
    sqlite3_reset(statement);

    if (mMode == Mode::Edit)
        showUpdated();
    mMode = Mode::None;
}

bool SqliteTable::deferrable() const {
    if (sqlite3_get_autocommit(mConnection->handle()))
        return false; // outside a transaction every change is written at once
    for (size_t i = 0; i < mAssigned.size(); ++i)
        if (mAssigned[i] && !mDeferrable[i])
            return false;
    return true;
}

void SqliteTable::showUpdated() {
    for (size_t i = 0; i < mAssigned.size(); ++i) {
        if (mAssigned[i]) {
            mUpdated[i] = mBuffer[i];
            mIsUpdated[i] = 1;
        }
    }
    mMode = Mode::None;
}

void SqliteTable::remove() {
    requireRow("remove");
    if (!mDelete)
        mDelete =
            mConnection->prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(mQuoted));
    sqlite3_bind_int64(mDelete.get(), 1, mRowid);
    mConnection->step(mDelete.get(), {});
    sqlite3_reset(mDelete.get());
    mMode = Mode::None;
    mDeleted = true;
}

} // namespace plw::db
