#include "app/CommonRoutines.h"

namespace plw {
namespace {

// Room for a 64-bit amount scaled by 10^4 and then by 1,000 for every trailing comma.
__extension__ typedef unsigned __int128 Magnitude;

// magnitude / 10^scale, negative when the flag says so.
struct Decimal {
    bool negative = false;
    Magnitude magnitude = 0;
    int scale = 0;
};

Decimal decimalOf(qint64 value, int scale) {
    const bool negative = value < 0;
    // The magnitude of the most negative value does not fit a signed 64-bit value.
    const quint64 magnitude =
        negative ? quint64(0) - static_cast<quint64>(value) : static_cast<quint64>(value);
    return Decimal{negative, magnitude, scale};
}

Magnitude powerOfTen(int exponent) {
    Magnitude result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

// The nearest whole number of numerator / denominator, a half to the even one.
Magnitude divideHalfEven(Magnitude numerator, Magnitude denominator) {
    Magnitude quotient = numerator / denominator;
    const Magnitude remainder = numerator % denominator;
    const Magnitude rest = denominator - remainder;
    if (remainder > rest || (remainder == rest && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

QString digitsOf(Magnitude value) {
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<char16_t>(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

// Keeps at most fractionDigits decimals, rounding half to even.
void roundTo(Decimal& value, int fractionDigits) {
    if (value.scale <= fractionDigits)
        return;
    const int drop = value.scale - fractionDigits;
    // 10^39 exceeds every magnitude: the quotient is below one half.
    value.magnitude = drop > 38 ? 0 : divideHalfEven(value.magnitude, powerOfTen(drop));
    value.scale = fractionDigits;
}

// The whole and fraction digits of the value; the fraction padded to fractionDigits.
void splitDigits(const Decimal& value, int fractionDigits, QString& whole, QString& fraction) {
    QString digits = digitsOf(value.magnitude);
    if (digits.size() <= value.scale)
        digits.prepend(QString(value.scale - digits.size() + 1, QLatin1Char('0')));
    whole = digits.first(digits.size() - value.scale);
    fraction = digits.mid(digits.size() - value.scale);
    fraction += QString(qMax(0, fractionDigits - value.scale), QLatin1Char('0'));
    while (!whole.isEmpty() && whole.front() == QLatin1Char('0'))
        whole.remove(0, 1);
}

// An empty pattern gives the plain number, as many decimals as it has.
QString generalText(const Decimal& value) {
    QString whole;
    QString fraction;
    splitDigits(value, value.scale, whole, fraction);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = whole.isEmpty() ? QStringLiteral("0") : whole;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return value.negative && value.magnitude != 0 ? QLatin1Char('-') + text : text;
}

bool isPlaceholder(QChar c) {
    return c == QLatin1Char('#') || c == QLatin1Char('0');
}

// What the whole part of a pattern asks for.
struct WholeLayout {
    qsizetype placeholders = 0;
    int minimumDigits = 0; // placeholders from the first "0" on
    bool grouping = false; // thousands separators
    int thousands = 0;     // commas after the last placeholder: divisions by 1,000
};

// Whole part: digits fill the placeholders from the right; every placeholder from the first
// "0" on shows a digit even when it is a leading zero.
WholeLayout readWholePattern(QStringView wholePattern) {
    WholeLayout layout;
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < wholePattern.size(); ++i) {
        if (!isPlaceholder(wholePattern[i]))
            continue;
        if (first < 0)
            first = i;
        last = i;
        ++layout.placeholders;
        if (wholePattern[i] == QLatin1Char('0') || layout.minimumDigits > 0)
            ++layout.minimumDigits;
    }
    // A comma between placeholders asks for thousands separators; each comma after the last
    // placeholder divides the value by 1,000.
    for (qsizetype i = 0; i < wholePattern.size(); ++i) {
        if (wholePattern[i] != QLatin1Char(',') || first < 0 || i < first)
            continue;
        if (i < last)
            layout.grouping = true;
        else
            ++layout.thousands;
    }
    return layout;
}

// What the fraction part of a pattern asks for: its placeholders, and how many of them show
// their digit always ("0" does, "#" only up to the last non-zero digit).
struct FractionLayout {
    int placeholders = 0;
    int required = 0;
};

FractionLayout readFractionPattern(QStringView fractionPattern) {
    FractionLayout layout;
    for (QChar c : fractionPattern) {
        if (!isPlaceholder(c))
            continue;
        ++layout.placeholders;
        if (c == QLatin1Char('0'))
            layout.required = layout.placeholders;
    }
    return layout;
}

// Appends the whole digits to text as the whole pattern places them, with its other characters.
void writeWhole(QString& text, const QString& wholeDigits, QStringView wholePattern,
                const WholeLayout& layout) {
    const qsizetype count = wholeDigits.size();
    // Digit i counts from the right, starting at 0.
    auto putDigit = [&](qsizetype i) {
        text += wholeDigits[count - 1 - i];
        if (layout.grouping && i > 0 && i % 3 == 0)
            text += QLatin1Char(',');
    };
    qsizetype position = layout.placeholders;
    for (QChar c : wholePattern) {
        if (isPlaceholder(c)) {
            --position;
            if (position == layout.placeholders - 1) {
                // The leftmost placeholder takes every digit the pattern has no room for.
                for (qsizetype i = count - 1; i >= position; --i)
                    putDigit(i);
            } else if (position < count) {
                putDigit(position);
            }
        } else if (c != QLatin1Char(',')) {
            text += c;
        }
    }
    if (layout.placeholders == 0)
        for (qsizetype i = count - 1; i >= 0; --i)
            putDigit(i);
}

// Appends the first shown fraction digits to text as the fraction pattern places them.
void writeFraction(QString& text, const QString& fractionDigits, qsizetype shown,
                   QStringView fractionPattern) {
    qsizetype j = 0;
    for (QChar c : fractionPattern) {
        if (isPlaceholder(c)) {
            if (j < shown)
                text += fractionDigits[j];
            ++j;
        } else if (c != QLatin1Char(',')) {
            text += c;
        }
    }
}

QString formatDecimal(Decimal value, const QString& pattern) {
    if (pattern.isEmpty())
        return generalText(value);

    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QStringView wholePattern =
        point < 0 ? QStringView(pattern) : QStringView(pattern).first(point);
    const QStringView fractionPattern =
        point < 0 ? QStringView() : QStringView(pattern).mid(point + 1);
    const WholeLayout whole = readWholePattern(wholePattern);
    const FractionLayout fraction = readFractionPattern(fractionPattern);

    value.scale += 3 * whole.thousands;
    roundTo(value, fraction.placeholders);
    QString wholeDigits;
    QString fractionDigits;
    splitDigits(value, fraction.placeholders, wholeDigits, fractionDigits);
    if (wholeDigits.size() < whole.minimumDigits)
        wholeDigits.prepend(QString(whole.minimumDigits - wholeDigits.size(), QLatin1Char('0')));
    qsizetype shown = fractionDigits.size();
    while (shown > fraction.required && fractionDigits[shown - 1] == QLatin1Char('0'))
        --shown;

    // A value that rounds to zero shows no sign.
    QString text;
    if (value.negative && value.magnitude != 0)
        text += QLatin1Char('-');
    writeWhole(text, wholeDigits, wholePattern, whole);
    if (point >= 0) {
        // The decimal point is shown even when no fraction digit follows ("5.").
        text += QLatin1Char('.');
        writeFraction(text, fractionDigits, shown, fractionPattern);
    }
    return text;
}

QString padLeft(QString text, const QString& format) {
    if (text.size() < format.size())
        text.prepend(QString(format.size() - text.size(), QLatin1Char(' ')));
    return text;
}

} // namespace

QString FormatNumber(Currency value, const QString& format) {
    return formatDecimal(decimalOf(value.scaled(), 4), format);
}

QString FormatNumber(qint64 value, const QString& format) {
    return formatDecimal(decimalOf(value, 0), format);
}

QString FormatRight(Currency value, const QString& format) {
    return padLeft(FormatNumber(value, format), format);
}

QString FormatRight(qint64 value, const QString& format) {
    return padLeft(FormatNumber(value, format), format);
}

} // namespace plw
