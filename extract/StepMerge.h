#pragma once

#include "extract/StepOutcome.h"

#include <QString>

namespace plw {

namespace db {
class Database;
}

// Applies a rank or age step's key table (TmpKaiBan) to the current table by the condition's kind
// and returns the table that is current afterwards:
//  "2" adds every listed customer missing from current, as a row holding only M1KaiBan;
//  "3" keeps only the listed customers: the join of current and the keys becomes joinTarget, with
//      its FRMKEY index; a step that found nobody leaves nobody (current is emptied);
//  "4" removes the listed customers.
// Any other kind, or a step not used, changes nothing; nor does a "2" or "4" step finding nobody.
QString MergeStepResult(db::Database& database, StepOutcome outcome, const QString& kind,
                        const QString& current, const QString& keyTable, const QString& joinTarget);

} // namespace plw
