#include "workbook/Palette.h"

#include <array>

namespace plw::Palette {

namespace {

constexpr std::array<unsigned, 56> kColors = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, // 1..8
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, // 9..16
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, // 17..24
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, // 25..32
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, // 33..40
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, // 41..48
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333, // 49..56
};

} // namespace

bool IsValidIndex(int colorIndex) {
    return colorIndex >= 1 && colorIndex <= int(kColors.size());
}

QString RgbHex(int colorIndex) {
    if (!IsValidIndex(colorIndex))
        return {};
    return QStringLiteral("%1")
        .arg(kColors[size_t(colorIndex - 1)], 6, 16, QLatin1Char('0'))
        .toUpper();
}

int IndexOfRgb(const QString& hex) {
    QString text = hex.trimmed();
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    if (text.size() == 8)
        text.remove(0, 2);
    if (text.size() != 6)
        return 0;
    bool ok = false;
    const unsigned value = text.toUInt(&ok, 16);
    if (!ok)
        return 0;
    for (size_t i = 0; i < kColors.size(); ++i)
        if (kColors[i] == value)
            return int(i) + 1;
    return 0;
}

int IndexedOf(int colorIndex) {
    return IsValidIndex(colorIndex) ? colorIndex + 7 : 0;
}

int ColorIndexOfIndexed(int indexed) {
    if (indexed >= 8 && indexed <= 63)
        return indexed - 7;
    if (indexed >= 0 && indexed <= 7)
        return indexed + 1;
    return 0;
}

} // namespace plw::Palette
