#include "app/Currency.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>
#include <limits>

using namespace plw;

namespace {

Currency scaled(qint64 value) {
    return Currency::fromScaled(value);
}

constexpr qint64 Min = std::numeric_limits<qint64>::min();
constexpr qint64 Max = std::numeric_limits<qint64>::max();

} // namespace

TEST(Currency, RoundsToIntegerHalfToEven) {
    const struct {
        qint64 scaled;
        qint64 expected;
    } cases[] = {
        {25000, 2},
        {35000, 4},
        {-25000, -2},
        {-35000, -4},
        {25001, 3},
        {24999, 2},
        {-25001, -3},
        {4999, 0},
        {-5000, 0},
        {Max, 922337203685478},
        {Min, -922337203685478},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scaled(c.scaled).roundedToInteger(), c.expected) << c.scaled;
}

TEST(Currency, PrintsPlainDecimalsWithoutTrailingZeros) {
    EXPECT_EQ(scaled(125000).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(scaled(-30000).toString(), QStringLiteral("-3"));
    EXPECT_EQ(scaled(0).toString(), QStringLiteral("0"));
    EXPECT_EQ(scaled(-1).toString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(scaled(10203).toString(), QStringLiteral("1.0203"));
    EXPECT_EQ(scaled(Min).toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(scaled(Max).toString(), QStringLiteral("922337203685477.5807"));
}

TEST(Currency, ProductsAndQuotientsKeepFourDecimalsHalfToEven) {
    const struct {
        qint64 a;
        char op;
        qint64 b;
        qint64 expected;
    } cases[] = {
        {10001, '*', 10001, 10002},    // 1.00020001
        {1, '*', 5000, 0},             // 0.00005 -> 0.0000
        {3, '*', 5000, 2},             // 0.00015 -> 0.0002
        {-3, '*', 5000, -2},           // -0.00015 -> -0.0002
        {-25000, '*', 40000, -100000}, // exact
        {10000, '/', 30000, 3333},     // 1 / 3
        {20000, '/', 30000, 6667},     // 2 / 3
        {-20000, '/', 30000, -6667},
        {1, '/', 20000, 0}, // 0.00005 -> 0.0000
        {3, '/', 20000, 2}, // 0.00015 -> 0.0002
        {10000, '/', -40000, -2500},
        // The platform raises an error here; the amount answers 0 or stops at its limit.
        {10000, '/', 0, 0},
        {Max, '*', 20000, Max},
        {Max, '*', -20000, Min},
        {Max, '/', 1, Max},
    };
    for (const auto& c : cases) {
        const Currency result = c.op == '*' ? scaled(c.a) * scaled(c.b) : scaled(c.a) / scaled(c.b);
        EXPECT_EQ(result.scaled(), c.expected) << c.a << ' ' << c.op << ' ' << c.b;
    }
}
