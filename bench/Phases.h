#pragma once

// What every benchmark program shares: each phase runs in a child process of its own (the same
// program started with --phase), so that each peak memory figure is the phase's own, and reports
// one RESULT line that the parent reads.

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class QTemporaryDir;

namespace plw::bench {

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    double extra = 0; // a phase's own second figure (such as untimed preparation), 0 if none
    // User and system CPU of the whole child, its preparation and its own children included;
    // negative when not known.
    double cpuSeconds = -1;
    QString detail;
    // The load average over the last minute when the phase ended; negative when not known.
    double load = -1;
};

void PrintLine(std::FILE* stream, const QString& text);

// The child's maximum resident set in MiB (which includes the Qt and SQLite libraries).
double OwnPeakMiB();
// The largest maximum resident set among the finished child processes (and theirs), in MiB.
double ChildrenPeakMiB();
// User and system CPU seconds of this process and of its finished child processes.
double CpuSeconds();
// The machine's load average over the last one, five and fifteen minutes ("4.17 2.27 2.86").
QString LoadAverage();

// The options every benchmark takes: --customers N[,N...], --dir DIR, and --phase NAME (which
// makes the process a child that runs one phase). Customers holds the program's default until
// parsed.
struct Arguments {
    QList<qint64> Customers{1'000'000};
    QString Dir;
    QString Phase;
};
// Whether --customers takes a list of counts or just one (for a program whose DIR is the
// installation itself).
enum class CustomerCounts { List, One };
// False after printing the usage line for a bad option.
bool ParseArguments(const QString& program, Arguments& arguments,
                    CustomerCounts counts = CustomerCounts::List);

// The folder the installations go into: dir when given, otherwise the path of temporary (which
// the caller keeps alive). Empty, after a message, when no temporary folder could be made.
QString RootFolder(const QString& dir, const QTemporaryDir& temporary);

// One phase of a program, run in the child: it may restart the timer to leave preparation out and
// set the phase's extra figure; it returns its detail text and throws on failure.
using PhaseFunction = std::function<QString(QElapsedTimer& timer, double& extra)>;

// Child side: runs the phase arguments.Phase names in the installation arguments.Dir and prints
// the RESULT line. Every program has the phases "sample" (writing the installation) and "copy"
// (the bare master copy into a work table, the yardstick of every goal); own adds the program's
// phases by name. Exit status.
int RunChildPhase(const Arguments& arguments, const QHash<QString, PhaseFunction>& own);

// Parent side: runs one phase of this program in a child process.
PhaseResult RunPhase(const QString& phase, const QString& dir, qint64 customers);

// The result table: a header, then one row per phase; the CPU and load columns stay empty when
// not known.
void PrintHeader();
void PrintRow(qint64 customers, const QString& name, const PhaseResult& result,
              const QString& note);

// The sample installation in dir for the given customers (10 history rows each), written by the
// "sample" phase when dir holds none yet. False when it could not be written.
bool EnsureSample(const QString& dir, qint64 customers);

// The work folder and transaction database of a sample installation in dir.
QString WorkFolder(const QString& dir);
QString TransactionDatabase(const QString& dir);

} // namespace plw::bench
