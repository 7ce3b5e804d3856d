#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The M sheets "Ｍ視点人数" (mode "人数") and "Ｍ視点金額" (any other mode).
void WriteMSheet(ExcelRun& run, AnalysisContext& context, const QString& mode);

} // namespace plw
