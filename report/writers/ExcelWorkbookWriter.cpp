#include "report/writers/ExcelWorkbookWriter.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "report/LibreOfficeConverter.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/AnalysisSheetWriters.h"
#include "rfm/AnalysisContext.h"
#include "settings/AnalysisParameters.h"
#include "workbook/xls/XlsWriter.h"

#include <QDir>
#include <QFileInfo>

namespace plw {

namespace {

ClassicWrite WriteXls(Workbook& book, const QString& path, const SaveProgress& progress,
                      QString* reason) {
    XlsWriter writer(book);
    if (!writer.prepare(reason))
        return ClassicWrite::Failed;
    if (!writer.unhandledConstruct().isEmpty()) {
        *reason = writer.unhandledConstruct();
        return ClassicWrite::Unhandled;
    }
    return writer.write(path, progress, reason) ? ClassicWrite::Written : ClassicWrite::Failed;
}

// The conversion that takes over from the engine's writer cuts what a .xls cell cannot hold: the
// operator learns which cells.
void ReportCutTexts(Workbook& book, Prompter& messages) {
    const QStringList cut = CellsBeyondXlsText(book);
    if (cut.isEmpty())
        return;
    const QString limit = FormatNumber(qint64(XlsMaxCellText), QStringLiteral("#,##0"));
    messages.show(QStringLiteral("次のセルの文字列は XLS のセルに入る %1 文字を超えるため、%1 "
                                 "文字までに切り詰めて保存します。\r")
                          .arg(limit) +
                      cut.join(u'\r'),
                  MessageIcon::Exclamation);
}

// The engine's .xls writer; a workbook left to the conversion has its cut texts reported.
ClassicWriter WriteXlsTelling(Prompter& messages) {
    return [&messages](Workbook& book, const QString& path, const SaveProgress& progress,
                       QString* reason) {
        const ClassicWrite outcome = WriteXls(book, path, progress, reason);
        if (outcome == ClassicWrite::Unhandled)
            ReportCutTexts(book, messages);
        return outcome;
    };
}

// The absolute path of the file the save wrote: names are matched to existing files without
// regard to letter case, so the file written may be named otherwise than the saved name.
QString WrittenFile(const QString& output) {
    return QDir::cleanPath(QFileInfo(ToNativePath(output)).absoluteFilePath());
}

} // namespace

ExcelWorkbookWriter::ExcelWorkbookWriter(RunningSpreadsheetDialog& dialog, Sleeper& sleeper,
                                         HostFactory hosts)
    : mDialog(dialog), mSleeper(sleeper), mHosts(std::move(hosts)) {}

WorkbookWriteEnd ExcelWorkbookWriter::WriteWorkbook(AnalysisContext& context,
                                                    const QString& workTable, qint64 extractedCount,
                                                    WorkbookWritten& written) {
    const QString output = context.Parameters.WorkbookName;
    const std::unique_ptr<SpreadsheetHost> host = mHosts(output);
    const int limit = mConversionLimitMs;
    ExcelFrame frame{
        *host,
        mDialog,
        mSleeper,
        context.Messages,
        context.Progress,
        context.Pump,
        context.Cancel,
        context.Env.ProgramFolder,
        mConvert ? mConvert
                 : [limit, &context](const QString& xlsx, const QString& target, QString* reason) {
                       // The windows repaint while LibreOffice converts.
                       return LibreOfficeConverter::Convert(xlsx, target, WorkbookFormat::Xls,
                                                            limit, reason, &context.Pump);
                   },
        mClassicWriter ? ClassicWriter(WriteXlsTelling(context.Messages)) : ClassicWriter()};
    AnalysisSheetWriters writers(AnalysisSheetInputsOf(context));
    const WorkbookRunResult result =
        plw::WriteWorkbook(frame, writers, writers.selection(), workTable, extractedCount, output);
    written.Error = result.Error;
    switch (result.End) {
    case WorkbookEnd::Saved:
        written.SavedPath = WrittenFile(output);
        written.UnfinishedSheets = result.Unfinished;
        written.Interrupted = result.Interrupted;
        written.Sheets = result.Sheets;
        written.NotWritten = result.NotWritten;
        return WorkbookWriteEnd::Saved;
    case WorkbookEnd::Abandoned:
        return WorkbookWriteEnd::Abandoned;
    case WorkbookEnd::Failed:
        break;
    }
    return WorkbookWriteEnd::Failed;
}

} // namespace plw
