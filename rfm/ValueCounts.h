#pragma once

#include <QtGlobal>

#include <vector>

namespace plw {

// One figure and the customers who have it.
struct ValueCount {
    qint64 Value = 0;
    qint64 Customers = 0;
    bool operator==(const ValueCount&) const = default;
};

// The distinct figures of a column in ascending order, each with its customers; the entries
// equal to skip (a column's mark for no figure) are left out.
std::vector<ValueCount> CountValues(const std::vector<qint64>& column, qint64 skip);

} // namespace plw
