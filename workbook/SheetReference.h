#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace plw::SheetReference {

// A sheet name as a formula or a link names it: always between apostrophes, an apostrophe inside
// doubled ("RFM顧客一覧" -> "'RFM顧客一覧'").
QString Quoted(const QString& sheetName);

// The sheet a reference starts with and the address after its "!": "'Sheet ''1'''!$C$4" gives
// "Sheet '1'" and "$C$4", "Sheet1!B4" gives "Sheet1" and "B4". False when the reference does not
// start with a sheet name and "!". An unquoted name holds no apostrophe, parenthesis, comma,
// double quote or blank: those belong to a list of areas, a function or a literal.
bool Parse(QStringView reference, QString* sheet, QStringView* address);

// The formula with every reference to sheet oldName ('old name'!A1 or oldname!A1, matched without
// regard to letter case as sheet names are) made a reference to newName, quoted. Text inside
// string literals and references to other sheets stay as they are.
QString Rename(const QString& formula, const QString& oldName, const QString& newName);

// True when the formula refers to the sheet.
bool RefersTo(const QString& formula, const QString& sheetName);

// The formula with its references into sheet sheetName moved as deleting whole columns moves the
// cells (columns 1-based, ascending, naming the layout before the deletion): a reference right of
// them shifts left, a range over them shrinks, a reference whose columns all go becomes #REF!.
// Whole rows, references to other sheets and references without a sheet stay as they are.
QString DeleteColumns(const QString& formula, const QString& sheetName, const QList<int>& columns);

} // namespace plw::SheetReference
