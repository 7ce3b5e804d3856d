#include "app/ScreenDates.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(DatePlusMonths, MovesForwardAndKeepsTheDayInsideItsMonth) {
    struct Case {
        const char16_t* date;
        int months;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"20240115", 1, u"20240215"},  {u"20241115", 2, u"20250115"}, // over the year end
        {u"20241215", 1, u"20250115"},  {u"20240110", 25, u"20260210"},
        {u"20230531", 1, u"20230630"}, // the 31st into a 30-day month
        {u"20230331", 6, u"20230930"},  {u"20230731", 1, u"20230831"}, // 31 days both
        {u"20230130", 1, u"20230228"},                                 // February, common year
        {u"20240131", 1, u"20240228"}, // February, leap year: still the 28th
        {u"20231231", 2, u"20240228"},  {u"20240229", 12, u"20250228"},
        {u"20240128", 1, u"20240228"},  {u"20240315", 0, u"20240315"}, // no step
        {u"20240315", -3, u"20240315"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatePlusMonths(QString::fromUtf16(c.date), c.months),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.date).toStdString() << " + " << c.months;
}

TEST(FirstDayOfMonth, CountsFromTodaysMonthOverTheYearEnd) {
    EXPECT_EQ(FirstDayOfMonth(QDate(2026, 12, 31), 0), u"20261201");
    EXPECT_EQ(FirstDayOfMonth(QDate(2026, 1, 31), -1), u"20251201");
    EXPECT_EQ(FirstDayOfMonth(QDate(2024, 3, 30), -1), u"20240201");
}

TEST(IsDateNumber, AcceptsOnlyEightDigitsOfARealDay) {
    EXPECT_TRUE(IsDateNumber(QStringLiteral("19960229")));
    EXPECT_TRUE(IsDateNumber(QStringLiteral("20241231")));
    for (const QString& bad :
         {QStringLiteral(""), QStringLiteral("19970229"), QStringLiteral("20240431"),
          QStringLiteral("20241300"), QStringLiteral("2024011"), QStringLiteral("202401011"),
          QStringLiteral("2024 101"), QStringLiteral("-2024101"),
          QStringLiteral("２０２４０１０１")})
        EXPECT_FALSE(IsDateNumber(bad)) << bad.toStdString();
}

TEST(IsDigitsOnly, AllowsBlanksAroundDigitsAndNothingElse) {
    for (const QString& good : {QStringLiteral(""), QStringLiteral("   "), QStringLiteral("0123"),
                                QStringLiteral(" 42 ")})
        EXPECT_TRUE(IsDigitsOnly(good)) << good.toStdString();
    for (const QString& bad :
         {QStringLiteral("-1"), QStringLiteral("1.5"), QStringLiteral("4 2"),
          QStringLiteral("１２"), QStringLiteral("12a"), QStringLiteral("\u300012")})
        EXPECT_FALSE(IsDigitsOnly(bad)) << bad.toStdString();
}
