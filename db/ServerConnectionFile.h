#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace plw::db {

// An installation whose databases live on a PostgreSQL server: the connection file
// "PLWAN40PG.INI" in the system description's folder says where. Lines of "key = value"
// (UTF-8; "#" starts a comment):
//   connection = service=plwan40          a libpq connection string or service, no password
//   base_schema = plwan40                 the suite's base tables, shared by every work folder
//   work_schema = plwan40_work_shop1      this work folder's work tables
//   transaction_copied = 2026-12-01T02:00:00.000   modification time of PLW_TRN.MDB, and
//   master_copied = 2026-12-01T02:00:00.000        of PLW_MST.MDB, when last copied there
// Without the file the databases are the SQLite files, as always.
struct ServerConnection {
    QString Connection;
    QString BaseSchema;
    QString WorkSchema;
    QDateTime TransactionCopied;
    QDateTime MasterCopied;
};

inline const QString ServerConnectionFileName = QStringLiteral("PLWAN40PG.INI");

// Reads the file: nullopt without one; false with the reason for a file that cannot be read or
// is damaged (an unknown key, no connection, a password written in it, a bad schema name).
bool ReadServerConnectionFile(const QString& systemPath, std::optional<ServerConnection>* out,
                              QString* error);
// Writes the file atomically.
bool WriteServerConnectionFile(const QString& systemPath, const ServerConnection& connection,
                               QString* error);

// Why the connection string cannot be used, or "" when it can: it must parse, and a password
// belongs in libpq's password file, service file or environment, never in the suite's files.
QString CheckConnectionString(const QString& connection);
// A schema name the server takes unquoted: lower-case ASCII letters, digits and "_", 1 to 63.
bool IsPlainSchemaName(const QString& name);
// The modification time of a SQLite database as its writers leave it: the later of the file
// and its write-ahead log.
QDateTime DatabaseFileChanged(const QString& systemPath);

} // namespace plw::db
