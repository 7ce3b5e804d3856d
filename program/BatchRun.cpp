#include "program/BatchRun.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/Sleeper.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamProgress.h"
#include "program/StreamWaitWindow.h"
#include "program/ThresholdSuggestion.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "rfm/AnalysisRun.h"
#include "rfm/ParameterChecks.h"
#include "rfm/RankDistribution.h"
#include "rfm/ReadRankedValues.h"
#include "settings/ParameterLoader.h"

#include <QDate>
#include <QFileInfo>

namespace plw {
namespace {

constexpr int Done = 0;
constexpr int NobodyExtracted = 1;
constexpr int Unusable = 2;
constexpr int Failure = 3;

void printLine(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s\n", text.toUtf8().constData());
    std::fflush(out);
}

// The message of a workbook open in a spreadsheet program: which workbook, who holds it (the
// lock file, its user, host and date, so that a stale lock can be removed), what to do.
QString WorkbookOpenText(const QString& workbook, const QString& holder) {
    return QStringLiteral("出力先のブックが表計算ソフトで開かれています。\r") + workbook +
           (holder.isEmpty() ? QString() : u'\r' + holder) +
           QStringLiteral("\r閉じてから実行してください。使われていないロックファイルなら、"
                          "削除してから実行してください。");
}

// Nobody answers in batch mode: a workbook open in a spreadsheet program ends the run with a
// message instead of the dialog.
class UnattendedDialog final : public RunningSpreadsheetDialog {
public:
    UnattendedDialog(Prompter& messages, const QString& workbook)
        : mMessages(messages), mWorkbook(workbook) {}
    Choice choose(const QString& holder) override {
        mMessages.show(WorkbookOpenText(mWorkbook, holder), MessageIcon::Critical);
        return Choice::Abandon;
    }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}

private:
    Prompter& mMessages;
    const QString& mWorkbook;
};

// Applies the command line's base date and period; false after the message for a bad value.
bool ApplyOptions(Session& session, const BatchOptions& options) {
    ParameterScreenState& screen = session.ParameterScreen;
    if (!options.BaseDate.isEmpty()) {
        const QDate base = options.BaseDate == u"today"
                               ? session.Time.today()
                               : QDate::fromString(options.BaseDate, QStringLiteral("yyyyMMdd"));
        if (!base.isValid() || (options.BaseDate != u"today" && options.BaseDate.size() != 8)) {
            session.Messages.show(
                QStringLiteral("--base-date には YYYYMMDD の日付か today を指定してください: %1")
                    .arg(options.BaseDate),
                MessageIcon::Critical);
            return false;
        }
        screen.BaseDate = base.toString(QStringLiteral("yyyyMMdd"));
    }
    if (options.PeriodMonths) {
        const QDate base = QDate::fromString(screen.BaseDate, QStringLiteral("yyyyMMdd"));
        // The month count is stored in a three-digit field with the period it made.
        if (*options.PeriodMonths < 0 || *options.PeriodMonths > 999 || !base.isValid()) {
            session.Messages.show(
                base.isValid()
                    ? QStringLiteral("--period-months には 0 から 999 までの月数を指定してください")
                    : QStringLiteral("--period-months には基準日が必要です"),
                MessageIcon::Critical);
            return false;
        }
        const QDate from = QDate(base.year(), base.month(), 1).addMonths(-*options.PeriodMonths);
        screen.LastVisitFrom = from.toString(QStringLiteral("yyyyMMdd"));
        screen.LastVisitTo = screen.BaseDate;
        screen.LastVisitMonths = QString::number(*options.PeriodMonths);
    }
    // The period is the last-visit condition, as when the screen's dates change.
    ApplyAnalysisPeriod(screen, session.SavedConditions, *session.Conditions);

    // The comparison and the mailing list come from the command line alone.
    OutputScreenState& output = session.OutputScreen;
    output.CompareWith =
        options.CompareWith.value_or(ComparisonChoice{ComparisonChoice::Kind::None, QDate()});
    output.MailingList = options.MailingList.has_value();
    if (options.MailingList) {
        output.MailingGroups = options.MailingList->Groups;
        output.MailingKind = options.MailingList->Consent;
        output.MailingFile = QFileInfo(options.MailingList->Path).absoluteFilePath();
    }
    return true;
}

void PrintScoring(std::FILE* out, qint64 extracted, const ScoringStatistics& statistics) {
    printLine(out, QStringLiteral("抽出件数: %1").arg(extracted));
    static const char* Letters = "ABCDEX";
    for (int g = 0; g < 6; ++g) {
        const GroupStatistics& group = statistics.Groups[static_cast<size_t>(g)];
        printLine(out, QStringLiteral("グループ%1: %2人、%3円")
                           .arg(QLatin1Char(Letters[g]))
                           .arg(group.Customers)
                           .arg(FormatNumber(group.AmountYen, QStringLiteral("#,##0"))));
    }
}

// The mailing list written: its path and the customers of each chosen group.
void PrintMailing(std::FILE* out, const OutputScreenState& output, const AnalysisResult& result) {
    if (!result.Mailing)
        return;
    static const char* Letters = "ABCDEX";
    QStringList groups;
    for (size_t g = 0; g < 6; ++g)
        if (output.MailingGroups[g])
            groups << QStringLiteral("%1 %2人")
                          .arg(QLatin1Char(Letters[g]))
                          .arg(result.Mailing->Listed[g]);
    printLine(out,
              QStringLiteral("宛名リスト: %1（%2、同意なしで除外 %3人、%4なしで除外 %5人）")
                  .arg(ToNativePath(output.MailingFile), groups.join(QStringLiteral("、")))
                  .arg(result.Mailing->WithoutConsent)
                  .arg(output.MailingKind == MailingConsent::Mail ? QStringLiteral("メールアドレス")
                                                                  : QStringLiteral("住所"))
                  .arg(result.Mailing->WithoutAddress));
}

// The screen field a check names, as the operator knows it.
QString FieldCaption(const QString& control) {
    static const std::pair<const char16_t*, const char16_t*> Captions[] = {
        {u"imdPinRai_F", u"最終来店日（開始）"},
        {u"imdPinRai_T", u"最終来店日（終了）"},
        {u"imdKijyun", u"基準日"},
        {u"imdPinRai_2F", u"購買日付詳細（開始）"},
        {u"imdPinRai_2T", u"購買日付詳細（終了）"}};
    for (const auto& [name, caption] : Captions)
        if (control == QStringView(name))
            return QString::fromUtf16(caption);
    if (control.startsWith(u"txtPrm")) // txtPrmR_3: the threshold of rank 3 of R
        return QStringLiteral("%1のランク%2").arg(control.at(6)).arg(control.mid(8));
    return control;
}

// The four level names the run read, so that a scheduled job's log shows them.
void PrintClassificationLevels(std::FILE* err, const Session& session) {
    QStringList levels;
    for (int level = 1; level <= ClassificationLevels; ++level) {
        const QString name = LevelName(session.Classifications, level);
        levels << QStringLiteral("%1 %2").arg(level).arg(name.isEmpty() ? QStringLiteral("（なし）")
                                                                        : name);
    }
    printLine(err, QStringLiteral("plwan40: 分類情報: ") + levels.join(QStringLiteral(" / ")));
}

// Whether the run uses the classifications: a classification condition, or a classification
// column in the customer list.
bool UsesClassifications(const Session& session) {
    for (int level = 1; level <= ClassificationLevels; ++level) {
        const QString& kind = session.SavedConditions[ConditionRecord::BunKind(level)];
        if (kind == ConditionKind::KindInclude || kind == ConditionKind::KindAnd ||
            kind == ConditionKind::KindExclude)
            return true;
    }
    if (!session.OutputScreen.OutCustomerList)
        return false;
    for (const QString& item : session.OutputScreen.List2)
        for (const char16_t* code : {u"280:", u"290:", u"300:", u"310:"})
            if (item.startsWith(QStringView(code)))
                return true;
    return false;
}

// A classification file that is none stops a run that uses it and is a warning otherwise; false
// when the run must stop.
bool AcceptClassifications(Session& session) {
    const QString damaged = DamagedClassificationsText(session);
    if (damaged.isEmpty())
        return true;
    if (UsesClassifications(session)) {
        session.Messages.show(damaged + QStringLiteral("\r保存されている抽出条件または顧客一覧が"
                                                       "分類を使うため、処理を中止します。"),
                              MessageIcon::Critical);
        return false;
    }
    session.Messages.show(damaged + QStringLiteral("\r分類は使われていないため、処理を続けます。"),
                          MessageIcon::Exclamation);
    return true;
}

int RunAnalysisInBatch(Session& session, std::FILE* out, std::FILE* err) {
    const ParameterCheckFailure failure = CheckParameters(session.ParameterScreen, session.Time);
    if (!failure.passed()) {
        session.Messages.show(FieldCaption(failure.Focus) + QStringLiteral(": ") + failure.Message,
                              MessageIcon::Critical);
        return Unusable;
    }

    StreamProgress progress(err);
    StreamWaitWindow wait(err);
    UnattendedDialog dialog(session.Messages, session.Parameters.WorkbookName);
    ThreadSleeper sleeper;
    ExcelWorkbookWriter workbook(dialog, sleeper, [](const QString& file) {
        return std::make_unique<LinuxSpreadsheetHost>(file);
    });
    AnalysisContext context = SessionAnalysis(session, wait, progress, &workbook);
    context.Unattended = true;
    context.ComparisonRequired =
        session.OutputScreen.CompareWith.Choice != ComparisonChoice::Kind::None;
    // A workbook open in a spreadsheet program is checked before anything is written; it is a
    // failure of the run (status 3), not of its settings.
    bool workbookOpen = false;
    context.RefuseWorkbook = [&session, &workbookOpen](const QString& name) {
        const std::optional<WorkbookLock> lock = WorkbookLockHolder(name, CurrentHostSystem());
        if (!lock)
            return false;
        session.Messages.show(WorkbookOpenText(name, LockHolderText(*lock)), MessageIcon::Critical);
        workbookOpen = true;
        return true;
    };
    const AnalysisResult result = ExecuteAnalysis(context);
    switch (result.Outcome) {
    case AnalysisOutcome::NotStarted:
        return workbookOpen ? Failure : Unusable;
    case AnalysisOutcome::LockHeld:
        return Unusable;
    case AnalysisOutcome::NobodyExtracted:
        return NobodyExtracted;
    case AnalysisOutcome::WorkbookSaved:
        PrintScoring(out, result.Extracted, session.Statistics);
        PrintMailing(out, session.OutputScreen, result);
        printLine(out, QStringLiteral("シート: ") + result.WorkbookSheets.join(u'、'));
        printLine(out, result.WorkbookPath);
        // A workbook with incomplete sheets, a cancelled run, a run the history could not keep or
        // a mailing list that could not be written: the workbook is saved, but the run did not do
        // its job.
        return result.UnfinishedSheets.isEmpty() && !result.Interrupted && result.Problems.isEmpty()
                   ? Done
                   : Failure;
    // The run above always has its workbook writer, so it never ends scored without a workbook.
    case AnalysisOutcome::Scored:
    case AnalysisOutcome::WorkbookAbandoned:
    case AnalysisOutcome::Cancelled:
    case AnalysisOutcome::Failed:
        break;
    }
    return Failure;
}

// The ranks' customers now and with the equal split, for the saved settings: the screen check,
// then the selected customers read as the window "分布と閾値" reads them. No analysis, no file.
int SuggestThresholdsInBatch(Session& session, std::FILE* out, std::FILE* err) {
    const ParameterCheckFailure failure =
        CheckParameterScreen(session.ParameterScreen, session.Time);
    if (!failure.passed()) {
        session.Messages.show(FieldCaption(failure.Focus) + QStringLiteral(": ") + failure.Message,
                              MessageIcon::Critical);
        return Unusable;
    }
    StreamProgress progress(err);
    StreamWaitWindow wait(err);
    AnalysisContext context = SessionAnalysis(session, wait, progress, nullptr);
    RankedValues values;
    switch (ReadRankedValues(context, values)) {
    case ReadingOutcome::Read:
        break;
    case ReadingOutcome::Refused:
        return Unusable;
    case ReadingOutcome::Cancelled:
    case ReadingOutcome::Failed:
        return Failure;
    }
    if (values.size() == 0) {
        session.Messages.show(QStringLiteral("抽出件数が０件です\r抽出条件を見直してください"),
                              MessageIcon::Critical);
        return NobodyExtracted;
    }
    for (const QString& line :
         SuggestionLines(RankDistribution(std::move(values)), session.ParameterScreen))
        printLine(out, line);
    return Done;
}

} // namespace

