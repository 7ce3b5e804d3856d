#pragma once

#include "report/PLWAN40X_XLScmn.h"

namespace plw {

struct AnalysisContext;

// The writers of an analysis workbook's sheets. Each shows its step in the progress window and
// copies its template sheet under the sheet's name; filling the sheets comes with the sheet
// modules.
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

// The progress step of a sheet writer: the window shown, the step named, the bar hidden.
void ShowSheetStep(ExcelRun& run, const QString& step);

} // namespace plw
