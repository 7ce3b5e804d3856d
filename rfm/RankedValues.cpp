#include "rfm/RankedValues.h"

namespace plw {

void RankedValues::reserve(qint64 customers) {
    const auto n = static_cast<size_t>(customers);
    for (std::vector<qint64>* column : {&mDays, &mVisits, &mUnits, &mAmountYen})
        column->reserve(n);
}

void RankedValues::add(const RankFigures& figures, qint64 amountYen) {
    mDays.push_back(figures.Days.value_or(NoDays));
    mVisits.push_back(figures.Visits);
    mUnits.push_back(figures.Units);
    mAmountYen.push_back(amountYen);
}

const std::vector<qint64>& RankedValues::figures(Dimension dimension) const {
    switch (dimension) {
    case Dimension::F:
        return mVisits;
    case Dimension::M:
        return mUnits;
    case Dimension::R:
        break;
    }
    return mDays;
}

qint64 RankedValues::bytes() const {
    qint64 total = 0;
    for (const std::vector<qint64>* column : {&mDays, &mVisits, &mUnits, &mAmountYen})
        total += static_cast<qint64>(column->capacity() * sizeof(qint64));
    return total;
}

qint64 RankCounts::ofRank(Dimension dimension, int rank) const {
    qint64 total = 0;
    for (int k = 1; k <= 125; ++k) {
        const QString code = CellCode(k);
        const int digit = code.at(static_cast<int>(dimension)).digitValue();
        if (digit == rank)
            total += Cells[static_cast<size_t>(k - 1)].Customers;
    }
    return total;
}

qint64 RankCounts::customers() const {
    qint64 total = 0;
    for (const CustomerTotal& cell : Cells)
        total += cell.Customers;
    return total;
}

std::array<CustomerTotal, 6> CountGroups(const RankCounts& counts, const GroupMatrix& matrix) {
    static const QString Letters = QStringLiteral("ABCDEX");
    std::array<CustomerTotal, 6> groups{};
    for (size_t k = 0; k < counts.Cells.size(); ++k) {
        const QString& letter = matrix[k];
        const qsizetype entry = letter.size() == 1 ? Letters.indexOf(letter.at(0)) : -1;
        if (entry < 0)
            continue;
        groups[static_cast<size_t>(entry)].Customers += counts.Cells[k].Customers;
        groups[static_cast<size_t>(entry)].AmountYen += counts.Cells[k].AmountYen;
    }
    return groups;
}

} // namespace plw
