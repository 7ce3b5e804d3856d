#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ExcelRun;

// The customer list "RFM顧客一覧": one row per scored customer of the selected groups.
void WriteCustomerList(ExcelRun& run, AnalysisContext& context, const QString& workTable,
                       qint64 extractedCount);

} // namespace plw
