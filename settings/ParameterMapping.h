#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace plw {

struct AnalysisParameters;
struct ConditionRecord;
struct OutputScreenState;
struct ParameterScreenState;

// The copies between the parameter record and the two screens' states that loading and saving
// the parameters are made of.

// Loading: dates the date fields reject are ignored, thresholds trimmed of blanks, option and
// flag texts other than their own values select nothing, matrix letters other than A to E show
// as X, the first ListItemCount items are left out of the output.
void ParametersToParameterScreen(const AnalysisParameters& parameters,
                                 ParameterScreenState& screen);
void ParametersToOutputScreen(const AnalysisParameters& parameters, const QStringList& outputItems,
                              OutputScreenState& screen);

// Saving: every control's value, except that an option group with nothing selected keeps the
// record's value and the stored items after the ones left out stay as they were.
void ParameterScreenToParameters(const ParameterScreenState& screen,
                                 AnalysisParameters& parameters);
void OutputScreenToParameters(const OutputScreenState& screen, AnalysisParameters& parameters);
// The detailed purchase period of the parameter screen alone, as a run takes it.
void DetailPeriodToParameters(const ParameterScreenState& screen, AnalysisParameters& parameters);

// Sets the last-visit condition (fields 47 to 50) from the parameter screen: kind "3" with its
// from and to dates and its month count.
void SetLastVisitCondition(const ParameterScreenState& screen, ConditionRecord& record);

// The matrix cells (1 to 125) of the record holding neither a group letter A to E or X nor ""
// (a cell saved without a group colour): a damaged file, since the program writes nothing else.
// Loading shows them as X.
QList<int> DamagedMatrixCells(const AnalysisParameters& parameters);

// Whether a date field accepts the value: "" or "0" (no date, the field is emptied) or a real
// calendar date "YYYYMMDD".
bool DateFieldAccepts(const QString& value);

} // namespace plw
