#include "rfm/AnalysisExtraction.h"

#include "app/Environment.h"
#include "app/Prompter.h"
#include "db/Database.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionValidation.h"
#include "extract/ExtractCustomers.h"
#include "rfm/AnalysisContext.h"

namespace plw {

QString DatabaseFailureText(const QString& cause) {
    return QStringLiteral("データベースの処理でエラーが発生しました。\r") + cause;
}

void ReportDatabaseFailure(AnalysisContext& context, const QString& cause) {
    context.Messages.show(DatabaseFailureText(cause), MessageIcon::Critical);
}

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

qint64 ExtractForAnalysis(AnalysisContext& context, ConditionRecord& record) {
    context.Conditions.Run(ConditionModule::Mode::Get, ConditionCaller::Analysis, record);
    ExtractionContext extraction(*context.Databases.Transaction, context.Time, context.Pump,
                                 context.Wait);
    ExtractionResult result;
    try {
        result = ExtractCustomers(extraction, ExtractionMode::WriteKeyFile, record,
                                  context.Env.KeyFilePath);
    } catch (const db::DatabaseError& error) {
        ReportDatabaseFailure(context, error.message());
        return -1;
    }
    if (!result.KeyFileOk) {
        context.Messages.show(QStringLiteral("抽出結果を保存できませんでした。\r") +
                                  result.KeyFileError,
                              MessageIcon::Critical);
        return -1;
    }
    if (result.Count == 0) {
        context.Messages.show(QStringLiteral("抽出件数が０件です\r抽出条件を見直してください"),
                              MessageIcon::Critical);
        return 0;
    }
    return result.Count;
}

} // namespace plw
