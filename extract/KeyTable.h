#pragma once

#include <QString>

namespace plw {

namespace db {
class Database;
}

// Fills a new key table (TmpKaiBan CHAR(7), primary key FRMKEY) with the customer numbers of the
// key file's whole records, in file order, and gives their number in count. The table is dropped
// first. False (with error) when the key file cannot be read; database errors throw (a number found
// twice breaks the primary key).
bool LoadKeyTable(db::Database& database, const QString& keyFilePath, const QString& table,
                  qint64* count, QString* error);

// Copies the master rows of the customers listed in the key table into a new output table (the
// master's columns only); the output table is dropped first.
void JoinMasterByKeys(db::Database& database, const QString& keyTable, const QString& output);

} // namespace plw
