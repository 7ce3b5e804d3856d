#pragma once

#include <QString>

// The sheet writers' cell addresses.
namespace plw {

// The column's name in A1 notation: 1 -> "A", 26 -> "Z", 27 -> "AA". Empty below 1.
QString ColumnLetters(int n);

// The A1 address of the rectangle from (row1, col1) to (row2, col2); a single cell is written
// as a range of itself ("C4:C4").
QString CellRange(int row1, int col1, int row2, int col2);

} // namespace plw
