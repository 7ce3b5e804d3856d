#include "rfm/EqualSplit.h"
#include "rfm/Histogram.h"
#include "rfm/ParameterChecks.h"
#include "settings/ParameterScreenState.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace plw {
namespace {

std::vector<ValueCount> Values(std::initializer_list<std::pair<qint64, qint64>> pairs) {
    std::vector<ValueCount> values;
    for (const auto& [value, customers] : pairs)
        values.push_back({value, customers});
    return values;
}

// Ranks 5 to 1, comma-separated.
std::string Texts(const Thresholds& t) {
    return QStringList{t[4], t[3], t[2], t[1], t[0]}.join(u',').toStdString();
}

// The customers of ranks 5 to 1 under the thresholds, by the rank rules.
std::vector<qint64> RankCustomers(const std::vector<ValueCount>& values, const Thresholds& t,
                                  bool atMost, qint64 alwaysLowest = 0) {
    const RankLimits limits(t);
    std::vector<qint64> ranks(5, 0);
    for (const ValueCount& v : values) {
        const QChar rank = atMost ? limits.AtMost(v.Value) : limits.AtLeast(v.Value);
        ranks[static_cast<size_t>(5 - rank.digitValue())] += v.Customers;
    }
    ranks[4] += alwaysLowest;
    return ranks;
}

// The thresholds pass the parameter screen's check: whole numbers that improve strictly.
bool PassesTheCheck(const Thresholds& t, bool atMost) {
    ParameterScreenState screen;
    // Index 0 is rank 1: R falls from rank 2 to 5, F and M rise.
    const Thresholds r = {QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("7"),
                          QStringLiteral("6"), QStringLiteral("5")};
    const Thresholds fm = {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("4"), QStringLiteral("5")};
    screen.RThreshold = atMost ? t : r;
    screen.FThreshold = atMost ? fm : t;
    screen.MThreshold = fm;
    return CheckThresholds(screen).passed();
}

double SquaredDeviation(const std::vector<qint64>& ranks) {
    qint64 total = 0;
    for (qint64 r : ranks)
        total += r;
    double sum = 0;
    for (qint64 r : ranks) {
        const double d = static_cast<double>(r) - static_cast<double>(total) / 5;
        sum += d * d;
    }
    return sum;
}

// The least squared deviation of any split of the buckets into five non-empty groups.
double BestByTrying(const std::vector<qint64>& buckets) {
    const size_t k = buckets.size();
    double best = std::numeric_limits<double>::infinity();
    std::function<void(size_t, size_t, std::vector<qint64>&)> walk =
        [&](size_t from, size_t group, std::vector<qint64>& sums) {
            if (group == 4) {
                qint64 rest = 0;
                for (size_t i = from; i < k; ++i)
                    rest += buckets[i];
                sums.push_back(rest);
                best = std::min(best, SquaredDeviation(sums));
                sums.pop_back();
                return;
            }
            qint64 sum = 0;
            for (size_t end = from; end + (4 - group) < k; ++end) {
                sum += buckets[end];
                sums.push_back(sum);
                walk(end + 1, group + 1, sums);
                sums.pop_back();
            }
        };
    std::vector<qint64> sums;
    walk(0, 0, sums);
    return best;
}

TEST(EqualSplit, EvenFiguresGiveAFifthToEachRankInTheDirectionOfTheCheck) {
    std::vector<ValueCount> days, visits;
    for (qint64 v = 0; v < 100; ++v) {
        days.push_back({v, 3});
        visits.push_back({v + 1, 3});
    }
    const EqualSplit r = SplitEqually(days, true);
    EXPECT_EQ(Texts(r.Values), "19,39,59,79,79");
    EXPECT_TRUE(r.Even);
    EXPECT_EQ(r.Ranks, 5);
    const EqualSplit f = SplitEqually(visits, false);
    EXPECT_EQ(Texts(f.Values), "81,61,41,21,21");
    EXPECT_TRUE(f.Even);
    EXPECT_EQ(RankCustomers(visits, f.Values, false), (std::vector<qint64>(5, 60)));
}

TEST(EqualSplit, TiesStayTogetherAndTheWindowHearsWhenTheyKeepTheRanksUneven) {
    struct Case {
        const char* what;
        std::vector<ValueCount> values;
        bool atMost;
        qint64 alwaysLowest;
        const char* thresholds; // ranks 5 to 1
        std::vector<qint64> ranks;
        bool even;
        int filled;
    };
    const Case cases[] = {
        {"most customers visited once",
         Values({{1, 600}, {2, 150}, {3, 100}, {4, 80}, {5, 50}, {6, 20}}),
         false,
         0,
         "5,4,3,2,2",
         {70, 80, 100, 150, 600},
         false,
         5},
        {"three visit counts only: the ranks above them stay empty",
         Values({{1, 50}, {2, 30}, {3, 20}}),
         false,
         0,
         "5,4,3,2,2",
         {0, 0, 20, 30, 50},
         false,
         3},
        {"one figure for everybody",
         Values({{0, 7}}),
         false,
         0,
         "4,3,2,1,1",
         {0, 0, 0, 0, 7},
         false,
         1},
        {"R: customers without a day count are rank 1 and count there",
         Values({{0, 10}, {10, 10}, {20, 10}, {30, 10}, {40, 10}, {50, 10}}),
         true,
         20,
         "0,10,30,50,50",
         {10, 10, 20, 20, 20},
         false,
         5},
        {"a figure a little over a fifth still gives even ranks",
         Values({{0, 19}, {1, 23}, {2, 12}, {3, 8}, {4, 19}, {6, 19}}),
         false,
         0,
         "6,4,2,1,1",
         {19, 19, 20, 23, 19},
         true,
         5},
        {"R: two figures and the unknown",
         Values({{5, 10}, {9, 10}}),
         true,
         10,
         "5,9,10,11,11",
         {10, 10, 0, 0, 10},
         false,
         3},
        {"R: nobody with a day count", {}, true, 5, "0,1,2,3,3", {0, 0, 0, 0, 5}, false, 1},
        // Figures the fields cannot hold: days after the base date count as 0, amounts below 0
        // stay below every threshold, figures beyond the largest threshold reach it.
        {"figures beyond what the fields hold",
         Values({{-30, 5}, {-2, 5}, {0, 5}, {3, 5}, {150000, 5}, {200000, 5}}),
         false,
         0,
         "99999,3,1,0,0",
         {10, 5, 0, 5, 10},
         false,
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const EqualSplit split = SplitEqually(c.values, c.atMost, c.alwaysLowest);
        EXPECT_EQ(Texts(split.Values), c.thresholds);
        EXPECT_EQ(RankCustomers(c.values, split.Values, c.atMost, c.alwaysLowest), c.ranks);
        EXPECT_TRUE(PassesTheCheck(split.Values, c.atMost));
        EXPECT_EQ(split.Even, c.even);
        EXPECT_EQ(split.Ranks, c.filled);
    }
    EXPECT_EQ(Texts(SplitEqually({}, false).Values), ",,,,");
}

// On random figures the split passes the parameter screen's check and no split of the same
// figures into five ranks comes nearer to a fifth each.
TEST(EqualSplit, NoOtherSplitIsNearerToAFifthEach) {
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        const bool atMost = round % 2 == 0;
        std::vector<ValueCount> values;
        qint64 value = random.bounded(3);
        const int distinct = 5 + random.bounded(8);
        for (int i = 0; i < distinct; ++i) {
            value += 1 + random.bounded(30);
            // Now and then one figure holds most customers.
            values.push_back({value, random.bounded(10) == 0 ? 500 : 1 + random.bounded(60)});
        }
        const EqualSplit split = SplitEqually(values, atMost);
        SCOPED_TRACE(Texts(split.Values));
        ASSERT_TRUE(PassesTheCheck(split.Values, atMost));
        std::vector<qint64> buckets;
        for (const ValueCount& v : values)
            buckets.push_back(v.Customers);
        EXPECT_DOUBLE_EQ(SquaredDeviation(RankCustomers(values, split.Values, atMost)),
                         BestByTrying(buckets));
    }
}

TEST(Histogram, BinsCoverEveryFigureOnALinearOrLogarithmicAxis) {
    const Histogram days = HistogramOf(Values({{0, 4}, {100, 3}, {700, 2}}), 60);
    EXPECT_FALSE(days.Logarithmic);
    EXPECT_EQ(days.Edges.front(), 0);
    EXPECT_GT(days.Edges.back(), 700);
    EXPECT_EQ(days.Customers.size() + 1, days.Edges.size());
    EXPECT_LE(days.Customers.size(), 60u);
    EXPECT_EQ(days.Customers.front(), 4);
    EXPECT_EQ(days.Customers.back(), 2);
    EXPECT_DOUBLE_EQ(days.position(0), 0.0);
    EXPECT_DOUBLE_EQ(days.position(double(days.Edges.back())), 1.0);

    // Most customers below 10 (10,000 yen units), a few far beyond: a logarithmic axis.
    std::vector<ValueCount> amounts;
    for (qint64 v = 0; v < 10; ++v)
        amounts.push_back({v, 100});
    amounts.push_back({5000, 1});
    const Histogram m = HistogramOf(amounts, 60);
    EXPECT_TRUE(m.Logarithmic);
    qint64 customers = 0;
    for (size_t i = 0; i < m.Customers.size(); ++i) {
        EXPECT_LT(m.Edges[i], m.Edges[i + 1]);
        customers += m.Customers[i];
    }
    EXPECT_EQ(customers, 1001);
    EXPECT_GT(m.position(10), 0.2); // the crowd below 10 takes a good part of the axis
    EXPECT_LT(m.position(10), m.position(100));

    // Small counts: one bin per figure.
    const Histogram visits = HistogramOf(Values({{1, 5}, {2, 3}, {3, 1}}), 60);
    EXPECT_EQ(visits.Edges, (std::vector<qint64>{1, 2, 3, 4}));
    EXPECT_TRUE(HistogramOf({}, 60).empty());
}

TEST(Histogram, RankBoundariesLieBetweenWholeFigures) {
    EXPECT_EQ(RankBoundary(Currency::fromInteger(30), true), 31);  // R: 30 days still rank 5
    EXPECT_EQ(RankBoundary(Currency::fromInteger(10), false), 10); // F: 10 visits reach it
    EXPECT_EQ(RankBoundary(Currency::fromScaled(25000), false), 3);
    EXPECT_EQ(RankBoundary(Currency::fromScaled(25000), true), 3);
}

} // namespace
} // namespace plw
