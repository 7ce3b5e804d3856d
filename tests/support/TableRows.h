#pragma once

#include <QString>
#include <QVariantMap>

namespace plw::db {
class Database;
}

namespace plw::test {

// Adds a row to one of the suite's base tables: every column "" or 0 unless values names it (an
// invalid QVariant stores Null).
void InsertRow(db::Database& database, const QString& table, const QVariantMap& values);

} // namespace plw::test
