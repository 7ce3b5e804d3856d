#include "db/PostgresConnection.h"

#include "db/Database.h"
#include "db/PostgresWriteQueue.h"
#include "db/Utf8Text.h"

#include <libpq-fe.h>

#include <cmath>

namespace plw::db {
namespace {

// Type OIDs of the server's built-in types (pg_type.h).
constexpr Oid BoolOid = 16;
constexpr Oid ByteaOid = 17;
constexpr Oid Int8Oid = 20;
constexpr Oid Int2Oid = 21;
constexpr Oid Int4Oid = 23;
constexpr Oid OidOid = 26;
constexpr Oid Float4Oid = 700;
constexpr Oid Float8Oid = 701;
constexpr Oid NumericOid = 1700;

const char ConnectionLost[] = "08006";
const char ProtocolViolation[] = "08P01";

QString trimmedMessage(const char* message) {
    return QString::fromUtf8(message ? message : "").trimmed();
}

QString describe(PGconn* handle) {
    const char* host = handle ? PQhost(handle) : nullptr;
    const char* port = handle ? PQport(handle) : nullptr;
    const char* name = handle ? PQdb(handle) : nullptr;
    QString server = host && *host ? QString::fromUtf8(host) : QStringLiteral("既定のサーバー");
    if (port && *port)
        server += QLatin1Char(':') + QString::fromUtf8(port);
    return QStringLiteral("サーバー %1、データベース %2")
        .arg(server, name && *name ? QString::fromUtf8(name) : QStringLiteral("（既定）"));
}

QByteArray quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return (QLatin1Char('"') + quoted + QLatin1Char('"')).toUtf8();
}

} // namespace

void PgResultDeleter::operator()(pg_result* result) const {
    PQclear(result);
}

int PostgresErrorCode(const char* sqlState) {
    int code = 0;
    for (int i = 0; i < 5 && sqlState && sqlState[i]; ++i) {
        const char c = sqlState[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 0;
        code = code * 36 + digit;
    }
    return code;
}

bool IsPostgresServerFailure(int code) {
    const int sqlClass = code / (36 * 36 * 36);
    static const int classes[] = {
        PostgresErrorCode("08000") / (36 * 36 * 36), PostgresErrorCode("25000") / (36 * 36 * 36),
        PostgresErrorCode("53000") / (36 * 36 * 36), PostgresErrorCode("57000") / (36 * 36 * 36),
        PostgresErrorCode("58000") / (36 * 36 * 36), PostgresErrorCode("XX000") / (36 * 36 * 36)};
    for (int failure : classes)
        if (sqlClass == failure)
            return true;
    return false;
}

PostgresConnection::PostgresConnection(const QString& connectionInfo, const QStringList& searchPath)
    : mWrites(std::make_unique<PostgresWriteQueue>(*this)) {
    // The connection string (or service) first; what follows overrides what it says.
    const QByteArray info = connectionInfo.toUtf8();
    const char* keywords[] = {"dbname", "client_encoding", "fallback_application_name", nullptr};
    const char* values[] = {info.constData(), "UTF8", "plwan40", nullptr};
    mHandle = PQconnectdbParams(keywords, values, 1);
    mDescription = describe(mHandle);
    // The server's notices (a DROP that found nothing, and the like) are no business of the
    // program's output.
    if (mHandle)
        PQsetNoticeProcessor(
            mHandle, [](void*, const char*) {}, nullptr);
    if (!mHandle || PQstatus(mHandle) != CONNECTION_OK) {
        const QString cause = mHandle ? trimmedMessage(PQerrorMessage(mHandle))
                                      : QStringLiteral("メモリが足りません");
        PQfinish(mHandle);
        mHandle = nullptr;
        throw DatabaseError(PostgresErrorCode(ConnectionLost),
                            QStringLiteral("PostgreSQL のサーバーに接続できません（%1）。%2")
                                .arg(mDescription, cause));
    }
    QByteArray path;
    for (const QString& schema : searchPath)
        path += (path.isEmpty() ? QByteArray() : QByteArray(", ")) + quoteIdentifier(schema);
    try {
        run(QStringLiteral("SELECT pg_catalog.set_config('search_path', $1, false)"), {path});
    } catch (...) {
        PQfinish(mHandle);
        mHandle = nullptr;
        throw;
    }
}

PostgresConnection::~PostgresConnection() {
    // Queued changes belong to an open transaction, which closing the connection rolls back.
    mWrites.reset();
    PQfinish(mHandle);
}

void PostgresConnection::fail(pg_result* result, const QString& statement) {
    const bool lost = PQstatus(mHandle) != CONNECTION_OK;
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    int code = PostgresErrorCode(state ? state : lost ? ConnectionLost : ProtocolViolation);
    QString message;
    if (lost) {
        code = PostgresErrorCode(ConnectionLost);
        message = QStringLiteral("PostgreSQL のサーバーとの接続が切れました（%1）。%2")
                      .arg(mDescription, trimmedMessage(PQerrorMessage(mHandle)));
    } else {
        const char* primary =
            result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const char* detail = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL) : nullptr;
        message =
            QStringLiteral("PostgreSQL のエラー %1: %2")
                .arg(QString::fromLatin1(state ? state : ProtocolViolation),
                     primary ? trimmedMessage(primary) : trimmedMessage(PQerrorMessage(mHandle)));
        if (detail && *detail)
            message += QStringLiteral("（%1）").arg(trimmedMessage(detail));
    }
    PQclear(result);
    recover();
    throw DatabaseError(code, message, statement);
}

