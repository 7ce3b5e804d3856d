#pragma once

#include <QtGlobal>

namespace plw {

class EventPump;
class Prompter;
class RunningSpreadsheetDialog;
class Sleeper;
class SpreadsheetHost;

// The results of ExcelRunCheck.
enum ExcelRunResult : qint16 {
    ExcelNotRunning = 0,
    ExcelAbandoned = 1,
    ExcelClosedByOperator = 2,
    ExcelQuitAutomatically = 3,
    ExcelNotAvailable = 4, // not installed, or it never let go
};

struct ExcelRunCheckContext {
    SpreadsheetHost& host;
    RunningSpreadsheetDialog& dialog;
    Prompter& prompter;
    EventPump& pump;
    Sleeper& sleeper;
};

// Makes sure a spreadsheet program is installed and the output workbook is not open in one
// before the workbook is written, asking the operator what to do when it is.
qint16 ExcelRunCheck(ExcelRunCheckContext context);

// The rounds of the automatic wait: half a second each, one hour at most.
inline constexpr int QuitWaitRoundMs = 500;
inline constexpr int QuitWaitRounds = 7200;
// How often the operator may say "closed" while the workbook is still open.
inline constexpr int ClosedConfirmRounds = 1000;

} // namespace plw
