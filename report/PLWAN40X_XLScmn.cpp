#include "report/PLWAN40X_XLScmn.h"

#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/ProgramFiles.h"
#include "app/ProgressSink.h"
#include "app/Prompter.h"
#include "app/RunTemporaries.h"
#include "app/TwCom_Excelomati.h"
#include "report/TwCom_ExcelRunChk.h"
#include "workbook/EngineError.h"
#include "workbook/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <optional>
#include <unistd.h>

namespace plw {

Worksheet* CopyTemplateSheet(ExcelRun& run, const QString& templateSheet, const QString& newName,
                             const QString& missingText) {
    QString error;
    run.Current = run.Book.copySheet(templateSheet, newName, &error);
    if (!run.Current) {
        run.Messages.show(error + u'\r' + missingText);
        run.Unfinished << run.Step + QStringLiteral(": ") + missingText;
    }
    return run.Current;
}

void SheetFailed(ExcelRun& run, const QString& cause) {
    run.Messages.show(cause, MessageIcon::Critical);
    run.Unfinished << run.Step + QStringLiteral(": ") + QString(cause).replace(u'\r', u' ');
}

void ShowSheetStep(ExcelRun& run, const QString& step) {
    run.Step = step;
    run.Progress.open();
    run.Pump.yield();
    run.Progress.showStep(step);
    run.Progress.setCounterVisible(false);
    run.Pump.yield();
}

namespace {

// The folder the workbook goes to takes new files; else false with the folder's cause (missing,
// read-only, no right), before anything is written.
bool FolderTakesFiles(const QFileInfo& target, QString* error) {
    const QString folder = target.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return true;
    SetEngineError(error, EngineFault::SaveFolderRefused, {folder, SystemErrorText(errno)});
    return false;
}

// The package in a temporary file beside target (a large one may not fit elsewhere), converted
// to target by convert.
bool ConvertPackage(Workbook& book, const QFileInfo& target, const WorkbookConversion& convert,
                    QString* error) {
    QTemporaryFile package(RunTemporaryTemplate(target.absolutePath(), QStringLiteral(".plwan40-"),
                                                QStringLiteral(".xlsx")));
    if (!package.open()) {
        SetEngineError(error, EngineFault::SaveFolderRefused,
                       {target.absolutePath(), package.errorString()});
        return false;
    }
    package.close();
    return book.save(package.fileName(), error) &&
           convert(package.fileName(), target.absoluteFilePath(), error);
}

} // namespace

bool SaveWorkbook(Workbook& book, const QString& target, const WorkbookConversion& convert,
                  QString* error, const ClassicWriting& classic) {
    const QFileInfo info(target);
    // The documents folder is made when a workbook is first saved there; any other folder the
    // name check found must still be there.
    if (info.absolutePath() == QFileInfo(DocumentsFolder()).absoluteFilePath())
        QDir().mkpath(info.absolutePath());
    // What a run that died left beside its workbook goes first.
    RemoveStaleRunTemporaries(info.absolutePath());
    if (!FolderTakesFiles(info, error))
        return false;
    // Every writer below replaces the target through FileReplacement: as a whole or not at all,
    // with the permissions a new file gets or those of the file it replaces.
    QString construct;
    if (classic.Write && info.suffix().compare(u"xls", Qt::CaseInsensitive) == 0) {
        QString reason;
        switch (classic.Write(book, target, classic.Progress, &reason)) {
        case ClassicWrite::Written:
            return true;
        case ClassicWrite::Failed:
            SetEngineError(error, EngineFault::SaveXlsFailed, {target, reason});
            return false;
        case ClassicWrite::Unhandled:
            construct = reason;
            if (classic.FallingBack)
                classic.FallingBack(construct);
            break;
        }
    }
    const bool saved =
        convert ? ConvertPackage(book, info, convert, error) : book.save(target, error);
    if (!saved && !construct.isEmpty() && error)
        SetEngineError(error, EngineFault::SaveConversionFailed, {construct, *error});
    return saved;
}

namespace {

// Opens the progress window on "準備中" with nothing counted and forgets an earlier cancel.
void ShowPreparing(ExcelFrame& frame) {
    frame.Progress.open();
    frame.Progress.showCount(QString());
    frame.Progress.showPercent(0);
    frame.Progress.setCounterVisible(false);
    frame.Progress.showStep(QStringLiteral("準備中"));
    frame.Pump.yield();
    frame.Cancel.reset();
}

// Opens the template workbook into book and returns its path; else tells the operator, closes
// the progress window and returns nothing, with the cause in error.
std::optional<QString> OpenTemplate(ExcelFrame& frame, Workbook& book, QString& error) {
    const QString templateName = QString::fromUtf16(TemplateFileName);
    const QString templatePath = FindProgramFile(frame.ProgramFolder, templateName);
    if (!templatePath.isEmpty() && book.openTemplate(templatePath, &error))
        return templatePath;
    frame.Progress.close();
    // A template that is there but cannot be used is reported with its cause; a missing one
    // with every place it was looked for.
    QStringList looked;
    for (const QString& folder : ProgramFileFolders(frame.ProgramFolder))
        looked << folder + u'/' + templateName;
    frame.Messages.show(!templatePath.isEmpty()
                            ? QStringLiteral("必要な下記ファイルを読めません。\r") + templatePath +
                                  u'\r' + error + QStringLiteral("\r処理は続行できません。")
                            : QStringLiteral("必要な下記ファイルがありません。\r") +
                                  looked.join(u'\r') + QStringLiteral("\r処理は続行できません。"));
    return std::nullopt;
}

// Leaves the group movement sheet out, and says so, when the template has no sheet to make it
// from.
void LeaveOutMovementWithoutTemplate(ExcelFrame& frame, ExcelRun& run,
                                     const SheetSelection& selection, const QString& templatePath) {
    const QString movement = QString::fromUtf16(GroupMovementSheetName);
    if (!selection.GroupMovement ||
        run.Book.templateSheetNames().contains(QString::fromUtf16(GroupMovementTemplateSheet)))
        return;
    run.LeftOut << movement;
    frame.Messages.show(
        QStringLiteral("テンプレート %1 にシート「%2」がないため、シート「%3」は作成しません。"
                       "\r新しいテンプレートに入れ替えると作成されます。")
            .arg(templatePath, QString::fromUtf16(GroupMovementTemplateSheet), movement),
        MessageIcon::Information);
}

// Writes the selected sheets in their order until the operator cancels, then the index.
void WriteSelectedSheets(ExcelFrame& frame, SheetWriters& writers, ExcelRun& run,
                         const SheetSelection& selection, const QString& workTable,
                         qint64 extractedCount) {
    const auto go = [&](bool selected) {
        return selected && !frame.Cancel.requested();
    };
    writers.WriteConditionSheet(run);
    if (go(selection.Parameters))
        writers.WriteParameterSheet(run);
    if (go(selection.GroupValues))
        writers.WriteGroupValueSheet(run);
    if (go(selection.GroupMovement) &&
        !run.LeftOut.contains(QString::fromUtf16(GroupMovementSheetName)))
        writers.WriteGroupMovementSheet(run);
    if (go(selection.CustomerList))
        writers.WriteCustomerList(run, workTable, extractedCount);
    if (go(selection.RCount))
        writers.WriteRSheet(run, MatrixMode::Count);
    if (go(selection.RAmount))
        writers.WriteRSheet(run, MatrixMode::Amount);
    if (go(selection.FCount))
        writers.WriteFSheet(run, MatrixMode::Count);
    if (go(selection.FAmount))
        writers.WriteFSheet(run, MatrixMode::Amount);
    if (go(selection.MCount))
        writers.WriteMSheet(run, MatrixMode::Count);
    if (go(selection.MAmount))
        writers.WriteMSheet(run, MatrixMode::Amount);
    writers.CompleteIndex(run);
}

// Saves the book to outputPath with the rows written shown in the progress window, then closes
// it; a cancel meanwhile does not stop the save.
bool SaveShowingProgress(ExcelFrame& frame, Workbook& book, const QString& outputPath,
                         QString& error) {
    book.activateFirstSheet();
    frame.Progress.showStep(QStringLiteral("保存中"));
    frame.Pump.yield();
    ProgressCounter counter(frame.Progress, frame.Pump);
    ClassicWriting classic{
        frame.WriteXls,
        [&](qint64 rows, qint64 total) {
            frame.Progress.setCounterVisible(true);
            counter.ReportProgress(rows, total, 1);
        },
        [&](const QString& construct) {
            frame.Progress.setCounterVisible(false);
            frame.Progress.showStep(
                QStringLiteral("保存中（LibreOfficeで変換します。未対応: %1）").arg(construct));
            frame.Pump.yield();
        }};
    const bool saved = SaveWorkbook(book, ToNativePath(outputPath), frame.Convert, &error, classic);
    frame.Progress.close();
    frame.Pump.yield();
    return saved;
}

// The saved workbook's sheets, those cut short marked, and what the run left unwritten.
void DescribeSaved(WorkbookRunResult& result, const ExcelRun& run, const Workbook& book,
                   bool cancelled) {
    result.End = WorkbookEnd::Saved;
    result.Unfinished = run.Unfinished;
    const QStringList sheets = book.sheetNames();
    for (const QString& sheet : sheets)
        result.Sheets << (sheet == run.CutShortSheet
                              ? QStringLiteral("%1（%2）").arg(sheet, run.CutShortPart)
                              : sheet);
    for (const IndexEntry& entry : run.IndexEntries)
        if (!sheets.contains(entry.Sheet))
            result.NotWritten << entry.Sheet;
    // A cancel that came when every sheet was complete (during the save) cut nothing short.
    result.Interrupted =
        cancelled && (!run.CutShortSheet.isEmpty() || !result.NotWritten.isEmpty());
}

} // namespace

WorkbookRunResult WriteWorkbook(ExcelFrame& frame, SheetWriters& writers,
                                const SheetSelection& selection, const QString& workTable,
                                qint64 extractedCount, const QString& outputPath) {
    WorkbookRunResult result;
    const qint16 check = ExcelRunCheck(
        ExcelRunCheckContext{frame.Host, frame.Dialog, frame.Messages, frame.Pump, frame.Sleep});
    if (check == ExcelAbandoned || check == ExcelNotAvailable) {
        result.End = WorkbookEnd::Abandoned;
        return result;
    }
    ShowPreparing(frame);
    Workbook book;
    QString error;
    const std::optional<QString> templatePath = OpenTemplate(frame, book, error);
    if (!templatePath) {
        result.End = WorkbookEnd::Abandoned;
        result.Error = error;
        return result;
    }
    ExcelRun run{book, frame.Progress, frame.Messages, frame.Pump, frame.Cancel};
    LeaveOutMovementWithoutTemplate(frame, run, selection, *templatePath);
    WriteSelectedSheets(frame, writers, run, selection, workTable, extractedCount);
    if (!SaveShowingProgress(frame, book, outputPath, error)) {
        result.Error = error;
        return result;
    }
    DescribeSaved(result, run, book, frame.Cancel.requested());
    return result;
}

} // namespace plw
