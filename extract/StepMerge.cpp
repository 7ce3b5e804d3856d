#include "extract/StepMerge.h"

#include "db/Database.h"
#include "extract/ConditionRecord.h"

namespace plw {
namespace {

// Walks the key table and, for every key, seeks it in current's primary index: change(current,
// found, key) adds or removes a row.
template <typename Change>
void ForEachKey(db::Database& database, const QString& current, const QString& keyTable,
                Change change) {
    db::Transaction transaction(database);
    {
        auto keys = database.openTable(keyTable);
        auto rows = database.openTable(current);
        rows->setIndex(QStringLiteral("FRMKEY"));
        const int column = keys->requireField(u"TmpKaiBan");
        for (; !keys->eof(); keys->moveNext()) {
            const QVariant key = keys->value(column);
            rows->seek(key);
            change(*rows, !rows->noMatch(), key);
        }
    }
    transaction.commit();
}

} // namespace

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
    if (kind == ConditionKind::KindInclude) {
        ForEachKey(database, current, keyTable,
                   [](db::Table& rows, bool found, const QVariant& key) {
                       if (found)
                           return;
                       rows.addNew();
                       rows.setValue(u"M1KaiBan", key);
                       rows.update();
                   });
    } else if (kind == ConditionKind::KindExclude) {
        ForEachKey(database, current, keyTable, [](db::Table& rows, bool found, const QVariant&) {
            if (found)
                rows.remove();
        });
    }
    return current;
}

} // namespace plw
