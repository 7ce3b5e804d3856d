#pragma once

#include "extract/ConditionRecord.h"

#include <QString>

namespace plw {

class Clock;

// The two clauses (without WHERE) of an extraction: the customers to take and the customers to
// remove afterwards. Either may be empty; an empty selection takes every customer.
struct ConditionSql {
    QString Selection;
    QString Exclusion;
};

// field >= from, field <= to, or "( field >= from AND field <= to )" when both are given; with
// quote the bounds become text literals (single quotes inside doubled).
QString RangeClause(const QString& field, bool quote, const QString& from, const QString& to);

// The Jet SQL clauses of the conditions: the kind "3" pieces joined with AND, then (only when
// there are some) the kind "2" pieces joined with OR; the kind "4" pieces joined with OR form the
// exclusion. Age and purchase-amount rank are left to the extraction run. Typed texts are
// inserted as literals: quotes doubled, and LIKE's special characters matched as themselves.
ConditionSql BuildConditionSql(const ConditionRecord& record, const Clock& clock);

} // namespace plw
