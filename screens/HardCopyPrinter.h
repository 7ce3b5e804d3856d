#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

namespace plw {

// The program's printer for hard copies: the installed printers, the one chosen for the rest of
// the run, and a printer set up for one job. The desktop asks Qt's print support; tests print to
// PDF files.
class HardCopyPrinter {
public:
    virtual ~HardCopyPrinter() = default;
    // The device names of the installed printers.
    virtual QStringList printerNames() const = 0;
    // The program's printer: the one chosen last, else the system's default ("" with none).
    virtual QString currentPrinter() const = 0;
    // Makes the named printer the program's printer; false when no installed printer has the name.
    virtual bool setCurrentPrinter(const QString& name) = 0;
    // A printer for one job on the program's printer; nothing when no printer is installed.
    virtual std::unique_ptr<QPrinter> openPrinter() = 0;
};

} // namespace plw
