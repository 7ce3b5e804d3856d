#pragma once

namespace plw {

struct AnalysisContext;
class RankedValues;

// How reading the ranked values ended.
enum class ReadingOutcome {
    Read,      // the values of every selected customer (none when nobody is selected)
    Cancelled, // the operator cancelled in the wait window
    Refused,   // conditions the condition screen would refuse, or another analysis holds the
               // work folder: nothing was read (the message said why)
    Failed,    // a database failure, shown with its cause
};

// Reads, for the customers the current conditions select (the last-visit period and the
// detailed conditions), the figures the scoring ranks them by: days to the parameter screen's
// base date, visits and units of 10,000 yen, recomputed from the point history when the detailed
// purchase period is on. It extracts as the condition screen's count does (the extraction's step
// tables only) and leaves everything a run leaves behind as it is: the key file, the settings
// files, "WorkPLWAN40X_1" and "WorkRFM_1". It holds the work-folder lock while it reads, shows
// the wait window and stops when context.Cancel is requested (which it resets first). Anything
// but Read leaves values empty.
ReadingOutcome ReadRankedValues(AnalysisContext& context, RankedValues& values);

} // namespace plw
