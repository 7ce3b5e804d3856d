// Extraction benchmark: time and peak memory of the extraction run on a sample installation,
// against the bare copy of the customer master into a work table (the yardstick).
//
//   plwan40-bench-extraction [--customers N] [--dir DIR]
//
// Phases, each in a child process of its own so that each peak is the phase's own:
//   copy       "SELECT *  INTO WorkCopy FROM M1_お客様マスタ", the bare master copy
//   plain      ExtractCustomers "CR" without conditions, every customer into the key file
//   rank-age   the same with a rank condition (positions 1 to N/2) and an age condition
//              (30 to 59) of kind "3"
// The extractions are timed into fresh work tables, as the copy is; the tables an earlier
// extraction left, which a run in daily use drops first, are dropped before the timing and that
// time is reported beside it.
// A DIR that already holds an installation (its location file) is used as it is; otherwise the
// installation is written there first (a temporary folder when no DIR is given).

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/ExtractCustomers.h"
#include "extract/WaitWindow.h"
#include "tools/sample/SampleInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

using namespace plw;

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    double untimedDrops = 0; // seconds spent dropping an earlier run's tables before the timing
    QString detail;
};

void printLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

double ownPeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

QString workFolder(const QString& dir) {
    return dir + QStringLiteral("/PLW/WORK/");
}

// Notes the time each step starts, for the breakdown of a phase.
class TimingWaitWindow final : public WaitWindow {
public:
    void open(const QString&, const QString&) override {
        mTimer.start();
        mark(QStringLiteral("start"));
    }
    void setStep(const QString& label) override { mark(label.simplified()); }
    void close() override { mark(QStringLiteral("end")); }

    QString breakdown() const {
        QStringList parts;
        for (qsizetype i = 0; i + 1 < mMarks.size(); ++i)
            parts << QStringLiteral("%1 %2")
                         .arg(mMarks[i].first)
                         .arg(double(mMarks[i + 1].second - mMarks[i].second) / 1000.0, 0, 'f', 1);
        return parts.join(QStringLiteral(", "));
    }

private:
    void mark(const QString& label) { mMarks.append({label, mTimer.elapsed()}); }

    QElapsedTimer mTimer;
    QList<std::pair<QString, qint64>> mMarks;
};

QString runSample(const QString& dir, qint64 customers) {
    sample::SampleOptions options;
    options.folder = dir;
    options.customers = static_cast<int>(customers);
    options.historyRowsPerCustomer = 10;
    QString error;
    sample::SampleSummary summary;
    if (!sample::WriteSampleInstallation(options, &error, &summary))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 customers").arg(summary.counts.customers);
}

// The copy alone: a copy left by an earlier run is dropped before the timing starts.
QString runCopy(const QString& dir, QElapsedTimer* timer) {
    auto database = db::Database::open(workFolder(dir) + QStringLiteral("PLW_TRN.MDB"));
    database->tryExecute(QStringLiteral("DROP TABLE WorkCopy"));
    timer->restart();
    database->execute(QStringLiteral("SELECT *  INTO WorkCopy FROM M1_お客様マスタ"));
    return QStringLiteral("\"SELECT *  INTO WorkCopy FROM M1_お客様マスタ\"");
}

// The extraction into fresh work tables, like the copy. The tables an earlier extraction left are
// dropped first and timed apart: a run in daily use pays for both.
QString runExtraction(const QString& dir, qint64 customers, bool conditions, QElapsedTimer* timer,
                      double* drops) {
    auto database = db::Database::open(workFolder(dir) + QStringLiteral("PLW_TRN.MDB"));
    timer->restart();
    for (const char16_t* table :
         {u"Work抽出A", u"Work抽出2", u"Work抽出3", u"Work抽出4", u"Work抽出5", u"Sort前"})
        database->tryExecute(QStringLiteral("DROP TABLE ") + QString::fromUtf16(table));
    *drops = double(timer->nsecsElapsed()) / 1e9;
    timer->restart();
    SystemClock clock;
    CountingEventPump pump;
    TimingWaitWindow window;
    ExtractionContext context{*database, clock, pump, window};
    ConditionRecord record = ClearedConditionRecord();
    if (conditions) {
        record[ConditionRecord::PinJunKind] = ConditionKind::KindAnd;
        record[ConditionRecord::PinJunFrom] = QStringLiteral("1");
        record[ConditionRecord::PinJunTo] = QString::number(customers / 2);
        record[ConditionRecord::TosNenKind] = ConditionKind::KindAnd;
        record[ConditionRecord::TosNenFrom] = QStringLiteral("30");
        record[ConditionRecord::TosNenTo] = QStringLiteral("59");
    }
    const ExtractionResult result =
        ExtractCustomers(context, QStringLiteral("CR"), record,
                         workFolder(dir) + QStringLiteral("PLWAN40.KEY"), QStringLiteral("NOR"), 0);
    if (!result.KeyFileOk)
        throw std::runtime_error(result.KeyFileError.toStdString());
    return QStringLiteral("%1 customers, %2 key records; steps: %3")
        .arg(result.Count)
        .arg(result.KeyRecords)
        .arg(window.breakdown());
}

