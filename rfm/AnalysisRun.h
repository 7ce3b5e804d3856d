#pragma once

#include "rfm/MailingList.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plw {

struct AnalysisContext;

// How an analysis run ended.
enum class AnalysisOutcome {
    NotStarted,        // a check failed (Focus names the control) or the operator did not confirm
    LockHeld,          // another analysis holds the work folder
    NobodyExtracted,   // the conditions select nobody: back to the output screen
    Cancelled,         // the operator cancelled the scoring: the program ends without a workbook
    Scored,            // scored by a run given no workbook writer (tests of the scoring)
    WorkbookSaved,     // the workbook is at WorkbookPath: the program ends and opens it
    WorkbookAbandoned, // no spreadsheet program, abandoned, or no template: the program ends
    Failed,            // a database, file or workbook failure, shown with its cause
};

struct AnalysisResult {
    AnalysisOutcome Outcome = AnalysisOutcome::NotStarted;
    QString Focus;
    qint64 Extracted = 0;
    QString WorkbookPath;
    // Of a saved workbook: "sheet: cause" of each incomplete sheet; whether the operator's cancel
    // cut it short; the sheets it holds.
    QStringList UnfinishedSheets = {};
    bool Interrupted = false;
    QStringList WorkbookSheets = {};
    // What the run could not do besides the workbook (the group history, the mailing list), each
    // with its cause; the operator was told.
    QStringList Problems = {};
    // The mailing list written, when one was asked for.
    std::optional<MailingResult> Mailing = {};
};

// The execute action of the output screen: checks the output settings, asks for confirmation,
// takes the screens' output settings into the parameters, saves the current conditions to
// PLWAN40.JKN and runs the analysis.
AnalysisResult ExecuteAnalysis(AnalysisContext& context);

// Extraction, scoring and the workbook, under the work-folder lock.
AnalysisResult RunAnalysis(AnalysisContext& context);

} // namespace plw
