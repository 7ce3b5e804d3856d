#include "rfm/PLWAN40_RNM.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "extract/KeyFile.h"
#include "settings/SampleParameters.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/TableRows.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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

QVariantMap Customer(int number, const char* lastVisit, int visits, int amount,
                     const char* sex = "1") {
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
        PurchaseTotals totals{Currency::fromInteger(500), 3};
        AccumulatePurchase(QString::fromLatin1(c.kind), QString::fromLatin1(c.returned), 1000,
                           totals);
        EXPECT_EQ(totals.Visits, 3 + c.visits) << c.kind << "/" << c.returned;
        EXPECT_EQ(totals.Total, Currency::fromInteger(500 + c.total))
            << c.kind << "/" << c.returned;
    }
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
    EXPECT_EQ(a.AmountYen, Currency::fromInteger(995000));
    EXPECT_EQ(a.Visits, 60);
    EXPECT_EQ(a.Men, 1);
    EXPECT_EQ(a.Women, 1);
    EXPECT_EQ(a.MailSends, 4);
    EXPECT_EQ(a.DirectMailSends, 6);
    const GroupStatistics& b = statistics.Groups[1];
    EXPECT_EQ(b.Customers, 3);
    EXPECT_EQ(b.AmountYen, Currency::fromInteger(1800000));
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
