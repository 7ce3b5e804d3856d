#include "rfm/AnalysisRun.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/TwCom_Excelomati.h"
#include "db/Database.h"
#include "db/Sub_DataBaseFotDB.h"
#include "db/WorkTablesLock.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "rfm/AnalysisContext.h"
#include "rfm/AnalysisExtraction.h"
#include "rfm/AnalysisHistory.h"
#include "rfm/PLWAN40_RNM.h"
#include "rfm/Sub_TokuFur_Sub.h"
#include "rfm/WorkbookWriter.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterScreenState.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace plw {

namespace {

const QString WorkTable = QStringLiteral("WorkRFM_1");

AnalysisResult Stop(AnalysisOutcome outcome, const QString& focus = QString()) {
    AnalysisResult result;
    result.Outcome = outcome;
    result.Focus = focus;
    return result;
}

// The mailing list asked for has a group and a file in an existing folder, apart from the
// workbook: the control to focus after the message, or nothing.
std::optional<QString> CheckMailingSettings(AnalysisContext& context) {
    const OutputScreenState& output = context.OutputScreen;
    if (!output.MailingList)
        return std::nullopt;
    const auto refuse = [&](const QString& message, const QString& focus) {
        context.Messages.show(message, MessageIcon::Critical);
        return std::optional<QString>(focus);
    };
    if (std::find(output.MailingGroups.begin(), output.MailingGroups.end(), true) ==
        output.MailingGroups.end())
        return refuse(QStringLiteral("どれか１つは、宛名リストのグループを選択してください"),
                      QStringLiteral("chkMail_A"));
    const QString file = TrimAll(output.MailingFile);
    if (file.isEmpty())
        return refuse(QStringLiteral("宛名リストのファイル名を指定して下さい"),
                      QStringLiteral("txtMailFname"));
    const QFileInfo info(ToNativePath(file));
    if (!FileNameRulesHold(file) || !info.isAbsolute() || info.isDir())
        return refuse(QStringLiteral("宛名リストのファイル名が正しくありません\r") + file,
                      QStringLiteral("txtMailFname"));
    if (!info.absoluteDir().exists())
        return refuse(QStringLiteral("宛名リストの保存先フォルダがありません\r") +
                          info.absolutePath(),
                      QStringLiteral("txtMailFname"));
    if (info.absoluteFilePath() == QFileInfo(ToNativePath(output.WorkbookName)).absoluteFilePath())
        return refuse(QStringLiteral("宛名リストはExcelブックとは別のファイル名にしてください"),
                      QStringLiteral("txtMailFname"));
    return std::nullopt;
}

// The check of the output settings: the control to focus after the message, or nothing.
std::optional<QString> CheckOutputSettings(AnalysisContext& context) {
    OutputScreenState& output = context.OutputScreen;
    const bool anySheet = output.OutParameters || output.OutGroupValues || output.OutCustomerList ||
                          output.OutRCount || output.OutRAmount || output.OutFCount ||
                          output.OutFAmount || output.OutMCount || output.OutMAmount;
    if (!anySheet) {
        context.Messages.show(QStringLiteral("どれか１つは、出力物を選択してください"),
                              MessageIcon::Critical);
        return QStringLiteral("chkP10");
    }
    const bool anyGroup = std::find(output.ListGroups.begin(), output.ListGroups.end(), true) !=
                          output.ListGroups.end();
    if (output.OutCustomerList && !anyGroup) {
        context.Messages.show(QStringLiteral("どれか１つは、出力グループを選択してください"),
                              MessageIcon::Critical);
        return QStringLiteral("chkGrp_A");
    }
    if (!CheckOutputFileName(output.WorkbookName, context.Messages, context.Parameters) ||
        (context.RefuseWorkbook && context.RefuseWorkbook(output.WorkbookName)))
        return QStringLiteral("txtOtFname");
    if (std::optional<QString> focus = CheckMailingSettings(context))
        return focus;
    if (!CheckComparison(context))
        return QStringLiteral("cboHistory");
    return std::nullopt;
}

ScoringInput ScoringInputOf(const AnalysisContext& context) {
    const ParameterScreenState& screen = context.ParameterScreen;
    const AnalysisParameters& parameters = context.Parameters;
    ScoringInput input;
    input.R = screen.RThreshold;
    input.F = screen.FThreshold;
    input.M = screen.MThreshold;
    input.BaseDate = screen.BaseDate;
    input.Matrix = screen.GroupMatrix;
    input.DetailPeriodOn = ParameterFlagOn(parameters.DetailPeriodOn);
    input.LastVisitFromDetail = ParameterFlagOn(parameters.LastVisitFromDetail);
    input.DetailFrom = parameters.DetailFrom;
    input.DetailTo = parameters.DetailTo;
    input.KeyFilePath = context.Env.KeyFilePath;
    return input;
}

// What the operator learns of a workbook saved after a cancel: that the run was interrupted,
// which sheets the workbook holds and which it does not, and where it is.
QString InterruptedMessage(const WorkbookWritten& written) {
    QString text = QStringLiteral("処理を中断しました。中断までに作成したシートを保存しました。\r"
                                  "保存したシート: ") +
                   written.Sheets.join(u'、');
    if (!written.NotWritten.isEmpty())
        text += QStringLiteral("\r作成しなかったシート: ") + written.NotWritten.join(u'、');
    return text + u'\r' + written.SavedPath;
}

// Extraction, scoring and the workbook; the caller holds the work-folder lock.
AnalysisResult RunLocked(AnalysisContext& context) {
    ConditionRecord record;
    const qint64 extracted = ExtractForAnalysis(context, record);
    if (extracted <= 0)
        return Stop(extracted == 0 ? AnalysisOutcome::NobodyExtracted : AnalysisOutcome::Failed);

    AnalysisResult result = Stop(AnalysisOutcome::Scored);
    result.Extracted = extracted;
    context.Movement.reset();
    if (context.HideScreens)
        context.HideScreens();
    context.Pump.yield();

    context.Cancel.reset();
    ProgressCounter counter(context.Progress, context.Pump);
    ScoringServices services{*context.Databases.Transaction,
                             *context.Databases.Master,
                             context.Progress,
                             counter,
                             context.Pump,
                             context.Cancel};
    QString error;
    try {
        if (!ScoreCustomers(WorkTable, extracted, ScoringInputOf(context), services,
                            context.Statistics, &error)) {
            context.Messages.show(error, MessageIcon::Critical);
            result.Outcome = AnalysisOutcome::Failed;
            return result;
        }
    } catch (const db::DatabaseError& failure) {
        ReportDatabaseFailure(context, failure.message());
        result.Outcome = AnalysisOutcome::Failed;
        return result;
    }
    if (context.Cancel.requested()) {
        result.Outcome = AnalysisOutcome::Cancelled;
        return result;
    }
    const KeptRun run = DescribeRun(context, record, extracted);
    const RunHistory history = PrepareHistory(context, run, WorkTable, result);
    if (!context.Workbook) {
        FinishRun(context, history, run, WorkTable, result);
        return result;
    }
    WorkbookWritten written;
    switch (context.Workbook->WriteWorkbook(context, WorkTable, extracted, written)) {
    case WorkbookWriteEnd::Saved:
        result.Outcome = AnalysisOutcome::WorkbookSaved;
        result.WorkbookPath = written.SavedPath;
        result.UnfinishedSheets = written.UnfinishedSheets;
        result.Interrupted = written.Interrupted;
        result.WorkbookSheets = written.Sheets;
        // A cancel keeps what was written, and the operator learns what the workbook holds.
        if (written.Interrupted)
            context.Messages.show(InterruptedMessage(written), MessageIcon::Exclamation);
        // What was written is kept; the operator learns which sheets are incomplete and why.
        if (!written.UnfinishedSheets.isEmpty())
            context.Messages.show(
                QStringLiteral(
                    "次のシートは最後まで作成できませんでした。作成できた分を保存しました。\r") +
                    written.UnfinishedSheets.join(u'\r') + u'\r' + written.SavedPath,
                MessageIcon::Critical);
        // A run the operator cancelled keeps nothing, even with the workbook saved so far.
        if (context.Cancel.requested()) {
            if (history.Usable || context.OutputScreen.MailingList)
                context.Messages.show(
                    QStringLiteral("中断したため、今回の実行はグループ履歴に残さず、"
                                   "宛名リストも出力しませんでした。"),
                    MessageIcon::Information);
        } else {
            FinishRun(context, history, run, WorkTable, result);
        }
        break;
    case WorkbookWriteEnd::Abandoned:
        result.Outcome = AnalysisOutcome::WorkbookAbandoned;
        break;
    case WorkbookWriteEnd::Failed:
        // Nothing is opened on a workbook that was not saved: the operator learns why.
        context.Messages.show(QStringLiteral("Excelブックを保存できませんでした。\r") +
                                  context.Parameters.WorkbookName + u'\r' + written.Error,
                              MessageIcon::Critical);
        result.Outcome = AnalysisOutcome::Failed;
        break;
    }
    return result;
}

} // namespace

