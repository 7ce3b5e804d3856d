#pragma once

#include <QString>

namespace plw::db {

// The cause of a failed SQLite call as the operator reads it, naming the database file: a
// database in use by another program, a full disk, a read-only, damaged or unreachable file, a
// missing table or column in Japanese; any other cause after a Japanese lead, in SQLite's words.
// code is SQLite's (extended) result code, message its text, systemError the errno of a failed
// file operation (0 when there is none).
QString SqliteErrorText(int code, const QString& message, const QString& databasePath,
                        int systemError = 0);

} // namespace plw::db
