// Whole-run benchmark: one analysis as batch mode runs it (start-up, extraction, scoring, every
// sheet of the workbook and its save as .xls) on sample installations, against the bare copy of
// the customer master into a work table (the yardstick); beside it, up to 200,000 customers, the
// same analysis by the pandas peer bench/rfm_peer.py, whose counts must equal the run's.
//
//   plwan40-bench-run [--customers N[,N...]] [--dir DIR]   (default 100000,200000,1000000)
//
// The run phase times its steps by the progress and wait displays the run drives, and resets the
// process's peak resident set at every step (/proc/self/clear_refs), so that each step's peak is
// its own; the run's peak is the largest of them plus that of any child process it started. The
// run "stopped before saving" is the same run up to the moment its save step begins. The
// sample's saved settings select every sheet; the list stops at 65,000 customers.
//
// With PLWAN40_BENCH_POSTGRES set to a libpq connection, each size also writes the sample into
// that server (plwan40-sample --postgres) and runs the same analysis there, with the server's
// disk use; the schemas are dropped after each size, so one size at a time takes the disk.
// PLWAN40_BENCH_SERVER_ONLY=1 leaves the SQLite files out (9,000,000 customers on the server).

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/Sleeper.h"
#include "bench/Phases.h"
#include "bench/RfmPeer.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"
#include "db/ServerConnectionFile.h"
#include "extract/WaitWindow.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamPrompter.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "rfm/AnalysisRun.h"
#include "tools/sample/SampleInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>

namespace {

using namespace plw;
using namespace plw::bench;

// The peer runs up to this many customers, where the goals compare with it.
constexpr qint64 PeerMaxCustomers = 200'000;
// The goals: the whole run within 8 x the copy at 1,000,000 customers; its peak, child processes
// included, under 400 MB; the save at most half of everything before it at 200,000 customers;
// our run at most a third of the peer's time.
constexpr qint64 CopyGoalCustomers = 1'000'000;
constexpr double CopyGoalRatio = 8;
constexpr double PeakGoalMiB = 400e6 / (1024.0 * 1024.0);
constexpr qint64 SaveGoalCustomers = 200'000;
constexpr double SaveGoalRatio = 1.5;
constexpr double PeerAimRatio = 1.0 / 3.0;
// On a server: the run at 1,000,000 customers within 2 x the run on SQLite, and at 9,000,000
// within 10 x the server's run at 1,000,000.
constexpr qint64 ServerGoalCustomers = 1'000'000;
constexpr double ServerGoalRatio = 2;
constexpr qint64 ServerLargeCustomers = 9'000'000;
constexpr double ServerLargeRatio = 10;

const QString SaveStep = QStringLiteral("save .xls");

// The peak resident set since the last reset, in MiB; then a fresh count starts.
double TakePeakMiB() {
    double peak = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    return peak;
}

// The steps of a run, each from the display change that began it to the one that began the next:
// "step<TAB>name<TAB>wall s<TAB>cpu s<TAB>peak MiB" lines.
class Timeline final : public ProgressSink, public WaitWindow {
public:
    Timeline() { mClock.start(); }

    void begin(const QString& step) {
        close(mCurrent);
        mCurrent = step;
        mStarted = mClock.nsecsElapsed();
        mCpuStarted = CpuSeconds();
    }
    QStringList finish() {
        close(mCurrent);
        mCurrent.clear();
        return mLines;
    }

    // The wait window of the extraction and the progress window of scoring and workbook.
    void open(const QString&, const QString&) override { begin(QStringLiteral("extraction")); }
    void setStep(const QString&) override {}
    void close() override {}
    void open() override {}
    // The scoring names one step; the workbook step begins with "準備中", each sheet with its
    // text, the save with "保存中" (with the construct named when LibreOffice has to convert).
    void showStep(const QString& text) override {
        const QString step = text.startsWith(u"RFM解析")    ? QStringLiteral("scoring")
                             : text == u"準備中"            ? QStringLiteral("template")
                             : text == u"保存中"            ? SaveStep
                             : text.startsWith(u"保存中（") ? QStringLiteral("conversion to .xls")
                                                            : text;
        if (step != mCurrent)
            begin(step);
    }
    void showCount(const QString&) override {}
    void showPercent(int) override {}
    void setCounterVisible(bool) override {}

private:
    void close(const QString& step) {
        if (step.isEmpty())
            return;
        const double seconds = double(mClock.nsecsElapsed() - mStarted) / 1e9;
        mLines << QStringLiteral("step\t%1\t%2\t%3\t%4")
                      .arg(step)
                      .arg(seconds, 0, 'f', 2)
                      .arg(CpuSeconds() - mCpuStarted, 0, 'f', 2)
                      .arg(TakePeakMiB(), 0, 'f', 0);
    }

