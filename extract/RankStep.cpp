#include "extract/RankStep.h"

#include "app/CommonRoutines.h"
#include "db/Database.h"
#include "db/WholeNumber.h"
#include "extract/ConditionRecord.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace plw {

StepOutcome RunRankStep(db::Database& database, const ConditionRecord& record,
                        const QString& target) {
    database.tryExecute(QStringLiteral("DROP TABLE Work抽出T"));
    database.tryExecute(QStringLiteral("DROP TABLE ") + target);
    if (record[ConditionRecord::PinJunKind] == ConditionKind::KindNone)
        return StepOutcome::NotUsed;

    // Customers of equal amounts in number order, so that a range's bounds fall on the same
    // customers whatever order the database would give them in.
    auto ranked = database.openRecordset(QStringLiteral(
        "SELECT M1KaiBan , M1SakRgk  FROM M1_お客様マスタ ORDER BY M1SakRgk DESC, M1KaiBan"));
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

    // Every amount is read as the scoring reads it (a text or a value beyond the range stops
    // the run, naming the customer) and the ranking follows those values; customers of equal
    // amounts keep the database's order.
    struct Ranked {
        qint64 Amount;
        QString Customer;
    };
    const int number = ranked->requireField(u"M1KaiBan");
    const int amount = ranked->requireField(u"M1SakRgk");
    std::vector<Ranked> all;
    for (; !ranked->eof(); ranked->moveNext()) {
        Ranked next{0, QString()}; // a Null number stays a null text
        ranked->readText(number, next.Customer);
        next.Amount = db::WholeNumber::require(ranked->value(amount), u"M1SakRgk", next.Customer);
        all.push_back(std::move(next));
    }
    ranked.reset();
    std::stable_sort(all.begin(), all.end(),
                     [](const Ranked& a, const Ranked& b) { return a.Amount > b.Amount; });

    // The customers in range, appended in number order: the list is a set, and in that order the
    // merges read the current table's pages one after the other instead of all over the file.
    std::vector<QString> customers;
    for (qint64 position = std::max<qint64>(from, 1);
         position <= qint64(all.size()) && position <= to; ++position)
        customers.push_back(std::move(all[size_t(position - 1)].Customer));
    std::sort(customers.begin(), customers.end());

    db::Transaction transaction(database);
    {
        auto table = database.openTable(target);
        for (const QString& key : customers) {
            table->addNew();
            table->setValue(u"TmpKaiBan", key.isNull() ? QVariant() : QVariant(key));
            table->update();
        }
    }
    transaction.commit();
    const qint64 appended = qint64(customers.size());
    return appended > 0 ? StepOutcome::Found : StepOutcome::NoneFound;
}

} // namespace plw
