#pragma once

#include "app/WorkFolderLock.h"

#include <QString>

namespace plw::db {

class Database;

// What an analysis holds while it fills the work tables: the work folder's lock, and on a
// server the work schema's lock, which guards PCs that do not share the work folder. Taken
// without waiting; released when the object goes.
class WorkTablesLock {
public:
    WorkTablesLock(const QString& workFolder, Database& transaction);
    ~WorkTablesLock();
    WorkTablesLock(const WorkTablesLock&) = delete;
    WorkTablesLock& operator=(const WorkTablesLock&) = delete;

    bool held() const { return mHeld; }
    // Why the lock is not held, for the operator.
    const QString& message() const { return mMessage; }

private:
    WorkFolderLock mFolder;
    Database& mDatabase;
    bool mHeld = false;
    QString mMessage;
};

} // namespace plw::db
