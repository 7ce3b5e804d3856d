#include "report/writers/PLWAN40X_XLS_BUN1F5.h"

namespace plw {

void WriteFSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode) {
    // Blocks by F rank, columns by R rank, rows by M rank.
    WriteRelabelledMatrixSheet(run, input, mode, {u'F', u'R', u'M'},
                               [](int v, int a, int b) { return RfmCode(b, v, a); });
}

} // namespace plw
