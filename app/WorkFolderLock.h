#pragma once

#include <QString>

namespace plw {

// The exclusive lock an analysis holds on the work folder: the work tables and the key file have
// fixed names, so two analyses on one folder would spoil each other's results. Taken without
// waiting; released when the object goes.
class WorkFolderLock {
public:
    // Locks WorkFolder + "PLWAN40.LCK". When another analysis holds it, or the lock file cannot
    // be opened, the lock is not held and message() tells the operator why.
    explicit WorkFolderLock(const QString& workFolder);
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    bool held() const { return mDescriptor >= 0; }
    const QString& message() const { return mMessage; }

private:
    int mDescriptor = -1;
    QString mMessage;
};

} // namespace plw
