#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The R sheets "Ｒ視点人数" (mode "人数") and "Ｒ視点金額" (any other mode).
void WriteRSheet(ExcelRun& run, AnalysisContext& context, const QString& mode);

} // namespace plw
