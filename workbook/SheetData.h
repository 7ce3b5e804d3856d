#pragma once

#include <QByteArray>
#include <QString>

namespace plw {

class CellStore;
class SharedStrings;

// Moves the cells of a worksheet part between its <sheetData> element and a CellStore. Only
// <sheetData> and <dimension> are touched; the rest of the part stays byte for byte.
namespace SheetData {

// Fills store (assumed empty) from the <sheetData> of worksheetXml. Shared, inline and formula
// string cells become text, numbers and booleans numbers, error values their text; every cell
// keeps its style index and every row its attributes. Formulas are not kept, only their values.
// False with a reason when the XML cannot be read or a cell names a missing shared string.
bool Read(const QByteArray& worksheetXml, const SharedStrings& strings, CellStore* store,
          QString* error);

// Replaces the <sheetData> of *worksheetXml with the cells of store (rows in order, cells in
// column order, text added to strings) and sets <dimension ref> to the used range ("A1" when
// there are no cells). False with a reason when the part has no <sheetData>.
bool Write(QByteArray* worksheetXml, const CellStore& store, SharedStrings* strings,
           QString* error);

} // namespace SheetData

} // namespace plw
