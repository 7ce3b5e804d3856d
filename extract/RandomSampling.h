#pragma once

#include <QString>

namespace plw {

class Clock;

namespace db {
class Database;
}

// Draws a random sample of the current table's customers and writes the key file from it in
// ascending customer number. Every row gets a random RANS from 1 to 5000001 (a new column of
// current); the size rows of lowest RANS, and any row tied with the last of them, are copied to
// "Sort前". The same seed gives the same sample. False (with error) when the key file cannot be
// written; database errors throw.
bool WriteSampledKeyFile(db::Database& database, const QString& current, qint64 size, quint64 seed,
                         const QString& keyFilePath, const Clock& clock, qint64* written,
                         QString* error);

} // namespace plw