    QElapsedTimer mClock;
    qint64 mStarted = 0;
    double mCpuStarted = 0;
    QString mCurrent;
    QStringList mLines;
};

struct Unattended final : RunningSpreadsheetDialog {
    Choice choose(const QString&) override { return Choice::Abandon; }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}
};

// A session on the sample installation in dir, started as batch mode starts it, with its saved
// settings; messages go nowhere.
class SampleSession {
public:
    explicit SampleSession(const QString& dir)
        : mMessages(std::fopen("/dev/null", "w"), &std::fclose), mPrompter(mMessages.get()),
          mSession(mPrompter, mClock, mPump) {
        if (!mMessages)
            throw std::runtime_error("cannot open /dev/null for the run's messages");
        mSession.Env.LocationFileOverride = dir + QStringLiteral("/場所PLW.TWS");
        mSession.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
        if (PrepareSession(mSession, MenuCheck::Skipped))
            throw std::runtime_error("the sample installation does not start");
        LoadSessionParameters(mSession);
    }
    Session& session() { return mSession; }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> mMessages;
    StreamPrompter mPrompter;
    SystemClock mClock;
    CountingEventPump mPump;
    Session mSession;
};

QString StepsFile(const QString& dir) {
    return dir + QStringLiteral("/run-steps.txt");
}

// "groups<TAB>extracted<TAB>A<TAB>...<TAB>X" as the steps file holds the run's counts.
QString CountsLine(const AnalysisCounts& counts) {
    QStringList fields{QStringLiteral("groups"), QString::number(counts.Extracted)};
    for (const qint64 n : counts.Groups)
        fields << QString::number(n);
    return fields.join(u'\t');
}

// The run: its steps and counts into the steps file; the peak of its child processes (a
// LibreOffice conversion) as the phase's extra figure.
QString RunAnalysisPhase(const QString& dir, double& childrenPeak) {
    Timeline timeline;
    timeline.begin(QStringLiteral("start-up"));
    SampleSession sample(dir);
    Session& session = sample.session();

    Unattended dialog;
    ThreadSleeper sleeper;
    ExcelWorkbookWriter workbook(dialog, sleeper, [](const QString& file) {
        return std::make_unique<LinuxSpreadsheetHost>(file);
    });
    AnalysisContext context = SessionAnalysis(session, timeline, timeline, &workbook);
    const AnalysisResult result = ExecuteAnalysis(context);
    QStringList lines = timeline.finish();
    childrenPeak = ChildrenPeakMiB();
    if (result.Outcome != AnalysisOutcome::WorkbookSaved)
        throw std::runtime_error("the run did not save a workbook");
    AnalysisCounts counts;
    counts.Extracted = result.Extracted;
    for (size_t g = 0; g < counts.Groups.size(); ++g)
        counts.Groups[g] = session.Statistics.Groups[g].Customers;
    lines << CountsLine(counts);
    QFile out(StepsFile(dir));
    if (!out.open(QIODevice::WriteOnly) || out.write(lines.join(u'\n').toUtf8()) < 0)
        throw std::runtime_error("cannot write the step figures");
    return QStringLiteral("%1; workbook %2")
        .arg(counts.toString(), QDir::toNativeSeparators(result.WorkbookPath));
}

// What the run phase left in the steps file.
struct RunSteps {
    QList<std::pair<QString, PhaseResult>> Steps;
    AnalysisCounts Counts;
    bool HasCounts = false;
};

RunSteps ReadSteps(const QString& dir) {
    QFile file(StepsFile(dir));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the run left no step figures");
    RunSteps steps;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 5 && parts[0] == u"step") {
            PhaseResult step;
            step.ok = true;
            step.seconds = parts[2].toDouble();
            step.cpuSeconds = parts[3].toDouble();
            step.peakMiB = parts[4].toDouble();
            steps.Steps.append({parts[1], step});
        } else if (parts.size() == 8 && parts[0] == u"groups") {
            steps.Counts.Extracted = parts[1].toLongLong();
            for (int g = 0; g < 6; ++g)
                steps.Counts.Groups[size_t(g)] = parts[2 + g].toLongLong();
            steps.HasCounts = true;
        }
    }
    return steps;
}

