#pragma once

#include "report/writers/PLWAN40X_XLS_BUN1R5.h"

namespace plw {

// The M sheets "Ｍ視点人数" (count) and "Ｍ視点金額" (amount).
void WriteMSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode);

} // namespace plw
