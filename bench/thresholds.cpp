// Thresholds benchmark: reading the selected customers' ranked figures into the column store (the
// window "分布と閾値" and --suggest-thresholds), against the extraction a run makes and, with the
// detailed purchase period, against the scoring that recomputes the figures from the point
// history; and the live count of every rank, cell and group when a threshold is typed.
//
//   plwan40-bench-thresholds [--customers N[,N...]] [--dir DIR]   (default 100000,1000000)
//
// Phases, each in a child process of its own, on the sample's saved settings (its last-visit
// period and conditions, thresholds and matrix):
//   copy          the bare master copy (the yardstick of the other benchmarks, for reference)
//   extract       the run's extraction: the selected customers into the key file
//   read          ReadRankedValues: the extraction's count and the figures into the store
//   score-detail  the scoring with a detailed period of the last twelve months (the key file of
//                 the extraction first, not timed), which recomputes visits, amount and last visit
//                 from the point history (10 rows per customer)
//   recompute     of that scoring, the point history merged with the customers alone
//   read-detail   ReadRankedValues with the same detailed period
//   count         every customer with a last visit read (not timed), then every rank, cell and
//                 group counted again for 40 thresholds, and the groups for 40 matrices
//   window        the window "分布と閾値" on the same customers (offscreen), a threshold typed 40
//                 times: each time every count, line and total shown again, the changed parts
//                 painted; then 40 times more with the whole window painted
// Before each timed extraction the step tables of an earlier one are dropped, as in the
// extraction benchmark; that time is printed beside it.
// A DIR that already holds installations (DIR/nN) uses them as they are.

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"
#include "bench/Phases.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/KeyFile.h"
#include "extract/WaitWindow.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamPrompter.h"
#include "rfm/AnalysisExtraction.h"
#include "rfm/PLWAN40_RNM.h"
#include "rfm/PeriodPurchases.h"
#include "rfm/RankDistribution.h"
#include "rfm/ReadRankedValues.h"
#include "screens/DistributionWindow.h"
#include "screens/TextField.h"
#include "settings/ParameterLoader.h"
#include "settings/ParameterScreenState.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

using namespace plw;
using namespace plw::bench;

// The goals: reading within 1.5 x the extraction without the detailed period and within 1.2 x
// the scoring's recomputation with it; at most 40 bytes a customer in the store; a typed
// threshold shown everywhere within 100 ms at 1,000,000 customers (the window as it paints on
// the display: what changed; the whole window painted again is measured beside it).
constexpr double ReadGoal = 1.5;
constexpr double ReadDetailGoal = 1.2;
constexpr double BytesGoal = 40;
constexpr double UpdateGoalMs = 100;
constexpr qint64 UpdateGoalCustomers = 1'000'000;
constexpr int Edits = 40;

struct NoWindow final : WaitWindow, ProgressSink {
    void open(const QString&, const QString&) override {}
    void setStep(const QString&) override {}
    void close() override {}
    void open() override {}
    void showStep(const QString&) override {}
    void showCount(const QString&) override {}
    void showPercent(int) override {}
};

// A session on the sample installation in dir, started as batch mode starts it, with its saved
// settings; messages go nowhere.
class SampleSession {
public:
    explicit SampleSession(const QString& dir)
        : mMessages(std::fopen("/dev/null", "w"), &std::fclose), mPrompter(mMessages.get()),
          mSession(mPrompter, mClock, mPump) {
        if (!mMessages)
            throw std::runtime_error("cannot open /dev/null for the messages");
        mSession.Env.LocationFileOverride = dir + QStringLiteral("/場所PLW.TWS");
        if (PrepareSession(mSession, MenuCheck::Skipped))
            throw std::runtime_error("the sample installation does not start");
        LoadSessionParameters(mSession);
    }
    Session& session() { return mSession; }
    AnalysisContext context() { return SessionAnalysis(mSession, mWindow, mWindow, nullptr); }

    // The detailed period of the last twelve months before the base date, last visit from it.
    void useDetailedPeriod() {
        ParameterScreenState& screen = mSession.ParameterScreen;
        const QDate base = QDate::fromString(screen.BaseDate, QStringLiteral("yyyyMMdd"));
        screen.DetailPeriodOn = true;
        screen.LastVisitFromDetail = true;
        screen.DetailFrom = base.addMonths(-12).addDays(1).toString(QStringLiteral("yyyyMMdd"));
        screen.DetailTo = screen.BaseDate;
    }

