#include "workbook/xls/XlsPalette.h"

#include "workbook/Palette.h"

#include <QStringList>

namespace plw::xls {

XlsPalette::XlsPalette() {
    for (int i = 1; i <= 56; ++i)
        mColors[size_t(i - 1)] = Palette::RgbHex(i).toUInt(nullptr, 16);
}

bool XlsPalette::setIndexedColors(const QStringList& colors) {
    // A list of 56 holds the palette alone (LibreOffice writes it so); 64 begin with the eight
    // legacy colours.
    const qsizetype offset = colors.size() == 56 ? 8 : 0;
    for (qsizetype i = 8; i - offset < colors.size() && i < 64; ++i) {
        QString hex = colors.at(i - offset).trimmed();
        if (hex.size() == 8)
            hex.remove(0, 2);
        bool ok = false;
        const unsigned value = hex.toUInt(&ok, 16);
        if (hex.size() != 6 || !ok)
            return false;
        if (mColors[size_t(i - 8)] != value)
            mCustom = true;
        mColors[size_t(i - 8)] = value;
    }
    return true;
}

int XlsPalette::indexOf(unsigned rgbValue) const {
    for (size_t i = 0; i < mColors.size(); ++i)
        if (mColors[i] == rgbValue)
            return int(i) + 8;
    return -1;
}

namespace {

// The RGB value of "AARRGGBB", "RRGGBB" or "#RRGGBB"; false when it is none.
bool ParseHex(const QString& hex, unsigned* value) {
    QString text = hex.trimmed();
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    if (text.size() == 8)
        text.remove(0, 2);
    bool ok = false;
    *value = text.toUInt(&ok, 16);
    return text.size() == 6 && ok;
}

} // namespace

int XlsPalette::indexOfHex(const QString& hex) const {
    unsigned value = 0;
    return ParseHex(hex, &value) ? indexOf(value) : -1;
}

int XlsPalette::nearestOfHex(const QString& hex) const {
    unsigned value = 0;
    if (!ParseHex(hex, &value))
        return -1;
    const auto channel = [](unsigned rgb, int shift) {
        return int((rgb >> shift) & 0xFF);
    };
    int best = -1;
    long bestDistance = 0;
    for (size_t i = 0; i < mColors.size(); ++i) {
        long distance = 0;
        for (int shift : {0, 8, 16}) {
            const long d = channel(mColors[i], shift) - channel(value, shift);
            distance += d * d;
        }
        if (best < 0 || distance < bestDistance) {
            best = int(i) + 8;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace plw::xls
