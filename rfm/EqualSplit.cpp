#include "rfm/EqualSplit.h"

#include "settings/ParameterFieldLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace plw {

namespace {

constexpr int Ranks = 5;

// The figures as the rank rules can tell them apart with thresholds from 0 to the maximum: for
// R every figure up to 0 is within any threshold and every one beyond the maximum (and every
// customer without a figure) beyond all; for F and M every negative figure is below any
// threshold and every one from the maximum on reaches all. Such figures form one bucket, the
// first or the last, which no threshold can part from its neighbours' rank.
std::vector<ValueCount> Buckets(const std::vector<ValueCount>& values, bool atMost,
                                qint64 alwaysLowest) {
    std::vector<ValueCount> buckets;
    const auto add = [&buckets](qint64 value, qint64 customers) {
        if (customers == 0)
            return;
        if (!buckets.empty() && buckets.back().Value == value)
            buckets.back().Customers += customers;
        else
            buckets.push_back({value, customers});
    };
    for (const ValueCount& v : values) {
        if (atMost)
            add(std::clamp<qint64>(v.Value, 0, ThresholdMaximum + 1), v.Customers);
        else
            add(std::clamp<qint64>(v.Value, -1, ThresholdMaximum), v.Customers);
    }
    if (atMost)
        add(ThresholdMaximum + 1, alwaysLowest);
    return buckets;
}

// The first bucket of groups 2 to `groups` that split the buckets (prefix sums of their
// customers) into groups whose customers differ least from target in the sum of squares. The
// cost of a group grows convexly with its customers, so each group's best start moves right as
// its end does: every layer is found by divide and conquer.
std::vector<size_t> BestStarts(const std::vector<qint64>& prefix, int groups, double target) {
    const size_t k = prefix.size() - 1;
    const double none = std::numeric_limits<double>::infinity();
    const auto cost = [&](size_t from, size_t to) {
        const double d = static_cast<double>(prefix[to] - prefix[from]) - target;
        return d * d;
    };
    // best[j]: least cost of buckets [0, j) in g groups; choice[g][j] the start of group g.
    std::vector<double> best(k + 1, none);
    for (size_t j = 1; j <= k; ++j)
        best[j] = cost(0, j);
    std::vector<std::vector<size_t>> choice(static_cast<size_t>(groups) + 1,
                                            std::vector<size_t>(k + 1, 0));
    for (int g = 2; g <= groups; ++g) {
        const size_t gs = static_cast<size_t>(g);
        std::vector<double> next(k + 1, none);
        // The ends this layer can have: every group before and after it holds a bucket.
        const size_t first = gs;
        const size_t last = k - static_cast<size_t>(groups - g);
        const auto solve = [&](auto&& self, size_t lo, size_t hi, size_t optLo,
                               size_t optHi) -> void {
            if (lo > hi)
                return;
            const size_t mid = lo + (hi - lo) / 2;
            size_t at = std::max(optLo, gs - 1);
            double least = none;
            for (size_t i = std::max(optLo, gs - 1); i <= std::min(mid - 1, optHi); ++i) {
                const double c = best[i] + cost(i, mid);
                if (c < least) {
                    least = c;
                    at = i;
                }
            }
            next[mid] = least;
            choice[gs][mid] = at;
            if (mid > lo)
                self(self, lo, mid - 1, optLo, at);
            self(self, mid + 1, hi, at, optHi);
        };
        solve(solve, first, last, gs - 1, last - 1);
        best = std::move(next);
    }
    std::vector<size_t> starts(static_cast<size_t>(groups - 1));
    size_t end = k;
    for (int g = groups; g >= 2; --g) {
        end = choice[static_cast<size_t>(g)][end];
        starts[static_cast<size_t>(g - 2)] = end;
    }
    return starts;
}

// Whether every group of the split holds about a fifth of the customers: within a fifth of a
// fifth, or within one customer where the counts are that small.
bool NearAFifth(const std::vector<qint64>& prefix, const std::vector<size_t>& starts) {
    const double fifth = static_cast<double>(prefix.back()) / Ranks;
    const double tolerance = std::max(fifth / 5, 1.0);
    size_t from = 0;
    for (size_t g = 0; g <= starts.size(); ++g) {
        const size_t to = g < starts.size() ? starts[g] : prefix.size() - 1;
        if (std::abs(static_cast<double>(prefix[to] - prefix[from]) - fifth) > tolerance)
            return false;
        from = to;
    }
    return true;
}

} // namespace

