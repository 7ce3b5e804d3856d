// The group history: the ring's replacement rules, a run that fails keeping nothing, and a
// damaged history reported and set aside while the analysis still runs.

#include "AnalysisShop.h"

#include "db/Database.h"
#include "rfm/AnalysisRun.h"
#include "rfm/GroupHistory.h"
#include "tests/support/Printers.h"

#include <QMap>

#include <functional>

namespace plw::test {
namespace {

const QString RunTable = QString::fromUtf16(RunHistoryTable);
const QString GroupTable = QString::fromUtf16(GroupHistoryTable);
const QString Work = QStringLiteral("WorkRing");

KeptRun RunOn(const QDate& base) {
    KeptRun run;
    run.RunTime = QDateTime(base.addDays(1), QTime(9, 30));
    run.BaseDate = base;
    run.PeriodFrom = base.addMonths(-24).addDays(1);
    run.PeriodTo = base;
    run.R = {u"180"_qs, u"180"_qs, u"90"_qs, u"60"_qs, u"30"_qs};
    run.F = {u"2"_qs, u"2"_qs, u"4"_qs, u"8"_qs, u"12"_qs};
    run.M = {u"2"_qs, u"2"_qs, u"5"_qs, u"10"_qs, u"20"_qs};
    run.Matrix.fill(u"X"_qs);
    run.Matrix[0] = u"A"_qs;
    run.Conditions = {u"顧客情報:性別 指定（かつ） 女"_qs};
    run.Extracted = 3;
    run.GroupCounts = {1, 1, 0, 0, 0, 1};
    run.GroupAmounts[0] = 123456789012;
    run.CellCounts[0] = 1;
    run.CellAmounts[0] = Currency::fromScaled(123456789012);
    return run;
}

class GroupHistoryTest : public AnalysisShop {
protected:
    void SetUp() override {
        AnalysisShop::SetUp();
        // The sample keeps one run; these tests start from no history.
        db().execute(u"DROP TABLE "_qs + RunTable);
        db().execute(u"DROP TABLE "_qs + GroupTable);
        mNumbers = column(u"SELECT M1KaiBan FROM M1_お客様マスタ ORDER BY M1KaiBan"_qs);
    }

    db::Database& db() { return *mDatabases.Transaction; }

    QStringList column(const QString& query) {
        QStringList values;
        for (auto rows = db().openRecordset(query); !rows->eof(); rows->moveNext())
            values << rows->value(0).toString();
        return values;
    }

    // A run's work table: customer number and group.
    void workTable(const QMap<QString, QString>& groups) {
        db().tryExecute(u"DROP TABLE "_qs + Work);
        db().execute(u"CREATE TABLE "_qs + Work + u" (M1KaiBan CHAR(7), グループ CHAR(1))"_qs);
        auto table = db().openTable(Work);
        for (auto it = groups.begin(); it != groups.end(); ++it) {
            table->addNew();
            table->setValue(u"M1KaiBan", it.key());
            table->setValue(u"グループ", it.value());
            table->update();
        }
    }

    KeepResult keep(const KeptRun& run) {
        const HistoryRead read = ReadHistory(db());
        EXPECT_TRUE(read.usable()) << read.Cause.toStdString();
        return KeepRun(db(), read.Runs, run, Work);
    }

    // Every customer's slot texts.
    QMap<QString, QString> slots() {
        QMap<QString, QString> all;
        for (auto rows = db().openRecordset(u"SELECT HKaiBan, HSlots FROM "_qs + GroupTable);
             !rows->eof(); rows->moveNext())
            all[rows->text(u"HKaiBan")] = rows->text(u"HSlots");
        return all;
    }

    QString slotOf(const QString& customer, int slot) {
        return slots().value(customer).mid(slot - 1, 1);
    }

