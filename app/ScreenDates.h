#pragma once

#include <QDate>
#include <QString>

namespace plw {

// The rules behind the screens' date and number fields, free of widgets.

// Whether value is an eight-digit "YYYYMMDD" naming a real calendar day (what a date field
// accepts besides "").
bool IsDateNumber(const QString& value);

// "YYYYMMDD" n calendar months after date (n < 1 leaves the month). A day of 29 or more carried
// into February becomes the 28th, also in leap years; any other day past the end of its month
// becomes the month's last day ("20230531" + 1 gives "20230630").
QString DatePlusMonths(const QString& date, int n);

// "YYYYMMDD" of the first day of the month that is months from today's month (-1: last month).
QString FirstDayOfMonth(const QDate& today, int months);

// What a number field may hold: after dropping leading and trailing blanks, only "0"-"9" (no
// sign, no point). An empty text passes.
bool IsDigitsOnly(const QString& text);

} // namespace plw
