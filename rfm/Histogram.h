#pragma once

#include "app/Currency.h"
#include "rfm/ValueCounts.h"

#include <vector>

namespace plw {

// A histogram of one dimension's figures. Bin i holds the customers whose figure lies in
// [Edges[i], Edges[i + 1]); the bins cover every figure. Where the figures have a long tail
// (a few customers far beyond most), the axis is logarithmic: the bins grow with the figures.
struct Histogram {
    bool Logarithmic = false;
    std::vector<qint64> Edges;     // bins + 1 edges; empty without figures
    std::vector<qint64> Customers; // per bin

    bool empty() const { return Customers.empty(); }
    // Where a figure lies across the axis: 0 at the first edge, 1 at the last, in between as
    // the scale says; outside the axis it stays at its end.
    double position(double figure) const;
};

// At most maxBins bins over the figures; a linear axis unless the tail is long.
Histogram HistogramOf(const std::vector<ValueCount>& values, int maxBins);

// The figure where the better rank ends and the next begins on the axis: within the
// threshold (R: days at most the threshold) the boundary lies after its whole number; reaching
// it (F and M: at least the threshold) it lies at the first whole number that reaches it.
double RankBoundary(Currency threshold, bool atMost);

} // namespace plw
