// Group-history benchmark: what keeping runs costs, against one whole analysis as batch mode runs
// it on the same sample installation.
//
//   plwan40-bench-history [--customers N] [--dir DIR]   (default 1000000)
//
// Phases, each in a child process of its own:
//   copy    the bare master copy (the yardstick every benchmark shows)
//   run     one whole analysis with the sample's saved settings, compared with the run the sample
//           keeps; its steps timed by the progress display, the history's among them: the check,
//           the comparison and the keeping of the run (filling its slot)
//   full    a history of every customer of the master in all 24 slots: 24 runs of distinct base
//           dates kept one after the other from a work table of the whole master, each timed
//   size    the space the history's two tables and their key index then take in the database
//           (SQLite's dbstat: the pages of each)
// Goals: filling a slot at most 10 % of the run; about 42 MB at 1,000,000 customers in 24 slots
// (judged met up to 10 % above).

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/Sleeper.h"
#include "bench/Phases.h"
#include "db/Database.h"
#include "extract/WaitWindow.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamPrompter.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "rfm/AnalysisRun.h"
#include "rfm/GroupHistory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>

namespace {

using namespace plw;
using namespace plw::bench;

constexpr double FillGoalShare = 0.10;
constexpr qint64 SizeGoalCustomers = 1'000'000;
constexpr double SizeGoalMB = 42;

const QString KeepStep = QStringLiteral("グループ履歴に記録中");
const QString CheckStep = QStringLiteral("グループ履歴の確認中");
const QString CompareStep = QStringLiteral("前回との比較を集計中");

// The seconds from each display change to the next, by the step's text.
class StepClock final : public ProgressSink, public WaitWindow {
public:
    StepClock() { mClock.start(); }
    void open(const QString&, const QString&) override { begin(QStringLiteral("extraction")); }
    void setStep(const QString&) override {}
    void close() override {}
    void open() override {}
    void showStep(const QString& text) override {
        if (text != mCurrent)
            begin(text);
    }
    void showCount(const QString&) override {}
    void showPercent(int) override {}
    void setCounterVisible(bool) override {}
    double seconds(const QString& step) {
        begin(QString());
        return mSeconds.value(step);
    }

private:
    void begin(const QString& step) {
        const qint64 now = mClock.nsecsElapsed();
        if (!mCurrent.isEmpty())
            mSeconds[mCurrent] += double(now - mStarted) / 1e9;
        mCurrent = step;
        mStarted = now;
    }
    QElapsedTimer mClock;
    qint64 mStarted = 0;
    QString mCurrent;
    QHash<QString, double> mSeconds;
};

struct Unattended final : RunningSpreadsheetDialog {
    Choice choose(const QString&) override { return Choice::Abandon; }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}
};

// The whole analysis; the keeping of the run's slot as the phase's extra figure.
QString RunPhaseWithHistory(const QString& dir, QElapsedTimer& timer, double& keep) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> quiet(std::fopen("/dev/null", "w"),
                                                          &std::fclose);
    StreamPrompter prompter(quiet.get());
    SystemClock clock;
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.LocationFileOverride = dir + QStringLiteral("/場所PLW.TWS");
    session.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    timer.restart(); // start-up is part of the run, as batch mode starts it
    if (PrepareSession(session, MenuCheck::Skipped))
        throw std::runtime_error("the sample installation does not start");
    LoadSessionParameters(session);
    StepClock steps;
    Unattended dialog;
    ThreadSleeper sleeper;
    ExcelWorkbookWriter workbook(dialog, sleeper, [](const QString& file) {
        return std::make_unique<LinuxSpreadsheetHost>(file);
    });
    AnalysisContext context = SessionAnalysis(session, steps, steps, &workbook);
    const AnalysisResult result = ExecuteAnalysis(context);
    if (result.Outcome != AnalysisOutcome::WorkbookSaved || !result.Problems.isEmpty())
        throw std::runtime_error("the run did not end with its workbook and its history");
    if (!context.Movement)
        throw std::runtime_error("the run was not compared with the sample's kept run");
    keep = steps.seconds(KeepStep);
    return QStringLiteral("%1 extracted; history check %2 s, comparison %3 s, keeping %4 s")
        .arg(result.Extracted)
        .arg(steps.seconds(CheckStep), 0, 'f', 2)
        .arg(steps.seconds(CompareStep), 0, 'f', 2)
        .arg(keep, 0, 'f', 2);
}

// 24 runs of every customer; the slowest keeping as the extra figure, the bytes in the detail.
QString FullHistoryPhase(const QString& dir, QElapsedTimer& timer, double& slowest) {
    auto database = db::Database::open(TransactionDatabase(dir));
    const QString work = QStringLiteral("WorkHistoryBench");
    database->tryExecute(QStringLiteral("DROP TABLE ") + work);
    for (const char16_t* table : {RunHistoryTable, GroupHistoryTable})
        database->tryExecute(QStringLiteral("DROP TABLE ") + QString::fromUtf16(table));
    database->execute(QStringLiteral("SELECT M1KaiBan, 'A' AS グループ INTO %1 FROM "
                                     "M1_お客様マスタ")
                          .arg(work));
    database->execute(QStringLiteral("CREATE INDEX FRMKEY ON %1 (M1KaiBan)WITH PRIMARY").arg(work));
    timer.restart();
    double total = 0;
    std::vector<KeptRun> runs;
    const QString letters = QStringLiteral("ABCDEX");
    for (int k = 0; k < HistorySlots; ++k) {
        // Each run another group per customer, so that the slots differ.
        database->execute(QStringLiteral("UPDATE %1 SET グループ = '%2'")
                              .arg(work)
                              .arg(letters.at(k % letters.size())));
        KeptRun run;
        run.BaseDate = QDate(2024, 12, 31).addMonths(k);
        run.RunTime = QDateTime(run.BaseDate.addDays(1), QTime(9, 0));
        run.Matrix.fill(QStringLiteral("X"));
        QElapsedTimer keeping;
        keeping.start();
        const KeepResult kept = KeepRun(*database, runs, run, work);
        const double seconds = double(keeping.nsecsElapsed()) / 1e9;
        if (!kept.Kept)
            throw std::runtime_error(kept.Error.toStdString());
        total += seconds;
        slowest = qMax(slowest, seconds);
        runs = ReadHistory(*database).Runs;
    }
    database->execute(QStringLiteral("DROP TABLE ") + work);
    return QStringLiteral("keeping a run %1 s on average, %2 s at most")
        .arg(total / HistorySlots, 0, 'f', 2)
        .arg(slowest, 0, 'f', 2);
}

