#include "extract/ExtractCustomers.h"

#include "app/CancelToken.h"
#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "db/Database.h"
#include "extract/AgeStep.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionSql.h"
#include "extract/KeyFile.h"
#include "extract/RandomSampling.h"
#include "extract/RankStep.h"
#include "extract/StepMerge.h"
#include "extract/WaitWindow.h"

#include <QFile>
#include <QFileInfo>

namespace plw {
namespace {

const QString WorkA = QStringLiteral("Work抽出A");
const QString RankKeys = QStringLiteral("Work抽出2");
const QString RankJoin = QStringLiteral("Work抽出3");
const QString AgeKeys = QStringLiteral("Work抽出4");
const QString AgeJoin = QStringLiteral("Work抽出5");

// Closes the wait window however the extraction ends.
class OpenWaitWindow {
public:
    explicit OpenWaitWindow(WaitWindow& window) : mWindow(window) {
        mWindow.open(WaitWindowCaption, WaitWindowText);
    }
    ~OpenWaitWindow() { mWindow.close(); }
    OpenWaitWindow(const OpenWaitWindow&) = delete;
    OpenWaitWindow& operator=(const OpenWaitWindow&) = delete;

private:
    WaitWindow& mWindow;
};

bool Cancelled(const ExtractionContext& context) {
    return context.Cancel && context.Cancel->requested();
}

// Shows step n ("Step  1") and yields to the window system before and after it; after a cancel
// it does nothing.
template <typename Work> void Step(ExtractionContext& context, int n, Work work) {
    if (Cancelled(context))
        return;
    context.Wait.setStep(QStringLiteral("Step %1").arg(n, 2));
    context.Pump.yield();
    work();
    context.Pump.yield();
}

// Deletes the key file; a missing one is no error.
bool DeleteKeyFile(const QString& systemPath, QString* error) {
    QFile file(ToNativePath(systemPath));
    if (!QFileInfo::exists(file.fileName()) || file.remove())
        return true;
    *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    return false;
}

} // namespace

ExtractionResult ExtractCustomers(ExtractionContext& context, ExtractionMode mode,
                                  const ConditionRecord& conditions, const QString& keyFilePath,
                                  Sampling sampling, qint64 sampleSize) {
    db::Database& database = context.Transaction;
    ExtractionResult result;
    const bool create = mode == ExtractionMode::WriteKeyFile;
    if (create)
        result.KeyFileOk = DeleteKeyFile(keyFilePath, &result.KeyFileError);

    OpenWaitWindow window(context.Wait);
    const ConditionSql sql = BuildConditionSql(conditions, context.Time);
    for (const QString& table : {WorkA, RankKeys, RankJoin, AgeKeys, AgeJoin})
        database.tryExecute(QStringLiteral("DROP TABLE ") + table);

    QString current = WorkA;
    Step(context, 1, [&] {
        QString select = QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ");
        if (!sql.Selection.isEmpty())
            select += QStringLiteral(" WHERE ") + sql.Selection;
        database.execute(select);
    });
    Step(context, 2, [&] {
        database.execute(QStringLiteral("CREATE INDEX FRMKEY ON Work抽出A (M1KaiBan)WITH PRIMARY"));
    });
    Step(context, 3, [&] {
        const StepOutcome outcome = RunRankStep(database, conditions, RankKeys);
        result.RankFound = result.StepFound = outcome == StepOutcome::Found;
        current = MergeStepResult(database, outcome, conditions[ConditionRecord::PinJunKind],
                                  current, RankKeys, RankJoin);
    });
    Step(context, 4, [&] {
        const StepOutcome outcome = RunAgeStep(database, conditions, AgeKeys, context.Time);
        result.AgeFound = result.StepFound = outcome == StepOutcome::Found;
        current = MergeStepResult(database, outcome, conditions[ConditionRecord::TosNenKind],
                                  current, AgeKeys, AgeJoin);
    });
    Step(context, 5, [&] {
        if (!sql.Exclusion.isEmpty())
            database.execute(QStringLiteral("DELETE *  FROM ") + current +
                             QStringLiteral(" WHERE ") + sql.Exclusion);
    });
    Step(context, 6, [&] {
        if (context.Caller == ConditionCaller::DirectMail)
            database.execute(QStringLiteral("DELETE *  FROM ") + current +
                             QStringLiteral(" WHERE M1DmmOsr <> '1' "));
        else if (context.Caller == ConditionCaller::Mail)
            database.execute(QStringLiteral("DELETE *  FROM ") + current +
                             QStringLiteral(" WHERE M1EmaOsr <> '1' "));
    });
    Step(context, 7, [&] {
        auto count =
            database.openRecordset(QStringLiteral(" SELECT COUNT(*) AS [件数]  FROM ") + current);
        result.Count = count->integer(u"件数");
    });
    result.CurrentTable = current;
    result.Cancelled = Cancelled(context);
    if (!create || result.Count <= 0 || result.Cancelled)
        return result;

    Step(context, 8, [&] {
        bool written = false;
        QString error;
        if (sampling == Sampling::Random && result.Count > sampleSize) {
            const quint64 seed =
                context.RandomSeed.value_or(quint64(context.Time.now().toMSecsSinceEpoch()));
            written = WriteSampledKeyFile(database, current, sampleSize, seed, keyFilePath,
                                          context.Time, &result.KeyRecords, &error);
        } else {
            QFile::remove(ToNativePath(keyFilePath));
            auto rows = database.openRecordset(QStringLiteral("SELECT *  FROM ") + current +
                                               QStringLiteral(" ORDER BY M1KaiBan "));
            written = WriteKeyFile(keyFilePath, *rows, context.Time, &result.KeyRecords, &error);
        }
        result.KeyFileOk = written;
        result.KeyFileError = written ? QString() : error;
    });
    return result;
}

} // namespace plw
