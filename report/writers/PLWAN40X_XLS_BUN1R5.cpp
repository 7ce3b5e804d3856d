#include "report/writers/PLWAN40X_XLS_BUN1R5.h"

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteRSheet(ExcelRun& run, AnalysisContext& context, const QString& mode) {
    (void)context;
    ShowSheetStep(run, QStringLiteral("RFM分析１(R)"));
    const QString name = mode == QString::fromUtf16(CountMode) ? QStringLiteral("Ｒ視点人数")
                                                               : QStringLiteral("Ｒ視点金額");
    CopyTemplateSheet(run, QStringLiteral("元解析１"), name,
                      QStringLiteral("元ブック に 元解析１シートがない"));
}

} // namespace plw
