#pragma once

#include "rfm/PLWAN4_hrhen.h"

#include <QColor>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

namespace plw {

// The 125 cells of the group matrix as one widget: five blocks of 5 x 5 cells side by side, each
// cell showing its three-digit RFM code in the colour of its group. The widget hit-tests the
// mouse itself, because a pressed button sends every move to the widget where it was pressed: a
// click paints the cell under the mouse with the current paint group, and moving the mouse with
// Shift held (button pressed or not) paints every cell the mouse passes.
class GroupMatrixWidget final : public QWidget {
public:
    // Which rank the blocks, the rows and the columns stand for. R: blocks R5..R1, rows M5..M1,
    // columns F5..F1 (the parameter screen's numbering); F: blocks F, rows M, columns R;
    // M: blocks M, rows R, columns F.
    enum class Arrangement { R, F, M };

    // Called once per cell whose letter the operator's painting changed.
    using CellChangedHandler = std::function<void(const QString& code, const QString& letter)>;

    explicit GroupMatrixWidget(Arrangement arrangement = Arrangement::R, QWidget* parent = nullptr);

    Arrangement arrangement() const { return mArrangement; }

    // The letters by cell number (index k - 1 for cell k = CellIndex(code)), whatever the
    // arrangement: "A" to "E", "X", or "" for a cell of no group. Setting them repaints and
    // does not call the handler; a letter other than these six is taken as "".
    const GroupMatrix& groupMatrix() const { return mLetters; }
    void setGroupMatrix(const GroupMatrix& letters);
    QString group(const QString& code) const; // "" for a code without a cell
    void setGroup(const QString& code, const QString& letter);

    // The selected group option: 1 to 6 for A to E and X, 0 for none (paints cells black,
    // which stands for no group).
    int paintGroup() const { return mPaintGroup; }
    void setPaintGroup(int option);
    // Paints all 125 cells with the paint group ("全て設定").
    void paintAll();

    void setCellChangedHandler(CellChangedHandler handler) { mCellChanged = std::move(handler); }

    // Customers to show under each cell's code, by cell number (index k - 1); none shows the
    // codes alone. The cells grow to hold six digits; a million or more is shown in units of
    // 10,000 ("123万").
    void setCellCounts(const std::optional<std::array<qint64, 125>>& counts);

    // The code shown at position p (1..125) of this arrangement: blocks of 25, rows of five,
    // columns fastest, each from rank 5 down to 1. "000" outside 1..125.
    QString codeAt(int position) const;
    // The code of the cell under a point of the widget, "" between and outside the cells.
    QString cellAt(QPoint point) const;
    // The rectangle of a code's cell, empty for a code without a cell.
    QRect cellRect(const QString& code) const;

    // The letter a group option paints: 1..6 give "A".."E", "X"; anything else "".
    static QString OptionLetter(int option);
    // The screen colour of a group letter: the group colours, the palette's button face for "X",
    // black for a cell of no group.
    static QColor GroupColour(const QString& letter, const QPalette& palette);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateMetrics();
    QFont countFont() const;
    // The cell's rectangle by its position in this arrangement (0-based block, row, column).
    QRect positionRect(int block, int row, int column) const;
    int positionAt(QPoint point) const; // 1..125, 0 for none
    void paintCellAt(QPoint point);
    // Paints every cell on the straight line between two points, so fast moves skip none.
    void paintAlong(QPoint from, QPoint to);

    Arrangement mArrangement;
    GroupMatrix mLetters;
    std::optional<std::array<qint64, 125>> mCounts;
    int mPaintGroup = 0;
    CellChangedHandler mCellChanged;
    // Where the last Shift-held move or press was, the start of the next traced line.
    QPoint mTraceFrom;
    bool mTracing = false;

    int mCellWidth = 0;
    int mCellHeight = 0;
    int mLabelWidth = 0; // the row-label column left of each block
    int mBlockGap = 0;
    int mCodeHeight = 0; // the code's line in a cell that shows its count below
};

} // namespace plw
