#include "app/EraDate.h"

#include <QDate>

#include <array>

namespace plw {

namespace {

struct Era {
    char16_t Letter;
    int Year;
    int Month;
    int Day;
};

// The first day of each era, newest first.
constexpr std::array<Era, 5> Eras{{
    {u'R', 2019, 5, 1},
    {u'H', 1989, 1, 8},
    {u'S', 1926, 12, 25},
    {u'T', 1912, 7, 30},
    {u'M', 1868, 1, 25},
}};

} // namespace

QString EraDateText(const QString& date) {
    const QDate day = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
    if (date.size() != 8 || !day.isValid())
        return QString();
    for (const Era& era : Eras) {
        if (day < QDate(era.Year, era.Month, era.Day))
            continue;
        return QStringLiteral("%1%2.%3.%4")
            .arg(QChar(era.Letter))
            .arg(day.year() - era.Year + 1, 2, 10, QLatin1Char('0'))
            .arg(day.month(), 2, 10, QLatin1Char('0'))
            .arg(day.day(), 2, 10, QLatin1Char('0'));
    }
    return QString();
}

} // namespace plw
