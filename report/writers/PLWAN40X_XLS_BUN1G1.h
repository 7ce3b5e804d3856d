#pragma once

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The group-value sheet "グループ値": the seven group statistics per group and the chart types.
void WriteGroupValueSheet(ExcelRun& run, AnalysisContext& context);

} // namespace plw
