#include "report/writers/AnalysisSheetWriters.h"

#include "report/writers/PLWAN40X_XLS.h"
#include "report/writers/PLWAN40X_XLS_BUN1F5.h"
#include "report/writers/PLWAN40X_XLS_BUN1G1.h"
#include "report/writers/PLWAN40X_XLS_BUN1KS.h"
#include "report/writers/PLWAN40X_XLS_BUN1M5.h"
#include "report/writers/PLWAN40X_XLS_BUN1R5.h"
#include "report/writers/PLWAN40X_XLS_TyuJkn.h"

namespace plw {

void AnalysisSheetWriters::WriteConditionSheet(ExcelRun& run) {
    plw::WriteConditionSheet(run, mContext);
}

void AnalysisSheetWriters::WriteParameterSheet(ExcelRun& run) {
    plw::WriteParameterSheet(run, mContext);
}

void AnalysisSheetWriters::WriteGroupValueSheet(ExcelRun& run) {
    plw::WriteGroupValueSheet(run, mContext);
}

void AnalysisSheetWriters::WriteCustomerList(ExcelRun& run, const QString& workTable,
                                             qint64 extractedCount) {
    plw::WriteCustomerList(run, mContext, workTable, extractedCount);
}

void AnalysisSheetWriters::WriteRSheet(ExcelRun& run, const QString& mode) {
    plw::WriteRSheet(run, mContext, mode);
}

void AnalysisSheetWriters::WriteFSheet(ExcelRun& run, const QString& mode) {
    plw::WriteFSheet(run, mContext, mode);
}

void AnalysisSheetWriters::WriteMSheet(ExcelRun& run, const QString& mode) {
    plw::WriteMSheet(run, mContext, mode);
}

} // namespace plw
