#pragma once

#include "app/Currency.h"

#include <QDate>
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

// Thresholds 2 to 5 as numbers, taken once per run.
class RankLimits {
public:
    explicit RankLimits(const Thresholds& thresholds);
    // The rank digit of a whole number (days, visits, units of 10,000 yen): the first of
    // thresholds 5 down to 2 that the value is within (at most it, for days) or reaches (at least
    // it, for visits and amounts); else 1. Compared exactly over the whole 64-bit range.
    QChar AtMost(qint64 value) const;
    QChar AtLeast(qint64 value) const;

private:
    std::array<Currency, 5> mLimits;
};

// A "YYYYMMDD" date text as a date; invalid when it is no real date. The same date as the
// "YYYY/MM/DD" display text would give.
QDate DateOfText(const QString& date);

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
// An amount in yen in whole units of 10,000 yen, a half rounded to the even unit.
qint64 MonetaryUnits(qint64 amountYen);

// Cell k (1 to 125) and its three-digit code RFM: k = 25 x (5 - R) + 5 x (5 - M) + (5 - F) + 1.
QString CellCode(int k);            // "000" outside 1..125
int CellIndex(const QString& code); // 0 when no cell has the code
// The letter of the code's cell ("" when the cell has none), "X" for a code without a cell.
QString GroupOfCode(const QString& code, const GroupMatrix& matrix);

} // namespace plw
