#pragma once

#include "rfm/GroupHistory.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plw {

struct AnalysisContext;
struct AnalysisResult;
struct ClassificationNames;
struct ConditionRecord;
struct ParameterScreenState;

// What a run knows of the group history between its steps.
struct RunHistory {
    HistoryRead History; // as read after scoring (empty after setting a damaged one aside)
    bool Usable = false; // the run may keep itself in it
    std::optional<KeptRun> Compared;
};

// The check before the run is confirmed: a comparison with a chosen base date, or one that batch
// mode requires, must find its kept run. False after the message (the control to focus is
// "cboHistory").
bool CheckComparison(AnalysisContext& context);

// The conditions a run is kept with: the summary lines of record without the last-visit period
// (whose dates move with every run; its length is compared on its own), then the detailed
// purchase period when the screen has it on.
QStringList KeptConditions(const ConditionRecord& record, const ClassificationNames& names,
                           const ParameterScreenState& screen);

// The run as the history keeps it: its time, base date, period, thresholds, matrix, conditions
// (those of record without the period's dates, and the detailed purchase period when on) and
// the scoring's totals.
KeptRun DescribeRun(const AnalysisContext& context, const ConditionRecord& record,
                    qint64 extracted);

// After scoring, before the workbook: reads the history, sets a damaged one aside (saying so),
// and computes the movement against the compared run into context.Movement. What fails is shown
// and added to result's problems; the run goes on.
RunHistory PrepareHistory(AnalysisContext& context, const KeptRun& run, const QString& workTable,
                          AnalysisResult& result);

// After the workbook was saved: keeps the run in the history and writes the mailing list when
// one was asked for, each reported; failures are shown and added to result's problems.
void FinishRun(AnalysisContext& context, const RunHistory& history, const KeptRun& run,
               const QString& workTable, AnalysisResult& result);

} // namespace plw
