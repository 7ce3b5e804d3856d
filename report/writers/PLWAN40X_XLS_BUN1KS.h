#pragma once

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The parameter sheet "RFM解析パラメータ": thresholds, base date and the group matrix three times.
void WriteParameterSheet(ExcelRun& run, AnalysisContext& context);

} // namespace plw
