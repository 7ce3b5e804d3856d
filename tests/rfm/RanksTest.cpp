#include "rfm/PLWAN4_hrhen.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace plw {
namespace {

Thresholds Make(const char* t1, const char* t2, const char* t3, const char* t4, const char* t5) {
    return {QString::fromUtf8(t1), QString::fromUtf8(t2), QString::fromUtf8(t3),
            QString::fromUtf8(t4), QString::fromUtf8(t5)};
}

TEST(Ranks, RecencyCountsDaysToTheBaseDateAndGivesEqualityToTheBetterRank) {
    const Thresholds r = Make("180", "180", "90", "60", "30");
    struct Case {
        const char* lastVisit;
        const char* rank;
        const char* days;
    };
    const Case cases[] = {
        {"2026/11/30", "5", "0"},
        {"2026/10/31", "5", "30"},
        {"2026/10/30", "4", "31"},
        {"2026/09/01", "3", "90"},
        {"2026/08/31", "2", "91"},
        {"2026/06/02", "1", "181"},
        {"2026/12/01", "5", "-1"},
        {"2021/11/30", "1", "1826"},
        // No real last-visit date: no day count and the lowest rank.
        {"", "1", ""},
        {"2026/02/30", "1", ""},
        {"          ", "1", ""},
    };
    for (const Case& c : cases) {
        const RecencyRank rank =
            RankRecency(QStringLiteral("2026/11/30"), QString::fromUtf8(c.lastVisit), r);
        EXPECT_EQ(rank.Rank, QString::fromUtf8(c.rank)) << c.lastVisit;
        EXPECT_EQ(rank.Days, QString::fromUtf8(c.days)) << c.lastVisit;
    }
}

TEST(Ranks, FrequencyAndMonetaryUseTheLeadingNumberOfEachThreshold) {
    const Thresholds f = Make("2", "2", "10", "30", "50");
    EXPECT_EQ(RankFrequency(QStringLiteral("50"), f), QStringLiteral("5"));
    EXPECT_EQ(RankFrequency(QStringLiteral("49"), f), QStringLiteral("4"));
    EXPECT_EQ(RankFrequency(QStringLiteral("2"), f), QStringLiteral("2"));
    EXPECT_EQ(RankFrequency(QStringLiteral("1"), f), QStringLiteral("1"));
    // An empty threshold 2 counts as 0: everybody is at least rank 2.
    EXPECT_EQ(RankFrequency(QStringLiteral("0"), Make("", "", "10", "30", "50")),
              QStringLiteral("2"));
    // Only the leading number counts; element 1 never takes part.
    EXPECT_EQ(RankFrequency(QStringLiteral("9"), Make("999", " 9回", "x", "30", "50")),
              QStringLiteral("3"));
    EXPECT_EQ(ThresholdValue(QStringLiteral(" -2.5x")), Currency::fromScaled(-25000));
}

TEST(Ranks, MonetaryRoundsTenThousandsHalfToEven) {
    struct Case {
        const char* yen;
        const char* m5;
        const char* rank;
    };
    // Thresholds 2 to 4 are 1, 2, 3: the rank shows m directly up to 4.
    const Case cases[] = {
        {"15000", "9", "3"},                      // m = 2
        {"25000", "9", "3"},                      // m = 2
        {"35000", "9", "4"},                      // m = 4
        {"45000", "4", "5"},                      // m = 4 reaches threshold 5 = 4
        {"45000", "5", "4"}, {"55000", "6", "5"}, // m = 6
        {"14999", "9", "2"}, {"-20000", "9", "1"},
    };
    for (const Case& c : cases) {
        const Thresholds m = Make("1", "1", "2", "3", c.m5);
        EXPECT_EQ(RankMonetary(QString::fromUtf8(c.yen), m), QString::fromUtf8(c.rank)) << c.yen;
    }
}

TEST(Ranks, CellNumberingRunsFFastestThenMThenR) {
    const std::pair<int, const char*> cells[] = {{1, "555"},  {2, "545"},  {5, "515"},  {6, "554"},
                                                 {25, "511"}, {26, "455"}, {125, "111"}};
    for (const auto& [k, code] : cells) {
        EXPECT_EQ(CellCode(k), QString::fromUtf8(code));
        EXPECT_EQ(CellIndex(QString::fromUtf8(code)), k);
    }
    for (int k = 1; k <= 125; ++k)
        EXPECT_EQ(CellIndex(CellCode(k)), k);
    EXPECT_EQ(CellCode(0), QStringLiteral("000"));
    EXPECT_EQ(CellCode(126), QStringLiteral("000"));
    for (const char* odd : {"000", "556", "55", "5555", "a55"})
        EXPECT_EQ(CellIndex(QString::fromUtf8(odd)), 0) << odd;
}

TEST(Ranks, GroupOfCodeIsXWithoutACellAndEmptyForACellWithoutGroup) {
    GroupMatrix matrix;
    matrix.fill(QStringLiteral("B"));
    matrix[0] = QStringLiteral("X");
    matrix[124] = QString();
    EXPECT_EQ(GroupOfCode(QStringLiteral("555"), matrix), QStringLiteral("X"));
    EXPECT_EQ(GroupOfCode(QStringLiteral("545"), matrix), QStringLiteral("B"));
    EXPECT_EQ(GroupOfCode(QStringLiteral("111"), matrix), QString());
    EXPECT_EQ(GroupOfCode(QStringLiteral("000"), matrix), QStringLiteral("X"));
}

} // namespace
} // namespace plw