// The peer on the same installation and settings, after the run phase: its counts must be the
// run's. The time is the peer process's, from its start (imports included) to its end.
QString RunPeerPhase(const QString& dir, QElapsedTimer& timer, double& peerPeak) {
    const RunSteps ours = ReadSteps(dir);
    if (!ours.HasCounts)
        throw std::runtime_error("the run left no counts to compare the peer's with");
    QJsonObject settings;
    {
        SampleSession sample(dir);
        settings = PeerSettings(sample.session());
    }
    timer.restart();
    const PeerRun peer = RunPeer(dir, settings);
    peerPeak = ChildrenPeakMiB();
    if (!(peer.Counts == ours.Counts))
        throw std::runtime_error(QStringLiteral("THE PEER'S COUNTS DIFFER FROM THE RUN'S: run %1, "
                                                "peer %2")
                                     .arg(ours.Counts.toString(), peer.Counts.toString())
                                     .toStdString());
    return QStringLiteral("the run's counts; %1 listed; %2").arg(peer.Listed).arg(peer.Times);
}

QString ServerConnection() {
    return QString::fromLocal8Bit(qgetenv("PLWAN40_BENCH_POSTGRES"));
}

// The "server-sample" phase: the sample written straight into the server.
QString WriteServerSample(const QString& dir, qint64 customers) {
    sample::SampleOptions options;
    options.folder = dir;
    options.customers = static_cast<int>(customers);
    options.historyRowsPerCustomer = 10;
    options.postgres = ServerConnection();
    QString error;
    sample::SampleSummary summary;
    if (!sample::WriteSampleInstallation(options, &error, &summary))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 customers, %2 history rows into the server")
        .arg(summary.counts.customers)
        .arg(summary.counts.historyRows);
}

// The server installation's schemas, from its connection file.
db::ServerConnection ServerSchemas(const QString& dir) {
    std::optional<db::ServerConnection> server;
    QString error;
    if (!db::ReadServerConnectionFile(dir + QStringLiteral("/PLW/") + db::ServerConnectionFileName,
                                      &server, &error) ||
        !server)
        throw std::runtime_error("no server installation in " + dir.toStdString());
    return *server;
}

