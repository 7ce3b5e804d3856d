#include "report/writers/PLWAN40X_XLS_BUN1M5.h"

namespace plw {

void WriteMSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode) {
    // Blocks by M rank, columns by F rank, rows by R rank.
    WriteRelabelledMatrixSheet(run, input, mode, {u'M', u'F', u'R'},
                               [](int v, int a, int b) { return RfmCode(a, b, v); });
}

} // namespace plw
