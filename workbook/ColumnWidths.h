#pragma once

#include "workbook/CellStore.h"

#include <QString>

namespace plw::ColumnWidths {

// What fitting a column's width needs: the file format has no automatic fit, so widths are
// computed from what each cell shows.

// The display width of a text in half-width character units: East Asian wide and full-width
// characters count 2 (kanji, kana except half-width katakana, full-width forms, the ideographic
// space, Hangul), combining marks 0, everything else 1. A text of several lines counts its
// widest line.
double TextUnits(const QString& text);

// What a cell shows: text as is; numbers and currency by the format code's plain number
// patterns ("0", "0.00", "#,##0", "#,##0.0" ...), every other code as "General" (up to 11
// characters, no trailing zeros, scientific notation for very large or small values).
QString DisplayText(const CellValue& value, const QString& formatCode);

// The width units of a number as a cell of that format shows it: TextUnits(DisplayText(...)),
// counted without making the text for whole numbers in "General", "0" and "#,##0".
double NumberUnits(double value, const QString& formatCode);

// The column width in character units as a column element wants it: the text units scaled by
// the font size against 11 points, plus padding, at most 255. 0 units answers 0: leave the width.
double FittedWidth(double textUnits, double fontPoints);

} // namespace plw::ColumnWidths
