#include "report/PLWAN40X_XLScmn.h"

#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/TwCom_Excelomati.h"
#include "report/TwCom_ExcelRunChk.h"
#include "report/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace plw {

Worksheet* CopyTemplateSheet(ExcelRun& run, const QString& templateSheet, const QString& newName,
                             const QString& missingText) {
    QString error;
    run.Current = run.Book.copySheet(templateSheet, newName, &error);
    if (!run.Current)
        run.Messages.show(error + u'\r' + missingText);
    return run.Current;
}

void ShowSheetStep(ExcelRun& run, const QString& step) {
    run.Progress.open();
    run.Pump.yield();
    run.Progress.showStep(step);
    run.Progress.setCounterVisible(false);
    run.Pump.yield();
}

bool SaveWorkbook(Workbook& book, const QString& target, const WorkbookConversion& convert,
                  QString* error) {
    const QFileInfo info(target);
    // The documents folder is made when a workbook is first saved there; any other folder the
    // name check found must still be there.
    if (info.absolutePath() == QFileInfo(DocumentsFolder()).absoluteFilePath())
        QDir().mkpath(info.absolutePath());
    // A temporary name beside the target keeps the final rename on one file system; the dot
    // keeps it out of the operator's listing.
    QTemporaryFile temporary(info.absoluteDir().filePath(QStringLiteral(".plwan40-XXXXXX.xlsx")));
    if (!temporary.open()) {
        if (error)
            *error =
                QStringLiteral("%1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(info.absolutePath()), temporary.errorString());
        return false;
    }
    temporary.close();
    const QString packagePath = temporary.fileName();
    if (!book.save(packagePath, error))
        return false;
    if (convert)
        return convert(packagePath, target, error);
    // rename() replaces an earlier file in one step: there is never a moment without one.
    if (std::rename(QFile::encodeName(packagePath).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        if (error)
            *error = QStringLiteral("%1 cannot be replaced: %2")
                         .arg(QDir::toNativeSeparators(target),
                              QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

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

    frame.Progress.open();
    frame.Progress.showCount(QString());
    frame.Progress.showPercent(0);
    frame.Progress.setCounterVisible(false);
    frame.Progress.showStep(QStringLiteral("準備中"));
    frame.Pump.yield();
    frame.CancelFlag.clear();

    Workbook book;
    const QString templatePath = frame.ProgramFolder + u'/' + QString::fromUtf16(TemplateFileName);
    QString error;
    if (!book.openTemplate(ToNativePath(templatePath), &error)) {
        frame.Progress.close();
        frame.Messages.show(QStringLiteral("必要な下記ファイルがありません。\r") + templatePath +
                            QStringLiteral("\r処理は続行できません。"));
        result.End = WorkbookEnd::Abandoned;
        result.Error = error;
        return result;
    }

    ExcelRun run{book, frame.Progress, frame.Messages, frame.Pump, frame.CancelFlag};
    const auto go = [&](bool selected) {
        return selected && frame.CancelFlag != CancelRequested;
    };
    const QString count = QString::fromUtf16(CountMode);
    const QString amount = QString::fromUtf16(AmountMode);
    writers.WriteConditionSheet(run);
    if (go(selection.Parameters))
        writers.WriteParameterSheet(run);
    if (go(selection.GroupValues))
        writers.WriteGroupValueSheet(run);
    if (go(selection.CustomerList))
        writers.WriteCustomerList(run, workTable, extractedCount);
    if (go(selection.RCount))
        writers.WriteRSheet(run, count);
    if (go(selection.RAmount))
        writers.WriteRSheet(run, amount);
    if (go(selection.FCount))
        writers.WriteFSheet(run, count);
    if (go(selection.FAmount))
        writers.WriteFSheet(run, amount);
    if (go(selection.MCount))
        writers.WriteMSheet(run, count);
    if (go(selection.MAmount))
        writers.WriteMSheet(run, amount);

    book.activateFirstSheet();
    frame.Progress.showStep(QStringLiteral("保存中"));
    frame.Pump.yield();
    const bool saved = SaveWorkbook(book, ToNativePath(outputPath), frame.Convert, &error);
    frame.Progress.close();
    frame.Pump.yield();
    if (!saved) {
        result.Error = error;
        return result;
    }
    result.End = WorkbookEnd::Saved;
    return result;
}

} // namespace plw
