#include "app/ScreenDates.h"

#include "app/CommonRoutines.h"

#include <QDate>

namespace plw {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qint64 lastDayOfMonth(qint64 year, qint64 month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && QDate::isLeapYear(static_cast<int>(year)))
        return 29;
    return days[month - 1];
}

} // namespace

bool IsDateNumber(const QString& value) {
    if (value.size() != 8)
        return false;
    for (QChar c : value)
        if (!isAsciiDigit(c))
            return false;
    return QDate(value.left(4).toInt(), value.mid(4, 2).toInt(), value.mid(6, 2).toInt()).isValid();
}

QString DatePlusMonths(const QString& date, int n) {
    qint64 year = ToInteger(date.left(4));
    qint64 month = ToInteger(date.mid(4, 2));
    qint64 day = ToInteger(date.mid(6, 2));
    // One month forward at a time, as the field routine counts: a month past 12 wraps to
    // January of the next year. A month outside 1-12 takes single steps until it is in range,
    // the remaining steps are then counted at once.
    qint64 steps = qMax(n, 0);
    while (steps > 0 && (month < 1 || month > 12)) {
        ++month;
        if (month > 12) {
            ++year;
            month = 1;
        }
        --steps;
    }
    if (steps > 0) {
        const qint64 zeroBased = month - 1 + steps;
        year += zeroBased / 12;
        month = zeroBased % 12 + 1;
    }
    if (month == 2 && day >= 29)
        day = 28;
    else if (month >= 1 && month <= 12 && day > lastDayOfMonth(year, month))
        day = lastDayOfMonth(year, month);
    return QStringLiteral("%1%2%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

QString FirstDayOfMonth(const QDate& today, int months) {
    return QDate(today.year(), today.month(), 1).addMonths(months).toString(u"yyyyMMdd");
}

bool IsDigitsOnly(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    for (qsizetype i = first; i < last; ++i)
        if (!isAsciiDigit(text[i]))
            return false;
    return true;
}

} // namespace plw
