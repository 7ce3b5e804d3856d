#pragma once

#include "rfm/PLWAN4_hrhen.h"
#include "rfm/ValueCounts.h"

#include <vector>

namespace plw {

// Thresholds that split the customers into five ranks of counts as equal as their figures allow.
struct EqualSplit {
    Thresholds Values; // ranks 1 to 5 as the parameter screen holds them: rank 1 repeats rank 2
    int Ranks = 0;     // the ranks that hold customers
    // Whether every rank holds about a fifth of the customers (within a fifth of a fifth): false
    // when customers with one figure are too many (most customers visited once) or the figures
    // have fewer than five steps.
    bool Even = false;
};

// Whole thresholds between 0 and the fields' maximum that split the customers of values (the
// distinct figures in ascending order) into five ranks whose counts differ least from a fifth
// each (least sum of squares), customers with one figure never split. atMost: the R rule (days
// within the threshold, rank 5 the lowest figures); otherwise the F and M rule (rank 5 reaching
// the highest threshold). alwaysLowest customers have rank 1 whatever the thresholds (R without
// a day count). The thresholds rise from rank 5 to 2 for R and fall for F and M, as the parameter
// screen's check demands; with fewer than five steps in the figures, the ranks beyond them stay
// empty. Without customers every threshold is "".
EqualSplit SplitEqually(const std::vector<ValueCount>& values, bool atMost,
                        qint64 alwaysLowest = 0);

} // namespace plw
