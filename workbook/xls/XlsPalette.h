#pragma once

#include <QString>

#include <array>

namespace plw::xls {

// The workbook's 56-colour palette as BIFF addresses it: colour indices 8 to 63 (the cell
// interior's ColorIndex 1 to 56 plus 7). A stylesheet may replace the default colours.
class XlsPalette {
public:
    XlsPalette();

    // Replaces the colours with a stylesheet's indexedColors ("AARRGGBB" or "RRGGBB", 64 entries
    // of which 8 to 63 are the palette, or the 56 of the palette alone). False when a colour
    // cannot be read.
    bool setIndexedColors(const QStringList& colors);
    bool isCustom() const { return mCustom; }

    // The RGB value (0xRRGGBB) of colour index 8..63.
    unsigned rgb(int colorIndex) const { return mColors[size_t(colorIndex - 8)]; }
    // The first colour index 8..63 holding that RGB value; -1 when the palette lacks it.
    int indexOf(unsigned rgb) const;
    // An OOXML colour's index: indexed="n" (0..65 as written), rgb="AARRGGBB" found in the
    // palette. -1 when the colour has no index (not in the palette, or given another way).
    int indexOfHex(const QString& hex) const;
    // The colour index 8..63 closest to "AARRGGBB" or "RRGGBB"; -1 when it cannot be read.
    int nearestOfHex(const QString& hex) const;

private:
    std::array<unsigned, 56> mColors{};
    bool mCustom = false;
};

} // namespace plw::xls
