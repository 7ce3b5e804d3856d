#pragma once

#include "tools/template/ChartSkeleton.h"
#include "workbook/CellStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace plw {

// An embedded chart of a sheet: its drawing name (what the program selects it by) and the cells
// it covers, 0-based as drawings count them (column 8 is I); the "to" cell is the first cell
// outside it.
struct ChartPlacement {
    QString name;
    int fromColumn = 0;
    int fromRow = 0;
    int toColumn = 0;
    int toRow = 0;
    ChartSkeleton::Chart chart;
};

// Width (in characters) and default format of columns first..last (1-based).
struct ColumnFormat {
    int first = 0;
    int last = 0;
    double width = 0;
    int style = 0;
};

// One sheet of the template workbook: its cells, column formats, view and print setup, and its
// charts. The worksheet part around the cells is made by WorksheetXml; the cells go in through
// SheetData::Write.
struct TemplateSheet {
    QString name;
    CellStore cells;
    QList<ColumnFormat> columns;
    QStringList merges;     // "K4:M4"
    int frozenRows = 0;     // rows kept in view above the scrolled part; printed on every page
    int titleColumns = 0;   // columns A.. printed at the left of every page
    int zoom = 100;         // percent
    QList<int> pageBreaks;  // a printed page ends below each of these rows
    bool fitToWidth = true; // printed scaled to one page width (else at full size)
    QString header;         // page header text with its codes ("&C&A"); empty: none
    QList<ChartPlacement> charts;

    // Cell writers; rows and columns 1-based. The style is a TemplateStyles::Style.
    void setText(int row, int column, const QString& text, int style);
    void setNumber(int row, int column, double value, int style);
    void setStyle(int row1, int column1, int row2, int column2, int style);

    // The worksheet part without cells (an empty <sheetData/>): sheet properties fitting the
    // print to the page width when asked, the view (selected tab, frozen rows, zoom), the columns,
    // merged cells, landscape page setup, the page header, page breaks, and a <drawing> for
    // drawingRelationshipId unless it is empty.
    QByteArray worksheetXml(bool selected, const QString& drawingRelationshipId) const;
    // The print titles (the columns and rows repeated on every printed page) as the formula of
    // the sheet's _xlnm.Print_Titles name ("'name'!$A:$E,'name'!$1:$1"); empty when there are none.
    QString printTitles() const;
};

} // namespace plw
