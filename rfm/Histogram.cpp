#include "rfm/Histogram.h"

#include <algorithm>
#include <cmath>

namespace plw {

namespace {

// The figure the median customer has.
qint64 Median(const std::vector<ValueCount>& values) {
    qint64 total = 0;
    for (const ValueCount& v : values)
        total += v.Customers;
    qint64 seen = 0;
    for (const ValueCount& v : values) {
        seen += v.Customers;
        if (seen * 2 >= total)
            return v.Value;
    }
    return values.back().Value;
}

// The tail is long when the figures reach much farther beyond the median than the median lies
// beyond the lowest figure.
bool LongTail(const std::vector<ValueCount>& values) {
    const qint64 low = values.front().Value;
    const qint64 high = values.back().Value;
    return high - low > 20 * (Median(values) - low + 1);
}

} // namespace

double Histogram::position(double figure) const {
    if (Edges.size() < 2)
        return 0;
    const double low = static_cast<double>(Edges.front());
    const double span = static_cast<double>(Edges.back()) - low;
    const double offset = std::clamp(figure - low, 0.0, span);
    return Logarithmic ? std::log1p(offset) / std::log1p(span) : offset / span;
}

Histogram HistogramOf(const std::vector<ValueCount>& values, int maxBins) {
    Histogram histogram;
    if (values.empty() || maxBins < 1)
        return histogram;
    const qint64 low = values.front().Value;
    const qint64 end = values.back().Value + 1; // the last edge, after the highest figure
    const qint64 span = end - low;
    histogram.Logarithmic = LongTail(values);
    std::vector<qint64>& edges = histogram.Edges;
    if (histogram.Logarithmic) {
        // Edges evenly spaced on the logarithmic axis, whole figures, each after the one before.
        const double total = std::log1p(static_cast<double>(span));
        for (int i = 0; i <= maxBins; ++i) {
            const auto offset = static_cast<qint64>(std::llround(std::expm1(total * i / maxBins)));
            const qint64 edge = std::min(end, low + offset);
            if (edges.empty() || edge > edges.back())
                edges.push_back(edge);
        }
        if (edges.back() < end)
            edges.push_back(end);
    } else {
        const qint64 bins = std::min<qint64>(maxBins, span);
        const qint64 width = (span + bins - 1) / bins;
        for (qint64 edge = low; edge < end; edge += width)
            edges.push_back(edge);
        edges.push_back(edges.back() + width);
    }
    histogram.Customers.assign(edges.size() - 1, 0);
    size_t bin = 0;
    for (const ValueCount& v : values) {
        while (v.Value >= edges[bin + 1])
            ++bin;
        histogram.Customers[bin] += v.Customers;
    }
    return histogram;
}

double RankBoundary(Currency threshold, bool atMost) {
    const double value = threshold.toDouble();
    return atMost ? std::floor(value) + 1 : std::ceil(value);
}

} // namespace plw
