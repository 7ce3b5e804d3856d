#pragma once

#include <QString>

namespace plw::Palette {

// Excel's default 56-colour palette, numbered 1..56 as a cell interior's colour index. The same
// colours are OOXML's default indexed colours 8..63.

// Special colour and pattern values of the spreadsheet's object model.
constexpr int Automatic = -4105;
constexpr int None = -4142;
constexpr int SolidPattern = 1;
// The indexed colour OOXML uses for "automatic" (the system's window text or background).
constexpr int AutomaticIndexed = 64;

bool IsValidIndex(int colorIndex);
// "RRGGBB" in capitals; empty for an index outside 1..56.
QString RgbHex(int colorIndex);
// The first palette index with that colour; "RRGGBB" or "AARRGGBB" (alpha ignored), optional '#',
// any letter case. 0 when the colour is not in the palette.
int IndexOfRgb(const QString& hex);
// The OOXML indexed colour of a palette index (n + 7); 0 for an index outside 1..56.
int IndexedOf(int colorIndex);
// The palette index of an OOXML indexed colour: 8..63 -> 1..56, and 0..7 (the legacy copies of
// 8..15) -> 1..8. 0 for any other value (64 automatic, 65 system background).
int ColorIndexOfIndexed(int indexed);

} // namespace plw::Palette
