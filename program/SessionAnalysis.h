#pragma once

#include "rfm/AnalysisContext.h"

namespace plw {

struct Session;

// The analysis context of a run or a preview over the session's installation, services and
// records, with the windows and the workbook writer of the caller (batch, desktop, benchmark).
// The caller adds what only it has (hiding the screens, refusing an open workbook).
AnalysisContext SessionAnalysis(Session& session, WaitWindow& wait, ProgressSink& progress,
                                WorkbookWriter* workbook);

} // namespace plw