    // A last-visit period that selects every customer who has a last visit.
    void selectEveryCustomer() {
        ParameterScreenState& screen = mSession.ParameterScreen;
        screen.LastVisitFrom = QStringLiteral("19000101");
        ApplyAnalysisPeriod(screen, mSession.SavedConditions, *mSession.Conditions);
    }

    // Drops the tables an earlier extraction or scoring left; their time is the phase's extra.
    double dropEarlierTables() {
        QElapsedTimer timer;
        timer.start();
        for (const char16_t* table : {u"Work抽出A", u"Work抽出2", u"Work抽出3", u"Work抽出4",
                                      u"Work抽出5", u"WorkRFM_1", u"WorkPLWAN40X_1"})
            mSession.Databases.Transaction->tryExecute(QStringLiteral("DROP TABLE ") +
                                                       QString::fromUtf16(table));
        return double(timer.nsecsElapsed()) / 1e9;
    }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> mMessages;
    StreamPrompter mPrompter;
    SystemClock mClock;
    CountingEventPump mPump;
    NoWindow mWindow;
    Session mSession;
};

qint64 Extract(SampleSession& sample) {
    AnalysisContext context = sample.context();
    ConditionRecord record;
    const qint64 extracted = ExtractForAnalysis(context, record);
    if (extracted <= 0)
        throw std::runtime_error("nobody extracted");
    return extracted;
}

RankedValues Read(SampleSession& sample) {
    AnalysisContext context = sample.context();
    RankedValues values;
    if (ReadRankedValues(context, values) != ReadingOutcome::Read || values.size() == 0)
        throw std::runtime_error("the figures could not be read");
    return values;
}

QString runExtract(const QString& dir, QElapsedTimer& timer, double& drops) {
    SampleSession sample(dir);
    drops = sample.dropEarlierTables();
    timer.restart();
    return QStringLiteral("%1 customers into the key file").arg(Extract(sample));
}

QString runRead(const QString& dir, bool detail, QElapsedTimer& timer, double& drops) {
    SampleSession sample(dir);
    if (detail)
        sample.useDetailedPeriod();
    drops = sample.dropEarlierTables();
    timer.restart();
    const RankedValues values = Read(sample);
    return QStringLiteral("%1 customers read; %2 bytes a customer in the store")
        .arg(values.size())
        .arg(double(values.bytes()) / double(values.size()), 0, 'f', 1);
}

QString runScoreDetail(const QString& dir, QElapsedTimer& timer, double& drops) {
    SampleSession sample(dir);
    sample.useDetailedPeriod();
    const qint64 extracted = Extract(sample);
    Session& session = sample.session();
    ScoringInput input;
    const ParameterScreenState& screen = session.ParameterScreen;
    input.R = screen.RThreshold;
    input.F = screen.FThreshold;
    input.M = screen.MThreshold;
    input.BaseDate = screen.BaseDate;
    input.Matrix = screen.GroupMatrix;
    input.DetailPeriodOn = true;
    input.LastVisitFromDetail = true;
    input.DetailFrom = screen.DetailFrom;
    input.DetailTo = screen.DetailTo;
    input.KeyFilePath = session.Env.KeyFilePath;
    QElapsedTimer dropping;
    dropping.start();
    for (const char16_t* table : {u"WorkRFM_1", u"WorkPLWAN40X_1"})
        session.Databases.Transaction->tryExecute(QStringLiteral("DROP TABLE ") +
                                                  QString::fromUtf16(table));
    drops = double(dropping.nsecsElapsed()) / 1e9;

    NoWindow sink;
    CountingEventPump pump;
    ProgressCounter counter(sink, pump);
    const CancelToken noCancel;
    ScoringServices services{
        *session.Databases.Transaction, *session.Databases.Master, sink, counter, pump, noCancel};
    ScoringStatistics statistics;
    QString error;
    timer.restart();
    if (!ScoreCustomers(QStringLiteral("WorkRFM_1"), extracted, input, services, statistics,
                        &error))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 customers scored").arg(extracted);
}

// The scoring's recomputation alone: the point history of the detailed period merged with the
// sorted customer list, as ScoreCustomers gathers it before its walk (the key file of the
// extraction first, not timed).
QString runRecompute(const QString& dir, QElapsedTimer& timer) {
    SampleSession sample(dir);
    sample.useDetailedPeriod();
    Extract(sample);
    Session& session = sample.session();
    KeyFileReader keys;
    QString error;
    if (!keys.open(session.Env.KeyFilePath, &error))
        throw std::runtime_error(error.toStdString());
    QStringList customers;
    KeyFileRecord record;
    while (keys.next(&record, &error))
        customers << record.CustomerNumber;
    const qint64 count = customers.size();
    timer.restart();
    const PeriodPurchases purchases(*session.Databases.Master, std::move(customers),
                                    session.ParameterScreen.DetailFrom,
                                    session.ParameterScreen.DetailTo);
    return QStringLiteral("%1 customers' purchases of the period").arg(count);
}

