#include "rfm/RankDistribution.h"

#include <functional>

namespace plw {

namespace {

size_t IndexOf(Dimension dimension) {
    return static_cast<size_t>(dimension);
}

// The widest range of figures whose ranks are looked up in a table instead of worked out for
// every customer (a byte per figure).
constexpr qint64 LargestTable = qint64(1) << 24;

int Digit(QChar rank) {
    return rank.unicode() - u'0';
}

// The rank of every figure from the lowest to the highest of a dimension, by the rules, filled in
// for the figures customers have.
std::vector<quint8> RankTable(const std::vector<ValueCount>& distinct,
                              const std::function<QChar(qint64)>& rank) {
    std::vector<quint8> table;
    if (distinct.empty() || distinct.back().Value - distinct.front().Value >= LargestTable)
        return table;
    table.resize(size_t(distinct.back().Value - distinct.front().Value + 1), 0);
    for (const ValueCount& v : distinct)
        table[size_t(v.Value - distinct.front().Value)] = quint8(Digit(rank(v.Value)));
    return table;
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
    const RankRules rules(r, f, m);
    // The cell of every three rank digits, and each dimension's rank of every figure.
    std::array<int, 6 * 6 * 6> cellOf{};
    for (char16_t R = u'1'; R <= u'5'; ++R)
        for (char16_t F = u'1'; F <= u'5'; ++F)
            for (char16_t M = u'1'; M <= u'5'; ++M)
                cellOf[size_t(((R - u'0') * 6 + F - u'0') * 6 + M - u'0')] = CellOfRanks(R, F, M);
    const std::vector<quint8> days = RankTable(mDistinct[IndexOf(Dimension::R)],
                                               [&](qint64 value) { return rules.Recency(value); });
    const std::vector<quint8> visits = RankTable(
        mDistinct[IndexOf(Dimension::F)], [&](qint64 value) { return rules.Frequency(value); });
    const std::vector<quint8> units = RankTable(
        mDistinct[IndexOf(Dimension::M)], [&](qint64 value) { return rules.Monetary(value); });
    const auto low = [this](Dimension d) {
        const std::vector<ValueCount>& distinct = mDistinct[IndexOf(d)];
        return distinct.empty() ? 0 : distinct.front().Value;
    };
    const qint64 lowDays = low(Dimension::R), lowVisits = low(Dimension::F),
                 lowUnits = low(Dimension::M);

    RankCounts counts;
    const qint64* d = mValues.figures(Dimension::R).data();
    const qint64* v = mValues.figures(Dimension::F).data();
    const qint64* u = mValues.figures(Dimension::M).data();
    const qint64* yen = mValues.amountsYen().data();
    const qint64 n = mValues.size();
    const bool tables = !days.empty() && !visits.empty() && !units.empty();
    for (qint64 i = 0; i < n; ++i) {
        int R, F, M;
        if (tables) {
            R = d[i] == RankedValues::NoDays ? 1 : days[size_t(d[i] - lowDays)];
            F = visits[size_t(v[i] - lowVisits)];
            M = units[size_t(u[i] - lowUnits)];
        } else {
            R = Digit(rules.Recency(d[i] == RankedValues::NoDays ? std::nullopt
                                                                 : std::optional<qint64>(d[i])));
            F = Digit(rules.Frequency(v[i]));
            M = Digit(rules.Monetary(u[i]));
        }
        CustomerTotal& cell = counts.Cells[size_t(cellOf[size_t((R * 6 + F) * 6 + M)] - 1)];
        ++cell.Customers;
        cell.AmountYen += yen[i];
    }
    return counts;
}

EqualSplit RankDistribution::splitEqually(Dimension dimension) const {
    const bool atMost = dimension == Dimension::R;
    return SplitEqually(mDistinct[IndexOf(dimension)], atMost, atMost ? mWithoutDays : 0);
}

} // namespace plw
