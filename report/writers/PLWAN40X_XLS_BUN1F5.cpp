#include "report/writers/PLWAN40X_XLS_BUN1F5.h"

#include "report/writers/PLWAN40X_XLS_BUN1R5.h"

namespace plw {

void WriteFSheet(ExcelRun& run, AnalysisContext& context, const QString& mode) {
    // Blocks by F rank, columns by R rank, rows by M rank.
    WriteRelabelledMatrixSheet(run, context, mode, {u'F', u'R', u'M'},
                               [](int v, int a, int b) { return RfmCode(b, v, a); });
}

} // namespace plw