void PostgresConnection::recover() noexcept {
    if (!mTransaction || mDepth > 0 || PQtransactionStatus(mHandle) != PQTRANS_INERROR)
        return;
    PQclear(PQexec(mHandle, "ROLLBACK"));
    mTransaction = false;
    mCursors = 0;
}

PgResult PostgresConnection::exec(const QString& sql, const PgParameters& parameters,
                                  const QString& shown) {
    const QByteArray text = sql.toUtf8();
    std::vector<const char*> values;
    std::vector<int> lengths;
    values.reserve(parameters.size());
    lengths.reserve(parameters.size());
    for (const auto& parameter : parameters) {
        values.push_back(parameter ? parameter->constData() : nullptr);
        lengths.push_back(parameter ? int(parameter->size()) : 0);
    }
    return checked(parameters.empty()
                       ? PQexec(mHandle, text.constData())
                       : PQexecParams(mHandle, text.constData(), int(parameters.size()), nullptr,
                                      values.data(), lengths.data(), nullptr, 0),
                   shown.isEmpty() ? sql : shown);
}

PgResult PostgresConnection::checked(pg_result* result, const QString& statement) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result, statement);
    return PgResult(result);
}

QString PostgresConnection::prepare(const QString& sql, const QString& shown, int* parameters) {
    flushWrites();
    const QString name = QStringLiteral("jet_statement_%1").arg(++mNextStatement);
    const QString statement = shown.isEmpty() ? sql : shown;
    checked(PQprepare(mHandle, name.toUtf8().constData(), sql.toUtf8().constData(), 0, nullptr),
            statement);
    const PgResult description =
        checked(PQdescribePrepared(mHandle, name.toUtf8().constData()), statement);
    *parameters = PQnparams(description.get());
    return name;
}

PgResult PostgresConnection::runPrepared(const QString& name, const PgParameters& parameters,
                                         const QString& shown) {
    flushWrites();
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const auto& parameter : parameters) {
        values.push_back(parameter ? parameter->constData() : nullptr);
        lengths.push_back(parameter ? int(parameter->size()) : 0);
    }
    return checked(PQexecPrepared(mHandle, name.toUtf8().constData(), int(parameters.size()),
                                  values.data(), lengths.data(), nullptr, 0),
                   shown);
}

void PostgresConnection::deallocate(const QString& name) noexcept {
    if (PQstatus(mHandle) != CONNECTION_OK || PQtransactionStatus(mHandle) == PQTRANS_INERROR)
        return;
    PQclear(PQexec(mHandle, ("DEALLOCATE " + name.toUtf8()).constData()));
}

void PostgresConnection::flushWrites() {
    if (mFlushing)
        return; // the queue's own statements
    mFlushing = true;
    try {
        mWrites->flush();
    } catch (...) {
        mFlushing = false;
        throw;
    }
    mFlushing = false;
}

PgResult PostgresConnection::run(const QString& sql, const PgParameters& parameters,
                                 const QString& shown) {
    flushWrites();
    return exec(sql, parameters, shown);
}

