#include "tools/sample/SampleHistory.h"

#include "db/BaseTables.h"
#include "db/Database.h"
#include "extract/Classifications.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionSummary.h"
#include "rfm/AnalysisHistory.h"
#include "rfm/GroupHistory.h"
#include "rfm/PLWAN4_hrhen.h"
#include "settings/ParameterScreenState.h"
#include "tools/sample/SampleSettings.h"

namespace plw::sample {

namespace {

const QString WorkTable = QStringLiteral("WorkSampleEarlier");
const QString Letters = QStringLiteral("ABCDEX");

QString SlashDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

} // namespace

struct SampleEarlierRun::Settings {
    KeptRun Run;
    QString BaseDate; // "YYYY/MM/DD", as the ranking takes it
};

SampleEarlierRun::SampleEarlierRun(const SampleFolders& folders)
    : mSettings(std::make_unique<Settings>()) {
    const AnalysisParameters saved = SampleAnalysisParameters(folders);
    KeptRun& run = mSettings->Run;
    run.RunTime = QDateTime(SampleEarlierBaseDate.addDays(1), QTime(9, 0));
    run.BaseDate = SampleEarlierBaseDate;
    run.PeriodFrom = SampleEarlierBaseDate.addMonths(-24).addDays(1);
    run.PeriodTo = SampleEarlierBaseDate;
    run.R = saved.RThreshold;
    run.F = saved.FThreshold;
    run.M = saved.MThreshold;
    run.Matrix = saved.GroupMatrix;
    // The saved conditions hold the period alone, as the analysis keeps them.
    ParameterScreenState screen;
    ConditionRecord conditions = ClearedConditionRecord();
    run.Conditions =
        KeptConditions(conditions, ClassificationNames::FromTable(ClassificationTable()), screen);
    mSettings->BaseDate = SlashDate(SampleEarlierBaseDate);
}

SampleEarlierRun::~SampleEarlierRun() = default;

void SampleEarlierRun::add(qint64 index, const GeneratedCustomer& customer) {
    if (mGroups.size() <= size_t(index))
        mGroups.resize(size_t(index) + 1, 0);
    KeptRun& run = mSettings->Run;
    // The customer's figures as the master held them on the earlier base date.
    const QString until = SampleEarlierBaseDate.toString(QStringLiteral("yyyyMMdd"));
    const size_t columns = db::PointHistoryColumns().size();
    QString lastVisit;
    qint64 visits = 0, amount = 0;
    for (int row = 0; row < customer.historyRows; ++row) {
        const auto value = [&](db::PointHistoryColumn column) {
            return customer.history[size_t(row) * columns + size_t(column)];
        };
        const QString day = value(db::PointHistoryColumn::M2BuyYmd).toString();
        if (day > until)
            break; // the rows come in date order
        lastVisit = day;
        const QString kind = value(db::PointHistoryColumn::M2FlgSyu).toString();
        const QString returned = value(db::PointHistoryColumn::M2FlgHpn).toString();
        const qint64 yen = value(db::PointHistoryColumn::M2BuyGak).toLongLong();
        if (kind == u"1")
            ++visits;
        if (kind == u"1" || kind == u"3" ||
            (kind == u"0" && (returned == u"1" || returned == u"2")))
            amount += yen;
    }
    const QDate last = QDate::fromString(lastVisit, QStringLiteral("yyyyMMdd"));
    if (!last.isValid() || last < run.PeriodFrom || last > run.PeriodTo)
        return;
    const QString code = RankRecency(mSettings->BaseDate, SlashDate(last), run.R).Rank +
                         RankFrequency(QString::number(visits), run.F) +
                         RankMonetary(QString::number(amount), run.M);
    const QString group = GroupOfCode(code, run.Matrix);
    mGroups[size_t(index)] = group.isEmpty() ? '_' : char(group.at(0).toLatin1());
    ++run.Extracted;
    if (const int k = CellIndex(code)) {
        ++run.CellCounts[size_t(k - 1)];
        run.CellAmounts[size_t(k - 1)] += Currency::fromScaled(amount); // yen / 10,000
    }
    if (const qsizetype g = Letters.indexOf(group); g >= 0 && !group.isEmpty()) {
        ++run.GroupCounts[size_t(g)];
        run.GroupAmounts[size_t(g)] += amount;
    }
}

bool SampleEarlierRun::keep(db::Database& transaction, QString* error) {
    try {
        transaction.tryExecute(QStringLiteral("DROP TABLE ") + WorkTable);
        transaction.execute(QStringLiteral("CREATE TABLE %1 (M1KaiBan CHAR(7) CONSTRAINT "
                                           "FRMKEY PRIMARY KEY, グループ CHAR(1))")
                                .arg(WorkTable));
        {
            db::Transaction fill(transaction);
            auto insert = transaction.prepare(
                QStringLiteral("INSERT INTO %1 (M1KaiBan, グループ) VALUES (?1, ?2)")
                    .arg(WorkTable));
            for (size_t i = 0; i < mGroups.size(); ++i) {
                if (mGroups[i] == 0)
                    continue;
                insert->bind(1, SampleCustomerNumber(qint64(i)));
                insert->bind(2, mGroups[i] == '_' ? QString() : QString(QLatin1Char(mGroups[i])));
                insert->execute();
            }
            fill.commit();
        }
        const KeepResult kept = KeepRun(transaction, {}, mSettings->Run, WorkTable);
        transaction.execute(QStringLiteral("DROP TABLE ") + WorkTable);
        if (!kept.Kept) {
            *error = QStringLiteral("グループ履歴に残せません: %1").arg(kept.Error);
            return false;
        }
    } catch (const db::DatabaseError& failure) {
        *error = QStringLiteral("グループ履歴を作れません: %1").arg(failure.message());
        return false;
    }
    return true;
}

} // namespace plw::sample
