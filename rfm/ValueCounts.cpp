#include "rfm/ValueCounts.h"

#include <algorithm>

namespace plw {

std::vector<ValueCount> CountValues(const std::vector<qint64>& column, qint64 skip) {
    std::vector<qint64> sorted;
    sorted.reserve(column.size());
    std::copy_if(column.begin(), column.end(), std::back_inserter(sorted),
                 [skip](qint64 value) { return value != skip; });
    std::sort(sorted.begin(), sorted.end());
    std::vector<ValueCount> counts;
    for (const qint64 value : sorted) {
        if (counts.empty() || counts.back().Value != value)
            counts.push_back({value, 0});
        ++counts.back().Customers;
    }
    return counts;
}

} // namespace plw
