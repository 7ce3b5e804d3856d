#pragma once

#include <QByteArray>

namespace plw::TemplateStyles {

// Cell formats of the template workbook, as indices into the cellXfs of Xml(). Every font is
// "IPAPGothic" (Japanese charset), so captions render on Linux and in Excel alike.
enum Style : int {
    Normal = 0,
    Title,        // bold, 16 pt
    Heading,      // bold, 12 pt
    Header,       // bold, tinted, bordered, centred: table captions
    Number,       // bordered, "#,##0"
    Box,          // bordered, centred: matrix cells the program colours
    BoxText,      // bordered, right-aligned: texts written into a table (thresholds)
    UnitCaption,  // right-aligned, no border
    ColumnNumber, // "#,##0", no border: amount columns of the customer list
    LegendA,      // bold, bordered, filled with a group's colour: A, B, C, D, E, X
    LegendB,
    LegendC,
    LegendD,
    LegendE,
    LegendX,
    SmallHeader, // Header at 9 pt, for narrow columns
    Note,        // 9 pt
    Percent,     // bordered, "0.0%": shares
};

// The stylesheet part (xl/styles.xml) that defines the formats above.
QByteArray Xml();

} // namespace plw::TemplateStyles
