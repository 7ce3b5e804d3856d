#include "report/writers/PLWAN40X_XLS_BUN1G1.h"

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteGroupValueSheet(ExcelRun& run, AnalysisContext& context) {
    (void)context;
    ShowSheetStep(run, QStringLiteral("RFM分析１(グループ値）"));
    CopyTemplateSheet(run, QStringLiteral("元Ｇ１"), QStringLiteral("グループ値"),
                      QStringLiteral("元ブック に 元Ｇ１シートがない"));
}

} // namespace plw
