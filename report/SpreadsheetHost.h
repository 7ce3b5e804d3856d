#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace plw {

// The spreadsheet program the operator works in, as far as the workbook step needs it: is one
// installed, is the output workbook open in one, ask it to let go, open a file in it.
class SpreadsheetHost {
public:
    virtual ~SpreadsheetHost() = default;
    virtual bool IsInstalled() = 0;
    // True while the watched workbook is open in a spreadsheet program.
    virtual bool IsRunning() = 0;
    // Never force-closes anything: true while the workbook is still open (the program was
    // found and is expected to let go), false once it is free.
    virtual bool QuitRunning() = 0;
    // Opens the file for the operator in a program that shows it; false with the cause when
    // nothing could be started or what was started ended at once with an error.
    virtual bool Open(const QString& file, QString* error) = 0;
    // The workbook whose being open counts as "running", for the operator to see.
    virtual QString watchedFile() const = 0;
    // Who holds the workbook open, as the operator can check it (the lock file, its user, host
    // and date; LockHolderText); "" when that is not known.
    virtual QString holder() const { return {}; }
};

// What the Linux host needs to know about this machine; tests set it, the program reads it.
struct HostSystem {
    QStringList searchPaths; // folders searched for programs; empty means PATH
    QString hostName;        // this machine's name, as lock files record it
    QDateTime bootTime;      // when this machine started; invalid when unknown
    // Whether a running process of this machine has the file open; unset means one may.
    std::function<bool(const QString& file)> fileOpenByProcess;
    // Whether a desktop session is there, whose opener (xdg-open) knows the operator's program.
    bool desktopSession = false;
};

// Whether a running process of this machine has the file open, from /proc (the processes this
// user may look at).
bool FileOpenByProcess(const QString& file);

// This machine's facts: PATH, its host name, its boot time from /proc/stat, its processes'
// open files, and whether a desktop session is there (XDG_CURRENT_DESKTOP or DESKTOP_SESSION).
HostSystem CurrentHostSystem();

// The full path of the spreadsheet program found on the search path ("libreoffice", "soffice",
// "localc", ...), or "" when none is there.
QString FindSpreadsheetProgram(const HostSystem& system);

// The full path of a program: "EXCEL.EXE" stands for the spreadsheet program, any other name is
// looked up as it is. "" when it is not found.
QString ExcelAppPath(const QString& name);

// The name of the lock file a spreadsheet program keeps beside a workbook it has open:
// ".~lock.NAME#" in the workbook's folder.
QString LockFilePath(const QString& workbook);

// A workbook's lock file as its writer left it.
struct WorkbookLock {
    QString LockFile; // the lock file's path
    QString User;     // "" when the lock file does not say
    QString Host;
    QDateTime Time; // when the lock was taken; the lock file's own time when it does not say
};

// The one rule for a workbook's lock file: whether the workbook counts as open in a spreadsheet
// program. It does while its lock file exists, unless that lock was left behind by this machine:
// written before its last boot, or no running process of this machine has the workbook open.
// A lock of another machine always counts: its processes cannot be seen from here, and that
// machine may have the file open. The lock that counts, or nothing.
std::optional<WorkbookLock> WorkbookLockHolder(const QString& workbook, const HostSystem& system);
bool WorkbookLocked(const QString& workbook, const HostSystem& system);

// The lock as the operator reads it, so that a stale one can be judged and removed: the lock
// file's path, its user and host, and its date, on three lines.
QString LockHolderText(const WorkbookLock& lock);

// The Linux host. "Running" is WorkbookLocked. A file is opened with the desktop's opener in a
// desktop session, else (or when that fails at once) with the spreadsheet program found.
class LinuxSpreadsheetHost final : public SpreadsheetHost {
public:
    LinuxSpreadsheetHost(const QString& workbook, HostSystem system = CurrentHostSystem());

    // Something can open the workbook: the desktop's opener or a spreadsheet program.
    bool IsInstalled() override;
    bool IsRunning() override;
    bool QuitRunning() override;
    bool Open(const QString& file, QString* error) override;
    QString watchedFile() const override { return mWorkbook; }
    QString holder() const override;

    // How long a started program is watched for an error before it counts as running.
    static constexpr int OpenWatchMs = 3000;

private:
    // The programs that may open a file, in the order they are tried.
    QStringList openers() const;

    QString mWorkbook;
    HostSystem mSystem;
};

} // namespace plw