// Milliseconds of each of a number of runs of work: "mean m ms, slowest s ms".
template <typename Work> QString Times(int runs, Work work, double* slowest) {
    double total = 0;
    *slowest = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work(i);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        total += ms;
        *slowest = std::max(*slowest, ms);
    }
    return QStringLiteral("mean %1 ms, slowest %2 ms")
        .arg(total / runs, 0, 'f', 1)
        .arg(*slowest, 0, 'f', 1);
}

// The sample's thresholds with rank 5 of every dimension moved by i.
void Vary(ParameterScreenState& screen, int i) {
    for (Thresholds* t : {&screen.RThreshold, &screen.FThreshold, &screen.MThreshold})
        (*t)[4] = QString::number(1 + i % 20);
}

QString runCount(const QString& dir, QElapsedTimer& timer, double& slowest) {
    SampleSession sample(dir);
    sample.selectEveryCustomer();
    const RankDistribution distribution(Read(sample));
    ParameterScreenState screen = sample.session().ParameterScreen;
    timer.restart();
    RankCounts counts;
    const auto recount = [&](int i) {
        Vary(screen, i);
        counts = distribution.count(screen.RThreshold, screen.FThreshold, screen.MThreshold);
        CountGroups(counts, screen.GroupMatrix);
    };
    const QString counted = Times(Edits, recount, &slowest);
    double paintSlowest = 0;
    const auto paint = [&](int i) {
        screen.GroupMatrix[size_t(i % 125)] = QStringLiteral("A");
        CountGroups(counts, screen.GroupMatrix);
    };
    const QString painted = Times(Edits, paint, &paintSlowest);
    return QStringLiteral("%1 customers; ranks, cells and groups counted again: %2; groups of a "
                          "painted cell: %3")
        .arg(distribution.customers())
        .arg(counted, painted);
}

QString runWindow(const QString& dir, QElapsedTimer& timer, double& slowest) {
    SampleSession sample(dir);
    sample.selectEveryCustomer();
    RankDistribution distribution(Read(sample));
    const qint64 customers = distribution.customers();
    Session& session = sample.session();
    DistributionWindow window(session.Env, session.Messages, session.ParameterScreen);
    window.resize(1340, 680);
    window.open(std::move(distribution));
    QApplication::processEvents();
    timer.restart();
    TextField* field = window.thresholdField('R', 5);
    // As on the display: the changed parts of the window painted when the events are processed.
    const auto typed = [&](int i) {
        field->setText(QString::number(10 + i));
        QApplication::processEvents();
    };
    const QString shown = Times(Edits, typed, &slowest);
    // The worst case: the whole window painted again.
    double slowestWhole = 0;
    const auto typedWhole = [&](int i) {
        field->setText(QString::number(60 - i));
        window.repaint();
        QApplication::processEvents();
    };
    const QString whole = Times(Edits, typedWhole, &slowestWhole);
    return QStringLiteral("%1 customers; a threshold typed, everything counted and shown again: "
                          "%2; with the whole window painted: %3")
        .arg(customers)
        .arg(shown, whole);
}

int childMain(const Arguments& arguments) {
    const QString& dir = arguments.Dir;
    return RunChildPhase(arguments,
                         {{QStringLiteral("extract"),
                           [&](QElapsedTimer& timer, double& drops) {
                               return runExtract(dir, timer, drops);
                           }},
                          {QStringLiteral("read"),
                           [&](QElapsedTimer& timer, double& drops) {
                               return runRead(dir, false, timer, drops);
                           }},
                          {QStringLiteral("read-detail"),
                           [&](QElapsedTimer& timer, double& drops) {
                               return runRead(dir, true, timer, drops);
                           }},
                          {QStringLiteral("recompute"),
                           [&](QElapsedTimer& timer, double&) {
                               return runRecompute(dir, timer);
                           }},
                          {QStringLiteral("score-detail"),
                           [&](QElapsedTimer& timer, double& drops) {
                               return runScoreDetail(dir, timer, drops);
                           }},
                          {QStringLiteral("count"),
                           [&](QElapsedTimer& timer, double& slowest) {
                               return runCount(dir, timer, slowest);
                           }},
                          {QStringLiteral("window"), [&](QElapsedTimer& timer, double& slowest) {
                               return runWindow(dir, timer, slowest);
                           }}});
}

