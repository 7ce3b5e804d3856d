#include "db/WholeNumber.h"

#include <QLocale>

#include <cmath>

namespace plw::db {

WholeNumber WholeNumber::read(double value) {
    if (std::isnan(value))
        return {0, Fault::NotANumber};
    if (!(std::fabs(value) <= double(Limit)))
        return {0, Fault::BeyondLimit};
    if (value != std::trunc(value))
        return {0, Fault::Fraction};
    return {static_cast<qint64>(value), Fault::None};
}

WholeNumber WholeNumber::read(QStringView text) {
    const QStringView number = text.trimmed();
    if (number.isEmpty())
        return {0, Fault::None};
    // Plain decimal notation is read digit by digit, so that no digit is lost to a double.
    qsizetype i = 0;
    const bool negative = number.at(0) == u'-';
    if (negative || number.at(0) == u'+')
        ++i;
    auto digit = [&](qsizetype at) {
        return at < number.size() && number.at(at) >= u'0' && number.at(at) <= u'9';
    };
    const qsizetype wholeStart = i;
    quint64 magnitude = 0;
    bool beyond = false;
    for (; digit(i); ++i) {
        magnitude = beyond ? magnitude : magnitude * 10 + (number.at(i).unicode() - u'0');
        beyond = beyond || magnitude > quint64(Limit);
    }
    bool digits = i > wholeStart, fraction = false;
    if (i < number.size() && number.at(i) == u'.') {
        for (++i; digit(i); ++i) {
            digits = true;
            fraction = fraction || number.at(i) != u'0';
        }
    }
    if (digits && i == number.size()) {
        if (beyond)
            return {0, Fault::BeyondLimit};
        if (fraction)
            return {0, Fault::Fraction};
        const qint64 value = static_cast<qint64>(magnitude);
        return {negative ? -value : value, Fault::None};
    }
    // Other notations of a number ("1e20") go by their value; digit grouping is no notation of
    // a stored number.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(number, &ok);
    return ok ? read(value) : WholeNumber(0, Fault::NotANumber);
}

WholeNumber WholeNumber::read(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {0, Fault::None};
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qint64 number = value.toLongLong();
        if (number < -Limit || number > Limit)
            return {0, Fault::BeyondLimit};
        return {number, Fault::None};
    }
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 number = value.toULongLong();
        if (number > quint64(Limit))
            return {0, Fault::BeyondLimit};
        return {qint64(number), Fault::None};
    }
    case QMetaType::Float:
    case QMetaType::Double:
        return read(value.toDouble());
    case QMetaType::QString:
        return read(QStringView(*static_cast<const QString*>(value.constData())));
    default: // a blob or anything else is no number
        return {0, Fault::NotANumber};
    }
}

qint64 WholeNumber::require(const QVariant& value, QStringView column, const QString& customer) {
    const WholeNumber number = read(value);
    if (!number.ok())
        throw NumberValueError(NumberFaultText(number.fault(), column, value, customer));
    return number.value();
}

QString NumberFaultText(WholeNumber::Fault fault, QStringView column, const QVariant& value,
                        const QString& customer) {
    QString shown;
    if (value.typeId() == QMetaType::QString) {
        // A text is shown as it is, within brackets, and cut when it is long.
        const QString text = value.toString();
        shown = u'「' + (text.size() > 40 ? text.left(40) + u'…' : text) + u'」';
    } else if (value.typeId() == QMetaType::QByteArray) {
        shown = QStringLiteral("（バイナリ %1 バイト）").arg(value.toByteArray().size());
    } else {
        shown = value.toString();
    }
    QString text = customer.isEmpty() ? QString() : QStringLiteral("顧客 %1 の ").arg(customer);
    text += QStringLiteral("%1 の値 %2 ").arg(column.toString(), shown);
    switch (fault) {
    case WholeNumber::Fault::Fraction:
        return text + QStringLiteral("は整数ではありません。");
    case WholeNumber::Fault::BeyondLimit:
        return text + QStringLiteral("は扱える範囲（±9,007,199,254,740,992）を超えています。");
    case WholeNumber::Fault::NotANumber:
        return text + QStringLiteral("は数値ではありません。");
    case WholeNumber::Fault::None:
        break;
    }
    return text;
}

} // namespace plw::db