ProgramEnd RunBatch(Session& session, const BatchOptions& options, std::FILE* out, std::FILE* err) {
    if (MaybeEnd end = PrepareSession(session, MenuCheck::Skipped)) {
        db::CloseDatabases(session.Databases);
        return ProgramEnd{Unusable};
    }
    PrintClassificationLevels(err, session);
    const QString unusable = UnusableSettings(session, LoadSessionParameters(session));
    if (!unusable.isEmpty()) {
        session.Messages.show(unusable, MessageIcon::Critical);
        db::CloseDatabases(session.Databases);
        return ProgramEnd{Unusable};
    }
    // A damaged matrix cell counts as X, as the parameter screen shows it; the log says so.
    if (const QString matrix = DamagedMatrixText(session); !matrix.isEmpty())
        session.Messages.show(matrix, MessageIcon::Exclamation);
    if (!AcceptClassifications(session)) {
        db::CloseDatabases(session.Databases);
        return ProgramEnd{Unusable};
    }
    int status = Unusable;
    if (ApplyOptions(session, options))
        status = options.SuggestThresholds ? SuggestThresholdsInBatch(session, out, err)
                                           : RunAnalysisInBatch(session, out, err);
    // Batch mode saves no parameters and leaves the menu marker and the return program alone.
    db::CloseDatabases(session.Databases);
    return ProgramEnd{status};
}

} // namespace plw
