#include "tools/sample/SampleText.h"

#include <array>

namespace plw::sample {

const QString& DigitText(int digit) {
    static const std::array<QString, 10> texts = [] {
        std::array<QString, 10> t;
        for (int i = 0; i < 10; ++i)
            t[static_cast<size_t>(i)] = QString(QChar(u'0' + i));
        return t;
    }();
    return texts[static_cast<size_t>(digit)];
}

const QString& TwoDigitText(int value) {
    static const std::array<QString, 100> texts = [] {
        std::array<QString, 100> t;
        for (int i = 0; i < 100; ++i)
            t[static_cast<size_t>(i)] = Digits(i, 2);
        return t;
    }();
    return texts[static_cast<size_t>(value)];
}

QString Digits(qint64 value, int width) {
    char16_t buffer[20];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    return QString(reinterpret_cast<const QChar*>(buffer), width);
}

QString FullWidthNumber(int value) {
    QString text = QString::number(value);
    for (QChar& c : text)
        c = QChar(c.unicode() - u'0' + u'０');
    return text;
}

QString DateText(const QDate& date) {
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    return Digits(y * 10000 + m * 100 + d, 8);
}

QString TimeText(int secondOfDay) {
    const int h = secondOfDay / 3600, m = secondOfDay / 60 % 60, s = secondOfDay % 60;
    return Digits(h * 10000 + m * 100 + s, 6);
}

QString Padded(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

} // namespace plw::sample