AnalysisResult ExecuteAnalysis(AnalysisContext& context) {
    if (const std::optional<QString> focus = CheckOutputSettings(context))
        return Stop(AnalysisOutcome::NotStarted, *focus);
    if (!CheckConditions(context))
        return Stop(AnalysisOutcome::NotStarted);
    if (context.Unattended)
        context.Messages.show(QStringLiteral("処理を開始します（確認なし）。出力先: ") +
                                  context.OutputScreen.WorkbookName,
                              MessageIcon::Information);
    else if (context.Messages.show(QStringLiteral("処理してもよろしいですか？"),
                                   MessageIcon::Question,
                                   MessageButtons::OkCancel) != MessageAnswer::Ok)
        return Stop(AnalysisOutcome::NotStarted);

    // The output settings and the detailed period become parameters.
    OutputScreenToParameters(context.OutputScreen, context.Parameters);
    DetailPeriodToParameters(context.ParameterScreen, context.Parameters);

    // The lock comes first: a run refused because another holds the folder writes nothing.
    const db::WorkTablesLock lock(context.Env.WorkFolder, *context.Databases.Transaction);
    if (!lock.held()) {
        context.Messages.show(lock.message(), MessageIcon::Critical);
        return Stop(AnalysisOutcome::LockHeld);
    }
    QString error;
    if (!WriteConditionFile(context.Env.SavedConditionPath, context.SavedConditions, &error)) {
        context.Messages.show(QStringLiteral("抽出条件を PLWAN40.JKN に保存できませんでした。\r") +
                                  error,
                              MessageIcon::Critical);
        return Stop(AnalysisOutcome::Failed);
    }
    return RunLocked(context);
}

AnalysisResult RunAnalysis(AnalysisContext& context) {
    const db::WorkTablesLock lock(context.Env.WorkFolder, *context.Databases.Transaction);
    if (!lock.held()) {
        context.Messages.show(lock.message(), MessageIcon::Critical);
        return Stop(AnalysisOutcome::LockHeld);
    }
    return RunLocked(context);
}

} // namespace plw
