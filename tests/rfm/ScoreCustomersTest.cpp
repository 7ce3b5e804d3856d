#include "rfm/PLWAN40_RNM.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/WholeNumber.h"
#include "extract/KeyFile.h"
#include "settings/SampleParameters.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/TableRows.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace plw {
namespace {

struct SilentSink final : ProgressSink {
    void open() override {}
    void showStep(const QString&) override {}
    void showCount(const QString&) override {}
    void showPercent(int) override {}
};

// A pump that runs an action on its n-th yield, as an operator's click would.
struct ScriptedPump final : EventPump {
    void yield() override {
        if (++count == at && action)
            action();
    }
    int count = 0;
    int at = 0;
    std::function<void()> action;
};

QVariantMap Customer(int number, const char* lastVisit, const QVariant& visits,
                     const QVariant& amount, const char* sex = "1") {
    return {{QStringLiteral("M1KaiBan"), QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0'))},
            {QStringLiteral("M1SakHby"), QString::fromLatin1(lastVisit)},
            {QStringLiteral("M1SakHbh"), QStringLiteral("101500")},
            {QStringLiteral("M1SakRik"), visits},
            {QStringLiteral("M1SakRgk"), amount},
            {QStringLiteral("M1KhSeib"), QString::fromLatin1(sex)},
            {QStringLiteral("M1SakEka"), 2},
            {QStringLiteral("M1SakDmk"), 3}};
}

class ScoreCustomersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        mTrn = db::Database::create(mDir.filePath(QStringLiteral("PLW_TRN.MDB")));
        mMst = db::Database::create(mDir.filePath(QStringLiteral("PLW_MST.MDB")));
        db::CreateTransactionBaseTables(*mTrn);
        db::CreateMasterBaseTables(*mMst);
        const SampleThresholdSet thresholds = SampleThresholds(); // R 30 60 90 180, F 50 30 10 2,
        mInput.R = thresholds.R;                                  // M 100 50 20 10
        mInput.F = thresholds.F;
        mInput.M = thresholds.M;
        mInput.BaseDate = QStringLiteral("20261130");
        mInput.Matrix.fill(QStringLiteral("B"));
        mInput.KeyFilePath = mDir.filePath(QStringLiteral("PLWAN40.KEY"));
    }

    void addCustomers(const QList<QVariantMap>& customers) {
        QByteArray keys;
        for (const QVariantMap& c : customers) {
            test::InsertRow(*mTrn, db::CustomerMasterTable, c);
            QByteArray record;
            QString error;
            ASSERT_TRUE(EncodeKeyFileRecord({c.value(QStringLiteral("M1KaiBan")).toString(),
                                             QStringLiteral(" "), QStringLiteral("20261130120000")},
                                            &record, &error));
            keys += record;
        }
        test::WriteBytes(mInput.KeyFilePath, keys);
        mCount = customers.size();
    }

    void addHistory(int customer, const char* date, const char* time, const char* kind,
                    const char* returned, int amount) {
        test::InsertRow(*mMst, db::PointHistoryTable,
                        {{QStringLiteral("M2CusCod"),
                          QStringLiteral("%1").arg(customer, 7, 10, QLatin1Char('0'))},
                         {QStringLiteral("M2BuyYmd"), QString::fromLatin1(date)},
                         {QStringLiteral("M2BuyHks"), QString::fromLatin1(time)},
                         {QStringLiteral("M2FlgSyu"), QString::fromLatin1(kind)},
                         {QStringLiteral("M2FlgHpn"), QString::fromLatin1(returned)},
                         {QStringLiteral("M2BuyGak"), amount}});
    }

    ScoringStatistics score() {
        ScoringServices services{*mTrn, *mMst, mSink, mCounter, mPump, mCancel};
        ScoringStatistics statistics;
        QString error;
        EXPECT_TRUE(ScoreCustomers(QStringLiteral("WorkRFM_1"), mCount, mInput, services,
                                   statistics, &error))
            << error.toStdString();
        return statistics;
    }

    // The text of the failure the scoring stops with, "" when it does not stop.
    QString scoringFailure() {
        try {
            score();
        } catch (const db::NumberValueError& error) {
            return error.message();
        }
        return QString();
    }

    // "RFM値/グループ/日数" of every scored row, by customer number.
    QStringList scored(const QString& extra = QString()) {
        QStringList rows;
        auto rs = mTrn->openRecordset(QStringLiteral("SELECT * FROM WorkRFM_1 ORDER BY M1KaiBan"));
        for (; !rs->eof(); rs->moveNext()) {
            QString row =
                rs->text(u"RFM値") + u'/' + rs->text(u"グループ") + u'/' + rs->text(u"日数");
            for (const QString& column : extra.split(u',', Qt::SkipEmptyParts))
                row += u'/' + rs->text(column);
            rows << row;
        }
        return rows;
    }

