#include "report/writers/PLWAN40X_XLS_BUN1KS.h"

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteParameterSheet(ExcelRun& run, AnalysisContext& context) {
    (void)context;
    ShowSheetStep(run, QStringLiteral("解析パラメータ"));
    CopyTemplateSheet(run, QStringLiteral("元解析パラメータ"), QStringLiteral("RFM解析パラメータ"),
                      QStringLiteral("元ブック に 元解析パラメータシートがない"));
}

} // namespace plw
