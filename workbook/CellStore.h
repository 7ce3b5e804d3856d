#pragma once

#include "app/Currency.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

namespace plw {

// What a cell holds. A Blank cell holds no value but keeps a style.
enum class CellKind : std::uint8_t { Blank, Text, Number, Currency };

// One cell read back from the store.
struct CellValue {
    CellKind kind = CellKind::Blank;
    QString text;
    double number = 0;
    Currency currency;
    int style = 0; // index into the workbook's cell formats; 0 is the default format

    bool isEmpty() const { return kind == CellKind::Blank; }
};

// A block of cells by its corners, 1-based and inclusive. Empty when there are no cells.
struct CellRect {
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;

    bool isEmpty() const { return firstRow == 0; }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// The cells of one worksheet, held compactly: per row a vector of 16-byte cells sorted by column,
// text kept once in a pool. Rows and columns are 1-based; setters refuse positions outside the
// worksheet (1..1048576 rows, 1..16384 columns) and non-finite numbers by answering false.
class CellStore {
public:
    static constexpr int MaxRow = 1048576;
    static constexpr int MaxColumn = 16384;

    // A stored cell; text cells hold an index into the text pool.
    struct Cell {
        std::uint16_t column = 0;
        CellKind kind = CellKind::Blank;
        std::uint32_t style = 0;
        union {
            double number;
            qint64 scaled;
            std::uint32_t textIndex;
        };
        Cell() : number(0) {}
    };

    // Writing a value keeps the style the cell already has, as a spreadsheet keeps the format of
    // a cell written into.
    bool setText(int row, int column, const QString& text);
    bool setNumber(int row, int column, double value);
    bool setCurrency(int row, int column, Currency value);
    // Sets the style of a cell, keeping its value (a new cell is a styled blank).
    bool setStyle(int row, int column, int style);
    // The style a column gives the cells first written into it (a column style of the sheet).
    void setColumnStyle(int column, int style);
    // Removes the value and keeps the style; a cell with the default style disappears.
    void clearValue(int row, int column);

    CellValue cell(int row, int column) const;
    // The block from the first to the last row and column holding any cell, styled blanks included.
    CellRect usedRange() const;
    bool isEmpty() const;

    // Removes whole columns (1-based, any order, repeats ignored); the cells right of them move
    // left by the number of removed columns before them.
    void deleteColumns(const QList<int>& columns);

    // Row attributes other than its number (height, hidden, style...), kept as read so a rewrite
    // leaves the row's look unchanged. Names and values are plain text.
    using Attributes = QList<std::pair<QByteArray, QByteArray>>;
    void setRowAttributes(int row, const Attributes& attributes);
    Attributes rowAttributes(int row) const;

    // For writers: the highest row that may hold cells or attributes, the cells of a row in
    // column order, and the text of a text cell.
    int rowLimit() const { return static_cast<int>(mRows.size()); }
    const std::vector<Cell>& rowCells(int row) const;
    const QString& text(const Cell& cell) const { return mTexts.at(cell.textIndex); }
    // The number of distinct texts; every textIndex is below it.
    int textCount() const { return static_cast<int>(mTexts.size()); }

private:
    Cell* cellForWrite(int row, int column);
    Cell* findCell(int row, int column);
    const Cell* findCell(int row, int column) const;
    std::uint32_t pooledText(const QString& text);
    std::uint32_t columnStyle(int column) const;

    std::vector<std::vector<Cell>> mRows; // index row - 1
    std::map<int, Attributes> mRowAttributes;
    std::vector<std::uint32_t> mColumnStyles; // index column - 1; missing means 0
    QStringList mTexts;
    QHash<QString, std::uint32_t> mTextIndex;
};

} // namespace plw
