#pragma once

#include <QString>

namespace plw::test {

// A small template workbook as a spreadsheet program writes one: the sheet "元解析１" with a value,
// a styled cell, column widths, a merged range, a print area and a drawing holding the 3-D column
// chart "GRAF_R5" (with a chart style part) over its own cells; the sheet "抽出条件" with a title;
// shared strings, styles and document properties. Written to path; false when it cannot be.
bool WriteTemplateFixture(const QString& path);

} // namespace plw::test