// The pages of the history's tables and index; their megabytes as the extra figure.
QString SizePhase(const QString& dir, double& megabytes) {
    auto database = db::Database::open(TransactionDatabase(dir));
    qint64 bytes = 0;
    QStringList parts;
    auto pages = database->openRecordset(
        QStringLiteral("SELECT name, SUM(pgsize) AS Bytes FROM dbstat GROUP BY name"));
    for (; !pages->eof(); pages->moveNext()) {
        const QString name = pages->text(u"name");
        if (!name.contains(QStringLiteral("PLWAN40_")))
            continue;
        bytes += pages->integer(u"Bytes");
        parts << QStringLiteral("%1 %2 MB")
                     .arg(name)
                     .arg(double(pages->integer(u"Bytes")) / 1e6, 0, 'f', 1);
    }
    megabytes = double(bytes) / 1e6;
    return QStringLiteral("%1 MB: %2")
        .arg(megabytes, 0, 'f', 1)
        .arg(parts.join(QStringLiteral(", ")));
}

QString Verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("NOT met");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Arguments arguments;
    if (!ParseArguments(QStringLiteral("plwan40-bench-history"), arguments))
        return 2;
    if (!arguments.Phase.isEmpty()) {
        const QString& dir = arguments.Dir;
        return RunChildPhase(arguments,
                             {{QStringLiteral("run"),
                               [&](QElapsedTimer& timer, double& extra) {
                                   return RunPhaseWithHistory(dir, timer, extra);
                               }},
                              {QStringLiteral("full"),
                               [&](QElapsedTimer& timer, double& extra) {
                                   return FullHistoryPhase(dir, timer, extra);
                               }},
                              {QStringLiteral("size"), [&](QElapsedTimer&, double& extra) {
                                   return SizePhase(dir, extra);
                               }}});
    }
    QTemporaryDir temporary;
    const QString root = RootFolder(arguments.Dir, temporary);
    if (root.isEmpty())
        return 1;
    PrintLine(stdout, QStringLiteral("load average at the start: ") + LoadAverage());
    PrintHeader();
    bool met = true;
    for (const qint64 customers : arguments.Customers) {
        const QString dir = root + QStringLiteral("/n%1").arg(customers);
        if (!EnsureSample(dir, customers))
            return 1;
        const PhaseResult copy = RunPhase(QStringLiteral("copy"), dir, customers);
        PrintRow(customers, QStringLiteral("copy (yardstick)"), copy, copy.detail);
        const PhaseResult run = RunPhase(QStringLiteral("run"), dir, customers);
        PrintRow(customers, QStringLiteral("whole run"), run, run.detail);
        const PhaseResult full = RunPhase(QStringLiteral("full"), dir, customers);
        PrintRow(customers, QStringLiteral("24 slots, all customers"), full, full.detail);
        const PhaseResult size = RunPhase(QStringLiteral("size"), dir, customers);
        PrintRow(customers, QStringLiteral("history size"), size, size.detail);
        if (!copy.ok || !run.ok || !full.ok || !size.ok)
            return 1;
        const double share = run.extra / run.seconds;
        const bool fillMet = share <= FillGoalShare;
        met = met && fillMet;
        PrintLine(stdout, QStringLiteral("%1 customers: keeping the run %2 s = %3 % of the whole "
                                         "run; goal <= 10 %: %4")
                              .arg(customers)
                              .arg(run.extra, 0, 'f', 2)
                              .arg(share * 100, 0, 'f', 1)
                              .arg(Verdict(fillMet)));
        PrintLine(stdout, QStringLiteral("%1 customers: the slowest keeping with all 24 slots "
                                         "taken, %2 s = %3 % of the whole run")
                              .arg(customers)
                              .arg(full.extra, 0, 'f', 2)
                              .arg(full.extra / run.seconds * 100, 0, 'f', 1));
        const bool sizeMet = size.extra <= SizeGoalMB * 1.1;
        if (customers == SizeGoalCustomers)
            met = met && sizeMet;
        PrintLine(stdout,
                  QStringLiteral("%1 customers: the history in 24 slots takes %2 MB; %3")
                      .arg(customers)
                      .arg(size.extra, 0, 'f', 1)
                      .arg(customers == SizeGoalCustomers
                               ? QStringLiteral("goal about %1 MB: %2")
                                     .arg(SizeGoalMB)
                                     .arg(Verdict(sizeMet))
                               : QStringLiteral("(the goal is set at %1)").arg(SizeGoalCustomers)));
    }
    PrintLine(stdout, QStringLiteral("load average at the end: ") + LoadAverage());
    return met ? 0 : 3;
}