void PostgresConnection::runAtomically(const QStringList& statements, const QString& shown) {
    if (!mTransaction && statements.size() == 1) {
        run(statements.front(), {}, shown);
        return;
    }
    const bool own = !mTransaction;
    run(own ? QStringLiteral("BEGIN") : QStringLiteral("SAVEPOINT jet_statement"));
    if (own)
        mTransaction = true;
    try {
        for (const QString& sql : statements)
            run(sql, {}, shown);
    } catch (const DatabaseError&) {
        if (PQstatus(mHandle) == CONNECTION_OK) {
            if (own) {
                PQclear(PQexec(mHandle, "ROLLBACK"));
                mTransaction = false;
            } else {
                PQclear(PQexec(mHandle, "ROLLBACK TO jet_statement"));
                PQclear(PQexec(mHandle, "RELEASE jet_statement"));
            }
        }
        throw;
    }
    if (own) {
        mTransaction = false;
        run(QStringLiteral("COMMIT"));
    } else {
        run(QStringLiteral("RELEASE jet_statement"));
    }
}

QStringList PostgresConnection::describeColumns(const QString& sql, const QString& shown) {
    flushWrites();
    checked(PQprepare(mHandle, "", sql.toUtf8().constData(), 0, nullptr), shown);
    const PgResult description = checked(PQdescribePrepared(mHandle, ""), shown);
    QStringList names;
    for (int i = 0; i < PQnfields(description.get()); ++i)
        names << QString::fromUtf8(PQfname(description.get(), i));
    return names;
}

void PostgresConnection::copyIn(const QString& copySql, const QByteArray& rows,
                                const QString& shown) {
    beginCopy(copySql);
    putCopy(rows);
    try {
        endCopy();
    } catch (const DatabaseError& error) {
        if (shown.isEmpty())
            throw;
        throw DatabaseError(error.code(), error.message(), shown);
    }
}

void PostgresConnection::beginCopy(const QString& copySql) {
    flushWrites();
    pg_result* started = PQexec(mHandle, copySql.toUtf8().constData());
    if (!started || PQresultStatus(started) != PGRES_COPY_IN)
        fail(started, copySql);
    PQclear(started);
    mCopy = copySql;
    mCopyFailed = false;
}

void PostgresConnection::putCopy(const QByteArray& rows) {
    if (!mCopyFailed && !rows.isEmpty() &&
        PQputCopyData(mHandle, rows.constData(), int(rows.size())) != 1)
        mCopyFailed = true;
}

void PostgresConnection::abortCopy(const QString& reason) noexcept {
    PQputCopyEnd(mHandle, reason.toUtf8().constData());
    while (pg_result* result = PQgetResult(mHandle))
        PQclear(result);
    mCopy.clear();
    recover();
}

void PostgresConnection::endCopy() {
    const bool sent = !mCopyFailed && PQputCopyEnd(mHandle, nullptr) == 1;
    // The outcome, then nothing: every result is read before the next command.
    pg_result* failed = nullptr;
    while (pg_result* result = PQgetResult(mHandle)) {
        if (!failed && PQresultStatus(result) != PGRES_COMMAND_OK)
            failed = result;
        else
            PQclear(result);
    }
    const QString statement = mCopy;
    mCopy.clear();
    if (failed || !sent)
        fail(failed, statement);
}

void PostgresConnection::ensureTransaction() {
    if (mTransaction)
        return;
    run(QStringLiteral("BEGIN"));
    mTransaction = true;
}

void PostgresConnection::endTransactionWhenIdle() {
    if (!mTransaction || mDepth > 0 || mCursors > 0)
        return;
    mTransaction = false;
    if (PQtransactionStatus(mHandle) == PQTRANS_INERROR) {
        PQclear(PQexec(mHandle, "ROLLBACK"));
        return;
    }
    run(QStringLiteral("COMMIT"));
}

void PostgresConnection::begin() {
    ensureTransaction();
    run(QStringLiteral("SAVEPOINT jet_transaction_%1").arg(mDepth));
    ++mDepth;
}

void PostgresConnection::commit() {
    if (mDepth == 0)
        throw DatabaseError(0, QStringLiteral("トランザクションのない COMMIT です"));
    run(QStringLiteral("RELEASE jet_transaction_%1").arg(mDepth - 1));
    --mDepth;
    endTransactionWhenIdle();
}

