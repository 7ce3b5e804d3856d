#include "report/writers/PLWAN40X_XLS_TyuJkn.h"

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteConditionSheet(ExcelRun& run, AnalysisContext& context) {
    (void)context;
    ShowSheetStep(run, QStringLiteral("RFM分析１(抽出条件）"));
    CopyTemplateSheet(run, QStringLiteral("抽出条件"), QStringLiteral("抽出条件"),
                      QStringLiteral("元ブック に 抽出条件という名前のシートがない"));
}

} // namespace plw
