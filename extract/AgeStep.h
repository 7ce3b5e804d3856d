#pragma once

#include "extract/StepOutcome.h"

#include <QString>

namespace plw {

class Clock;
struct ConditionRecord;

namespace db {
class Database;
}

// The age condition: fills target (TmpKaiBan, TmpKhBart, TmpKhSraB, TmpKhNenS, TmpCulkNr) with the
// customers of the whole master whose age (EstimatedAge on the clock's today) lies from TosNenFrom
// (empty: 0) to TosNenTo (empty or 0: 99), with the three fields the age came from. Work抽出N and
// target are dropped first.
StepOutcome RunAgeStep(db::Database& database, const ConditionRecord& record, const QString& target,
                       const Clock& clock);

} // namespace plw
