#include "rfm/PLWAN4_hrhen.h"

#include "app/CommonRoutines.h"

#include <QDate>

namespace plw {

Currency ThresholdValue(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    auto isDigit = [&](qsizetype at) {
        return at < n && text.at(at) >= u'0' && text.at(at) <= u'9';
    };
    while (isDigit(i))
        ++i;
    if (i < n && text.at(i) == u'.') {
        ++i;
        while (isDigit(i))
            ++i;
    }
    return ToCurrency(text.mid(start, i - start));
}

RankLimits::RankLimits(const Thresholds& thresholds) {
    for (size_t i = 0; i < mLimits.size(); ++i)
        mLimits[i] = ThresholdValue(thresholds[i]);
}

namespace {

// A whole number against a threshold with four decimals: 128 bits hold the scaled value of any
// 64-bit number.
__extension__ typedef __int128 Wide;

Wide Scaled(qint64 value) {
    return Wide(value) * Currency::Scale;
}

} // namespace

QChar RankLimits::AtMost(qint64 value) const {
    for (int element = 5; element >= 2; --element)
        if (Scaled(value) <= mLimits[static_cast<size_t>(element - 1)].scaled())
            return QChar(u'0' + element);
    return u'1';
}

QChar RankLimits::AtLeast(qint64 value) const {
    for (int element = 5; element >= 2; --element)
        if (Scaled(value) >= mLimits[static_cast<size_t>(element - 1)].scaled())
            return QChar(u'0' + element);
    return u'1';
}

QDate DateOfText(const QString& date) {
    if (date.size() == 8) {
        int parts[3] = {0, 0, 0};
        const int widths[3] = {4, 2, 2};
        qsizetype at = 0;
        bool digits = true;
        for (int p = 0; p < 3 && digits; ++p)
            for (int i = 0; i < widths[p]; ++i, ++at) {
                const QChar c = date.at(at);
                digits = digits && c >= u'0' && c <= u'9';
                parts[p] = parts[p] * 10 + (c.unicode() - u'0');
            }
        if (digits)
            return QDate(parts[0], parts[1], parts[2]);
    }
    // Anything else goes the way of its display text.
    return QDate::fromString(DateToSlashText(date), QStringLiteral("yyyy/MM/dd"));
}

RecencyRank RankRecency(const QString& baseDate, const QString& lastVisit, const Thresholds& r) {
    const QString format = QStringLiteral("yyyy/MM/dd");
    const QDate base = QDate::fromString(baseDate, format);
    const QDate visit = QDate::fromString(lastVisit, format);
    if (!base.isValid() || !visit.isValid())
        return {QStringLiteral("1"), QString()};
    const qint64 days = visit.daysTo(base);
    return {RankLimits(r).AtMost(days), QString::number(days)};
}

QString RankFrequency(const QString& visits, const Thresholds& f) {
    return RankLimits(f).AtLeast(ToLong(visits));
}

qint64 MonetaryUnits(qint64 amountYen) {
    // Yen are the scaled value of an amount in units of 10,000 yen.
    return Currency::fromScaled(amountYen).roundedToInteger();
}

QString RankMonetary(const QString& amountYen, const Thresholds& m) {
    return RankLimits(m).AtLeast(
        (ToCurrency(amountYen) / Currency::fromInteger(10000)).roundedToInteger());
}

QString CellCode(int k) {
    if (k < 1 || k > 125)
        return QStringLiteral("000");
    const int r = 5 - (k - 1) / 25;
    const int m = 5 - ((k - 1) % 25) / 5;
    const int f = 5 - (k - 1) % 5;
    return QString::number(r * 100 + f * 10 + m);
}

int CellIndex(const QString& code) {
    if (code.size() != 3)
        return 0;
    int digit[3];
    for (int i = 0; i < 3; ++i) {
        const QChar c = code.at(i);
        if (c < u'1' || c > u'5')
            return 0;
        digit[i] = c.unicode() - u'0';
    }
    const int r = digit[0], f = digit[1], m = digit[2];
    return 25 * (5 - r) + 5 * (5 - m) + (5 - f) + 1;
}

QString GroupOfCode(const QString& code, const GroupMatrix& matrix) {
    const int k = CellIndex(code);
    return k == 0 ? QStringLiteral("X") : matrix[static_cast<size_t>(k - 1)];
}

} // namespace plw
