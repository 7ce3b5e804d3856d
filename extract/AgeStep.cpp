#include "extract/AgeStep.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"

namespace plw {

StepOutcome RunAgeStep(db::Database& database, const ConditionRecord& record, const QString& target,
                       const Clock& clock) {
    database.tryExecute(QStringLiteral("DROP TABLE Work抽出N"));
    database.tryExecute(QStringLiteral("DROP TABLE ") + target);
    if (record[ConditionRecord::TosNenKind] == ConditionKind::KindNone)
        return StepOutcome::NotUsed;

    auto customers = database.openRecordset(
        QStringLiteral("SELECT M1KaiBan , M1KhBart , M1KhSraB , M1KhNenS  FROM M1_お客様マスタ"));
    if (customers->eof())
        return StepOutcome::NoneFound;

    database.execute(QStringLiteral("CREATE TABLE ") + target +
                     QStringLiteral(" (TmpKaiBan CHAR(7),TmpKhBart CHAR(8),TmpKhSraB "
                                    "CHAR(8),TmpKhNenS CHAR(2),TmpCulkNr INTEGER )"));
    const int from = ToInteger(record[ConditionRecord::TosNenFrom]);
    int to = ToInteger(record[ConditionRecord::TosNenTo]);
    if (to == 0)
        to = 99;

    // One today for the whole walk: every customer's age is taken on the same day, and the clock
    // is not asked a million times.
    const FixedClock today(clock.now());
    const int number = customers->requireField(u"M1KaiBan");
    const int birth = customers->requireField(u"M1KhBart");
    const int firstVisit = customers->requireField(u"M1KhSraB");
    const int ageGroup = customers->requireField(u"M1KhNenS");
    qint64 appended = 0;
    db::Transaction transaction(database);
    {
        auto table = database.openTable(target);
        QString b, s, e;
        for (; !customers->eof(); customers->moveNext()) {
            const bool hasB = customers->readText(birth, b);
            const bool hasS = customers->readText(firstVisit, s);
            const bool hasE = customers->readText(ageGroup, e);
            const int age = EstimatedAge(hasB ? b : QString(), hasS ? s : QString(),
                                         hasE ? e : QString(), today);
            if (age < from || age > to)
                continue;
            table->addNew();
            table->setValue(u"TmpKaiBan", customers->value(number));
            table->setValue(u"TmpKhBart", hasB ? QVariant(b) : QVariant());
            table->setValue(u"TmpKhSraB", hasS ? QVariant(s) : QVariant());
            table->setValue(u"TmpKhNenS", hasE ? QVariant(e) : QVariant());
            table->setValue(u"TmpCulkNr", age);
            table->update();
            ++appended;
        }
    }
    transaction.commit();
    return appended > 0 ? StepOutcome::Found : StepOutcome::NoneFound;
}

} // namespace plw
