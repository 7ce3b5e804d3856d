// The movement between two runs against the counts of the two runs' own work tables.

#include "AnalysisShop.h"

#include "db/Database.h"
#include "rfm/AnalysisRun.h"
#include "rfm/GroupMovement.h"
#include "settings/ParameterLoader.h"
#include "tests/support/Printers.h"

#include <QMap>

namespace plw::test {
namespace {

const QString Letters = u"ABCDEX"_qs;

struct Scored {
    QString group;
    qint64 amount = 0;
};

class GroupMovementTest : public AnalysisShop {
protected:
    void SetUp() override {
        AnalysisShop::SetUp();
        db().execute(u"DROP TABLE "_qs + QString::fromUtf16(RunHistoryTable));
        db().execute(u"DROP TABLE "_qs + QString::fromUtf16(GroupHistoryTable));
    }

    db::Database& db() { return *mDatabases.Transaction; }

    // Runs the analysis on a base date, the last-visit period the two years up to it.
    AnalysisResult runOn(const QDate& base) {
        mParameterScreen.BaseDate = base.toString(u"yyyyMMdd"_qs);
        mParameterScreen.LastVisitFrom = base.addMonths(-24).addDays(1).toString(u"yyyyMMdd"_qs);
        mParameterScreen.LastVisitTo = mParameterScreen.BaseDate;
        ApplyAnalysisPeriod(mParameterScreen, mSaved, *mConditions);
        return ExecuteAnalysis(*mContext);
    }