QString Verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("NOT met");
}

// The bytes a customer in the store, from a read phase's detail.
double StoreBytes(const PhaseResult& read) {
    const qsizetype at = read.detail.indexOf(QStringLiteral("; "));
    return at < 0 ? 0 : read.detail.mid(at + 2).section(u' ', 0, 0).toDouble();
}

int parentMain(const Arguments& arguments) {
    QTemporaryDir temporary;
    const QString root = RootFolder(arguments.Dir, temporary);
    if (root.isEmpty())
        return 1;
    PrintHeader();
    bool allMet = true;
    for (const qint64 n : arguments.Customers) {
        const QString dir = QStringLiteral("%1/n%2").arg(root).arg(n);
        if (!EnsureSample(dir, n))
            return 1;
        const PhaseResult copy = RunPhase(QStringLiteral("copy"), dir, n);
        PrintRow(n, QStringLiteral("copy (yardstick)"), copy, copy.detail);
        const PhaseResult extract = RunPhase(QStringLiteral("extract"), dir, n);
        PrintRow(n, QStringLiteral("extract"), extract,
                 QStringLiteral("%1; earlier step tables dropped before it in %2 s")
                     .arg(extract.detail)
                     .arg(extract.extra, 0, 'f', 1));
        const PhaseResult read = RunPhase(QStringLiteral("read"), dir, n);
        const double readRatio = extract.ok && read.ok ? read.seconds / extract.seconds : 0;
        const bool readMet = read.ok && readRatio <= ReadGoal && StoreBytes(read) <= BytesGoal;
        PrintRow(n, QStringLiteral("read"), read,
                 QStringLiteral("%1; %2 x the extraction, goal <= %3 x and <= %4 bytes: %5")
                     .arg(read.detail)
                     .arg(readRatio, 0, 'f', 2)
                     .arg(ReadGoal)
                     .arg(BytesGoal)
                     .arg(Verdict(readMet)));
        const PhaseResult score = RunPhase(QStringLiteral("score-detail"), dir, n);
        PrintRow(n, QStringLiteral("score, detailed period"), score, score.detail);
        const PhaseResult recompute = RunPhase(QStringLiteral("recompute"), dir, n);
        PrintRow(n, QStringLiteral("its history merge alone"), recompute, recompute.detail);
        const PhaseResult readDetail = RunPhase(QStringLiteral("read-detail"), dir, n);
        const double detailRatio =
            score.ok && readDetail.ok ? readDetail.seconds / score.seconds : 0;
        const bool detailMet =
            readDetail.ok && detailRatio <= ReadDetailGoal && StoreBytes(readDetail) <= BytesGoal;
        PrintRow(
            n, QStringLiteral("read, detailed period"), readDetail,
            QStringLiteral("%1; %2 x the scoring, goal <= %3 x: %4; %5 x its history "
                           "merge alone")
                .arg(readDetail.detail)
                .arg(detailRatio, 0, 'f', 2)
                .arg(ReadDetailGoal)
                .arg(Verdict(detailMet))
                .arg(recompute.ok && readDetail.ok ? readDetail.seconds / recompute.seconds : 0, 0,
                     'f', 2));
        const PhaseResult count = RunPhase(QStringLiteral("count"), dir, n);
        PrintRow(n, QStringLiteral("count again"), count, count.detail);
        const PhaseResult window = RunPhase(QStringLiteral("window"), dir, n);
        const bool judged = n == UpdateGoalCustomers;
        const bool windowMet = window.ok && window.extra <= UpdateGoalMs;
        PrintRow(n, QStringLiteral("window, threshold typed"), window,
                 judged ? QStringLiteral("%1; goal: the slowest typed threshold shown within %2 "
                                         "ms: %3")
                              .arg(window.detail)
                              .arg(UpdateGoalMs)
                              .arg(Verdict(windowMet))
                        : window.detail);
        allMet = allMet && copy.ok && extract.ok && readMet && score.ok && detailMet && count.ok &&
                 (!judged || windowMet);
    }
    return allMet ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    // The window phase draws offscreen; the other phases need no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Arguments arguments;
    arguments.Customers = {100'000, 1'000'000};
    if (!ParseArguments(QStringLiteral("plwan40-bench-thresholds"), arguments))
        return 2;
    return arguments.Phase.isEmpty() ? parentMain(arguments) : childMain(arguments);
}
