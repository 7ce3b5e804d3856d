#include "rfm/RankDistribution.h"

namespace plw {

namespace {

size_t IndexOf(Dimension dimension) {
    return static_cast<size_t>(dimension);
}

} // namespace

RankDistribution::RankDistribution(RankedValues values) : mValues(std::move(values)) {
    for (const Dimension d : {Dimension::R, Dimension::F, Dimension::M}) {
        std::vector<ValueCount>& distinct = mDistinct[IndexOf(d)];
        distinct = CountValues(mValues.figures(d), RankedValues::NoDays);
        mHistograms[IndexOf(d)] = HistogramOf(distinct, HistogramBins);
    }
    qint64 withDays = 0;
    for (const ValueCount& v : mDistinct[IndexOf(Dimension::R)])
        withDays += v.Customers;
    mWithoutDays = mValues.size() - withDays;
}

const Histogram& RankDistribution::histogram(Dimension dimension) const {
    return mHistograms[IndexOf(dimension)];
}

RankCounts RankDistribution::count(const Thresholds& r, const Thresholds& f,
                                   const Thresholds& m) const {
    return CountRanks(mValues, RankRules(r, f, m));
}

EqualSplit RankDistribution::splitEqually(Dimension dimension) const {
    const bool atMost = dimension == Dimension::R;
    return SplitEqually(mDistinct[IndexOf(dimension)], atMost, atMost ? mWithoutDays : 0);
}

} // namespace plw
