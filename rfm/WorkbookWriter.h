#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;

// Writes and saves the workbook of a scored run from the work table, the parameters and the
// statistics of the context.
class WorkbookWriter {
public:
    virtual ~WorkbookWriter() = default;
    // The path of the saved workbook, or false with the reason when it could not be saved.
    virtual bool WriteWorkbook(AnalysisContext& context, const QString& workTable,
                               qint64 extractedCount, QString* savedPath, QString* error) = 0;
};

} // namespace plw
