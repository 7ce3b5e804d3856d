#pragma once

#include "extract/StepOutcome.h"

#include <QString>

namespace plw {

struct ConditionRecord;

namespace db {
class Database;
}

// The purchase-amount rank condition: fills target (TmpKaiBan CHAR(7)) with the customers whose
// position in the whole customer master, largest cumulative amount first, lies from PinJunFrom
// (empty or 0: the first) to PinJunTo (empty or 0: no upper limit). Customers with equal amounts
// keep the order the database returns. Work抽出T and target are dropped first.
StepOutcome RunRankStep(db::Database& database, const ConditionRecord& record,
                        const QString& target);

} // namespace plw
