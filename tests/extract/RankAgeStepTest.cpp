#include "ExtractionShop.h"

#include "db/BaseTables.h"
#include "db/WholeNumber.h"
#include "extract/AgeStep.h"
#include "extract/RankStep.h"
#include "tests/support/Printers.h"

namespace plw::test {
namespace {

using R = ConditionRecord;

struct BoundsCase {
    const char16_t* from;
    const char16_t* to;
    std::initializer_list<int> expected; // empty: the step finds nobody
};

// Positions count over the whole master, largest amount first; customer 10 (no amount) is last.
TEST_F(ExtractionShop, RankStepTakesThePositionsInItsBounds) {
    const BoundsCase cases[] = {
        {u"", u"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {u"3", u"5", {3, 4, 5}},
        {u"0", u"2", {1, 2}},
        {u"x", u"1", {1}},
        {u"9", u"", {9, 10}},
        {u"9", u"0", {9, 10}},
        {u"5", u"4", {}},
        {u"11", u"", {}},
    };
    for (const BoundsCase& c : cases) {
        SCOPED_TRACE((QString::fromUtf16(c.from) + QStringLiteral("..") + QString::fromUtf16(c.to))
                         .toStdString());
        const ConditionRecord record =
            Conditions({{R::PinJunKind, u"3"}, {R::PinJunFrom, c.from}, {R::PinJunTo, c.to}});
        const StepOutcome outcome = RunRankStep(*mTrn, record, QStringLiteral("Work抽出2"));
        const QStringList expected = Numbers(c.expected);
        EXPECT_EQ(outcome, expected.isEmpty() ? StepOutcome::NoneFound : StepOutcome::Found);
        EXPECT_EQ(
            column(QStringLiteral("SELECT TmpKaiBan FROM Work抽出2"), QStringLiteral("TmpKaiBan")),
            expected);
    }
    mTrn->execute(QStringLiteral("CREATE TABLE Work抽出T (x CHAR(1))"));
    EXPECT_EQ(RunRankStep(*mTrn, Conditions({}), QStringLiteral("Work抽出2")),
              StepOutcome::NotUsed);
    EXPECT_FALSE(mTrn->tableExists(QStringLiteral("Work抽出2")));
    EXPECT_FALSE(mTrn->tableExists(QStringLiteral("Work抽出T")));
}

// The ranking follows the amounts as the scoring reads them, whatever order the database gives
// texts and values beyond 32 bits; an amount that is no number stops the step, naming it.
TEST(RankStep, RanksTheAmountsAsReadAndNamesOneThatIsNoNumber) {
    QTemporaryDir dir;
    auto database = db::Database::create(dir.filePath(QStringLiteral("PLW_TRN.MDB")));
    // No declared type: the values stay as stored, as a foreign program may store them.
    database->execute(QStringLiteral("CREATE TABLE M1_お客様マスタ (M1KaiBan CHAR(7), M1SakRgk)"));
    database->execute(QStringLiteral(
        "INSERT INTO M1_お客様マスタ VALUES ('0000001', 2147483648), ('0000002', '  500 '), "
        "('0000003', 900), ('0000004', NULL), ('0000005', ''), ('0000006', -100)"));
    auto taken = [&](const char16_t* from, const char16_t* to) {
        const ConditionRecord record =
            Conditions({{R::PinJunKind, u"3"}, {R::PinJunFrom, from}, {R::PinJunTo, to}});
        EXPECT_EQ(RunRankStep(*database, record, QStringLiteral("Work抽出2")), StepOutcome::Found);
        QStringList numbers;
        for (auto rs = database->openRecordset(QStringLiteral("SELECT TmpKaiBan FROM Work抽出2"));
             !rs->eof(); rs->moveNext())
            numbers << rs->text(u"TmpKaiBan");
        return numbers;
    };
    EXPECT_EQ(taken(u"1", u"3"), Numbers({1, 2, 3}));
    EXPECT_EQ(taken(u"4", u"5"), Numbers({4, 5})); // not recorded: 0
    EXPECT_EQ(taken(u"6", u""), Numbers({6}));

    database->execute(QStringLiteral("INSERT INTO M1_お客様マスタ VALUES ('0000007', '1,000')"));
    const ConditionRecord record = Conditions({{R::PinJunKind, u"3"}});
    try {
        RunRankStep(*database, record, QStringLiteral("Work抽出2"));
        ADD_FAILURE() << "ranked";
    } catch (const db::NumberValueError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("顧客 0000007 の M1SakRgk の値 「1,000」 は数値ではありません。"));
    }
}

// An empty or zero upper bound sets no limit: the customers past position 999,999 of a master of
// a million and more are taken too.
TEST(RankStep, EmptyUpperBoundHasNoLimitInALargeMaster) {
    QTemporaryDir dir;
    auto database = db::Database::create(dir.filePath(QStringLiteral("PLW_TRN.MDB")));
    database->execute(
        QStringLiteral("CREATE TABLE M1_お客様マスタ (M1KaiBan CHAR(7), M1SakRgk INTEGER)"));
    constexpr int Customers = 1'000'001;
    {
        db::Transaction transaction(*database);
        auto insert = database->prepare(
            QStringLiteral("INSERT INTO M1_お客様マスタ (M1KaiBan, M1SakRgk) VALUES (?1, ?2)"));
        for (int i = 1; i <= Customers; ++i) {
            insert->bind(1, QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')));
            insert->bind(2, Customers - i); // customer i is at position i
            insert->execute();
        }
        transaction.commit();
    }
    for (const char16_t* to : {u"", u"0"}) {
        const ConditionRecord record =
            Conditions({{R::PinJunKind, u"3"}, {R::PinJunFrom, u"999999"}, {R::PinJunTo, to}});
        EXPECT_EQ(RunRankStep(*database, record, QStringLiteral("Work抽出2")), StepOutcome::Found);
        QStringList taken;
        for (auto rs = database->openRecordset(QStringLiteral("SELECT TmpKaiBan FROM Work抽出2"));
             !rs->eof(); rs->moveNext())
            taken << rs->text(u"TmpKaiBan");
        EXPECT_EQ(taken, (QStringList{QStringLiteral("0999999"), QStringLiteral("1000000"),
                                      QStringLiteral("1000001")}));
    }
}

// The age of each customer on 31 March 2026, from the birth date when it is a real date (an
// unknown month is February, an unknown day the 1st), else from the age group at the first visit
// plus the years since; 100 and more count as 99.
TEST_F(ExtractionShop, AgeStepComputesAgesAndKeepsTheSourceFields) {
    const ConditionRecord everyone = Conditions({{R::TosNenKind, u"2"}});
    ASSERT_EQ(RunAgeStep(*mTrn, everyone, QStringLiteral("Work抽出4"), mClock), StepOutcome::Found);
    const QString rows = QStringLiteral("SELECT TmpKaiBan & ':' & TmpCulkNr AS age FROM Work抽出4");
    EXPECT_EQ(column(rows, QStringLiteral("age")).join(u' '),
              QStringLiteral("0000001:45 0000002:35 0000003:26 0000004:46 0000005:40 0000006:0 "
                             "0000007:99 0000008:26 0000009:15 0000010:56"));
    EXPECT_EQ(column(QStringLiteral("SELECT TmpKhBart & '/' & TmpKhSraB & '/' & TmpKhNenS AS "
                                    "f FROM Work抽出4 WHERE TmpKaiBan = '0000008'"),
                     QStringLiteral("f")),
              QStringList{QStringLiteral("19850230/20200101/20")});
}

TEST_F(ExtractionShop, AgeStepTakesTheAgesInItsBounds) {
    const BoundsCase cases[] = {
        {u"", u"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {u"", u"30", {3, 6, 8, 9}},
        {u"50", u"", {7, 10}},
        {u"50", u"0", {7, 10}},
        {u"26", u"26", {3, 8}},
        {u"60", u"98", {}},
    };
    for (const BoundsCase& c : cases) {
        SCOPED_TRACE((QString::fromUtf16(c.from) + QStringLiteral("..") + QString::fromUtf16(c.to))
                         .toStdString());
        const ConditionRecord record =
            Conditions({{R::TosNenKind, u"4"}, {R::TosNenFrom, c.from}, {R::TosNenTo, c.to}});
        const StepOutcome outcome = RunAgeStep(*mTrn, record, QStringLiteral("Work抽出4"), mClock);
        const QStringList expected = Numbers(c.expected);
        EXPECT_EQ(outcome, expected.isEmpty() ? StepOutcome::NoneFound : StepOutcome::Found);
        EXPECT_EQ(
            column(QStringLiteral("SELECT TmpKaiBan FROM Work抽出4"), QStringLiteral("TmpKaiBan")),
            expected);
    }
}

} // namespace
} // namespace plw::test