    QTemporaryDir mDir;
    std::unique_ptr<db::Database> mTrn;
    std::unique_ptr<db::Database> mMst;
    ScoringInput mInput;
    qint64 mCount = 0;
    SilentSink mSink;
    ScriptedPump mPump;
    ProgressCounter mCounter{mSink, mPump};
    CancelToken mCancel;
};

TEST(AccumulatePurchase, VisitsCountKindOneAmountsCountKindsOneThreeAndReturns) {
    struct Case {
        const char* kind;
        const char* returned;
        int visits;
        int total;
    };
    const Case cases[] = {{"1", "0", 1, 1000}, {"1", "1", 1, 1000}, {"3", "9", 0, 1000},
                          {"0", "1", 0, 1000}, {"0", "2", 0, 1000}, {"0", "0", 0, 0},
                          {"0", "", 0, 0},     {"2", "1", 0, 0},    {"4", "1", 0, 0},
                          {"", "1", 0, 0}};
    for (const Case& c : cases) {
        PurchaseTotals totals{500, 3};
        EXPECT_TRUE(AccumulatePurchase(QString::fromLatin1(c.kind), QString::fromLatin1(c.returned),
                                       1000, totals));
        EXPECT_EQ(totals.Visits, 3 + c.visits) << c.kind << "/" << c.returned;
        EXPECT_EQ(totals.TotalYen, 500 + c.total) << c.kind << "/" << c.returned;
    }
    // A total that would leave the 64-bit range is refused and the totals stay as they were.
    PurchaseTotals full{std::numeric_limits<qint64>::max() - 10, 3};
    EXPECT_FALSE(AccumulatePurchase(QStringLiteral("1"), QString(), 11, full));
    EXPECT_EQ(full.TotalYen, std::numeric_limits<qint64>::max() - 10);
    EXPECT_EQ(full.Visits, 3);
    EXPECT_TRUE(AccumulatePurchase(QStringLiteral("3"), QString(), -11, full));
}

TEST_F(ScoreCustomersTest, ScoresEveryCustomerAndCountsCellsAndGroups) {
    mInput.Matrix[static_cast<size_t>(CellIndex(QStringLiteral("444")) - 1)] = QStringLiteral("A");
    mInput.Matrix[124] = QString(); // cell 111 has no group
    addCustomers({
        Customer(1, "20261130", 60, 1500000),     // 0 days, 60 visits, 150 -> 555
        Customer(2, "20261001", 30, 500000),      // 60 days, 30, 50 -> 444
        Customer(3, "20260601", 1, 0),            // 182 days -> 111, no group
        Customer(4, "", 2, 100000, "2"),          // no last visit: lowest R, no day count
        Customer(5, "20261001", 30, 495000, "2"), // 49.5 rounds to 50 -> 444
        Customer(6, "20261201", 10, 200000),      // the day after the base date -> 533
    });
    const ScoringStatistics statistics = score();
    EXPECT_EQ(scored(), (QStringList{QStringLiteral("555/B/0"), QStringLiteral("444/A/60"),
                                     QStringLiteral("111//182"), QStringLiteral("122/B/"),
                                     QStringLiteral("444/A/60"), QStringLiteral("533/B/-1")}));

    const CellStatistics& cell444 =
        statistics.Cells[static_cast<size_t>(CellIndex(QStringLiteral("444")) - 1)];
    EXPECT_EQ(cell444.Count, 2);
    EXPECT_EQ(cell444.Amount, Currency::fromScaled(995000)); // 99.5
    EXPECT_EQ(statistics.Cells[124].Count, 1);               // counted in its cell, in no group
    EXPECT_EQ(statistics.MaxCellCount, 2);
    EXPECT_EQ(statistics.MaxCellAmount, Currency::fromInteger(150));

    const GroupStatistics& a = statistics.Groups[0];
    EXPECT_EQ(a.Customers, 2);
    EXPECT_EQ(a.AmountYen, 995000);
    EXPECT_EQ(a.Visits, 60);
    EXPECT_EQ(a.Men, 1);
    EXPECT_EQ(a.Women, 1);
    EXPECT_EQ(a.MailSends, 4);
    EXPECT_EQ(a.DirectMailSends, 6);
    const GroupStatistics& b = statistics.Groups[1];
    EXPECT_EQ(b.Customers, 3);
    EXPECT_EQ(b.AmountYen, 1800000);
    int grouped = 0;
    for (const GroupStatistics& g : statistics.Groups)
        grouped += g.Customers;
    EXPECT_EQ(grouped, 5);
}

