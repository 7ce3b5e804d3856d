#pragma once

#include "rfm/EqualSplit.h"
#include "rfm/Histogram.h"
#include "rfm/RankedValues.h"

#include <array>

namespace plw {

// The selected customers' ranked figures and what the window "分布と閾値" and the batch
// suggestion show of them: a histogram of each dimension, the customers of every rank, cell and
// group under any thresholds and matrix (counted as the scoring ranks), and the equal split.
class RankDistribution {
public:
    explicit RankDistribution(RankedValues values = RankedValues());

    qint64 customers() const { return mValues.size(); }
    const RankedValues& values() const { return mValues; }
    const Histogram& histogram(Dimension dimension) const;
    // Customers without a day count (no real last-visit date): R rank 1 whatever the thresholds,
    // and in no bin of the R histogram.
    qint64 withoutDays() const { return mWithoutDays; }

    // Every customer ranked by the rank rules under the thresholds, as the scoring ranks them,
    // counted by cell.
    RankCounts count(const Thresholds& r, const Thresholds& f, const Thresholds& m) const;
    EqualSplit splitEqually(Dimension dimension) const;

private:
    RankedValues mValues;
    std::array<std::vector<ValueCount>, 3> mDistinct; // R, F, M
    std::array<Histogram, 3> mHistograms;
    qint64 mWithoutDays = 0;
};

// The bins a histogram of the window has at most.
inline constexpr int HistogramBins = 60;

} // namespace plw
