#pragma once

#include "report/PLWAN40X_XLScmn.h"

namespace plw {

struct AnalysisContext;

// The writers of an analysis workbook's sheets, each in its module, fed from the run's context.
class AnalysisSheetWriters final : public SheetWriters {
public:
    explicit AnalysisSheetWriters(AnalysisContext& context) : mContext(context) {}

    void WriteConditionSheet(ExcelRun& run) override;
    void WriteParameterSheet(ExcelRun& run) override;
    void WriteGroupValueSheet(ExcelRun& run) override;
    void WriteCustomerList(ExcelRun& run, const QString& workTable, qint64 extractedCount) override;
    void WriteRSheet(ExcelRun& run, const QString& mode) override;
    void WriteFSheet(ExcelRun& run, const QString& mode) override;
    void WriteMSheet(ExcelRun& run, const QString& mode) override;

private:
    AnalysisContext& mContext;
};

} // namespace plw
