#pragma once

#include <QString>

namespace plw {

class Prompter;
struct AnalysisParameters;

// Checks the workbook name typed into txtOtFname and completes it in place: trimmed, a bare name
// placed in the documents folder (created when missing), ".xls" added to a name without an
// extension. The folder must exist and be writable, the workbook must not be open in a
// spreadsheet program (its lock file beside it), and the name must fit the parameter record it is
// saved in. "OK", or "NG" after the message (the caller then focuses txtOtFname).
QString CheckOutputFileName(QString& text, Prompter& prompter,
                            const AnalysisParameters& parameters);

} // namespace plw