// The disk the installation's schemas take on the server, in MiB.
double ServerDiskMiB(const db::ServerConnection& server) {
    auto admin = db::PostgresDatabase::connect(server.Connection, {server.BaseSchema});
    const db::PgResult size = admin->connection().run(
        QStringLiteral("SELECT coalesce(sum(pg_total_relation_size(c.oid)), 0) FROM pg_class c "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.relkind IN ('r', "
                       "'m') AND n.nspname IN ($1, $2)"),
        {server.BaseSchema.toUtf8(), server.WorkSchema.toUtf8()});
    return db::PgValue(size.get(), 0, 0).toDouble() / (1024.0 * 1024.0);
}

void DropServerSchemas(const db::ServerConnection& server) {
    auto admin = db::PostgresDatabase::connect(server.Connection, {server.BaseSchema});
    for (const QString& schema : {server.BaseSchema, server.WorkSchema})
        admin->connection().run(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
}

QString Verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("NOT met");
}

// Prints the run's steps and the figures the goals compare; false when a goal is not met.
bool ReportRun(qint64 customers, const PhaseResult& copy, const PhaseResult& run,
               const RunSteps& steps, const PhaseResult* peer) {
    // The save and its conversion; what the run does after them (keeping itself in the group
    // history, the mailing list) belongs to neither side of the save's goal.
    double beforeSave = 0, save = 0, ownPeak = 0;
    bool saving = false, converted = false;
    for (const auto& [name, step] : steps.Steps) {
        const bool saveStep = name == SaveStep || name.startsWith(u"conversion");
        saving = saving || saveStep;
        converted = converted || name.startsWith(u"conversion");
        if (saveStep)
            save += step.seconds;
        else if (!saving)
            beforeSave += step.seconds;
        ownPeak = qMax(ownPeak, step.peakMiB);
        PrintRow(customers, QStringLiteral("  ") + name, step, QString());
    }
    bool met = true;
    const auto print = [&](const QString& text) {
        PrintLine(stdout, QStringLiteral("%1 customers: %2").arg(customers).arg(text));
    };
    if (converted)
        print(QStringLiteral("the save fell back to LibreOffice's conversion"));

    // The verdict where a goal is set, otherwise where it is.
    const auto judge = [&](qint64 setAt, double ratio, double limit) {
        if (customers != setAt)
            return QStringLiteral("(the goal is set at %1)").arg(setAt);
        met = met && ratio <= limit;
        return QStringLiteral("goal <= %1 x: %2").arg(limit).arg(Verdict(ratio <= limit));
    };
    const double copyRatio = run.seconds / copy.seconds;
    print(QStringLiteral("whole run %1 s = %2 x the copy; %3")
              .arg(run.seconds, 0, 'f', 1)
              .arg(copyRatio, 0, 'f', 2)
              .arg(judge(CopyGoalCustomers, copyRatio, CopyGoalRatio)));

    const double peak = ownPeak + run.extra;
    met = met && peak < PeakGoalMiB;
    print(QStringLiteral("peak %1 MiB (the run %2, its child processes %3); goal < 400 MB "
                         "(%4 MiB): %5")
              .arg(peak, 0, 'f', 0)
              .arg(ownPeak, 0, 'f', 0)
              .arg(run.extra, 0, 'f', 0)
              .arg(PeakGoalMiB, 0, 'f', 0)
              .arg(Verdict(peak < PeakGoalMiB)));

    const double saveRatio = (beforeSave + save) / beforeSave;
    print(QStringLiteral("stopped before saving %1 s; with the save %2 x that; %3")
              .arg(beforeSave, 0, 'f', 1)
              .arg(saveRatio, 0, 'f', 2)
              .arg(judge(SaveGoalCustomers, saveRatio, SaveGoalRatio)));

    if (peer) {
        const double ratio = run.seconds / peer->seconds;
        met = met && ratio <= PeerAimRatio;
        print(QStringLiteral("the peer took %1 s (cpu %2 s, peak %3 MiB) with the same counts; "
                             "the run is %4 of its time (aim <= 0.33): %5")
                  .arg(peer->seconds, 0, 'f', 1)
                  .arg(peer->cpuSeconds, 0, 'f', 1)
                  .arg(peer->peakMiB, 0, 'f', 0)
                  .arg(ratio, 0, 'f', 2)
                  .arg(Verdict(ratio <= PeerAimRatio)));
    }
    return met;
}

bool RunOnFiles(const QString& dir, qint64 customers, PhaseResult& run, bool& met);
bool RunOnServer(const QString& dir, qint64 customers, const PhaseResult* files,
                 QHash<qint64, double>& serverRuns, bool& met);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Arguments arguments;
    arguments.Customers = {100'000, 200'000, 1'000'000};
    if (!ParseArguments(QStringLiteral("plwan40-bench-run"), arguments))
        return 2;
    if (!arguments.Phase.isEmpty()) {
        const QString& dir = arguments.Dir;
        return RunChildPhase(arguments,
                             {{QStringLiteral("run"),
                               [&](QElapsedTimer&, double& extra) {
                                   return RunAnalysisPhase(dir, extra);
                               }},
                              {QStringLiteral("peer"),
                               [&](QElapsedTimer& timer, double& extra) {
                                   return RunPeerPhase(dir, timer, extra);
                               }},
                              {QStringLiteral("server-sample"), [&](QElapsedTimer&, double&) {
                                   return WriteServerSample(dir, arguments.Customers.value(0));
                               }}});
    }
    QTemporaryDir temporary;
    const QString root = RootFolder(arguments.Dir, temporary);
    if (root.isEmpty())
        return 1;
    PrintLine(stdout, QStringLiteral("load average at the start: ") + LoadAverage());
    PrintHeader();
    bool met = true;
    const bool onServer = !ServerConnection().isEmpty();
    const bool serverOnly = onServer && qgetenv("PLWAN40_BENCH_SERVER_ONLY") == "1";
    QHash<qint64, double> serverRuns;
    for (const qint64 customers : arguments.Customers) {
        const QString dir = root + QStringLiteral("/n%1").arg(customers);
        PhaseResult run;
        if (!serverOnly) {
            if (!RunOnFiles(dir, customers, run, met))
                return 1;
        }
        if (onServer && !RunOnServer(dir + QStringLiteral("-server"), customers,
                                     serverOnly ? nullptr : &run, serverRuns, met))
            return 1;
    }
    PrintLine(stdout, QStringLiteral("load average at the end: ") + LoadAverage());
    return met ? 0 : 3;
}

