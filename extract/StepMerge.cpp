#include "extract/StepMerge.h"

#include "db/Database.h"
#include "extract/ConditionRecord.h"

namespace plw {

QString MergeStepResult(db::Database& database, StepOutcome outcome, const QString& kind,
                        const QString& current, const QString& keyTable,
                        const QString& joinTarget) {
    if (kind == ConditionKind::KindAnd) {
        if (outcome == StepOutcome::NoneFound) {
            // Nobody matches a condition every customer must match.
            database.execute(QStringLiteral("DELETE *  FROM ") + current);
            return current;
        }
        if (outcome != StepOutcome::Found)
            return current;
        database.execute(QStringLiteral(" SELECT *  INTO ") + joinTarget +
                         QStringLiteral(" FROM ") + current + QStringLiteral(" INNER  JOIN ") +
                         keyTable + QStringLiteral(" ON ") + current +
                         QStringLiteral(".M1KaiBan = ") + keyTable + QStringLiteral(".TmpKaiBan "));
        // A failed index leaves the table usable; a later seek on it reports the missing index.
        database.tryExecute(QStringLiteral("CREATE INDEX FRMKEY ON ") + joinTarget +
                            QStringLiteral(" (M1KaiBan)WITH PRIMARY"));
        return joinTarget;
    }
    if (outcome != StepOutcome::Found)
        return current;
    // One statement each, not a seek per key: on a database server a seek is a round trip.
    if (kind == ConditionKind::KindInclude) {
        // The customers not yet there, each once, added in number order (the table's order).
        database.execute(
            QStringLiteral("INSERT INTO %1 (M1KaiBan) SELECT DISTINCT k.TmpKaiBan FROM "
                           "%2 AS k WHERE NOT EXISTS (SELECT 1 FROM %1 AS c WHERE "
                           "c.M1KaiBan = k.TmpKaiBan) ORDER BY k.TmpKaiBan")
                .arg(current, keyTable));
    } else if (kind == ConditionKind::KindExclude) {
        database.execute(
            QStringLiteral("DELETE FROM %1 WHERE M1KaiBan IN (SELECT TmpKaiBan FROM %2)")
                .arg(current, keyTable));
    }
    return current;
}

} // namespace plw
