#include "app/Currency.h"

#include <limits>

namespace plw {
namespace {

// Products of two scaled amounts need 128 bits before they are scaled back.
__extension__ typedef __int128 Wide;

constexpr qint64 Minimum = std::numeric_limits<qint64>::min();
constexpr qint64 Maximum = std::numeric_limits<qint64>::max();

// numerator / denominator (denominator not 0), the nearest whole number, a half to the even one.
Wide divideHalfEven(Wide numerator, Wide denominator) {
    Wide quotient = numerator / denominator;
    const Wide remainder = numerator % denominator;
    if (remainder == 0)
        return quotient;
    const Wide twice = (remainder < 0 ? -remainder : remainder) * 2;
    const Wide magnitude = denominator < 0 ? -denominator : denominator;
    const bool negative = (numerator < 0) != (denominator < 0);
    if (twice > magnitude || (twice == magnitude && quotient % 2 != 0))
        quotient += negative ? -1 : 1;
    return quotient;
}

// The platform raises an overflow here; an amount has no error channel, so it stops at its limit.
qint64 saturated(Wide value) {
    if (value < Minimum)
        return Minimum;
    if (value > Maximum)
        return Maximum;
    return static_cast<qint64>(value);
}

} // namespace

qint64 Currency::roundedToInteger() const {
    return static_cast<qint64>(divideHalfEven(mScaled, Scale));
}

QString Currency::toString() const {
    // The magnitude of the most negative amount does not fit a signed 64-bit value.
    const bool negative = mScaled < 0;
    const quint64 magnitude =
        negative ? quint64(0) - static_cast<quint64>(mScaled) : static_cast<quint64>(mScaled);
    QString text = QString::number(magnitude / Scale);
    quint64 fraction = magnitude % Scale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}

Currency Currency::operator*(Currency o) const {
    return fromScaled(saturated(divideHalfEven(Wide(mScaled) * o.mScaled, Scale)));
}

Currency Currency::operator/(Currency o) const {
    // A quotient by zero is 0, like every other conversion of this program that cannot fail.
    if (o.mScaled == 0)
        return Currency();
    return fromScaled(saturated(divideHalfEven(Wide(mScaled) * Scale, o.mScaled)));
}

} // namespace plw