EqualSplit SplitEqually(const std::vector<ValueCount>& values, bool atMost, qint64 alwaysLowest) {
    EqualSplit split;
    const std::vector<ValueCount> buckets = Buckets(values, atMost, alwaysLowest);
    if (buckets.empty())
        return split;
    std::vector<qint64> prefix{0};
    for (const ValueCount& b : buckets)
        prefix.push_back(prefix.back() + b.Customers);
    const size_t k = buckets.size();
    const int groups = static_cast<int>(std::min<size_t>(k, Ranks));
    std::vector<size_t> starts;
    if (k > static_cast<size_t>(Ranks)) {
        starts = BestStarts(prefix, Ranks, static_cast<double>(prefix.back()) / Ranks);
    } else {
        for (size_t i = 1; i < k; ++i)
            starts.push_back(i);
    }
    split.Ranks = groups;
    split.Even = groups == Ranks && NearAFifth(prefix, starts);

    // The thresholds the groups give, from the best rank's on: R the last figure of each group
    // (rank 5 first), F and M the first figure of each group above the lowest (rank 2 first).
    std::vector<qint64> cuts;
    if (atMost) {
        for (const size_t start : starts)
            cuts.push_back(buckets[start - 1].Value);
        // With fewer groups than ranks the last group takes the next rank, unless its figures lie
        // beyond every threshold: then it is rank 1.
        if (groups < Ranks && buckets.back().Value <= ThresholdMaximum)
            cuts.push_back(buckets.back().Value);
    } else {
        for (const size_t start : starts)
            cuts.push_back(buckets[start].Value);
    }
    // The ranks without customers take thresholds that part no group: after the last threshold
    // where there is room, else wherever there is.
    std::vector<size_t> groupOf(k, 0);
    for (size_t i = 0, g = 0; i < k; ++i) {
        if (g < starts.size() && i == starts[g])
            ++g;
        groupOf[i] = g;
    }
    const auto partsExactly = [&](std::vector<qint64> thresholds) {
        std::sort(thresholds.begin(), thresholds.end());
        // The thresholds a figure lies beyond: the same for a group, different for two groups,
        // none for the first (the best R rank, the lowest F or M rank) unless it lies beyond
        // every threshold.
        const auto beyond = [&](qint64 value) {
            return atMost ? std::lower_bound(thresholds.begin(), thresholds.end(), value) -
                                thresholds.begin()
                          : std::upper_bound(thresholds.begin(), thresholds.end(), value) -
                                thresholds.begin();
        };
        const bool firstBeyondAll = atMost && buckets.front().Value > ThresholdMaximum;
        if (!firstBeyondAll && beyond(buckets.front().Value) != 0)
            return false;
        for (size_t i = 1; i < k; ++i)
            if ((beyond(buckets[i].Value) == beyond(buckets[i - 1].Value)) !=
                (groupOf[i] == groupOf[i - 1]))
                return false;
        return true;
    };
    const auto tryAdd = [&](qint64 t) {
        if (std::find(cuts.begin(), cuts.end(), t) != cuts.end())
            return;
        std::vector<qint64> trial = cuts;
        trial.push_back(t);
        if (partsExactly(trial))
            cuts = std::move(trial);
    };
    const qint64 after = cuts.empty() ? (atMost ? 0 : buckets.front().Value + 1) : cuts.back() + 1;
    for (qint64 t = std::max<qint64>(after, 0); cuts.size() < Ranks - 1 && t <= ThresholdMaximum;
         ++t)
        tryAdd(t);
    for (qint64 t = 0; cuts.size() < Ranks - 1 && t <= ThresholdMaximum; ++t)
        tryAdd(t);
    std::sort(cuts.begin(), cuts.end());
    if (cuts.size() != Ranks - 1)
        return split; // not reached: five buckets at most leave room for every threshold
    for (int i = 0; i < Ranks - 1; ++i) {
        // R: cuts are ranks 5, 4, 3, 2; F and M: ranks 2, 3, 4, 5.
        const int rank = atMost ? Ranks - i : 2 + i;
        split.Values[static_cast<size_t>(rank - 1)] = QString::number(cuts[static_cast<size_t>(i)]);
    }
    split.Values[0] = split.Values[1];
    return split;
}

} // namespace plw
