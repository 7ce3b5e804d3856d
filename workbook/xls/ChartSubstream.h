#pragma once

#include "workbook/xls/ChartModel.h"

namespace plw::xls {

class BiffStream;

// The size of a chart frame on its sheet.
struct ChartSize {
    double widthPoints = 0;
    double heightPoints = 0;
};

// Appends the chart substream of an embedded chart, BOF to EOF, in the order the chart sheet
// grammar of the format gives: page setup, font bases, the chart with its frame, series, default
// text, axes, chart group, legend, title and data labels, then the cached series values.
void WriteChartSubstream(const ChartModel& chart, const ChartSize& size, BiffStream& out);

} // namespace plw::xls