void PostgresConnection::rollback() {
    if (mDepth == 0)
        throw DatabaseError(0, QStringLiteral("トランザクションのない ROLLBACK です"));
    // Changes still queued were made since the last begin: they go with the rollback.
    mWrites->discard();
    --mDepth;
    if (PQstatus(mHandle) != CONNECTION_OK) {
        mTransaction = mDepth > 0 || mCursors > 0;
        return;
    }
    const QString savepoint = QStringLiteral("jet_transaction_%1").arg(mDepth);
    run(QStringLiteral("ROLLBACK TO ") + savepoint);
    run(QStringLiteral("RELEASE ") + savepoint);
    endTransactionWhenIdle();
}

QString PostgresConnection::openCursor(const QString& query, const PgParameters& parameters,
                                       const QString& shown) {
    ensureTransaction();
    const QString cursor = QStringLiteral("jet_cursor_%1").arg(++mNextCursor);
    try {
        run(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR %2").arg(cursor, query), parameters,
            shown);
    } catch (const DatabaseError&) {
        endTransactionWhenIdle();
        throw;
    }
    ++mCursors;
    return cursor;
}

PgResult PostgresConnection::fetch(const QString& cursor, int rows, const QString& shown) {
    return run(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(rows).arg(cursor), {}, shown);
}

void PostgresConnection::closeCursor(const QString& cursor) noexcept {
    if (mCursors == 0 || !mTransaction)
        return; // gone with a transaction that was rolled back
    --mCursors;
    try {
        if (PQstatus(mHandle) == CONNECTION_OK && PQtransactionStatus(mHandle) != PQTRANS_INERROR)
            run(QStringLiteral("CLOSE ") + cursor);
        endTransactionWhenIdle();
    } catch (const DatabaseError&) {
        // The next statement on the connection reports what went wrong.
    }
}

std::optional<QByteArray> PgParameter(const QVariant& value) {
    if (!value.isValid())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QByteArray(value.toBool() ? "1" : "0");
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return QByteArray::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QByteArray::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (std::isnan(number))
            return QByteArray("NaN");
        if (std::isinf(number))
            return QByteArray(number > 0 ? "Infinity" : "-Infinity");
        return QByteArray::number(number, 'g', 17);
    }
    case QMetaType::QByteArray:
        return "\\x" + value.toByteArray().toHex();
    case QMetaType::QString:
        return static_cast<const QString*>(value.constData())->toUtf8();
    default:
        if (!value.canConvert<QString>())
            throw DatabaseError(PostgresErrorCode("42804"),
                                QStringLiteral("%1 型の値は保存できません")
                                    .arg(QString::fromLatin1(value.typeName())));
        return value.toString().toUtf8();
    }
}

QVariant PgValue(const pg_result* result, int row, int column) {
    if (PQgetisnull(result, row, column))
        return {};
    const char* text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (PQftype(result, column)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return QVariant(qlonglong(QByteArray::fromRawData(text, length).toLongLong()));
    case Float4Oid:
    case Float8Oid:
        return QVariant(QByteArray::fromRawData(text, length).toDouble());
    case NumericOid: {
        // A sum of integers comes back as numeric: whole numbers stay integers, as in SQLite.
        const QByteArray digits = QByteArray::fromRawData(text, length);
        bool whole = false;
        const qlonglong integer = digits.toLongLong(&whole);
        return whole ? QVariant(integer) : QVariant(digits.toDouble());
    }
    case BoolOid:
        return QVariant(qlonglong(text[0] == 't' ? 1 : 0));
    case ByteaOid: {
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return QVariant(out);
    }
    default: {
        // Empty texts are common ("not recorded"): share one instead of allocating.
        static const QString empty = QStringLiteral("");
        return QVariant(length == 0 ? empty : QString::fromUtf8(text, length));
    }
    }
}

bool PgText(const pg_result* result, int row, int column, QString& out) {
    if (PQgetisnull(result, row, column))
        return false;
    if (PQftype(result, column) == BoolOid || PQftype(result, column) == ByteaOid) {
        out = PgValue(result, row, column).toString();
        return true;
    }
    DecodeUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column), out);
    return true;
}

void AppendCopyField(QByteArray& out, const std::optional<QByteArray>& value) {
    if (!value) {
        out += "\\N";
        return;
    }
    for (char c : *value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

} // namespace plw::db
