#include "rfm/AnalysisHistory.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/ProgressSink.h"
#include "app/Prompter.h"
#include "db/Database.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionSummary.h"
#include "rfm/AnalysisContext.h"
#include "rfm/AnalysisRun.h"
#include "rfm/MailingList.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"

namespace plw {

namespace {

QString SlashDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

// The progress window names the step while the history or the mailing list is worked on, which
// with a million customers takes seconds.
void ShowStep(AnalysisContext& context, const QString& step) {
    context.Progress.open();
    context.Progress.setCounterVisible(false);
    context.Progress.showStep(step);
    context.Pump.yield();
}

void Problem(AnalysisContext& context, AnalysisResult& result, const QString& message) {
    context.Messages.show(message, MessageIcon::Critical);
    result.Problems << QString(message).replace(u'\r', u' ');
}

// Sets a damaged history aside and says so; false after the message when it cannot be.
bool SetAside(AnalysisContext& context, const QString& cause, AnalysisResult& result) {
    QStringList kept;
    QString error;
    if (!SetHistoryAside(*context.Databases.Transaction, context.Time.now(), &kept, &error)) {
        Problem(context, result,
                QStringLiteral("グループ履歴が壊れています。別の名前で残すこともできないため、"
                               "今回の実行は履歴に残しません。\r原因: %1\r%2")
                    .arg(cause, error));
        return false;
    }
    context.Messages.show(QStringLiteral("グループ履歴が壊れていたため、別の名前で残し、新しい"
                                         "履歴を始めます（前回との比較はできません）。\r"
                                         "原因: %1\r残した表: %2")
                              .arg(cause, kept.join(QStringLiteral("、"))),
                          MessageIcon::Exclamation);
    return true;
}

QString MailingSummary(const MailingRequest& request, const MailingResult& mailing) {
    static const QString Names[6] = {QStringLiteral("グループＡ"), QStringLiteral("グループＢ"),
                                     QStringLiteral("グループＣ"), QStringLiteral("グループＤ"),
                                     QStringLiteral("グループＥ"), QStringLiteral("未分類")};
    QStringList lines = {QStringLiteral("宛名リストを出力しました。"), ToNativePath(request.Path)};
    for (size_t g = 0; g < 6; ++g)
        if (request.Groups[g])
            lines << QStringLiteral("%1: %2人").arg(Names[g]).arg(mailing.Listed[g]);
    const bool mail = request.Consent == MailingConsent::Mail;
    lines << QStringLiteral("%1の同意がないため除いた人: %2人")
                 .arg(mail ? QStringLiteral("メール") : QStringLiteral("ＤＭ"))
                 .arg(mailing.WithoutConsent)
          << QStringLiteral("%1がないため除いた人: %2人")
                 .arg(mail ? QStringLiteral("メールアドレス") : QStringLiteral("住所"))
                 .arg(mailing.WithoutAddress);
    if (mailing.Guarded > 0)
        lines << QStringLiteral("数式と見なされないよう先頭に「'」を付けた項目: %1")
                     .arg(mailing.Guarded);
    if (mailing.Replaced > 0)
        lines << QStringLiteral("CP932 で表せないため「〓」にした文字: %1").arg(mailing.Replaced);
    return lines.join(u'\r');
}

void KeepInHistory(AnalysisContext& context, const RunHistory& history, const KeptRun& run,
                   const QString& workTable, AnalysisResult& result) {
    if (!history.Usable)
        return;
    ShowStep(context, QStringLiteral("グループ履歴に記録中"));
    const KeepResult kept =
        KeepRun(*context.Databases.Transaction, history.History.Runs, run, workTable);
    if (!kept.Error.isEmpty()) {
        Problem(context, result,
                QStringLiteral("今回の実行をグループ履歴に残せませんでした（Excelブックは保存"
                               "済みです）。\r%1")
                    .arg(kept.Error));
    } else if (!kept.Kept) {
        context.Messages.show(
            QStringLiteral("グループ履歴は %1 回分で満杯で、今回の基準日 %2 は残っているどの実行"
                           "よりも前のため、今回の実行は履歴に残しませんでした。")
                .arg(HistorySlots)
                .arg(SlashDate(run.BaseDate)),
            MessageIcon::Information);
    }
}

void WriteMailing(AnalysisContext& context, const QString& workTable, AnalysisResult& result) {
    const OutputScreenState& output = context.OutputScreen;
    if (!output.MailingList)
        return;
    const MailingRequest request{output.MailingFile, output.MailingGroups, output.MailingKind};
    ShowStep(context, QStringLiteral("宛名リスト出力中"));
    MailingResult mailing;
    QString error;
    if (!WriteMailingList(*context.Databases.Transaction, workTable, request, &mailing, &error)) {
        Problem(context, result,
                QStringLiteral("宛名リストを出力できませんでした。\r%1\r%2")
                    .arg(ToNativePath(request.Path), error));
        return;
    }
    result.Mailing = mailing;
    context.Messages.show(MailingSummary(request, mailing), MessageIcon::Information);
}

} // namespace

bool CheckComparison(AnalysisContext& context) {
    const ComparisonChoice& choice = context.OutputScreen.CompareWith;
    const bool mustFind =
        choice.Choice == ComparisonChoice::Kind::BaseDate ||
        (choice.Choice == ComparisonChoice::Kind::Previous && context.ComparisonRequired);
    if (!mustFind)
        return true;
    const HistoryRead history = ReadHistory(*context.Databases.Transaction);
    QString message;
    if (!history.usable()) {
        message = QStringLiteral("グループ履歴を読めないため、前回と比較できません。\r%1")
                      .arg(history.Cause);
    } else if (!ComparedRun(history.Runs, choice, DateOfText(context.ParameterScreen.BaseDate))) {
        message = choice.Choice == ComparisonChoice::Kind::BaseDate
                      ? QStringLiteral("比較する基準日 %1 の実行はグループ履歴に残っていません。")
                            .arg(SlashDate(choice.BaseDate))
                      : QStringLiteral("基準日 %1 より前の実行がグループ履歴に残っていないため、"
                                       "前回と比較できません。")
                            .arg(DateToSlashText(context.ParameterScreen.BaseDate));
    }
    if (message.isEmpty())
        return true;
    context.Messages.show(message, MessageIcon::Critical);
    return false;
}

QStringList KeptConditions(const ConditionRecord& record, const ClassificationNames& names,
                           const ParameterScreenState& screen) {
    ConditionRecord conditions = record;
    conditions[ConditionRecord::PinRaiKind] = ConditionKind::KindNone;
    QStringList lines =
        ConditionSummaryLines(BuildConditionSummary(conditions, names.Levels), names);
    if (screen.DetailPeriodOn)
        lines << QStringLiteral("購買日付詳細: %1～%2%3")
                     .arg(DateToSlashText(screen.DetailFrom), DateToSlashText(screen.DetailTo),
                          screen.LastVisitFromDetail
                              ? QStringLiteral("（最終来店日を購買日付詳細範囲の日付とする）")
                              : QString());
    return lines;
}

KeptRun DescribeRun(const AnalysisContext& context, const ConditionRecord& record,
                    qint64 extracted) {
    const ParameterScreenState& screen = context.ParameterScreen;
    KeptRun run;
    run.RunTime = context.Time.now();
    run.BaseDate = DateOfText(screen.BaseDate);
    run.PeriodFrom = DateOfText(screen.LastVisitFrom);
    run.PeriodTo = DateOfText(screen.LastVisitTo);
    run.R = screen.RThreshold;
    run.F = screen.FThreshold;
    run.M = screen.MThreshold;
    run.Matrix = screen.GroupMatrix;

    run.Conditions = KeptConditions(
        record, ClassificationNames::FromTable(context.Conditions.Classifications()), screen);

    run.Extracted = extracted;
    const ScoringStatistics& statistics = context.Statistics;
    for (size_t k = 0; k < 125; ++k) {
        run.CellCounts[k] = statistics.Cells[k].Count;
        run.CellAmounts[k] = statistics.Cells[k].Amount;
    }
    for (size_t g = 0; g < 6; ++g) {
        run.GroupCounts[g] = statistics.Groups[g].Customers;
        run.GroupAmounts[g] = statistics.Groups[g].AmountYen;
    }
    return run;
}

RunHistory PrepareHistory(AnalysisContext& context, const KeptRun& run, const QString& workTable,
                          AnalysisResult& result) {
    db::Database& database = *context.Databases.Transaction;
    ShowStep(context, QStringLiteral("グループ履歴の確認中"));
    RunHistory history;
    history.History = ReadHistory(database);
    if (history.History.Outcome == HistoryRead::State::Failed) {
        Problem(context, result,
                QStringLiteral("グループ履歴を読めないため、今回の実行は履歴に残しません。\r%1")
                    .arg(history.History.Cause));
        return history;
    }
    QString damage =
        history.History.Outcome == HistoryRead::State::Damaged ? history.History.Cause : QString();
    try {
        if (damage.isEmpty() && !history.History.Runs.empty())
            damage = CheckGroupRows(database);
        if (!damage.isEmpty()) {
            if (!SetAside(context, damage, result))
                return history;
            history.History = HistoryRead();
        }
        history.Usable = true;
        // The run's customers are looked up by number while comparing and keeping.
        database.execute(
            QStringLiteral("CREATE INDEX FRMKEY ON %1 (M1KaiBan)WITH PRIMARY").arg(workTable));
    } catch (const db::DatabaseError& failure) {
        history.Usable = false;
        Problem(context, result,
                QStringLiteral("グループ履歴を使えないため、今回の実行は履歴に残しません。\r%1")
                    .arg(failure.message()));
        return history;
    }

    history.Compared =
        ComparedRun(history.History.Runs, context.OutputScreen.CompareWith, run.BaseDate);
    if (!history.Compared)
        return history;
    ShowStep(context, QStringLiteral("前回との比較を集計中"));
    GroupMovement movement;
    QString error;
    if (ComputeMovement(database, *history.Compared, run, workTable, &movement, &error))
        context.Movement = std::move(movement);
    else
        Problem(context, result,
                QStringLiteral("前回との比較を集計できないため、グループ推移シートは作成しません。"
                               "\r%1")
                    .arg(error));
    return history;
}

void FinishRun(AnalysisContext& context, const RunHistory& history, const KeptRun& run,
               const QString& workTable, AnalysisResult& result) {
    KeepInHistory(context, history, run, workTable, result);
    WriteMailing(context, workTable, result);
    context.Progress.close();
    context.Pump.yield();
}

} // namespace plw
