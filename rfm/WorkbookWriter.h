#pragma once

#include <QString>
#include <QStringList>

namespace plw {

struct AnalysisContext;

// How writing the workbook ended.
enum class WorkbookWriteEnd {
    Saved,     // the workbook is at the saved path
    Abandoned, // no spreadsheet program, the operator abandoned, or no template (already shown)
    Failed,    // it could not be saved; the reason is given
};

// What writing the workbook left behind.
struct WorkbookWritten {
    QString SavedPath;            // when saved: the absolute path of the file written
    QString Error;                // the reason it could not be saved
    QStringList UnfinishedSheets; // "sheet: cause" of each sheet saved incomplete
    bool Interrupted = false;     // the operator's cancel stopped the sheets part way
    QStringList Sheets;           // the sheets saved, one cut short saying how far it got
    QStringList NotWritten;       // the selected sheets not saved
};

// Writes and saves the workbook of a scored run from the work table, the parameters and the
// statistics of the context.
class WorkbookWriter {
public:
    virtual ~WorkbookWriter() = default;
    virtual WorkbookWriteEnd WriteWorkbook(AnalysisContext& context, const QString& workTable,
                                           qint64 extractedCount, WorkbookWritten& written) = 0;
};

} // namespace plw
