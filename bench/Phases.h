#pragma once

// What every benchmark program shares: each phase runs in a child process of its own (the same
// program started with --phase), so that each peak memory figure is the phase's own, and reports
// one RESULT line that the parent reads.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace plw::bench {

struct PhaseResult {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    double extra = 0; // a phase's own second figure (such as untimed preparation), 0 if none
    QString detail;
};

void PrintLine(std::FILE* stream, const QString& text);

// The child's maximum resident set in MiB (which includes the Qt and SQLite libraries).
double OwnPeakMiB();

// The options every benchmark takes: --customers N[,N...], --dir DIR, and --phase NAME (which
// makes the process a child that runs one phase).
struct Arguments {
    QList<qint64> Customers{1'000'000};
    QString Dir;
    QString Phase;
};
// False after printing the usage line for a bad option.
bool ParseArguments(const QString& program, Arguments& arguments);

// Child side: runs the phase with a timer that it may restart to leave preparation out, and
// prints the RESULT line. The phase returns its detail text and throws on failure. Exit status.
int RunChildPhase(const std::function<QString(QElapsedTimer& timer, double& extra)>& phase);

// Parent side: runs one phase of this program in a child process.
PhaseResult RunPhase(const QString& phase, const QString& dir, qint64 customers);

// The result table: a header, then one row per phase.
void PrintHeader();
void PrintRow(qint64 customers, const QString& name, const PhaseResult& result,
              const QString& note);

// The sample installation in dir for the given customers (10 history rows each), written by a
// "sample" phase when dir holds none yet. False when it could not be written.
bool EnsureSample(const QString& dir, qint64 customers);
// The "sample" phase itself.
QString WriteSample(const QString& dir, qint64 customers);

// The work folder and transaction database of a sample installation in dir.
QString WorkFolder(const QString& dir);
QString TransactionDatabase(const QString& dir);

// The bare copy of the customer master into a work table: the yardstick of every goal.
QString RunCopy(const QString& dir, QElapsedTimer& timer);

} // namespace plw::bench
