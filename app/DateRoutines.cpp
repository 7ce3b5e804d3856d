#include "app/CommonRoutines.h"

#include "app/Clock.h"

#include <QDate>
#include <optional>

namespace plw {
namespace {

bool isZero(const QString& text) {
    return ToCurrency(text) == Currency();
}

// A real calendar date written "YYYY/MM/DD" or "YYYYMMDD".
std::optional<QDate> parseDate(const QString& text) {
    QString digits;
    if (text.size() == 10 && text[4] == QLatin1Char('/') && text[7] == QLatin1Char('/'))
        digits = text.first(4) + text.mid(5, 2) + text.mid(8, 2);
    else if (text.size() == 8)
        digits = text;
    else
        return std::nullopt;
    for (QChar c : std::as_const(digits))
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const QDate date(digits.first(4).toInt(), digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString yearMonthDay(qint64 year, qint64 month, qint64 day) {
    return FormatNumber(year, QStringLiteral("0000")) + FormatNumber(month, QStringLiteral("00")) +
           FormatNumber(day, QStringLiteral("00"));
}

} // namespace

QString DateToSlashText(const QString& date) {
    if (isZero(date))
        return QString(10, QLatin1Char(' '));
    QString year = date.left(4);
    if (isZero(year))
        year = QString(4, QLatin1Char(' '));
    return year + QLatin1Char('/') + date.mid(4, 2) + QLatin1Char('/') + date.mid(6, 2);
}

QString DateToKanjiText(const QString& date) {
    if (isZero(date))
        return QString(14, QLatin1Char(' '));
    QString year = date.left(4);
    if (isZero(year))
        year = QString(4, QLatin1Char(' '));
    return year + QStringLiteral("年") + date.mid(4, 2) + QStringLiteral("月") + date.mid(6, 2) +
           QStringLiteral("日");
}

QString TimeToColonText(const QString& time) {
    if (isZero(time))
        return QString(5, QLatin1Char(' '));
    return time.left(2) + QLatin1Char(':') + time.mid(2, 2);
}

QString MonthsBefore(const QString& date, int n) {
    qint64 year = ToInteger(date.left(4));
    qint64 month = ToInteger(date.mid(4, 2));
    qint64 day = ToInteger(date.mid(6, 2));
    // Steps back one month n times, computed at once: a month below 1 wraps to December of the
    // year before on the first step; from January each further 12 steps are one year.
    qint64 steps = qMax(n, 0);
    if (steps > 0 && month < 1) {
        --year;
        month = 12;
        --steps;
    }
    if (steps > 0) {
        if (steps <= month - 1) {
            month -= steps;
        } else {
            steps -= month - 1;
            year -= (steps + 11) / 12;
            month = 12 - (steps - 1) % 12;
        }
    }
    // Only February is clamped: a 31st carried into a 30-day month stays, callers compare the
    // result as a text bound.
    if (month == 2 && day >= 29)
        day = 28;
    return yearMonthDay(year, month, day);
}

void PeriodFromMonths(int n, const Clock& clock, QString& from, QString& to) {
    const QDate today = clock.today();
    from = QDate(today.year(), today.month(), 1).addMonths(n).toString(u"yyyyMMdd");
    to = today.toString(u"yyyyMMdd");
}

int AgeInYears(const QString& birth, const Clock& clock) {
    const std::optional<QDate> born = parseDate(birth);
    if (!born)
        return 0;
    const QDate today = clock.today();
    int years = today.year() - born->year();
    // Before this year's birthday; a 29 February birthday comes on 1 March in other years.
    if (today.month() < born->month() ||
        (today.month() == born->month() && today.day() < born->day()))
        --years;
    return years;
}

int EstimatedAge(const QString& birth, const QString& firstVisit, const QString& ageGroup,
                 const Clock& clock) {
    // An unknown month or day is recorded as "00": take February and the 1st.
    QString date = birth;
    const bool unknownMonth = date.mid(4, 2) == QLatin1String("00");
    if (unknownMonth)
        date.replace(4, 2, QStringLiteral("02"));
    if (date.mid(6, 2) == QLatin1String("00"))
        date.replace(6, 2, QStringLiteral("01"));

    if (!isZero(date) && ToInteger(date.left(4)) != 0) {
        // A day of 29 to 31 with the unknown month is taken as the end of that February.
        if (unknownMonth) {
            const int year = ToInteger(date.left(4));
            const int day = ToInteger(date.mid(6, 2));
            const int lastDay = QDate(year, 2, 1).daysInMonth();
            if (day > lastDay && day <= 31)
                date.replace(6, 2, FormatNumber(qint64(lastDay), QStringLiteral("00")));
        }
        const QString slashed =
            date.left(4) + QLatin1Char('/') + date.mid(4, 2) + QLatin1Char('/') + date.mid(6, 2);
        // A birth date that is no real date counts as not given.
        if (parseDate(slashed))
            return qMin(AgeInYears(slashed, clock), 99);
    }

    if (!isZero(firstVisit) && !isZero(ageGroup)) {
        // The sum is rounded, not the group alone ("2.5" + 1 gives 4). Bounding the group first
        // keeps the sum in range and changes no result: anything from 100 on gives 99.
        const Currency limit = Currency::fromInteger(1000000);
        const Currency group = qBound(Currency() - limit, ToCurrency(ageGroup), limit);
        const Currency age =
            group + Currency::fromInteger(clock.today().year() - ToInteger(firstVisit.left(4)));
        return static_cast<int>(qMin<qint64>(age.roundedToInteger(), 99));
    }
    return 0;
}

} // namespace plw
