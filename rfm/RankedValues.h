#pragma once

#include "rfm/PLWAN4_hrhen.h"

#include <array>
#include <limits>
#include <vector>

namespace plw {

// The three dimensions of the analysis.
enum class Dimension { R, F, M };

// The figures the scoring ranks each selected customer by, in one column each (8 bytes a
// customer a column): days from the last visit to the base date (NoDays without a day count),
// visits, units of 10,000 yen; and the amount in yen that the customer adds to a group.
class RankedValues {
public:
    static constexpr qint64 NoDays = std::numeric_limits<qint64>::min();

    void reserve(qint64 customers);
    void add(const RankFigures& figures, qint64 amountYen);

    qint64 size() const { return static_cast<qint64>(mAmountYen.size()); }
    // The column of a dimension's figures.
    const std::vector<qint64>& figures(Dimension dimension) const;
    const std::vector<qint64>& amountsYen() const { return mAmountYen; }
    // The memory the columns hold, in bytes.
    qint64 bytes() const;

private:
    std::vector<qint64> mDays;
    std::vector<qint64> mVisits;
    std::vector<qint64> mUnits;
    std::vector<qint64> mAmountYen;
};

// The customers of a matrix cell or a group and the sum of their amounts in yen.
struct CustomerTotal {
    qint64 Customers = 0;
    qint64 AmountYen = 0;
    bool operator==(const CustomerTotal&) const = default;
};

// The customers of every matrix cell under one set of thresholds.
struct RankCounts {
    std::array<CustomerTotal, 125> Cells; // index k - 1 for cell k
    // The customers of rank 1 to 5 of a dimension.
    qint64 ofRank(Dimension dimension, int rank) const;
    qint64 customers() const;
};

// The customers and amounts of groups A to E and X (in that order) under a group matrix: each
// cell counts for its letter, a cell of no group for none.
std::array<CustomerTotal, 6> CountGroups(const RankCounts& counts, const GroupMatrix& matrix);

} // namespace plw
