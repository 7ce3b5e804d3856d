#pragma once

#include "workbook/CellStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

namespace plw {

class ChartXml;
class Workbook;

// A hyperlink to a place in the workbook, as the sheet holds it.
struct SheetLink {
    QString cell;     // "B3"
    QString location; // "'RFM顧客一覧'!B1"
    QString display;
};

// One worksheet of a Workbook: its cells in a compact store, the rest of its part as a DOM
// (column widths, merged cells, hyperlinks, views, the drawing that holds its charts). Addresses
// are A1 texts as a spreadsheet program takes them ("C4", "C4:G8", "K:K").
class Worksheet {
public:
    ~Worksheet();

    const QString& name() const { return mName; }
    CellStore& cells() { return mCells; }
    const CellStore& cells() const { return mCells; }

    // A one-row array into a range: values fill the range's cells left to right from its first
    // row; each cell keeps its style. False with a reason for a bad address.
    bool setRowValues(const QString& address, const std::vector<CellValue>& values, QString* error);
    // Interior.ColorIndex, Pattern and PatternColorIndex of every cell of the range.
    bool setFill(const QString& address, int colorIndex, int pattern, int patternColorIndex,
                 QString* error);
    bool setFontSize(const QString& address, double points, QString* error);
    // A link anchored on a cell to a place in this workbook (subAddress "'name'!B1"): the cell
    // shows text in the hyperlink font.
    bool addHyperlink(const QString& cell, const QString& subAddress, const QString& text,
                      QString* error);
    // Deletes whole columns ("K:K,L:L,O:O", all at once, letters naming the layout before the
    // deletion) shifting what is right of them left: cells, widths, merged ranges, hyperlinks,
    // and the workbook's defined names into this sheet (print area, print titles).
    bool deleteColumns(const QString& list, QString* error);
    // Fits every column holding cells to its widest shown value (full-width characters count
    // double); empty columns keep their width.
    void autoFitColumns();
    // The cell selected when the sheet opens.
    void selectCell(const QString& address);

    // An embedded chart by its name (the drawing object's name, "GRAF_R5"); null with a reason
    // when the sheet has no chart of that name.
    ChartXml* chart(const QString& name, QString* error);
    QStringList chartNames() const;

    // Readers.
    double columnWidth(int column) const; // 0 when the column has no width of its own
    QList<SheetLink> hyperlinks() const;
    QStringList mergedRanges() const;
    QString selectedCell() const;
    bool isTabSelected() const;
    // The page header of the printed pages, with its codes ("&C&A"); empty when there is none.
    QString pageHeader() const;
    int styleOf(int row, int column) const { return mCells.cell(row, column).style; }

private:
    friend class Workbook;
    struct ChartRef;
    // The part's DOM without its cells, kept out of this header.
    struct Dom;

    Worksheet(Workbook& workbook, QString name, QString partName);
    bool load(QString* error);
    // The part's bytes with the cells written into it (strings null: with empty cell data);
    // charts written back to their parts.
    bool write(QByteArray* bytes, class SharedStrings* strings, QString* error);
    void setTabSelected(bool selected);
    bool findCharts(QString* error);

    Workbook& mWorkbook;
    QString mName;
    QString mPart;
    std::unique_ptr<Dom> d;
    CellStore mCells;
    std::vector<std::unique_ptr<ChartRef>> mCharts;
    bool mChartsFound = false;
};

} // namespace plw