    QStringList mNumbers;
};

TEST(GroupHistoryRing, ASlotIsTheSameBaseDatesElseTheLowestFreeElseTheOldestBaseDates) {
    const QDate first(2024, 1, 31);
    std::vector<KeptRun> runs;
    EXPECT_EQ(SlotForRun(runs, first), 1);
    for (int k = 1; k <= HistorySlots; ++k) {
        KeptRun run = RunOn(first.addMonths(k - 1));
        run.Slot = k == 3 ? 24 : k == 24 ? 3 : k; // the ring's order need not follow the dates
        runs.push_back(run);
    }
    std::vector<KeptRun> gap = runs;
    gap.erase(gap.begin() + 4); // slot 5 free
    struct Case {
        const char* what;
        const std::vector<KeptRun>& runs;
        QDate base;
        int slot;
    } cases[] = {
        {"a kept base date is replaced", runs, first.addMonths(2), 24},
        {"a free slot is taken first", gap, first.addMonths(30), 5},
        {"all taken: the oldest base date gives way", runs, first.addMonths(30), 1},
        {"between kept dates, still the oldest", runs, first.addMonths(5).addDays(3), 1},
        {"older than all kept: not kept", runs, first.addDays(-1), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlotForRun(c.runs, c.base), c.slot) << c.what;
}

TEST_F(GroupHistoryTest, TheRingKeepsOneRunPerBaseDateAndTheOldestGivesWay) {
    const QString a = mNumbers[0], b = mNumbers[1], c = mNumbers[2];
    const QDate first(2024, 1, 31);
    for (int k = 0; k < HistorySlots; ++k) {
        // a in every run, b in the first only, c from the second on.
        QMap<QString, QString> groups{{a, k % 2 ? u"A"_qs : u"B"_qs}};
        groups[k == 0 ? b : c] = u"C"_qs;
        workTable(groups);
        const KeepResult kept = keep(RunOn(first.addMonths(k)));
        ASSERT_TRUE(kept.Kept) << kept.Error.toStdString();
        EXPECT_EQ(kept.Slot, k + 1);
    }
    HistoryRead read = ReadHistory(db());
    ASSERT_EQ(read.Outcome, HistoryRead::State::Read);
    ASSERT_EQ(read.Runs.size(), size_t(HistorySlots));
    EXPECT_EQ(read.Runs.front().BaseDate, first.addMonths(23)); // newest first
    EXPECT_EQ(read.Runs.back(), [&] {
        KeptRun expected = RunOn(first);
        expected.Slot = 1;
        return expected;
    }());
    EXPECT_EQ(slots().value(a), u"BABABABABABABABABABABABA"_qs);
    EXPECT_EQ(slots().value(b), u"C......................."_qs);
    EXPECT_EQ(slots().value(c), u".CCCCCCCCCCCCCCCCCCCCCCC"_qs);

    // A 25th base date takes the oldest's slot: b, kept by that run alone, leaves the history.
    workTable({{a, u"X"_qs}});
    KeepResult kept = keep(RunOn(first.addMonths(24)));
    EXPECT_TRUE(kept.Kept);
    EXPECT_EQ(kept.Slot, 1);
    EXPECT_EQ(kept.Replaced, first);
    EXPECT_FALSE(slots().contains(b));
    EXPECT_EQ(slotOf(a, 1), u"X");
    EXPECT_EQ(slotOf(c, 1), u".");
    read = ReadHistory(db());
    EXPECT_EQ(read.Runs.back().BaseDate, first.addMonths(1));

    // A newer run of a kept base date replaces it in its slot; a customer without a group is
    // kept as scored.
    workTable({{a, u""_qs}, {c, u"E"_qs}});
    kept = keep(RunOn(first.addMonths(10)));
    EXPECT_EQ(kept.Slot, 11);
    EXPECT_EQ(kept.Replaced, first.addMonths(10));
    EXPECT_EQ(slotOf(a, 11), u"_");
    EXPECT_EQ(slotOf(c, 11), u"E");
    EXPECT_EQ(ReadHistory(db()).Runs.size(), size_t(HistorySlots));

    // A base date older than every kept run while all slots are taken is not kept.
    const QMap<QString, QString> before = slots();
    kept = keep(RunOn(first.addDays(-1)));
    EXPECT_FALSE(kept.Kept);
    EXPECT_TRUE(kept.Error.isEmpty());
    EXPECT_EQ(slots(), before);

    // Customers gone from the customer master leave the history at the next run.
    db().execute(u"DELETE * FROM M1_お客様マスタ WHERE M1KaiBan = '"_qs + c + u"'"_qs);
    workTable({{a, u"A"_qs}});
    ASSERT_TRUE(keep(RunOn(first.addMonths(25))).Kept);
    EXPECT_FALSE(slots().contains(c));
    EXPECT_TRUE(slots().contains(a));
}

TEST_F(GroupHistoryTest, ARunThatFailsKeepsNothing) {
    workTable({{mNumbers[0], u"A"_qs}, {mNumbers[1], u"B"_qs}});
    ASSERT_TRUE(keep(RunOn(QDate(2026, 8, 31))).Kept);
    const QMap<QString, QString> before = slots();
    const std::vector<KeptRun> runs = ReadHistory(db()).Runs;

    // The group column is missing: the fill fails after the slot's run row was deleted and the
    // new customers were added, and all of it is undone.
    db().execute(u"DROP TABLE "_qs + Work);
    db().execute(u"CREATE TABLE "_qs + Work + u" (M1KaiBan CHAR(7))"_qs);
    db().execute(u"INSERT INTO "_qs + Work + u" (M1KaiBan) VALUES ('"_qs + mNumbers[5] + u"')"_qs);
    const KeepResult failed = KeepRun(db(), runs, RunOn(QDate(2026, 8, 31)), Work);
    EXPECT_FALSE(failed.Kept);
    EXPECT_FALSE(failed.Error.isEmpty());
    EXPECT_EQ(slots(), before);
    EXPECT_EQ(ReadHistory(db()).Runs, runs);
}

TEST_F(GroupHistoryTest, DamageIsToldApartAndSetAsideWithNothingLost) {
    workTable({{mNumbers[0], u"A"_qs}});
    ASSERT_TRUE(keep(RunOn(QDate(2026, 8, 31))).Kept);
    ASSERT_TRUE(db().tableExists(RunTable));

    struct Case {
        const char* what;
        QString change;
        QString cause;
    };
    const Case cases[] = {
        {"a slot outside the ring", u"UPDATE %1 SET HSlot = 30"_qs, u"枠番号 30"_qs},
        {"no base date", u"UPDATE %1 SET HBaseDate = '20261340'"_qs, u"基準日"_qs},
        {"a short matrix", u"UPDATE %1 SET HMatrix = 'ABC'"_qs, u"グループの割り当て"_qs},
        {"a count list cut short", u"UPDATE %1 SET HGroupCounts = '1,2'"_qs, u"集計値"_qs},
        {"a base date twice",
         u"INSERT INTO %1 SELECT 2, HRunTime, HBaseDate, HPeriodFrom, HPeriodTo, HThresholds, "
         "HMatrix, HConditions, HExtracted, HCellCounts, HCellAmounts, HGroupCounts, "
         "HGroupAmounts FROM %1"_qs,
         u"重複"_qs},
    };
    for (const Case& c : cases) {
        db::Transaction undo(db());
        db().execute(c.change.arg(RunTable));
        const HistoryRead read = ReadHistory(db());
        EXPECT_EQ(read.Outcome, HistoryRead::State::Damaged) << c.what;
        EXPECT_TRUE(read.Cause.contains(c.cause)) << c.what << ": " << read.Cause.toStdString();
        EXPECT_TRUE(read.Runs.empty()) << c.what;
    } // each change rolled back

    EXPECT_EQ(CheckGroupRows(db()), QString());
    db().execute(u"UPDATE %1 SET HSlots = 'Q' & MID$(HSlots, 2)"_qs.arg(GroupTable));
    EXPECT_TRUE(CheckGroupRows(db()).contains(u"1 件"));

    db().execute(u"DROP TABLE "_qs + GroupTable);
    HistoryRead read = ReadHistory(db());
    EXPECT_EQ(read.Outcome, HistoryRead::State::Damaged);
    EXPECT_TRUE(read.Cause.contains(GroupTable));

    // Set aside: under new names with every row, and the places free for a new history.
    QStringList keptAs;
    QString error;
    ASSERT_TRUE(SetHistoryAside(db(), QDateTime(QDate(2026, 12, 1), QTime(9, 0)), &keptAs, &error))
        << error.toStdString();
    EXPECT_EQ(keptAs, QStringList{RunTable + u"_20261201090000"_qs});
    EXPECT_EQ(column(u"SELECT HBaseDate FROM "_qs + keptAs.first()), QStringList{u"20260831"_qs});
    EXPECT_EQ(ReadHistory(db()).Outcome, HistoryRead::State::Empty);
}

TEST_F(GroupHistoryTest, ARunWithADamagedHistorySetsItAsideAndStillRunsAndKeepsItself) {
    workTable({{mNumbers[0], u"A"_qs}});
    ASSERT_TRUE(keep(RunOn(QDate(2026, 8, 31))).Kept);
    db().execute(u"UPDATE %1 SET HMatrix = 'ABC'"_qs.arg(RunTable));

    const AnalysisResult result = ExecuteAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_TRUE(result.Problems.isEmpty());
    EXPECT_FALSE(mContext->Movement.has_value()); // nothing left to compare with
    const QString told = mPrompter.texts().last();
    EXPECT_TRUE(told.startsWith(u"グループ履歴が壊れていたため、別の名前で残し"_qs))
        << told.toStdString();
    EXPECT_TRUE(told.contains(u"グループの割り当て"_qs));
    const QString aside = RunTable + u"_20261201090000"_qs;
    ASSERT_TRUE(db().tableExists(aside));
    EXPECT_EQ(column(u"SELECT HMatrix FROM "_qs + aside), QStringList{u"ABC"_qs});

    const HistoryRead now = ReadHistory(db());
    ASSERT_EQ(now.Outcome, HistoryRead::State::Read);
    ASSERT_EQ(now.Runs.size(), 1u);
    EXPECT_EQ(now.Runs.front().BaseDate, DateOfText(mParameterScreen.BaseDate));
    EXPECT_EQ(now.Runs.front().Extracted, result.Extracted);
}

TEST_F(GroupHistoryTest, AHistoryThatCannotBeWrittenIsReportedAndTheRunEndsWithItsResult) {
    workTable({{mNumbers[0], u"A"_qs}});
    ASSERT_TRUE(keep(RunOn(QDate(2026, 8, 31))).Kept);
    const QMap<QString, QString> before = slots();
    // The database refuses to fill slot 2, the next run's, as a full disk would refuse it.
    db().execute(u"SELECT * INTO Kept FROM "_qs + GroupTable);
    db().execute(u"DROP TABLE "_qs + GroupTable);
    db().execute(u"CREATE TABLE %1 (HKaiBan CHAR(7) NOT NULL CONSTRAINT %1Key PRIMARY KEY, "
                 "HSlots CHAR(24) NOT NULL CHECK (MID$(HSlots, 2, 1) = '.'))"_qs.arg(GroupTable));
    db().execute(u"INSERT INTO %1 SELECT * FROM Kept"_qs.arg(GroupTable));

    const AnalysisResult result = ExecuteAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored);
    ASSERT_EQ(result.Problems.size(), 1);
    EXPECT_TRUE(
        result.Problems.first().startsWith(u"今回の実行をグループ履歴に残せませんでした"_qs))
        << result.Problems.first().toStdString();
    EXPECT_EQ(mPrompter.messages().last().icon, MessageIcon::Critical);
    EXPECT_EQ(slots(), before);
    EXPECT_EQ(ReadHistory(db()).Runs.size(), 1u);
}

} // namespace
} // namespace plw::test
