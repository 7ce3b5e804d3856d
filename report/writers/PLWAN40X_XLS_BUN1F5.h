#pragma once

#include "report/writers/PLWAN40X_XLS_BUN1R5.h"

namespace plw {

// The F sheets "Ｆ視点人数" (count) and "Ｆ視点金額" (amount).
void WriteFSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode);

} // namespace plw