TEST_F(ScoreCustomersTest, TheDetailedPeriodReplacesVisitsAmountAndLastVisitKeepingTheMasters) {
    mInput.DetailPeriodOn = true;
    mInput.LastVisitFromDetail = true;
    mInput.DetailFrom = QStringLiteral("20260601");
    mInput.DetailTo = QStringLiteral("20261031");
    addCustomers({Customer(1, "20261130", 60, 1500000), Customer(2, "20261120", 5, 70000)});
    addHistory(1, "20260531", "235959", "1", "0", 9000);   // before the period
    addHistory(1, "20260601", "090000", "1", "0", 300000); // a visit
    addHistory(1, "20260715", "120000", "3", "0", -20000); // a correction: amount only
    addHistory(1, "20260716", "120000", "0", "1", 5000);   // a return: amount only
    addHistory(1, "20260717", "120000", "0", "0", 7000);   // points only: nothing
    addHistory(1, "20260718", "120000", "2", "0", 8000);   // an exchange: nothing
    addHistory(1, "20261031", "183000", "1", "0", 15000);  // the last visit, on the last day
    addHistory(1, "20261101", "100000", "1", "0", 99000);  // after the period
    score();
    // Customer 1: 2 visits, 300000 - 20000 + 5000 + 15000 = 300000 yen, last visit 31 Oct,
    // 30 days before the base date.
    // Customer 2 bought nothing in the period: no visits, nothing, last visit the period's end.
    EXPECT_EQ(
        scored(QStringLiteral("M1SakRik,M1SakRgk,M1SakHby,M1SakHbh,SaveM1SakRik,"
                              "SaveM1SakRgk,SaveM1SakHby,SaveM1SakHbh")),
        (QStringList{QStringLiteral("523/B/30/2/300000/20261031/183000/60/1500000/20261130/101500"),
                     QStringLiteral("511/B/30/0/0/20261031/101500/5/70000/20261120/101500")}));

    mInput.LastVisitFromDetail = false;
    score();
    EXPECT_EQ(
        scored(QStringLiteral("M1SakHby")),
        (QStringList{QStringLiteral("523/B/0/20261130"), QStringLiteral("511/B/10/20261120")}));
}

// The suite writes 32-bit values, but the shared database may hold more: up to 2^53 every amount
// and count is ranked and summed exactly, and a negative amount (returns) is kept.
TEST_F(ScoreCustomersTest, AmountsAndCountsBeyond32BitsAreRankedAndSummedExactly) {
    const qint64 limit = db::WholeNumber::Limit;
    addCustomers({
        Customer(1, "20261130", 60, qint64(2147483648)), // 214,748 units of 10,000 yen: M 5
        Customer(2, "20261130", limit, limit),           // F 5, M 5
        Customer(3, "20261130", 1, -5000000),            // returns only: -500 units, M 1
        Customer(4, "20261130", 1, -15000),              // -1.5 units: -2, M 1
    });
    const ScoringStatistics statistics = score();
    EXPECT_EQ(scored(QStringLiteral("M1SakRgk")),
              (QStringList{QStringLiteral("555/B/0/2147483648"),
                           QStringLiteral("555/B/0/9007199254740992"),
                           QStringLiteral("511/B/0/-5000000"), QStringLiteral("511/B/0/-15000")}));
    const CellStatistics& cell555 = statistics.Cells[0];
    EXPECT_EQ(cell555.Count, 2);
    EXPECT_EQ(cell555.Amount.scaled(), 2147483648 + limit); // whole yen
    EXPECT_EQ(statistics.Cells[size_t(CellIndex(QStringLiteral("511")) - 1)].Amount.scaled(),
              -5015000);
    const GroupStatistics& b = statistics.Groups[1];
    EXPECT_EQ(b.Customers, 4);
    EXPECT_EQ(b.AmountYen, 2147483648 + limit - 5015000);
    EXPECT_EQ(b.Visits, 62 + limit);
}

