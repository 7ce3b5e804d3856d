#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;
struct ConditionRecord;

// The conditions an analysis will extract with pass the condition screen's own checks: saved
// conditions that screen would refuse never reach the database. False after the message.
bool CheckConditions(AnalysisContext& context);

// Extracts the customers of an analysis into PLWAN40.KEY (every customer) from the
// conditions being edited, copied into record. The caller holds the work-folder lock. Returns the
// number extracted; 0 after the message that nobody was selected, -1 after a failure's message.
qint64 ExtractForAnalysis(AnalysisContext& context, ConditionRecord& record);

// Shows a database failure with its cause.
void ReportDatabaseFailure(AnalysisContext& context, const QString& cause);
// The text of that message.
QString DatabaseFailureText(const QString& cause);

} // namespace plw
