#pragma once

#include "app/CancelToken.h"
#include "rfm/GroupMovement.h"
#include "rfm/ScoringStatistics.h"

#include <QString>

#include <functional>
#include <optional>

namespace plw {

class Clock;
class ConditionModule;
class EventPump;
class Prompter;
class ProgressSink;
class WaitWindow;
class WorkbookWriter;
struct AnalysisParameters;
struct ConditionRecord;
struct Environment;
struct OutputScreenState;
struct ParameterScreenState;
namespace db {
struct Databases;
}

// What an analysis (the run and the statistics preview) works with: the installation and its
// databases, the services it reports through, the screens' states and the program-wide records.
struct AnalysisContext {
    const Environment& Env;
    db::Databases& Databases;
    Prompter& Messages;
    const Clock& Time;
    EventPump& Pump;
    WaitWindow& Wait;
    ProgressSink& Progress;
    ConditionModule& Conditions;
    AnalysisParameters& Parameters;
    ParameterScreenState& ParameterScreen;
    OutputScreenState& OutputScreen;
    ConditionRecord& SavedConditions;
    // Requested once the operator confirmed the cancel in the progress window.
    CancelToken& Cancel;
    // Filled by the scoring for the workbook.
    ScoringStatistics& Statistics;
    // Writes the workbook of a scored run. The programs always give one; without it (tests of the
    // scoring alone) the run ends scored.
    WorkbookWriter* Workbook = nullptr;
    // Hides the screens once scoring starts (desktop only).
    std::function<void()> HideScreens;
    // Called with the checked workbook name before the run is confirmed: true refuses the run
    // (after its message). Batch mode refuses a workbook open in a spreadsheet program, since
    // nobody is there to close it.
    std::function<bool(const QString& workbook)> RefuseWorkbook;
    // Nobody is there to answer (batch mode): the run says what it does instead of asking.
    bool Unattended = false;
    // Batch mode: a comparison asked for that finds no kept run stops the run before it starts.
    bool ComparisonRequired = false;
    // Filled after scoring when the run is compared with a kept run: the workbook's "グループ推移".
    std::optional<GroupMovement> Movement;
};

} // namespace plw
