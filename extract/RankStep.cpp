#include "extract/RankStep.h"

#include "app/CommonRoutines.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"

#include <limits>

namespace plw {

StepOutcome RunRankStep(db::Database& database, const ConditionRecord& record,
                        const QString& target) {
    database.tryExecute(QStringLiteral("DROP TABLE Work抽出T"));
    database.tryExecute(QStringLiteral("DROP TABLE ") + target);
    if (record[ConditionRecord::PinJunKind] == ConditionKind::KindNone)
        return StepOutcome::NotUsed;

    auto ranked = database.openRecordset(
        QStringLiteral("SELECT M1KaiBan , M1SakRgk  FROM M1_お客様マスタ ORDER "
                       "BY M1SakRgk DESC"));
    if (ranked->eof())
        return StepOutcome::NoneFound;

    database.execute(QStringLiteral("CREATE TABLE ") + target +
                     QStringLiteral(" (TmpKaiBan CHAR(7) )"));
    qint64 from = ToLong(record[ConditionRecord::PinJunFrom]);
    if (from == 0)
        from = 1;
    // An upper bound of 0 (empty, or no number) sets no limit, however many customers there are.
    qint64 to = ToLong(record[ConditionRecord::PinJunTo]);
    if (to == 0)
        to = std::numeric_limits<qint64>::max();

    const int number = ranked->requireField(u"M1KaiBan");
    qint64 appended = 0;
    db::Transaction transaction(database);
    {
        auto table = database.openTable(target);
        QString customer;
        for (qint64 position = 1; !ranked->eof() && position <= to;
             ranked->moveNext(), ++position) {
            if (position < from)
                continue;
            table->addNew();
            table->setValue(u"TmpKaiBan",
                            ranked->readText(number, customer) ? QVariant(customer) : QVariant());
            table->update();
            ++appended;
        }
    }
    transaction.commit();
    return appended > 0 ? StepOutcome::Found : StepOutcome::NoneFound;
}

} // namespace plw
