#include "db/SqliteConnection.h"

#include "db/Database.h"
#include "db/SqliteErrorText.h"
#include "db/SqliteWriteBehind.h"
#include "db/Utf8Text.h"

#include <sqlite3.h>

namespace plw::db {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

SqliteConnection::SqliteConnection(sqlite3* handle, QString path)
    : mHandle(handle), mPath(std::move(path)),
      mWriteBehind(std::make_unique<SqliteWriteBehind>(*this)) {}

SqliteConnection::~SqliteConnection() {
    // Queued changes belong to an open transaction, which closing rolls back anyway.
    mWriteBehind.reset();
    sqlite3_close_v2(mHandle);
}

void SqliteConnection::flushWrites() const {
    mWriteBehind->flush();
}

void SqliteConnection::fail(int code, const QString& statement) const {
    const int extended = sqlite3_extended_errcode(mHandle);
    const int failed = extended != 0 ? extended : code;
    throw DatabaseError(failed, errorText(failed), statement);
}

QString SqliteConnection::errorText(int code) const {
    return SqliteErrorText(code, QString::fromUtf8(sqlite3_errmsg(mHandle)), mPath,
                           sqlite3_system_errno(mHandle));
}

StatementHandle SqliteConnection::prepare(const QString& sql, const QString& jetSql) const {
    flushWrites();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(mHandle, utf8.constData(), int(utf8.size()), &raw, &tail);
    StatementHandle statement(raw);
    const QString& shown = jetSql.isEmpty() ? sql : jetSql;
    if (rc != SQLITE_OK)
        fail(rc, shown);
    if (!statement)
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("SQL 文が空です"), shown);
    for (; tail && *tail; ++tail)
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
            throw DatabaseError(SQLITE_MISUSE, QStringLiteral("文の終わりの後に文字があります"),
                                shown);
    return statement;
}

bool SqliteConnection::step(sqlite3_stmt* statement, const QString& jetSql) const {
    flushWrites();
    try {
        return stepWalk(statement);
    } catch (const DatabaseError& error) {
        if (jetSql.isEmpty())
            throw;
        throw DatabaseError(error.code(), error.message(), jetSql);
    }
}

bool SqliteConnection::stepWalk(sqlite3_stmt* statement) const {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_extended_errcode(mHandle);
    const QString message = errorText(code);
    sqlite3_reset(statement);
    throw DatabaseError(code, message, QString::fromUtf8(sqlite3_sql(statement)));
}

void SqliteConnection::run(const QString& sql, const QString& jetSql) const {
    StatementHandle statement = prepare(sql, jetSql);
    while (step(statement.get(), jetSql.isEmpty() ? sql : jetSql)) {
    }
}

void BindValue(const SqliteConnection& connection, sqlite3_stmt* statement, int index,
               const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid()) {
        rc = sqlite3_bind_null(statement, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::ULong:
            rc = sqlite3_bind_int64(statement, index, value.toLongLong());
            break;
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(statement, index, qint64(value.toULongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(statement, index, bytes.constData(), quint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QString: {
            // The common case, without a conversion; empty texts need no encoding.
            const QString& text = *static_cast<const QString*>(value.constData());
            if (text.isEmpty()) {
                rc = sqlite3_bind_text(statement, index, "", 0, SQLITE_STATIC);
            } else {
                const QByteArray utf8 = text.toUtf8();
                rc = sqlite3_bind_text64(statement, index, utf8.constData(), quint64(utf8.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
            }
            break;
        }
        default: {
            if (!value.canConvert<QString>())
                throw DatabaseError(SQLITE_MISMATCH,
                                    QStringLiteral("%1 型の値は保存できません")
                                        .arg(QString::fromLatin1(value.typeName())),
                                    QString::fromUtf8(sqlite3_sql(statement)));
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(statement, index, text.constData(), quint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        connection.fail(rc, QString::fromUtf8(sqlite3_sql(statement)));
}

QVariant ColumnValue(sqlite3_stmt* statement, int index) {
    sqlite3_value* value = sqlite3_column_value(statement, index);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(value));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const int bytes = sqlite3_value_bytes(value);
        // Empty texts are common ("not recorded"): share one instead of allocating.
        static const QString empty = QStringLiteral("");
        return QVariant(bytes == 0 ? empty : QString::fromUtf8(text, bytes));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_value_blob(value));
        return QVariant(QByteArray(data, sqlite3_value_bytes(value)));
    }
    default:
        return {};
    }
}

bool ColumnText(sqlite3_stmt* statement, int index, QString& out) {
    sqlite3_value* value = sqlite3_column_value(statement, index);
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return false;
    const auto* text = sqlite3_value_text(value);
    const int bytes = sqlite3_value_bytes(value);
    // Decoded into out's own storage: a walk over many rows allocates nothing once each field
    // has grown to its column's usual length.
    DecodeUtf8(reinterpret_cast<const char*>(text), bytes, out);
    return true;
}

} // namespace plw::db
