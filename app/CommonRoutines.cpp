#include "app/CommonRoutines.h"

#include "app/AnsiCodec.h"

#include <limits>
#include <optional>

namespace plw {
namespace {

bool isTrimmed(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000) || c == QChar(0);
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A number in plain decimal notation: blanks, a sign, digits, a decimal point and more digits.
struct PlainDecimal {
    bool negative = false;
    QStringView whole;
    QStringView fraction;
};

std::optional<PlainDecimal> parsePlainDecimal(const QString& text) {
    QStringView rest(text);
    while (!rest.isEmpty() && rest.front() == QLatin1Char(' '))
        rest = rest.mid(1);
    while (!rest.isEmpty() && rest.back() == QLatin1Char(' '))
        rest.chop(1);

    PlainDecimal number;
    if (!rest.isEmpty() && (rest.front() == QLatin1Char('-') || rest.front() == QLatin1Char('+'))) {
        number.negative = rest.front() == QLatin1Char('-');
        rest = rest.mid(1);
    }
    qsizetype i = 0;
    while (i < rest.size() && isDigit(rest[i]))
        ++i;
    number.whole = rest.first(i);
    if (i < rest.size() && rest[i] == QLatin1Char('.')) {
        const qsizetype start = ++i;
        while (i < rest.size() && isDigit(rest[i]))
            ++i;
        number.fraction = rest.mid(start, i - start);
    }
    if (i != rest.size() || (number.whole.isEmpty() && number.fraction.isEmpty()))
        return std::nullopt;
    return number;
}

// The number times 10^decimals, rounded half to even, when it lies within [minimum, maximum].
std::optional<qint64> scaledValue(const PlainDecimal& number, int decimals, qint64 minimum,
                                  qint64 maximum) {
    // Any magnitude above 2^64 is out of every range asked for; stop before the sum overflows.
    constexpr quint64 limit = std::numeric_limits<quint64>::max() / 10 - 9;
    quint64 magnitude = 0;
    auto append = [&](QChar digit) {
        if (magnitude > limit)
            return false;
        magnitude = magnitude * 10 + (digit.unicode() - u'0');
        return true;
    };
    for (QChar digit : number.whole)
        if (!append(digit))
            return std::nullopt;
    for (int i = 0; i < decimals; ++i)
        if (!append(i < number.fraction.size() ? number.fraction[i] : QLatin1Char('0')))
            return std::nullopt;

    // Round on every remaining digit at once, so that 2.50001 goes up and 2.5 goes to 2.
    const QStringView dropped =
        number.fraction.mid(qMin<qsizetype>(decimals, number.fraction.size()));
    if (!dropped.isEmpty()) {
        const char16_t first = dropped.front().unicode();
        bool beyondHalf = false;
        for (QChar digit : dropped.mid(1))
            beyondHalf = beyondHalf || digit != QLatin1Char('0');
        if (first > u'5' || (first == u'5' && (beyondHalf || magnitude % 2 != 0))) {
            if (magnitude == std::numeric_limits<quint64>::max())
                return std::nullopt;
            ++magnitude;
        }
    }

    const quint64 maximumMagnitude = number.negative ? quint64(0) - static_cast<quint64>(minimum)
                                                     : static_cast<quint64>(maximum);
    if (magnitude > maximumMagnitude)
        return std::nullopt;
    return number.negative ? static_cast<qint64>(quint64(0) - magnitude)
                           : static_cast<qint64>(magnitude);
}

qint64 convert(const QString& text, int decimals, qint64 minimum, qint64 maximum) {
    const auto number = parsePlainDecimal(text);
    if (!number)
        return 0;
    return scaledValue(*number, decimals, minimum, maximum).value_or(0);
}

} // namespace

qsizetype AnsiByteLength(const QString& text) {
    return AnsiCodec::byteLength(text);
}

QString TrimAll(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmed(text[first]))
        ++first;
    while (last > first && isTrimmed(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString ToFullWidth(const QString& text) {
    QString wide;
    wide.reserve(text.size());
    for (QChar c : text) {
        if (c == u' ')
            wide += QChar(0x3000);
        else if (c.unicode() >= 0x21 && c.unicode() <= 0x7E)
            wide += QChar(c.unicode() - 0x21 + 0xFF01);
        else
            wide += c;
    }
    return wide;
}

QString PadRightBytes(const QString& text, qsizetype width) {
    const qsizetype bytes = AnsiCodec::byteLength(text);
    if (bytes >= width)
        return text;
    return text + QString(width - bytes, QLatin1Char(' '));
}

void SortPairsDescending(QStringList& keys, QStringList& values, qsizetype n) {
    n = qMin(n, qMin(keys.size(), values.size()));
    for (qsizetype i = 0; i + 1 < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            // QString compares UTF-16 code units: the character codes, without regard to locale.
            if (keys[i] < keys[j]) {
                keys.swapItemsAt(i, j);
                values.swapItemsAt(i, j);
            }
        }
    }
}

qsizetype SplitCsvLine(const QString& line, QStringList& fields, bool* openQuote) {
    const QChar quote = QLatin1Char('"');
    const QChar comma = QLatin1Char(',');
    const QString placeholder = QStringLiteral("&$");
    for (QString& field : fields)
        field.clear();

    // A doubled quote inside a value stands for one quote; park it as "&$" so that the scan below
    // does not take it for the end of the value. After a comma, "" is an empty quoted value.
    QString text = line;
    for (qsizetype p = 1; p + 1 < text.size(); ++p) {
        if (text[p] == quote && text[p + 1] == quote && text[p - 1] != comma) {
            text[p] = QLatin1Char('&');
            text[p + 1] = QLatin1Char('$');
        }
    }

    qsizetype count = 0;
    auto store = [&](const QString& value) {
        if (count < fields.size())
            fields[count] = QString(value).replace(placeholder, quote);
        ++count;
    };
    bool inQuotes = false;
    QString current;
    for (QChar c : std::as_const(text)) {
        if (c == quote) {
            inQuotes = !inQuotes;
        } else if (c == comma && !inQuotes) {
            store(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!text.endsWith(comma))
        store(current);
    if (openQuote)
        *openQuote = inQuotes;
    return count;
}

qint16 ToInteger(const QString& text) {
    return static_cast<qint16>(
        convert(text, 0, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

qint32 ToLong(const QString& text) {
    return static_cast<qint32>(
        convert(text, 0, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

Currency ToCurrency(const QString& text) {
    return Currency::fromScaled(
        convert(text, 4, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
}

QString CheckRange(const QString& from, const QString& to) {
    const QString missing = QStringLiteral("範囲を指定してください");
    auto blank = [](const QString& text) {
        for (QChar c : text)
            if (c != QLatin1Char(' '))
                return false;
        return true;
    };
    if (blank(from) && blank(to))
        return missing;
    const Currency a = ToCurrency(from);
    const Currency b = ToCurrency(to);
    const Currency zero;
    if (a == zero && b == zero)
        return missing;
    if (a != zero && b != zero && a > b)
        return QStringLiteral("範囲の指定が間違っています。");
    return QString();
}

} // namespace plw
