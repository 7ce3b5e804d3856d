#pragma once

#include "rfm/MailingList.h"
#include "settings/OutputScreenState.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plw {

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Mode { Desktop, Batch, Help };
    Mode RunMode = Mode::Desktop;
    // --location FILE: the location file instead of the search; empty when not given.
    QString LocationFile;
    // Batch only: --base-date YYYYMMDD|today (empty keeps the saved one) and --period-months N.
    QString BaseDate;
    std::optional<int> PeriodMonths;
    // Batch only: --suggest-thresholds prints the ranks' customers and the equal split instead
    // of running the analysis.
    bool SuggestThresholds = false;
    // Batch only: --compare-with previous|YYYYMMDD; without it the run compares nothing.
    std::optional<ComparisonChoice> CompareWith;
    // Batch only: --mailing-list FILE --groups ABCDEX --consent dm|mail (the file as given).
    std::optional<MailingRequest> MailingList;
};

// The command line parsed, or the reason it cannot be used (a message for the operator).
struct ParsedCommandLine {
    std::optional<CommandLine> Line;
    QString Error;
};

// Parses the arguments after the program name. Options take their value as the next argument or
// after "=". Unknown options, missing values, arguments without an option and batch options
// without --batch are errors; nothing is guessed.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// The text --help prints: every option with what it does.
QString CommandLineHelp();

} // namespace plw
