#pragma once

#include "rfm/ScoringStatistics.h"

#include <array>

namespace plw {

struct ExcelRun;

// What the group-value sheet shows: the statistics of groups A to E and X, and the chart types
// chosen on the output screen (the option numbers, 0 when none is chosen).
struct GroupValueSheetInput {
    std::array<GroupStatistics, 6> Groups;
    int LeftChartType = 0;  // 1 to 3
    int RightChartType = 0; // 1 to 6
};

// The group-value sheet "グループ値": the seven group statistics per group and the chart types.
void WriteGroupValueSheet(ExcelRun& run, const GroupValueSheetInput& input);

} // namespace plw
