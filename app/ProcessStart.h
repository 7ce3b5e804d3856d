#pragma once

#include <QString>
#include <QStringList>

namespace plw {

// How a program started for the operator fared in its first moments.
struct ProgramStart {
    enum class Result {
        Running,   // still running when the watch ended: it goes on on its own
        Finished,  // ended at once with status 0 (an opener that handed the file on)
        Failed,    // ended at once with another status or a signal
        NotStarted // could not be run at all
    };
    Result Outcome = Result::NotStarted;
    // For Failed and NotStarted: why, for the operator.
    QString Cause;
    bool ok() const { return Outcome == Result::Running || Outcome == Result::Finished; }
};

// Starts the program (its full path) with its arguments directly (no shell), in a session of
// its own so that it outlives this program, and watches it for up to watchMs: a start that fails
// at once is told apart from one that runs. The program's output goes where this program's goes.
ProgramStart StartProgram(const QString& program, const QStringList& arguments, int watchMs);

} // namespace plw
