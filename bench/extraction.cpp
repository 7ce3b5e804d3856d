// Extraction benchmark: time and peak memory of the extraction run on a sample installation,
// against the bare copy of the customer master into a work table (the yardstick).
//
//   plwan40-bench-extraction [--customers N] [--dir DIR]
//
// Phases, each in a child process of its own so that each peak is the phase's own:
//   copy       "SELECT *  INTO WorkCopy FROM M1_お客様マスタ", the bare master copy
//   plain      ExtractCustomers writing the key file without conditions, every customer into the
//   key file rank-age   the same with a rank condition (positions 1 to N/2) and an age condition
//              (30 to 59) of kind "3"
// The extractions are timed into fresh work tables, as the copy is; the tables an earlier
// extraction left, which a run in daily use drops first, are dropped before the timing and that
// time is reported beside it.
// A DIR that already holds an installation (its location file) is used as it is; otherwise the
// installation is written there first (a temporary folder when no DIR is given).

#include "app/Clock.h"
#include "app/EventPump.h"
#include "bench/Phases.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/ExtractCustomers.h"
#include "extract/WaitWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <stdexcept>
#include <utility>

namespace {

using namespace plw;
using namespace plw::bench;

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

// The extraction into fresh work tables, like the copy. The tables an earlier extraction left are
// dropped first and timed apart: a run in daily use pays for both.
QString runExtraction(const QString& dir, qint64 customers, bool conditions, QElapsedTimer& timer,
                      double& drops) {
    auto database = db::Database::open(TransactionDatabase(dir));
    timer.restart();
    for (const char16_t* table :
         {u"Work抽出A", u"Work抽出2", u"Work抽出3", u"Work抽出4", u"Work抽出5", u"Sort前"})
        database->tryExecute(QStringLiteral("DROP TABLE ") + QString::fromUtf16(table));
    drops = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
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
        ExtractCustomers(context, ExtractionMode::WriteKeyFile, record,
                         WorkFolder(dir) + QStringLiteral("PLWAN40.KEY"));
    if (!result.KeyFileOk)
        throw std::runtime_error(result.KeyFileError.toStdString());
    return QStringLiteral("%1 customers, %2 key records; steps: %3")
        .arg(result.Count)
        .arg(result.KeyRecords)
        .arg(window.breakdown());
}

int childMain(const Arguments& arguments) {
    const QString& dir = arguments.Dir;
    const qint64 customers = arguments.Customers.value(0);
    return RunChildPhase(arguments,
                         {{QStringLiteral("plain"),
                           [&](QElapsedTimer& timer, double& drops) {
                               return runExtraction(dir, customers, false, timer, drops);
                           }},
                          {QStringLiteral("rank-age"), [&](QElapsedTimer& timer, double& drops) {
                               return runExtraction(dir, customers, true, timer, drops);
                           }}});
}

int parentMain(const Arguments& arguments) {
    const qint64 customers = arguments.Customers.value(0);
    QTemporaryDir temporary;
    QString dir = RootFolder(arguments.Dir, temporary);
    if (dir.isEmpty())
        return 1;
    if (arguments.Dir.isEmpty())
        dir += QStringLiteral("/n%1").arg(customers);
    PrintHeader();
    if (!EnsureSample(dir, customers))
        return 1;
    const PhaseResult copy = RunPhase(QStringLiteral("copy"), dir, customers);
    PrintRow(customers, QStringLiteral("copy (yardstick)"), copy, copy.detail);
    bool allMet = copy.ok;
    const struct {
        const char* phase;
        const char* name;
        double goal;
    } extractions[] = {{"plain", "extract, no condition", 2.0},
                       {"rank-age", "extract, rank + age", 5.0}};
    for (const auto& e : extractions) {
        const PhaseResult r = RunPhase(QString::fromLatin1(e.phase), dir, customers);
        const double ratio = copy.ok && r.ok && copy.seconds > 0 ? r.seconds / copy.seconds : 0;
        const bool met = r.ok && ratio <= e.goal && r.peakMiB < 500;
        allMet = allMet && met;
        PrintRow(customers, QString::fromLatin1(e.name), r,
                 QStringLiteral("%1 x the copy, goal <= %2 x and < 500 MiB: %3; %4; before it, the "
                                "tables of an earlier extraction dropped in %5 s (%6 x with them)")
                     .arg(ratio, 0, 'f', 2)
                     .arg(e.goal, 0, 'f', 0)
                     .arg(met ? QStringLiteral("met") : QStringLiteral("NOT met"), r.detail)
                     .arg(r.extra, 0, 'f', 1)
                     .arg(copy.ok && copy.seconds > 0 ? (r.seconds + r.extra) / copy.seconds : 0, 0,
                          'f', 2));
    }
    return allMet ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Arguments arguments;
    if (!ParseArguments(QStringLiteral("plwan40-bench-extraction"), arguments, CustomerCounts::One))
        return 2;
    return arguments.Phase.isEmpty() ? parentMain(arguments) : childMain(arguments);
}
