#pragma once

#include "app/CancelToken.h"
#include "app/Currency.h"
#include "rfm/PLWAN4_hrhen.h"
#include "rfm/ScoringStatistics.h"

#include <QString>

namespace plw {

class EventPump;
class ProgressCounter;
class ProgressSink;
namespace db {
class Database;
}

// What one scoring run reads from the screens, taken once at its start.
struct ScoringInput {
    Thresholds R;
    Thresholds F;
    Thresholds M;
    QString BaseDate; // "YYYYMMDD"
    GroupMatrix Matrix;
    bool DetailPeriodOn = false;
    bool LastVisitFromDetail = false;
    QString DetailFrom; // "YYYYMMDD"
    QString DetailTo;
    QString KeyFilePath; // WorkFolder + "PLWAN40.KEY"
};

struct ScoringServices {
    db::Database& Transaction; // customer master and work tables
    db::Database& Master;      // point history
    ProgressSink& Progress;
    ProgressCounter& Counter;
    EventPump& Pump;
    const CancelToken& Cancel; // requested once the operator confirmed the cancel
};

// The running totals of one customer's purchases in the detailed period.
struct PurchaseTotals {
    qint64 TotalYen = 0;
    qint64 Visits = 0;
};

// Adds one point-history row: kind "1" is a visit with its amount, kind "3" and kind "0" with
// return flag "1" or "2" add only the amount (with its sign), every other row nothing. False,
// leaving the totals as they were, when a total would leave the 64-bit range.
[[nodiscard]] bool AccumulatePurchase(const QString& kind, const QString& returnFlag, qint64 amount,
                                      PurchaseTotals& totals);

// Scores the extracted customers of the key file into workTable (recreated from the master),
// one update per customer inside one transaction, and fills the cell and group statistics.
// On a cancel the rows scored so far keep their values and the statistics hold what was counted.
// False (with error) when the key file cannot be read; database errors throw DatabaseError, and
// an amount or count that is no whole number in range, or a sum of them that would overflow,
// throws NumberValueError naming the customer or the sum.
bool ScoreCustomers(const QString& workTable, qint64 extractedCount, const ScoringInput& input,
                    ScoringServices& services, ScoringStatistics& statistics, QString* error);

} // namespace plw
