#include "workbook/CellStore.h"

#include <algorithm>
#include <cmath>

namespace plw {

namespace {

bool ValidPosition(int row, int column) {
    return row >= 1 && row <= CellStore::MaxRow && column >= 1 && column <= CellStore::MaxColumn;
}

const std::vector<CellStore::Cell> kNoCells;

auto ColumnLess = [](const CellStore::Cell& c, int column) {
    return c.column < column;
};

} // namespace

CellStore::Cell* CellStore::cellForWrite(int row, int column) {
    if (!ValidPosition(row, column))
        return nullptr;
    if (mRows.size() < static_cast<size_t>(row))
        mRows.resize(row);
    std::vector<Cell>& cells = mRows[row - 1];
    // Rows are mostly written left to right: try the end first.
    // A new cell takes its column's style, as in a spreadsheet program.
    if (cells.empty() || cells.back().column < column) {
        cells.emplace_back();
        cells.back().column = static_cast<std::uint16_t>(column);
        cells.back().style = columnStyle(column);
        return &cells.back();
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), column, ColumnLess);
    if (it != cells.end() && it->column == column)
        return &*it;
    it = cells.insert(it, Cell());
    it->column = static_cast<std::uint16_t>(column);
    it->style = columnStyle(column);
    return &*it;
}

const CellStore::Cell* CellStore::findCell(int row, int column) const {
    if (!ValidPosition(row, column) || mRows.size() < static_cast<size_t>(row))
        return nullptr;
    const std::vector<Cell>& cells = mRows[row - 1];
    auto it = std::lower_bound(cells.begin(), cells.end(), column, ColumnLess);
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

CellStore::Cell* CellStore::findCell(int row, int column) {
    return const_cast<Cell*>(std::as_const(*this).findCell(row, column));
}

std::uint32_t CellStore::pooledText(const QString& text) {
    auto it = mTextIndex.constFind(text);
    if (it != mTextIndex.constEnd())
        return it.value();
    const auto index = static_cast<std::uint32_t>(mTexts.size());
    mTexts.append(text);
    mTextIndex.insert(text, index);
    return index;
}

bool CellStore::setText(int row, int column, const QString& text) {
    Cell* cell = cellForWrite(row, column);
    if (!cell)
        return false;
    cell->kind = CellKind::Text;
    cell->textIndex = pooledText(text);
    return true;
}

bool CellStore::setNumber(int row, int column, double value) {
    if (!std::isfinite(value))
        return false;
    Cell* cell = cellForWrite(row, column);
    if (!cell)
        return false;
    cell->kind = CellKind::Number;
    cell->number = value;
    return true;
}

bool CellStore::setCurrency(int row, int column, Currency value) {
    Cell* cell = cellForWrite(row, column);
    if (!cell)
        return false;
    cell->kind = CellKind::Currency;
    cell->scaled = value.scaled();
    return true;
}

bool CellStore::setStyle(int row, int column, int style) {
    if (style < 0)
        return false;
    Cell* cell = cellForWrite(row, column);
    if (!cell)
        return false;
    cell->style = static_cast<std::uint32_t>(style);
    return true;
}

void CellStore::clearValue(int row, int column) {
    Cell* cell = findCell(row, column);
    if (!cell)
        return;
    if (cell->style != 0) {
        cell->kind = CellKind::Blank;
        cell->number = 0;
        return;
    }
    std::vector<Cell>& cells = mRows[row - 1];
    cells.erase(cells.begin() + (cell - cells.data()));
}

CellValue CellStore::cell(int row, int column) const {
    CellValue value;
    const Cell* cell = findCell(row, column);
    if (!cell) {
        if (row >= 1 && row <= MaxRow && column >= 1 && column <= MaxColumn)
            value.style = int(columnStyle(column));
        return value;
    }
    value.kind = cell->kind;
    value.style = static_cast<int>(cell->style);
    switch (cell->kind) {
    case CellKind::Blank:
        break;
    case CellKind::Text:
        value.text = mTexts.at(cell->textIndex);
        break;
    case CellKind::Number:
        value.number = cell->number;
        break;
    case CellKind::Currency:
        value.currency = Currency::fromScaled(cell->scaled);
        value.number = value.currency.toDouble();
        break;
    }
    return value;
}

CellRect CellStore::usedRange() const {
    CellRect rect;
    for (size_t i = 0; i < mRows.size(); ++i) {
        const std::vector<Cell>& cells = mRows[i];
        if (cells.empty())
            continue;
        const int row = static_cast<int>(i) + 1;
        if (rect.isEmpty()) {
            rect = {row, cells.front().column, row, cells.back().column};
            continue;
        }
        rect.lastRow = row;
        rect.firstColumn = std::min<int>(rect.firstColumn, cells.front().column);
        rect.lastColumn = std::max<int>(rect.lastColumn, cells.back().column);
    }
    return rect;
}

bool CellStore::isEmpty() const {
    return std::all_of(mRows.begin(), mRows.end(), [](const auto& cells) { return cells.empty(); });
}

void CellStore::setColumnStyle(int column, int style) {
    if (column < 1 || column > MaxColumn || style < 0)
        return;
    if (mColumnStyles.size() < size_t(column))
        mColumnStyles.resize(size_t(column), 0);
    mColumnStyles[size_t(column) - 1] = std::uint32_t(style);
}

std::uint32_t CellStore::columnStyle(int column) const {
    return size_t(column) <= mColumnStyles.size() ? mColumnStyles[size_t(column) - 1] : 0;
}

void CellStore::deleteColumns(const QList<int>& columns) {
    std::vector<int> removed;
    for (int column : columns) {
        if (column >= 1 && column <= MaxColumn)
            removed.push_back(column);
    }
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    if (removed.empty())
        return;
    for (std::vector<Cell>& cells : mRows) {
        auto out = cells.begin();
        for (auto in = cells.begin(); in != cells.end(); ++in) {
            // The number of removed columns at or before this one: the cell is gone when its own
            // column is among them, else it moves left by that many.
            auto bound = std::upper_bound(removed.begin(), removed.end(), int(in->column));
            if (bound != removed.begin() && *(bound - 1) == in->column)
                continue;
            Cell moved = *in;
            moved.column = static_cast<std::uint16_t>(in->column - (bound - removed.begin()));
            *out++ = moved;
        }
        cells.erase(out, cells.end());
    }
    for (auto it = removed.rbegin(); it != removed.rend(); ++it)
        if (size_t(*it) <= mColumnStyles.size())
            mColumnStyles.erase(mColumnStyles.begin() + (*it - 1));
}

void CellStore::setRowAttributes(int row, const Attributes& attributes) {
    if (row < 1 || row > MaxRow)
        return;
    if (attributes.isEmpty()) {
        mRowAttributes.erase(row);
        return;
    }
    mRowAttributes[row] = attributes;
    if (mRows.size() < static_cast<size_t>(row))
        mRows.resize(row);
}

CellStore::Attributes CellStore::rowAttributes(int row) const {
    auto it = mRowAttributes.find(row);
    return it == mRowAttributes.end() ? Attributes() : it->second;
}

const std::vector<CellStore::Cell>& CellStore::rowCells(int row) const {
    if (row < 1 || mRows.size() < static_cast<size_t>(row))
        return kNoCells;
    return mRows[row - 1];
}

} // namespace plw
