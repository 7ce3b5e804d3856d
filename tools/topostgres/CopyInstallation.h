#pragma once

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace plw::topostgres {

struct CopyOptions {
    QString LocationFile;                         // the installation's location file
    QString Connection;                           // libpq connection string or service, no password
    QString BaseSchema;                           // empty: DefaultBaseSchema
    QString WorkSchema;                           // empty: DefaultWorkSchema
    bool Refresh = false;                         // replace the rows of tables copied before
    std::function<void(const QString&)> Progress; // a line per step, for standard error
};

struct CopyResult {
    QString ConnectionFile;
    std::vector<std::pair<QString, qint64>> Tables; // rows copied per table
};

// Copies an installation's two SQLite databases to the server: every base table with its
// indexes into the base schema, the rows by COPY, each table's row count checked against the
// file's, the group history into the work schema (where the server has none yet), and writes
// the connection file into the system description's folder so that the
// next run on that location file uses the server. The first copy refuses a base schema that
// already holds the tables; a refresh replaces each table's rows in a transaction of its own
// (an analysis reading the table sees either the old rows or the new). False with the reason;
// nothing of a failed table stays.
bool CopyInstallation(const CopyOptions& options, CopyResult* result, QString* error);

} // namespace plw::topostgres