    QMap<QString, Scored> scored(const QString& table) {
        QMap<QString, Scored> customers;
        for (auto rows =
                 db().openRecordset(u"SELECT M1KaiBan, グループ, M1SakRgk FROM "_qs + table);
             !rows->eof(); rows->moveNext())
            customers[rows->text(u"M1KaiBan")] = {rows->text(u"グループ"),
                                                  rows->integer(u"M1SakRgk")};
        return customers;
    }
};

TEST_F(GroupMovementTest, TheMovementMatrixIsTheCountOfTheTwoRunsWorkTables) {
    const QDate then(2026, 8, 31), now(2026, 11, 30);
    ASSERT_EQ(runOn(then).Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(mContext->Movement.has_value()); // nothing kept before it
    db().execute(u"SELECT * INTO WorkRFM_Then FROM WorkRFM_1"_qs);
    const QMap<QString, Scored> earlier = scored(u"WorkRFM_Then"_qs);
    ASSERT_GT(earlier.size(), 10);

    // One customer of the earlier run leaves the customer master; the R thresholds change.
    const QString gone = earlier.firstKey();
    db().execute(u"DELETE * FROM M1_お客様マスタ WHERE M1KaiBan = '"_qs + gone + u"'"_qs);
    mParameterScreen.RThreshold[4] = u"20"_qs;

    ASSERT_EQ(runOn(now).Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    ASSERT_TRUE(mContext->Movement.has_value()) << mPrompter.texts().join(u'|').toStdString();
    const GroupMovement& movement = *mContext->Movement;
    const QMap<QString, Scored> later = scored(u"WorkRFM_1"_qs);

    // The same counts straight from the two tables.
    std::array<std::array<qint64, 7>, 7> customers{};
    std::array<std::array<qint64, 6>, 7> amounts{};
    const auto index = [](const QString& group) {
        const qsizetype g = Letters.indexOf(group);
        return g >= 0 && group.size() == 1 ? size_t(g) : size_t(5);
    };
    for (auto it = earlier.begin(); it != earlier.end(); ++it) {
        const size_t row = index(it->group);
        if (!later.contains(it.key())) {
            ++customers[row][MovementGone];
            continue;
        }
        const size_t column = index(later[it.key()].group);
        ++customers[row][column];
        amounts[row][column] += later[it.key()].amount;
    }
    for (auto it = later.begin(); it != later.end(); ++it)
        if (!earlier.contains(it.key())) {
            ++customers[MovementNew][index(it->group)];
            amounts[MovementNew][index(it->group)] += it->amount;
        }
    EXPECT_EQ(movement.Customers, customers);
    EXPECT_EQ(movement.AmountsYen, amounts);
    EXPECT_EQ(movement.Vanished, 1);
    EXPECT_EQ(movement.Earlier.BaseDate, then);
    EXPECT_EQ(movement.BaseDate, now);
    ASSERT_EQ(movement.Differences.size(), 1) << movement.Differences.join(u'|').toStdString();
    EXPECT_TRUE(movement.Differences.first().startsWith(u"しきい値が異なります"_qs));
    // Both sides are filled: some stay, some move, some come new.
    qint64 stayed = 0;
    for (size_t g = 0; g < 6; ++g)
        stayed += customers[g][g];
    EXPECT_GT(stayed, 0);
}

TEST(GroupMovementRules, ThePreviousRunIsTheNewestBeforeTheBaseDate) {
    std::vector<KeptRun> runs(3); // newest first
    runs[0].BaseDate = QDate(2026, 11, 30);
    runs[1].BaseDate = QDate(2026, 8, 31);
    runs[2].BaseDate = QDate(2026, 5, 31);
    const ComparisonChoice previous;
    const ComparisonChoice none{ComparisonChoice::Kind::None, QDate()};
    const ComparisonChoice may{ComparisonChoice::Kind::BaseDate, QDate(2026, 5, 31)};
    const ComparisonChoice april{ComparisonChoice::Kind::BaseDate, QDate(2026, 4, 30)};
    EXPECT_EQ(ComparedRun(runs, previous, QDate(2026, 11, 30))->BaseDate, QDate(2026, 8, 31));
    EXPECT_EQ(ComparedRun(runs, previous, QDate(2027, 1, 31))->BaseDate, QDate(2026, 11, 30));
    EXPECT_FALSE(ComparedRun(runs, previous, QDate(2026, 5, 31)));
    EXPECT_EQ(ComparedRun(runs, may, QDate(2026, 11, 30))->BaseDate, QDate(2026, 5, 31));
    EXPECT_FALSE(ComparedRun(runs, april, QDate(2026, 11, 30)));
    EXPECT_FALSE(ComparedRun(runs, none, QDate(2026, 11, 30)));

    EXPECT_EQ(PeriodLengthText(QDate(2024, 12, 1), QDate(2026, 11, 30)), u"24ヵ月");
    EXPECT_EQ(PeriodLengthText(QDate(2026, 1, 1), QDate(2026, 2, 15)), u"1ヵ月と15日");
    EXPECT_EQ(PeriodLengthText(QDate(2026, 2, 1), QDate(2026, 2, 20)), u"20日");
    EXPECT_EQ(PeriodLengthText(QDate(), QDate(2026, 2, 20)), u"");
}

TEST(GroupMovementRules, TheDifferencesNameWhatDiffers) {
    KeptRun a;
    a.R = {u"30"_qs, u"30"_qs, u"20"_qs, u"10"_qs, u"5"_qs};
    a.Matrix.fill(u"X"_qs);
    a.PeriodFrom = QDate(2024, 12, 1);
    a.PeriodTo = QDate(2026, 11, 30);
    KeptRun b = a;
    b.R[0] = u"99"_qs; // threshold 1 only echoes threshold 2
    b.R[4] = u" 5 "_qs;
    EXPECT_TRUE(RunDifferences(a, b).isEmpty());
    b.Matrix[0] = b.Matrix[124] = u"A"_qs;
    b.PeriodFrom = QDate(2025, 12, 1);
    b.Conditions = {u"顧客情報:性別 指定（かつ） 女"_qs};
    EXPECT_EQ(
        RunDifferences(a, b),
        (QStringList{u"グループの割り当てが 2 か所異なります"_qs,
                     u"最終来店日の期間の長さが異なります（前回 24ヵ月、今回 12ヵ月）"_qs,
                     u"抽出条件が異なります（前回 なし。今回 顧客情報:性別 指定（かつ） 女）"_qs}));
}

} // namespace
} // namespace plw::test
