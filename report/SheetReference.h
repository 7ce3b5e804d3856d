#pragma once

#include <QString>

namespace plw::SheetReference {

// A sheet name as a formula or a link names it: always between apostrophes, an apostrophe inside
// doubled ("RFM顧客一覧" -> "'RFM顧客一覧'").
QString Quoted(const QString& sheetName);

// The formula with every reference to sheet oldName ('old name'!A1 or oldname!A1, matched without
// regard to letter case as sheet names are) made a reference to newName, quoted. Text inside
// string literals and references to other sheets stay as they are.
QString Rename(const QString& formula, const QString& oldName, const QString& newName);

// True when the formula refers to the sheet.
bool RefersTo(const QString& formula, const QString& sheetName);

} // namespace plw::SheetReference
