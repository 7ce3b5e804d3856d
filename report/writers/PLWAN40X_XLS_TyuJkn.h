#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The condition sheet "抽出条件": the workbook's index with a link to every selected sheet, then
// the conditions of the run as saved in PLWAN40.JKN.
void WriteConditionSheet(ExcelRun& run, AnalysisContext& context);

// One index entry: a link in B of the next row to cell B1 of the named sheet.
void AddIndexLink(ExcelRun& run, const QString& sheetName);

} // namespace plw
