#pragma once

#include "rfm/PLWAN4_hrhen.h"

#include <QString>

namespace plw {

struct ExcelRun;

// What the parameter sheet shows: the thresholds as entered, the base date "YYYYMMDD" and the
// painted group matrix.
struct ParameterSheetInput {
    Thresholds R;
    Thresholds F;
    Thresholds M;
    QString BaseDate;
    GroupMatrix Matrix;
};

// The parameter sheet "RFM解析パラメータ": thresholds, base date and the group matrix three times.
void WriteParameterSheet(ExcelRun& run, const ParameterSheetInput& input);

} // namespace plw
