#include "report/writers/PLWAN40X_XLS_BUN1M5.h"

#include "report/PLWAN40X_XLScmn.h"
#include "report/Worksheet.h"
#include "report/writers/PLWAN40X_XLS_BUN1R5.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteMSheet(ExcelRun& run, AnalysisContext& context, const QString& mode) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(M)"));
    const QString name = mode == QString::fromUtf16(CountMode) ? QStringLiteral("Ｍ視点人数")
                                                               : QStringLiteral("Ｍ視点金額");
    Worksheet* sheet = CopyTemplateSheet(run, QStringLiteral("元解析１"), name,
                                         QStringLiteral("元ブック に 元解析１シートがない"));
    if (!sheet)
        return;
    // The template is labelled for the R arrangement: blocks by M rank, columns F, rows R.
    CellStore& cells = sheet->cells();
    for (int v = 5; v >= 1; --v) {
        const int top = MatrixBlockTop(v);
        cells.setText(top, 2, QStringLiteral("M") + QString::number(v));
        for (int i = 0; i < 5; ++i) {
            cells.setText(top, 3 + i, QStringLiteral("F") + QString::number(5 - i));
            cells.setText(top + 1 + i, 2, QStringLiteral("R") + QString::number(5 - i));
        }
    }
    FillMatrixSheet(run, context, mode, name, [](int v, int a, int b) { return RfmCode(a, b, v); });
}

} // namespace plw
