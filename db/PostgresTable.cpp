#include "db/PostgresTable.h"

#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"

#include <libpq-fe.h>

#include <algorithm>

namespace plw::db {
namespace {

// Result columns before the table's own: the row's place and the seek's match flag.
constexpr int Leading = 2;
constexpr int FirstBatch = 64;
constexpr int LaterBatch = 2000;

const int UndefinedTable = PostgresErrorCode("42P01");
const int UndefinedObject = PostgresErrorCode("42704");

QString cell(const pg_result* result, int row, int column) {
    return QString::fromUtf8(PQgetvalue(result, row, column));
}

} // namespace

PostgresTable::PostgresTable(std::shared_ptr<PostgresConnection> connection,
                             const QString& tableName)
    : mConnection(std::move(connection)) {
    {
        const PgResult found = mConnection->run(
            QStringLiteral("SELECT c.oid, n.nspname, c.relname FROM pg_catalog.pg_class c JOIN "
                           "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = "
                           "pg_catalog.to_regclass($1) AND c.relkind IN ('r', 'p')"),
            {QuoteSqliteName(FoldPostgresName(tableName)).toUtf8()});
        if (PQntuples(found.get()) == 0)
            throw DatabaseError(UndefinedTable,
                                QStringLiteral("表「%1」がありません").arg(tableName));
        mOid = cell(found.get(), 0, 0);
        mName = cell(found.get(), 0, 2);
        mQuoted =
            QuoteSqliteName(cell(found.get(), 0, 1)) + QLatin1Char('.') + QuoteSqliteName(mName);
    }
    QStringList names;
    {
        const PgResult columns = mConnection->run(
            QStringLiteral("SELECT attname, pg_catalog.format_type(atttypid, atttypmod) FROM "
                           "pg_catalog.pg_attribute WHERE attrelid = $1 AND attnum > 0 AND NOT "
                           "attisdropped ORDER BY attnum"),
            {mOid.toUtf8()});
        for (int row = 0; row < PQntuples(columns.get()); ++row) {
            names << cell(columns.get(), row, 0);
            mQuotedNames << QuoteSqliteName(names.constLast());
            mTypes << cell(columns.get(), row, 1);
        }
    }
    mNames = ColumnNames(names);
    findDeferrableColumns();
    mUpdated.resize(size_t(names.size()));
    mIsUpdated.resize(size_t(names.size()));
    mBuffer.resize(size_t(names.size()));
    mAssigned.resize(size_t(names.size()));

    // The walk's order: the primary key, else the FRMKEY index.
    const PgResult primary = mConnection->run(
        QStringLiteral("SELECT i.indexrelid, c.relname FROM pg_catalog.pg_index i JOIN "
                       "pg_catalog.pg_class c ON c.oid = i.indexrelid WHERE i.indrelid = $1 AND "
                       "(i.indisprimary OR c.relname = $2) ORDER BY i.indisprimary DESC LIMIT 1"),
        {mOid.toUtf8(), PostgresIndexName(mName, QStringLiteral("FRMKEY")).toUtf8()});
    if (PQntuples(primary.get()) > 0)
        useKeys(cell(primary.get(), 0, 0));
    walk({});
}

void PostgresTable::findDeferrableColumns() {
    mRules.assign(size_t(mNames.size()), {});
    for (qsizetype i = 0; i < mTypes.size(); ++i) {
        ColumnRule& rule = mRules[size_t(i)];
        const QString& type = mTypes[i];
        if (type == u"bigint")
            rule.kind = ColumnRule::Kind::Integer;
        else if (type == u"text" || type.startsWith(u"character varying("))
            rule.kind = ColumnRule::Kind::Text;
        else if (type == u"double precision" || type == u"numeric")
            rule.kind = ColumnRule::Kind::Real;
    }
    const PgResult columns = mConnection->run(
        QStringLiteral("SELECT a.attnum, a.attnotnull, EXISTS (SELECT 1 FROM pg_catalog.pg_index "
                       "i WHERE i.indrelid = a.attrelid AND (a.attnum = ANY (i.indkey) OR "
                       "i.indexprs IS NOT NULL)) FROM pg_catalog.pg_attribute a WHERE a.attrelid = "
                       "$1 AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"),
        {mOid.toUtf8()});
    for (int row = 0; row < PQntuples(columns.get()) && row < int(mRules.size()); ++row) {
        mRules[size_t(row)].notNull = *PQgetvalue(columns.get(), row, 1) == 't';
        mRules[size_t(row)].indexed = *PQgetvalue(columns.get(), row, 2) == 't';
    }
    const PgResult table = mConnection->run(
        QStringLiteral("SELECT c.relhastriggers OR EXISTS (SELECT 1 FROM "
                       "pg_catalog.pg_constraint k WHERE k.conrelid = c.oid AND k.contype IN "
                       "('c', 'f', 'x', 't')) FROM pg_catalog.pg_class c WHERE c.oid = $1"),
        {mOid.toUtf8()});
    mPlainTable = *PQgetvalue(table.get(), 0, 0) != 't';
}

bool PostgresTable::deferrable(bool adding) const {
    if (!mPlainTable || mConnection->depth() == 0)
        return false; // outside a transaction every change is written at once
    for (size_t i = 0; i < mAssigned.size(); ++i) {
        const ColumnRule& rule = mRules[i];
        if (!mAssigned[i]) {
            if (adding && rule.notNull)
                return false;
            continue;
        }
        const QVariant& value = mBuffer[i];
        if (!value.isValid()) {
            if (rule.notNull)
                return false;
            continue;
        }
        if (!adding && rule.indexed)
            return false;
        const int type = value.typeId();
        const bool integer = type == QMetaType::Int || type == QMetaType::LongLong ||
                             type == QMetaType::Short || type == QMetaType::UInt ||
                             type == QMetaType::UShort || type == QMetaType::Long;
        switch (rule.kind) {
        case ColumnRule::Kind::Integer:
            if (!integer)
                return false;
            break;
        case ColumnRule::Kind::Text:
            if (type != QMetaType::QString && !integer)
                return false;
            break;
        case ColumnRule::Kind::Real:
            if (!integer && type != QMetaType::Double && type != QMetaType::Float)
                return false;
            break;
        case ColumnRule::Kind::Other:
            return false;
        }
    }
    return true;
}

PostgresTable::~PostgresTable() {
    mConnection->writes().forget(this);
    closeWalk();
}

void PostgresTable::useKeys(const QString& indexOid) {
    const PgResult keys = mConnection->run(
        QStringLiteral("SELECT a.attname FROM pg_catalog.pg_index i, "
                       "unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, n) JOIN "
                       "pg_catalog.pg_attribute a ON a.attnum = k.attnum WHERE i.indexrelid = $1 "
                       "AND a.attrelid = i.indrelid ORDER BY k.n"),
        {indexOid.toUtf8()});
    mKeyColumns.clear();
    mKeyIndexes.clear();
    for (int row = 0; row < PQntuples(keys.get()); ++row) {
        const QString column = cell(keys.get(), row, 0);
        mKeyColumns << QuoteSqliteName(column);
        mKeyIndexes.push_back(mNames.find(column));
    }
}

QString PostgresTable::keyList() const {
    return mKeyColumns.join(QStringLiteral(", "));
}

QString PostgresTable::orderClause() const {
    return mKeyColumns.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + keyList();
}

void PostgresTable::closeWalk() {
    if (mCursor.isEmpty())
        return;
    mConnection->closeCursor(mCursor);
    mCursor.clear();
}

void PostgresTable::walk(const PgParameters& after) {
    closeWalk();
    QString where;
    if (!after.empty()) {
        QStringList parameters;
        for (size_t i = 0; i < after.size(); ++i)
            parameters << QStringLiteral("$%1").arg(i + 1);
        where = QStringLiteral(" WHERE (%1) > (%2)")
                    .arg(keyList(), parameters.join(QStringLiteral(", ")));
    }
    mCursor = mConnection->openCursor(
        QStringLiteral("SELECT ctid, true, * FROM ") + mQuoted + where + orderClause(), after, {});
    mBatch = mConnection->fetch(mCursor, FirstBatch, {});
    mLastBatch = PQntuples(mBatch.get()) < FirstBatch;
    mRow = -1;
    mNoMatch = false;
    readRow();
}

void PostgresTable::readRow() {
    mMode = Mode::None;
    mDeleted = false;
    std::fill(mIsUpdated.begin(), mIsUpdated.end(), 0);
    ++mRow;
    if (mRow >= PQntuples(mBatch.get()) && !mLastBatch && !mCursor.isEmpty()) {
        mBatch = mConnection->fetch(mCursor, LaterBatch, {});
        mLastBatch = PQntuples(mBatch.get()) < LaterBatch;
        mRow = 0;
    }
    if (mLastBatch)
        closeWalk();
    mEof = mRow >= PQntuples(mBatch.get());
    if (!mEof)
        mCtid = QByteArray(PQgetvalue(mBatch.get(), mRow, 0));
}

void PostgresTable::moveNext() {
    if (mEof)
        throw DatabaseError(0, QStringLiteral("表 %1 に現在の行がありません").arg(mName));
    if (!mCursor.isEmpty() || mLastBatch) {
        readRow();
        return;
    }
    // After a seek: on from the row found, in key order.
    PgParameters after;
    for (int column : mKeyIndexes)
        after.push_back(PgParameter(mIsUpdated[size_t(column)]
                                        ? mUpdated[size_t(column)]
                                        : PgValue(mBatch.get(), mRow, column + Leading)));
    walk(after);
}

void PostgresTable::moved(const QByteArray& from, const QByteArray& to) {
    if (mCtid == from)
        mCtid = to;
}

QString PostgresTable::fieldName(int index) const {
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(
            0, QStringLiteral("表 %2 に %1 番目の列がありません").arg(index).arg(mName));
    return mNames.name(index);
}

void PostgresTable::checkColumn(int index, const char* operation) const {
    if (mEof || mDeleted)
        throw DatabaseError(0, QStringLiteral("%1: 表 %2 に現在の行がありません")
                                   .arg(QString::fromLatin1(operation), mName));
    if (index < 0 || index >= mNames.size())
        throw DatabaseError(
            0, QStringLiteral("表 %2 に %1 番目の列がありません").arg(index).arg(mName));
}

QVariant PostgresTable::value(int index) const {
    checkColumn(index, "value");
    if (mIsUpdated[size_t(index)])
        return mUpdated[size_t(index)];
    return PgValue(mBatch.get(), mRow, index + Leading);
}

bool PostgresTable::readText(int index, QString& out) const {
    checkColumn(index, "value");
    if (mIsUpdated[size_t(index)])
        return Recordset::readText(index, out);
    return PgText(mBatch.get(), mRow, index + Leading, out);
}

void PostgresTable::setIndex(const QString& name) {
    const PgResult found = mConnection->run(
        QStringLiteral("SELECT i.indexrelid, c.relname FROM pg_catalog.pg_index i JOIN "
                       "pg_catalog.pg_class c ON c.oid = i.indexrelid WHERE i.indrelid = $1 AND "
                       "(c.relname = $2 OR (i.indisprimary AND $3)) ORDER BY c.relname = $2 "
                       "DESC LIMIT 1"),
        {mOid.toUtf8(), PostgresIndexName(mName, name).toUtf8(),
         // Jet's name of an unnamed primary index.
         QByteArray(name.compare(u"PrimaryKey", Qt::CaseInsensitive) == 0 ? "true" : "false")});
    if (PQntuples(found.get()) == 0)
        throw DatabaseError(UndefinedObject,
                            QStringLiteral("表 %2 に索引 %1 がありません").arg(name, mName));
    mIndex = cell(found.get(), 0, 1);
    useKeys(cell(found.get(), 0, 0));
    walk({});
}

void PostgresTable::seek(const QVariant& key) {
    if (mIndex.isEmpty())
        throw DatabaseError(0, QStringLiteral("索引を指定せずに表 %1 を検索しました").arg(mName));
    const QVariantList keys =
        key.typeId() == QMetaType::QVariantList ? key.toList() : QVariantList{key};
    if (keys.isEmpty() || keys.size() > mKeyColumns.size())
        throw DatabaseError(0, QStringLiteral("表 %1 の検索: キーの列 %3 個に値が %2 個です")
                                   .arg(mName)
                                   .arg(keys.size())
                                   .arg(mKeyColumns.size()));
    // The first row at or after the key in index order; the flag tells whether it equals it.
    QStringList match, columns, parameters;
    PgParameters values;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        match << QStringLiteral("%1 = $%2").arg(mKeyColumns[i]).arg(i + 1);
        columns << mKeyColumns[i];
        parameters << QStringLiteral("$%1").arg(i + 1);
        values.push_back(PgParameter(keys[i]));
    }
    closeWalk();
    mBatch = mConnection->run(
        QStringLiteral("SELECT ctid, (%1), * FROM %2 WHERE (%3) >= (%4)%5 LIMIT 1")
            .arg(match.join(QStringLiteral(" AND ")), mQuoted, columns.join(QStringLiteral(", ")),
                 parameters.join(QStringLiteral(", ")), orderClause()),
        values);
    mLastBatch = false; // a moveNext goes on from the row found
    mRow = -1;
    readRow();
    mNoMatch = mEof || !PgValue(mBatch.get(), 0, 1).toBool();
    if (mNoMatch)
        mEof = true; // no current row after a failed seek
}

