#pragma once

#include <QString>

namespace plw {

class EventPump;

enum class WorkbookFormat { Xls, Xlsx };

// Converts workbooks between formats with LibreOffice run headless: the finished .xlsx becomes
// the operator's classic .xls, and any workbook can be read back through .xlsx.
class LibreOfficeConverter {
public:
    // The converter program: "soffice" (else "libreoffice") found on PATH; "" when missing.
    static QString ProgramPath();

    // Converts input into output in the given format. The result is made in a temporary folder
    // beside output and replaces output through FileReplacement only once the conversion produced
    // it: a failure never leaves a half-written or stale output, and a replaced output keeps its
    // permissions.
    // LibreOffice runs with a private temporary profile, never through a shell, and is killed
    // with everything it started after timeLimitMs (no limit when timeLimitMs <= 0).
    // False with the reason: converter missing, input missing, time limit exceeded, process
    // failed (exit code and the last lines it reported), no output produced, output not
    // replaceable (the system's cause).
    // While it waits, pump (when given) yields to the window system every 100 ms, so that the
    // program's windows repaint.
    static bool Convert(const QString& input, const QString& output, WorkbookFormat format,
                        int timeLimitMs, QString* error, EventPump* pump = nullptr);
};

} // namespace plw
