#pragma once

#include <QString>
#include <QStringList>

namespace plw::db {
class Database;
class PostgresDatabase;
} // namespace plw::db

namespace plw::topostgres {

// The schemas an installation gets on the server by default: its base tables in
// "plwan40_" + the system folder's name (letters and digits, lower case) + a short hash of the
// folder's whole path, its work tables in that name + "_work".
QString DefaultBaseSchema(const QString& systemFolder);
QString DefaultWorkSchema(const QString& baseSchema);

// The base tables an installation has, in the order they are copied.
QStringList BaseTableNames();

// Creates the two schemas (when missing) and the empty base tables in the base schema, the
// point history's index left for CreateBaseIndexes after the rows. Refuses, with the tables
// named, when the base schema already holds any of them.
bool CreateBaseTables(db::PostgresDatabase& admin, const QString& baseSchema,
                      const QString& workSchema, QString* error);
void CreateBaseIndexes(db::PostgresDatabase& admin);

// Streams every row of a table of a SQLite database into the same table on the server (COPY),
// and returns how many rows went. Throws DatabaseError.
qint64 CopyTableRows(db::Database& from, db::PostgresDatabase& to, const QString& table);

// The number of rows of a table.
qint64 CountRows(db::Database& database, const QString& table);

} // namespace plw::topostgres
