#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The F sheets "Ｆ視点人数" (mode "人数") and "Ｆ視点金額" (any other mode).
void WriteFSheet(ExcelRun& run, AnalysisContext& context, const QString& mode);

} // namespace plw
