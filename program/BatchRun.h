#pragma once

#include "app/ProgramEnd.h"
#include "rfm/MailingList.h"
#include "settings/OutputScreenState.h"

#include <QString>

#include <cstdio>
#include <optional>

namespace plw {

struct Session;

// What the command line changes of the saved settings for one batch run.
struct BatchOptions {
    // "YYYYMMDD" or "today"; empty keeps the saved base date.
    QString BaseDate;
    // The last-visit period becomes the first day of the month this many months before the base
    // date's month, through the base date.
    std::optional<int> PeriodMonths;
    // Instead of the analysis, the ranks' customers under the saved thresholds and the equal
    // split (SuggestionLines), reading the selected customers and changing no file.
    bool SuggestThresholds = false;
    // The kept run to compare with; none: the run compares nothing, whatever the desktop's
    // setting. A comparison asked for that finds no kept run ends the run with status 2.
    std::optional<ComparisonChoice> CompareWith = {};
    // The mailing list to write; none: no list.
    std::optional<MailingRequest> MailingList = {};
};

// Batch mode: one analysis from the saved settings, without screens and without the menu check,
// or with SuggestThresholds the suggestion's lines on out.
// Messages go to the session's Prompter (standard error), progress to err, the workbook's path
// (or, without a workbook writer, the scoring's result) to out. PLWAN40.PRM stays as it was.
// Status: 0 done, 1 nobody extracted, 2 unusable settings, installation, lock or no kept run to
// compare with, 3 any other failure (the group history or the mailing list included).
ProgramEnd RunBatch(Session& session, const BatchOptions& options, std::FILE* out, std::FILE* err);

} // namespace plw
