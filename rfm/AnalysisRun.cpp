#include "rfm/AnalysisRun.h"

#include "app/Environment.h"
#include "app/EventPump.h"
#include "app/Prompter.h"
#include "app/TwCom_Excelomati.h"
#include "db/Database.h"
#include "db/Sub_DataBaseFotDB.h"
#include "db/WorkTablesLock.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionValidation.h"
#include "rfm/AnalysisContext.h"
#include "rfm/AnalysisExtraction.h"
#include "rfm/PLWAN40_RNM.h"
#include "rfm/Sub_TokuFur_Sub.h"
#include "rfm/WorkbookWriter.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterScreenState.h"

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
    return std::nullopt;
}

// The conditions the run will extract with pass the condition screen's own checks: saved
// conditions that screen would refuse never reach the database. False after the message.
bool CheckConditions(AnalysisContext& context) {
    const ConditionCheck check = ValidateConditionScreen(context.Conditions.Screen());
    if (check.ok())
        return true;
    context.Messages.show(
        QStringLiteral("抽出条件に誤りがあります。「設定」で抽出条件を直してください。\r") +
            check.Message,
        MessageIcon::Critical);
    return false;
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

// Extraction, scoring and the workbook; the caller holds the work-folder lock.
AnalysisResult RunLocked(AnalysisContext& context) {
    ConditionRecord record;
    const qint64 extracted = ExtractForAnalysis(context, record);
    if (extracted <= 0)
        return Stop(extracted == 0 ? AnalysisOutcome::NobodyExtracted : AnalysisOutcome::Failed);

    AnalysisResult result = Stop(AnalysisOutcome::Scored);
    result.Extracted = extracted;
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
    if (!context.Workbook)
        return result;
    WorkbookWritten written;
    switch (context.Workbook->WriteWorkbook(context, WorkTable, extracted, written)) {
    case WorkbookWriteEnd::Saved:
        result.Outcome = AnalysisOutcome::WorkbookSaved;
        result.WorkbookPath = written.SavedPath;
        result.UnfinishedSheets = written.UnfinishedSheets;
        // What was written is kept; the operator learns which sheets are incomplete and why.
        if (!written.UnfinishedSheets.isEmpty())
            context.Messages.show(
                QStringLiteral(
                    "次のシートは最後まで作成できませんでした。作成できた分を保存しました。\r") +
                    written.UnfinishedSheets.join(u'\r') + u'\r' + written.SavedPath,
                MessageIcon::Critical);
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
    if (context.Messages.show(QStringLiteral("処理してもよろしいですか？"), MessageIcon::Question,
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