namespace {

// The analysis on the sample's SQLite files against the copy, and the peer; false on failure.
bool RunOnFiles(const QString& dir, qint64 customers, PhaseResult& run, bool& met) {
    if (!EnsureSample(dir, customers))
        return false;
    const PhaseResult copy = RunPhase(QStringLiteral("copy"), dir, customers);
    PrintRow(customers, QStringLiteral("copy (yardstick)"), copy, copy.detail);
    QFile::remove(StepsFile(dir));
    run = RunPhase(QStringLiteral("run"), dir, customers);
    PrintRow(customers, QStringLiteral("whole run"), run, run.detail);
    if (!copy.ok || !run.ok)
        return false;
    PhaseResult peer;
    if (customers <= PeerMaxCustomers) {
        peer = RunPhase(QStringLiteral("peer"), dir, customers);
        // The peak shown is the peer process's, not that of the phase that started it.
        peer.peakMiB = peer.extra;
        PrintRow(customers, QStringLiteral("pandas peer"), peer, peer.detail);
        if (!peer.ok)
            return false;
    }
    try {
        met = ReportRun(customers, copy, run, ReadSteps(dir),
                        customers <= PeerMaxCustomers ? &peer : nullptr) &&
              met;
    } catch (const std::exception& e) {
        PrintLine(stderr, QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

// The sample written into the server and the same analysis run there: its steps, peak and disk,
// against the run on the files (when measured) and the server's run at 1,000,000 customers.
bool RunOnServer(const QString& dir, qint64 customers, const PhaseResult* files,
                 QHash<qint64, double>& serverRuns, bool& met) {
    const auto print = [&](const QString& text) {
        PrintLine(stdout,
                  QStringLiteral("%1 customers on the server: %2").arg(customers).arg(text));
    };
    try {
        QDir(dir).removeRecursively();
        const PhaseResult made = RunPhase(QStringLiteral("server-sample"), dir, customers);
        PrintRow(customers, QStringLiteral("sample into the server"), made, made.detail);
        if (!made.ok)
            return false;
        const db::ServerConnection server = ServerSchemas(dir);
        print(QStringLiteral("disk after the sample %1 MiB").arg(ServerDiskMiB(server), 0, 'f', 0));
        const PhaseResult run = RunPhase(QStringLiteral("run"), dir, customers);
        PrintRow(customers, QStringLiteral("whole run on the server"), run, run.detail);
        if (!run.ok)
            return false;
        double ownPeak = 0;
        for (const auto& [name, step] : ReadSteps(dir).Steps) {
            ownPeak = qMax(ownPeak, step.peakMiB);
            PrintRow(customers, QStringLiteral("  ") + name, step, QString());
        }
        const double peak = ownPeak + run.extra;
        met = met && peak < PeakGoalMiB;
        print(QStringLiteral("peak %1 MiB; goal < 400 MB: %2; disk after the run %3 MiB")
                  .arg(peak, 0, 'f', 0)
                  .arg(Verdict(peak < PeakGoalMiB))
                  .arg(ServerDiskMiB(server), 0, 'f', 0));
        serverRuns.insert(customers, run.seconds);
        if (files && files->ok) {
            const double ratio = run.seconds / files->seconds;
            const bool judged = customers == ServerGoalCustomers;
            met = met && (!judged || ratio <= ServerGoalRatio);
            print(QStringLiteral("%1 x the run on SQLite; %2")
                      .arg(ratio, 0, 'f', 2)
                      .arg(judged
                               ? QStringLiteral("goal <= 2 x: ") + Verdict(ratio <= ServerGoalRatio)
                               : QStringLiteral("(the goal is set at 1000000)")));
        }
        if (customers == ServerLargeCustomers && serverRuns.contains(ServerGoalCustomers)) {
            const double ratio = run.seconds / serverRuns.value(ServerGoalCustomers);
            met = met && ratio <= ServerLargeRatio;
            print(QStringLiteral("%1 x the server's run at 1000000; goal <= 10 x: %2")
                      .arg(ratio, 0, 'f', 2)
                      .arg(Verdict(ratio <= ServerLargeRatio)));
        }
        DropServerSchemas(server);
        QDir(dir).removeRecursively();
    } catch (const db::DatabaseError& e) {
        PrintLine(stderr, e.message());
        return false;
    } catch (const std::exception& e) {
        PrintLine(stderr, QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

} // namespace
