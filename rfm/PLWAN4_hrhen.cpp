#include "rfm/PLWAN4_hrhen.h"

#include "app/CommonRoutines.h"

#include <QDate>

namespace plw {

namespace {

// The rank of a value against thresholds 5 down to 2: the first that holds wins, else "1".
template <typename Holds> QString RankByThresholds(const Thresholds& thresholds, Holds holds) {
    for (int element = 5; element >= 2; --element) {
        if (holds(ThresholdValue(thresholds[static_cast<size_t>(element - 1)])))
            return QString::number(element);
    }
    return QStringLiteral("1");
}

} // namespace

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

RecencyRank RankRecency(const QString& baseDate, const QString& lastVisit, const Thresholds& r) {
    const QString format = QStringLiteral("yyyy/MM/dd");
    const QDate base = QDate::fromString(baseDate, format);
    const QDate visit = QDate::fromString(lastVisit, format);
    if (!base.isValid() || !visit.isValid())
        return {QStringLiteral("1"), QString()};
    const qint64 days = visit.daysTo(base);
    const Currency value = Currency::fromInteger(days);
    return {RankByThresholds(r, [&](Currency limit) { return value <= limit; }),
            FormatNumber(days, QStringLiteral("##0"))};
}

QString RankFrequency(const QString& visits, const Thresholds& f) {
    const Currency value = Currency::fromInteger(ToLong(visits));
    return RankByThresholds(f, [&](Currency limit) { return value >= limit; });
}

QString RankMonetary(const QString& amountYen, const Thresholds& m) {
    const qint64 units = (ToCurrency(amountYen) / Currency::fromInteger(10000)).roundedToInteger();
    const Currency value = Currency::fromInteger(units);
    return RankByThresholds(m, [&](Currency limit) { return value >= limit; });
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
