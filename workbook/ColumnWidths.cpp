#include "workbook/ColumnWidths.h"

#include <QStringView>

#include <algorithm>
#include <cmath>

namespace plw::ColumnWidths {

namespace {

constexpr double MaxWidth = 255;
constexpr double Padding = 1.5;
constexpr double StandardPoints = 11;
constexpr int GeneralCharacters = 11;

bool IsWide(char32_t c) {
    if (c >= 0xFF61 && c <= 0xFFDC)
        return false; // half-width katakana and Hangul
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE10 && c <= 0xFE19) ||
           (c >= 0xFE30 && c <= 0xFE6F) || (c >= 0xFF01 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool IsZeroWidth(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
           category == QChar::Other_Format || category == QChar::Other_Control;
}

// The decimal digits of a non-negative value rounded to 15 significant digits, as a spreadsheet
// keeps them, and the position of the decimal point counted from the first digit.
struct Digits {
    QString digits;
    int point = 0;
};

Digits DigitsOf(double value) {
    const QString scientific = QString::number(value, 'e', 14); // "d.dddddddddddddde+XX"
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    Digits result;
    result.digits = scientific.left(1) + scientific.mid(2, e - 2);
    result.point = scientific.mid(e + 1).toInt() + 1;
    return result;
}

// Rounds half away from zero to the given number of decimals.
Digits Rounded(Digits d, int decimals) {
    const qsizetype keep = qsizetype(d.point) + decimals;
    if (keep >= d.digits.size())
        return d;
    if (keep < 0)
        return {QStringLiteral("0"), 1};
    const bool up = d.digits.at(keep) >= QLatin1Char('5');
    d.digits.truncate(keep);
    if (up) {
        qsizetype i = keep - 1;
        for (; i >= 0 && d.digits.at(i) == QLatin1Char('9'); --i)
            d.digits[i] = QLatin1Char('0');
        if (i >= 0) {
            d.digits[i] = QChar(d.digits.at(i).unicode() + 1);
        } else {
            d.digits.prepend(QLatin1Char('1'));
            ++d.point;
        }
    }
    if (d.digits.isEmpty())
        return {QStringLiteral("0"), 1};
    return d;
}

bool IsZero(const Digits& d) {
    return std::all_of(d.digits.begin(), d.digits.end(),
                       [](QChar c) { return c == QLatin1Char('0'); });
}

// The fixed-point text of rounded digits with exactly decimals places.
QString Fixed(const Digits& d, int decimals, bool grouping) {
    QString integer;
    QString fraction;
    if (d.point <= 0) {
        integer = QStringLiteral("0");
        fraction = QString(-d.point, QLatin1Char('0')) + d.digits;
    } else {
        integer = d.digits.left(d.point);
        integer += QString(std::max<qsizetype>(0, d.point - d.digits.size()), QLatin1Char('0'));
        fraction = d.digits.mid(d.point);
    }
    while (integer.size() > 1 && integer.front() == QLatin1Char('0'))
        integer.remove(0, 1);
    fraction = fraction.left(decimals);
    fraction += QString(decimals - fraction.size(), QLatin1Char('0'));
    if (grouping)
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, QLatin1Char(','));
    return decimals > 0 ? integer + QLatin1Char('.') + fraction : integer;
}

QString WithoutTrailingZeros(QString text) {
    if (!text.contains(QLatin1Char('.')))
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString General(double value) {
    if (value == 0)
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const Digits digits = DigitsOf(std::fabs(value));
    const int exponent = digits.point - 1;
    if (exponent < GeneralCharacters && exponent >= -9) {
        const int integerDigits = std::max(digits.point, 1);
        const int decimals = std::max(0, GeneralCharacters - integerDigits - 1);
        const Digits rounded = Rounded(digits, decimals);
        if (rounded.point <= GeneralCharacters && !IsZero(rounded))
            return sign + WithoutTrailingZeros(Fixed(rounded, decimals, false));
    }
    // Scientific: a mantissa of up to six significant digits and a two-digit exponent at least.
    Digits mantissa = Rounded({digits.digits, 1}, 5);
    int power = exponent + (mantissa.point - 1);
    const QString mantissaText = WithoutTrailingZeros(Fixed({mantissa.digits, 1}, 5, false));
    return sign + mantissaText + (power < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
           QStringLiteral("%1").arg(std::abs(power), 2, 10, QLatin1Char('0'));
}

// A plain number pattern: optional grouping, at least one integer digit, optional decimals
// ("0", "#,##0", "0.00", "#,##0.0"). False for any other code.
bool ParsePattern(const QString& code, int* decimals, bool* grouping) {
    const qsizetype dot = code.indexOf(QLatin1Char('.'));
    const QStringView integer = QStringView(code).left(dot < 0 ? code.size() : dot);
    const QStringView fraction = dot < 0 ? QStringView() : QStringView(code).mid(dot + 1);
    if (integer.isEmpty() || !integer.endsWith(QLatin1Char('0')))
        return false;
    for (QChar c : integer)
        if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char(','))
            return false;
    for (QChar c : fraction)
        if (c != QLatin1Char('0'))
            return false;
    if (dot >= 0 && fraction.isEmpty())
        return false;
    *decimals = int(fraction.size());
    *grouping = integer.contains(QLatin1Char(','));
    return true;
}

} // namespace

double TextUnits(const QString& text) {
    double widest = 0;
    double line = 0;
    for (char32_t c : QStringView(text).toUcs4()) {
        if (c == U'\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if (!IsZeroWidth(c)) {
            line += IsWide(c) ? 2 : 1;
        }
    }
    return std::max(widest, line);
}

QString DisplayText(const CellValue& value, const QString& formatCode) {
    double number = 0;
    switch (value.kind) {
    case CellKind::Blank:
        return {};
    case CellKind::Text:
        return value.text;
    case CellKind::Number:
        number = value.number;
        break;
    case CellKind::Currency:
        number = value.currency.toDouble();
        break;
    }
    int decimals = 0;
    bool grouping = false;
    if (!ParsePattern(formatCode.trimmed(), &decimals, &grouping))
        return General(number);
    const Digits rounded = Rounded(DigitsOf(std::fabs(number)), decimals);
    const QString text = Fixed(rounded, decimals, grouping);
    return number < 0 && !IsZero(rounded) ? QLatin1Char('-') + text : text;
}

double NumberUnits(double value, const QString& formatCode) {
    const bool grouping = formatCode == u"#,##0";
    if ((grouping || formatCode == u"General" || formatCode == u"0") &&
        value == std::trunc(value) && std::fabs(value) < 1e10) {
        // A whole number below eleven digits shows all its digits in each of these formats.
        long long n = static_cast<long long>(std::fabs(value));
        int digits = 1;
        while (n >= 10) {
            n /= 10;
            ++digits;
        }
        return digits + (grouping ? (digits - 1) / 3 : 0) + (value < 0 ? 1 : 0);
    }
    CellValue cell;
    cell.kind = CellKind::Number;
    cell.number = value;
    return TextUnits(DisplayText(cell, formatCode));
}

double FittedWidth(double textUnits, double fontPoints) {
    if (!(textUnits > 0))
        return 0;
    const double points = fontPoints > 0 ? fontPoints : StandardPoints;
    return std::min(MaxWidth, textUnits * points / StandardPoints + Padding);
}

} // namespace plw::ColumnWidths