void PostgresTable::edit() {
    checkColumn(0, "edit");
    mMode = Mode::Edit;
    std::fill(mAssigned.begin(), mAssigned.end(), 0);
}

void PostgresTable::addNew() {
    mMode = Mode::Add;
    std::fill(mAssigned.begin(), mAssigned.end(), 0);
}

void PostgresTable::setValue(QStringView name, const QVariant& value) {
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

void PostgresTable::update() {
    if (mMode == Mode::None)
        throw DatabaseError(
            0, QStringLiteral("表 %1 で編集 (edit/addNew) の前に更新しました").arg(mName));
    if (mMode == Mode::Edit)
        checkColumn(0, "update");
    QStringList columns, types;
    PgParameters values;
    QString key = mQuoted;
    for (size_t i = 0; i < mAssigned.size(); ++i) {
        key += QLatin1Char(mAssigned[i] ? '1' : '0');
        if (!mAssigned[i])
            continue;
        columns << mQuotedNames[qsizetype(i)];
        types << mTypes[qsizetype(i)];
        values.push_back(PgParameter(mBuffer[i]));
    }
    const Mode mode = mMode;
    mMode = Mode::None;
    if (columns.isEmpty()) {
        if (mode == Mode::Add)
            mConnection->run(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(mQuoted));
        return;
    }
    // Inside a transaction the change waits for its batch; outside it is written at once.
    const bool queue = deferrable(mode == Mode::Add);
    if (mode == Mode::Add) {
        if (queue) {
            mConnection->writes().queueInsert(key, mQuoted, columns, std::move(values));
            return;
        }
        QStringList parameters;
        for (qsizetype i = 0; i < columns.size(); ++i)
            parameters << QStringLiteral("$%1").arg(i + 1);
        mConnection->run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(mQuoted, columns.join(QStringLiteral(", ")),
                                  parameters.join(QStringLiteral(", "))),
                         values);
        return;
    }
    if (queue) {
        mConnection->writes().queueUpdate(key, mQuoted, columns, types, mCtid, std::move(values),
                                          this);
    } else {
        mConnection->flushWrites(); // may move this row
        QStringList sets;
        for (qsizetype i = 0; i < columns.size(); ++i)
            sets << QStringLiteral("%1 = $%2").arg(columns[i]).arg(i + 1);
        values.push_back(mCtid);
        const PgResult result =
            mConnection->run(QStringLiteral("UPDATE %1 SET %2 WHERE ctid = $%3 RETURNING ctid")
                                 .arg(mQuoted, sets.join(QStringLiteral(", ")))
                                 .arg(values.size()),
                             values);
        if (PQntuples(result.get()) != 1)
            throw DatabaseError(PostgresErrorCode("P0002"),
                                QStringLiteral("表 %1 の行を書き換えられませんでした"
                                               "（行が他で変えられたか消されています）")
                                    .arg(mName));
        mCtid = QByteArray(PQgetvalue(result.get(), 0, 0));
    }
    showUpdated();
}

void PostgresTable::showUpdated() {
    for (size_t i = 0; i < mAssigned.size(); ++i) {
        if (mAssigned[i]) {
            mUpdated[i] = mBuffer[i];
            mIsUpdated[i] = 1;
        }
    }
    mMode = Mode::None;
}

void PostgresTable::remove() {
    checkColumn(0, "remove");
    mConnection->flushWrites(); // may move this row
    mConnection->run(QStringLiteral("DELETE FROM %1 WHERE ctid = $1").arg(mQuoted), {mCtid});
    mMode = Mode::None;
    mDeleted = true;
}

} // namespace plw::db