// A value that no cell could hold exactly, a fraction or a text where a number belongs is never
// read as another number: the scoring stops, naming the customer, the column and the value.
TEST_F(ScoreCustomersTest, AnAmountOrCountItCannotTakeStopsTheRunNamingIt) {
    addCustomers({Customer(1, "20261130", 60, 1500000), Customer(2, "20261130", 5, 70000)});
    struct Case {
        const char* column;
        const char* value; // SQL literal
        const char* expected;
    };
    const Case cases[] = {
        {"M1SakRgk", "9007199254740993",
         "顧客 0000002 の M1SakRgk の値 9007199254740993 は扱える範囲"},
        {"M1SakRgk", "9223372036854775807", "M1SakRgk の値 9223372036854775807 は扱える範囲"},
        {"M1SakRgk", "1e20", "M1SakRgk の値 1e+20 は扱える範囲"},
        {"M1SakRgk", "-1e300", "M1SakRgk の値 -1e+300 は扱える範囲"},
        {"M1SakRik", "12.5", "顧客 0000002 の M1SakRik の値 12.5 は整数ではありません。"},
        {"M1SakRgk", "'1,000'", "顧客 0000002 の M1SakRgk の値 「1,000」 は数値ではありません。"},
        {"M1SakEka", "70000000000000000", "M1SakEka の値 70000000000000000 は扱える範囲"},
        // Only listed, never ranked: found before any sheet is written.
        {"M1SakPoK", "'abc'", "顧客 0000002 の M1SakPoK の値 「abc」 は数値ではありません。"},
    };
    for (const Case& c : cases) {
        mTrn->execute(
            QStringLiteral("UPDATE M1_お客様マスタ SET %1 = %2 WHERE M1KaiBan = '0000002'")
                .arg(QLatin1String(c.column), QLatin1String(c.value)));
        EXPECT_TRUE(scoringFailure().contains(QString::fromUtf8(c.expected)))
            << c.column << " = " << c.value << ": " << scoringFailure().toStdString();
        mTrn->execute(QStringLiteral("UPDATE M1_お客様マスタ SET %1 = 5 WHERE M1KaiBan = '0000002'")
                          .arg(QLatin1String(c.column)));
    }
    EXPECT_EQ(scoringFailure(), QString());

    // The detailed period: an amount of the history, and a customer's total beyond the range.
    mInput.DetailPeriodOn = true;
    mInput.DetailFrom = QStringLiteral("20260601");
    mInput.DetailTo = QStringLiteral("20261031");
    addHistory(2, "20260601", "090000", "1", "0", 300000);
    mMst->execute(QStringLiteral("UPDATE M2_ポイント履歴 SET M2BuyGak = 0.5"));
    EXPECT_TRUE(scoringFailure().contains(
        QStringLiteral("顧客 0000002 の M2BuyGak の値 0.5 は整数ではありません。")));
    mMst->execute(QStringLiteral("UPDATE M2_ポイント履歴 SET M2BuyGak = 9007199254740992"));
    addHistory(2, "20260602", "090000", "3", "0", 1);
    EXPECT_TRUE(scoringFailure().contains(QStringLiteral(
        "顧客 0000002 の 購買日付詳細期間の購買額の合計 の値 9007199254740993 は扱える範囲")));
}

// Sums are kept in whole yen in 64 bits: 1,024 customers at the largest amount overflow them.
TEST_F(ScoreCustomersTest, ASumThatWouldOverflowStopsTheRunNamingIt) {
    QList<QVariantMap> customers;
    for (int n = 1; n <= 1024; ++n)
        customers << Customer(n, "20261130", 60, db::WholeNumber::Limit);
    {
        db::Transaction quick(*mTrn);
        addCustomers(customers);
        quick.commit();
    }
    EXPECT_EQ(scoringFailure(),
              QStringLiteral("RFM値 555 の M1SakRgk の合計が扱える範囲を超えました。"));
    mTrn->execute(
        QStringLiteral("UPDATE M1_お客様マスタ SET M1SakRgk = 0 WHERE M1KaiBan = '0000001'"));
    EXPECT_EQ(scoringFailure(), QString());
}

TEST_F(ScoreCustomersTest, ACancelAtTheTenthReportLeavesTheFirstNineScored) {
    QList<QVariantMap> customers;
    for (int n = 1; n <= 25; ++n)
        customers << Customer(n, "20261130", 60, 1500000);
    addCustomers(customers);
    mPump.at = 2; // the first yield shows the progress window; the second is the tenth report
    mPump.action = [this] {
        mCancel.request();
    };
    const ScoringStatistics statistics = score();
    const QStringList rows = scored();
    EXPECT_EQ(rows.count(QStringLiteral("555/B/0")), 9);
    EXPECT_EQ(rows.count(QStringLiteral("//")), 16);
    EXPECT_EQ(statistics.Cells[0].Count, 9);
    EXPECT_EQ(statistics.MaxCellCount, 9);
}

} // namespace
} // namespace plw
