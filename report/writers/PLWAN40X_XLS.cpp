#include "report/writers/PLWAN40X_XLS.h"

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/AnalysisContext.h"

namespace plw {

void WriteCustomerList(ExcelRun& run, AnalysisContext& context, const QString& workTable,
                       qint64 extractedCount) {
    (void)context;
    (void)workTable;
    (void)extractedCount;
    ShowSheetStep(run, QStringLiteral("RFM付き顧客一覧"));
    CopyTemplateSheet(run, QStringLiteral("元シート"), QStringLiteral("RFM顧客一覧"),
                      QStringLiteral("元ブック に 元シートがない"));
}

} // namespace plw
