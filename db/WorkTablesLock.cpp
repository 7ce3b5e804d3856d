#include "db/WorkTablesLock.h"

#include "db/Database.h"

namespace plw::db {

WorkTablesLock::WorkTablesLock(const QString& workFolder, Database& transaction)
    : mFolder(workFolder), mDatabase(transaction) {
    if (!mFolder.held()) {
        mMessage = mFolder.message();
        return;
    }
    try {
        mHeld = mDatabase.lockWorkTables(&mMessage);
    } catch (const DatabaseError& error) {
        mMessage = error.message();
    }
}

WorkTablesLock::~WorkTablesLock() {
    if (mHeld)
        mDatabase.unlockWorkTables();
}

} // namespace plw::db
