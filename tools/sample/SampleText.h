#pragma once

#include <QDate>
#include <QString>

namespace plw::sample {

// Texts of the sample rows, made without format parsers: a million customers need tens of
// millions of them.

// "0" to "9" and "00" to "99", made once and shared.
const QString& DigitText(int digit);
const QString& TwoDigitText(int value);
// Zero-padded decimal text of a non-negative value.
QString Digits(qint64 value, int width);
// Full-width digits, as Japanese addresses write house numbers.
QString FullWidthNumber(int value);
// "YYYYMMDD" and "HHMMSS".
QString DateText(const QDate& date);
QString TimeText(int secondOfDay);
// Blank padded to width characters, as a fixed-width text column holds it.
QString Padded(const QString& text, int width);

} // namespace plw::sample
