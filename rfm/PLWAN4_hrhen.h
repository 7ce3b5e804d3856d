#pragma once

#include "app/Currency.h"

#include <QString>

#include <array>

namespace plw {

// The rank and lookup routines of the RFM scoring: thresholds are texts as typed, index 0 holding
// threshold 1 (the screen's echo of threshold 2, never used for ranking).
using Thresholds = std::array<QString, 5>;
using GroupMatrix = std::array<QString, 125>;

// The leading number of a threshold text, as the screen's value: blanks skipped, then an optional
// sign, digits and a fraction; whatever follows is ignored, and a text without one counts as 0.
Currency ThresholdValue(const QString& text);

struct RecencyRank {
    QString Rank; // "1" to "5"
    QString Days; // days from the last visit to the base date, "##0"; "" when it cannot be formed
};

// Both dates "YYYY/MM/DD". A last visit that is no real date has no day count: the customer gets
// the lowest rank "1" and an empty day count, rather than a number made up from nothing.
RecencyRank RankRecency(const QString& baseDate, const QString& lastVisit, const Thresholds& r);
QString RankFrequency(const QString& visits, const Thresholds& f);
// The amount in yen becomes units of 10,000 yen, a half rounded to the even unit.
QString RankMonetary(const QString& amountYen, const Thresholds& m);

// Cell k (1 to 125) and its three-digit code RFM: k = 25 x (5 - R) + 5 x (5 - M) + (5 - F) + 1.
QString CellCode(int k);            // "000" outside 1..125
int CellIndex(const QString& code); // 0 when no cell has the code
// The letter of the code's cell ("" when the cell has none), "X" for a code without a cell.
QString GroupOfCode(const QString& code, const GroupMatrix& matrix);

} // namespace plw
