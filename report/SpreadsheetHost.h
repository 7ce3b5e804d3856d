#pragma once

#include <functional>

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
    // Starts the spreadsheet program on a file; false with the cause when it cannot.
    virtual bool Open(const QString& file, QString* error) = 0;
    // The workbook whose being open counts as "running", for the operator to see.
    virtual QString watchedFile() const = 0;
};

// What the Linux host needs to know about this machine; tests set it, the program reads it.
struct HostSystem {
    QStringList searchPaths; // folders searched for programs; empty means PATH
    QString hostName;        // this machine's name, as lock files record it
    QDateTime bootTime;      // when this machine started; invalid when unknown
    // Whether a spreadsheet program runs on this machine now; unset means it may.
    std::function<bool()> spreadsheetProcessRunning;
};

// Whether a process of a spreadsheet program (LibreOffice's office process or launcher,
// Gnumeric) runs on this machine, from /proc.
bool SpreadsheetProcessRunning();

// This machine's facts: PATH, its host name, its boot time from /proc/stat.
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

// The Linux host. A workbook is open while its lock file exists, unless that lock was left
// behind: it names this machine and is older than the last boot, or no spreadsheet program runs
// on this machine now, so no program holds it.
class LinuxSpreadsheetHost final : public SpreadsheetHost {
public:
    LinuxSpreadsheetHost(const QString& workbook, HostSystem system = CurrentHostSystem());

    bool IsInstalled() override;
    bool IsRunning() override;
    bool QuitRunning() override;
    bool Open(const QString& file, QString* error) override;
    QString watchedFile() const override { return mWorkbook; }

private:
    QString mWorkbook;
    HostSystem mSystem;
};

} // namespace plw