// Runs one phase in this process and reports it on standard output for the parent.
int childMain(const QString& phase, const QString& dir, qint64 customers) {
    QElapsedTimer timer;
    timer.start();
    QString detail;
    double drops = 0;
    try {
        if (phase == QLatin1String("sample"))
            detail = runSample(dir, customers);
        else if (phase == QLatin1String("copy"))
            detail = runCopy(dir, &timer);
        else if (phase == QLatin1String("plain"))
            detail = runExtraction(dir, customers, false, &timer, &drops);
        else if (phase == QLatin1String("rank-age"))
            detail = runExtraction(dir, customers, true, &timer, &drops);
        else
            throw std::runtime_error("unknown phase");
    } catch (const db::DatabaseError& e) {
        printLine(stderr, e.message() + QStringLiteral(" ") + e.statement());
        return 1;
    } catch (const std::exception& e) {
        printLine(stderr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    printLine(stdout, QStringLiteral("RESULT\t%1\t%2\t%3\t%4")
                          .arg(seconds, 0, 'f', 3)
                          .arg(ownPeakMiB(), 0, 'f', 1)
                          .arg(drops, 0, 'f', 3)
                          .arg(detail));
    return 0;
}

PhaseResult runPhase(const QString& phase, const QString& dir, qint64 customers) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--phase"), phase, QStringLiteral("--dir"), dir,
                 QStringLiteral("--customers"), QString::number(customers)});
    PhaseResult result;
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return result;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 5 && parts[0] == QLatin1String("RESULT")) {
            result.ok = true;
            result.seconds = parts[1].toDouble();
            result.peakMiB = parts[2].toDouble();
            result.untimedDrops = parts[3].toDouble();
            result.detail = parts[4];
        }
    }
    return result;
}

QString cell(const PhaseResult& r, int column) {
    if (!r.ok)
        return QStringLiteral("failed");
    return column == 0 ? QString::number(r.seconds, 'f', 1) : QString::number(r.peakMiB, 'f', 0);
}

int parentMain(qint64 customers, QString dir) {
    QTemporaryDir temporary;
    if (dir.isEmpty()) {
        if (!temporary.isValid()) {
            printLine(stderr, QStringLiteral("no temporary folder"));
            return 1;
        }
        dir = temporary.path() + QStringLiteral("/n%1").arg(customers);
    }
    printLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                          .arg(QStringLiteral("customers"), 10)
                          .arg(QStringLiteral("phase"), -22)
                          .arg(QStringLiteral("wall s"), 8)
                          .arg(QStringLiteral("peak MiB"), 9)
                          .arg(QStringLiteral("goal / detail")));
    auto row = [&](const QString& name, const PhaseResult& r, const QString& note) {
        printLine(stdout, QStringLiteral("%1 %2 %3 %4  %5")
                              .arg(customers, 10)
                              .arg(name, -22)
                              .arg(cell(r, 0), 8)
                              .arg(cell(r, 1), 9)
                              .arg(note));
    };
    if (!QFile::exists(sample::SampleLocationFile(dir))) {
        const PhaseResult made = runPhase(QStringLiteral("sample"), dir, customers);
        row(QStringLiteral("sample installation"), made, made.detail);
        if (!made.ok)
            return 1;
    }
    const PhaseResult copy = runPhase(QStringLiteral("copy"), dir, customers);
    row(QStringLiteral("copy (yardstick)"), copy, copy.detail);
    bool allMet = copy.ok;
    const struct {
        const char* phase;
        const char* name;
        double goal;
    } extractions[] = {{"plain", "extract, no condition", 2.0},
                       {"rank-age", "extract, rank + age", 5.0}};
    for (const auto& e : extractions) {
        const PhaseResult r = runPhase(QString::fromLatin1(e.phase), dir, customers);
        const double ratio = copy.ok && r.ok && copy.seconds > 0 ? r.seconds / copy.seconds : 0;
        const bool met = r.ok && ratio <= e.goal && r.peakMiB < 500;
        allMet = allMet && met;
        row(QString::fromLatin1(e.name), r,
            QStringLiteral("%1 x the copy, goal <= %2 x and < 500 MiB: %3; %4; before it, the "
                           "tables of an earlier extraction dropped in %5 s (%6 x with them)")
                .arg(ratio, 0, 'f', 2)
                .arg(e.goal, 0, 'f', 0)
                .arg(met ? QStringLiteral("met") : QStringLiteral("NOT met"), r.detail)
                .arg(r.untimedDrops, 0, 'f', 1)
                .arg(copy.ok && copy.seconds > 0 ? (r.seconds + r.untimedDrops) / copy.seconds : 0,
                     0, 'f', 2));
    }
    return allMet ? 0 : 3;
}

int usage(const QString& problem) {
    printLine(stderr, QStringLiteral("plwan40-bench-extraction: ") + problem);
    printLine(stderr, QStringLiteral("usage: plwan40-bench-extraction [--customers N] [--dir DIR]"
                                     "   (default 1000000 customers)"));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    qint64 customers = 1'000'000;
    QString dir, phase;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size())
            return usage(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args[++i];
        if (arg == QLatin1String("--customers")) {
            bool ok = false;
            customers = value.toLongLong(&ok);
            if (!ok || customers < 1 || customers > sample::MaxSampleCustomers)
                return usage(QStringLiteral("bad customer count ") + value);
        } else if (arg == QLatin1String("--dir")) {
            dir = QDir(value).absolutePath();
        } else if (arg == QLatin1String("--phase")) {
            phase = value;
        } else {
            return usage(QStringLiteral("unknown option ") + arg);
        }
    }
    if (!phase.isEmpty())
        return childMain(phase, dir, customers);
    return parentMain(customers, dir);
}
