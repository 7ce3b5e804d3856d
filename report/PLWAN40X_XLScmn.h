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

// An entry of the condition sheet's index: its row and the sheet it names.
struct IndexEntry {
    int Row = 0;
    QString Sheet;
};

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
    // The index of the condition sheet, linked once the writers are done, and only to the sheets
    // that were written.
    QList<IndexEntry> IndexEntries = {};
    // A sheet a cancel stopped part way (the customer list), with what it holds ("7,016人分").
    QString CutShortSheet = {};
    QString CutShortPart = {};
    // Sheets selected but left out because the template has no original for them (a restyled
    // template of an earlier version): they get no index entry.
    QStringList LeftOut = {};
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
    // "グループ推移", written after "グループ値": only with a kept run to compare with.
    bool GroupMovement = false;
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
    virtual void WriteGroupMovementSheet(ExcelRun& run) = 0;
    virtual void WriteCustomerList(ExcelRun& run, const QString& workTable,
                                   qint64 extractedCount) = 0;
    virtual void WriteRSheet(ExcelRun& run, MatrixMode mode) = 0;
    virtual void WriteFSheet(ExcelRun& run, MatrixMode mode) = 0;
    virtual void WriteMSheet(ExcelRun& run, MatrixMode mode) = 0;
    // After the other writers: links the index entries to the sheets that were written.
    virtual void CompleteIndex(ExcelRun& run) = 0;
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
    QString ProgramFolder; // the template is looked for where the program's files are
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
    // Of a saved workbook:
    QStringList Unfinished;   // as ExcelRun::Unfinished
    bool Interrupted = false; // the operator's cancel left sheets out or cut one short
    QStringList Sheets;       // the sheets it holds, one cut short saying how far it got
    QStringList NotWritten;   // the selected sheets it does not hold
};

// The template's file name, in the program's folder or its data folder (ProgramFileFolders).
inline constexpr char16_t TemplateFileName[] = u"PLWAN40X.EXL";

// The name of the group-movement sheet and of its template original, which templates made before
// it existed lack.
inline constexpr char16_t GroupMovementSheetName[] = u"グループ推移";
inline constexpr char16_t GroupMovementTemplateSheet[] = u"元グループ推移";

// The workbook main: checks the spreadsheet program, opens the template, has the writers copy and
// fill their sheets (the condition sheet always, the others as selected, none after a cancel;
// the group-movement sheet left out, with a word to the operator, when the template lacks it),
// links the index to the sheets written, activates the first sheet and saves the workbook at
// outputPath, a workbook cut short by a cancel too. Ending the program, opening the
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
