#pragma once

#include "workbook/CellStore.h"

#include <QList>
#include <QString>
#include <QStringView>

// A1 addresses as the workbook engine reads and writes them.
namespace plw::CellAddress {

// The column's name in A1 notation: 1 -> "A", 26 -> "Z", 27 -> "AA". Empty below 1.
QString ColumnLetters(int n);

// The column number of letters ("A" -> 1, "AT" -> 46); 0 when they are not column letters.
int ColumnNumber(QStringView letters);

// The rectangle an A1 address names: "C4", "C4:G8", "$C$4:$G$8", whole columns "K:K" or "K:N",
// whole rows "3:5". False for anything else.
bool ParseRange(QStringView address, CellRect* rect);

// The columns of a comma-separated list of whole-column ranges ("K:K,L:L,O:O", "K:N"), in the
// order given. False when an entry is not a whole-column range.
bool ParseColumnList(QStringView list, QList<int>* columns);

} // namespace plw::CellAddress
