#include "db/SqliteConnection.h"

#include "db/Database.h"

#include <sqlite3.h>

namespace plw::db {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

SqliteConnection::SqliteConnection(sqlite3* handle, QString path)
    : mHandle(handle), mPath(std::move(path)) {}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(mHandle);
}

void SqliteConnection::fail(int code, const QString& statement) const {
    const int extended = sqlite3_extended_errcode(mHandle);
    throw DatabaseError(extended != 0 ? extended : code, QString::fromUtf8(sqlite3_errmsg(mHandle)),
                        statement);
}

StatementHandle SqliteConnection::prepare(const QString& sql, const QString& jetSql) const {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(mHandle, utf8.constData(), int(utf8.size()), &raw, &tail);
    StatementHandle statement(raw);
    const QString& shown = jetSql.isEmpty() ? sql : jetSql;
    if (rc != SQLITE_OK)
        fail(rc, shown);
    if (!statement)
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("empty statement"), shown);
    for (; tail && *tail; ++tail)
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
            throw DatabaseError(SQLITE_MISUSE,
                                QStringLiteral("characters found after the end of the statement"),
                                shown);
    return statement;
}

bool SqliteConnection::step(sqlite3_stmt* statement, const QString& jetSql) const {
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The error belongs to the statement; reset it so that it can be run again.
    const QString message = QString::fromUtf8(sqlite3_errmsg(mHandle));
    const int code = sqlite3_extended_errcode(mHandle);
    sqlite3_reset(statement);
    throw DatabaseError(code, message,
                        jetSql.isEmpty() ? QString::fromUtf8(sqlite3_sql(statement)) : jetSql);
}

void SqliteConnection::run(const QString& sql, const QString& jetSql) const {
    StatementHandle statement = prepare(sql, jetSql);
    while (step(statement.get(), jetSql.isEmpty() ? sql : jetSql)) {
    }
}

void BindValue(const SqliteConnection& connection, sqlite3_stmt* statement, int index,
               const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
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
        default: {
            if (!value.canConvert<QString>())
                throw DatabaseError(SQLITE_MISMATCH,
                                    QStringLiteral("value of type %1 cannot be stored")
                                        .arg(QString::fromLatin1(value.typeName())),
                                    QString::fromUtf8(sqlite3_sql(statement)));
            const QString text = value.toString();
            rc = sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * 2),
                                     SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        connection.fail(rc, QString::fromUtf8(sqlite3_sql(statement)));
}

QVariant ColumnValue(sqlite3_stmt* statement, int index) {
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, index));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement, index)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, index));
        return QVariant(QByteArray(data, sqlite3_column_bytes(statement, index)));
    }
    default:
        return {};
    }
}

} // namespace plw::db
