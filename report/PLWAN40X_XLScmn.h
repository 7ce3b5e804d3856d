#pragma once

#include "app/CancelToken.h"
#include <QString>
#include <QStringList>

#include <functional>

namespace plw {

class EventPump;
class ProgressSink;
class Prompter;
class RunningSpreadsheetDialog;
class Sleeper;
class SpreadsheetHost;
class Workbook;
class Worksheet;

// The state the sheet writers share while one workbook is built.
struct ExcelRun {
    Workbook& Book;
    ProgressSink& Progress;
    Prompter& Messages;
    EventPump& Pump;
    // Requested once the operator confirmed the cancel in the progress window.
    CancelToken& Cancel;
    // The row counter the writers share; each sets it before use.
    int CurrentRow = 0;
    // The sheet the active writer fills.
    Worksheet* Current = nullptr;
    // The progress step of the active writer, which names its sheet to the operator.
    QString Step = {};
    // "step: cause" of each sheet that could not be completed; the workbook is still saved.
    QStringList Unfinished = {};
};

// A failure that leaves the active writer's sheet unfinished: shown to the operator and recorded
// with the sheet, so that the run can say which sheets are incomplete.
void SheetFailed(ExcelRun& run, const QString& cause);

// Copies a sheet of the template as newName and makes the copy the current worksheet. When the
// copy fails the operator sees the cause and missingText ("元ブック に 元シートがない"), and the
// answer is null: the writer skips its sheet.
Worksheet* CopyTemplateSheet(ExcelRun& run, const QString& templateSheet, const QString& newName,
                             const QString& missingText);

// The progress step of a sheet writer: the window shown, the step named, the bar hidden, with a
// yield before and after.
void ShowSheetStep(ExcelRun& run, const QString& step);

// The sheets an analysis may produce, in the order the workbook main writes them.
struct SheetSelection {
    bool Parameters = false;
    bool GroupValues = false;
    bool CustomerList = false;
    bool RCount = false;
    bool RAmount = false;
    bool FCount = false;
    bool FAmount = false;
    bool MCount = false;
    bool MAmount = false;
};

// The modes of the R, F and M writers: the count sheet ("人数") or the amount sheet ("金額").
enum class MatrixMode { Count, Amount };

// The writers of the workbook's sheets, called by the workbook main in its order.
class SheetWriters {
public:
    virtual ~SheetWriters() = default;
    virtual void WriteConditionSheet(ExcelRun& run) = 0;
    virtual void WriteParameterSheet(ExcelRun& run) = 0;
    virtual void WriteGroupValueSheet(ExcelRun& run) = 0;
    virtual void WriteCustomerList(ExcelRun& run, const QString& workTable,
                                   qint64 extractedCount) = 0;
    virtual void WriteRSheet(ExcelRun& run, MatrixMode mode) = 0;
    virtual void WriteFSheet(ExcelRun& run, MatrixMode mode) = 0;
    virtual void WriteMSheet(ExcelRun& run, MatrixMode mode) = 0;
};

// Turns the finished .xlsx into the workbook file the operator gets (the classic .xls through
// LibreOffice), replacing the target through FileReplacement; false with the cause.
using WorkbookConversion =
    std::function<bool(const QString& xlsxPath, const QString& target, QString* error)>;

// The rows of cells written so far while a workbook is saved, and how many there are.
using SaveProgress = std::function<void(qint64 rowsWritten, qint64 rowCount)>;

// How the engine's own writer of the classic .xls ended.
enum class ClassicWrite {
    Written,   // the file is complete at the path
    Unhandled, // the workbook holds a construct the writer does not translate; nothing written
    Failed,    // the file could not be written
};

// Writes a built workbook as the classic .xls at path, replacing it through FileReplacement;
// the construct (Unhandled) or the cause (Failed) in *reason.
using ClassicWriter = std::function<ClassicWrite(Workbook& book, const QString& path,
                                                 const SaveProgress& progress, QString* reason)>;

// The engine's own .xls writer as the save step uses it: a workbook named .xls is written by it,
// and only a workbook holding a construct it does not translate goes through the conversion.
struct ClassicWriting {
    ClassicWriter Write;
    SaveProgress Progress;
    // Told the construct before the conversion takes over.
    std::function<void(const QString& construct)> FallingBack;
};

// What the workbook main works with.
struct ExcelFrame {
    SpreadsheetHost& Host;
    RunningSpreadsheetDialog& Dialog;
    Sleeper& Sleep;
    Prompter& Messages;
    ProgressSink& Progress;
    EventPump& Pump;
    CancelToken& Cancel;
    QString ProgramFolder; // the template is ProgramFolder + "/PLWAN40X.EXL"
    WorkbookConversion Convert;
    // The engine's own .xls writer; without it every workbook goes through Convert.
    ClassicWriter WriteXls = {};
};

// How the workbook main ended.
enum class WorkbookEnd {
    Saved,     // the workbook is at the output path (possibly cut short by a cancel)
    Abandoned, // the operator abandoned, no spreadsheet program, or no template: the program ends
    Failed,    // the workbook could not be saved; the cause is in Error and was shown
};

struct WorkbookRunResult {
    WorkbookEnd End = WorkbookEnd::Failed;
    QString Error;
    QStringList Unfinished; // of a saved workbook, as ExcelRun::Unfinished
};

// The template's file name in the program folder.
inline constexpr char16_t TemplateFileName[] = u"PLWAN40X.EXL";

// The workbook main: checks the spreadsheet program, opens the template, has the writers copy and
// fill their sheets (the condition sheet always, the others as selected, none after a cancel),
// activates the first sheet and saves the workbook at outputPath. Ending the program, opening the
// saved file and the end-of-run routine are the caller's.
WorkbookRunResult WriteWorkbook(ExcelFrame& frame, SheetWriters& writers,
                                const SheetSelection& selection, const QString& workTable,
                                qint64 extractedCount, const QString& outputPath);

// Saves a built workbook at target, once its folder is known to take files: a target named .xls
// written by the classic writer (when given); otherwise, or when the workbook holds a construct
// that writer does not translate, the package converted to the target by convert (when given)
// or saved as the target. The target is replaced as a whole or not at all, a new one with the
// permissions the umask gives, a replaced one keeping its own; nothing is left behind on
// failure.
bool SaveWorkbook(Workbook& book, const QString& target, const WorkbookConversion& convert,
                  QString* error, const ClassicWriting& classic = {});

} // namespace plw
