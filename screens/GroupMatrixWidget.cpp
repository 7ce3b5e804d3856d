#include "screens/GroupMatrixWidget.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plw {

namespace {

constexpr int Blocks = 5;
constexpr int Ranks = 5;

bool isGroupLetter(const QString& letter) {
    static const QStringList letters{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("X")};
    return letters.contains(letter);
}

QString normalised(const QString& letter) {
    return isGroupLetter(letter) ? letter : QString();
}

// The rank letters of the blocks, the rows and the columns of an arrangement.
struct Dimensions {
    QChar block;
    QChar row;
    QChar column;
};

Dimensions dimensionsOf(GroupMatrixWidget::Arrangement arrangement) {
    switch (arrangement) {
    case GroupMatrixWidget::Arrangement::F:
        return {u'F', u'M', u'R'};
    case GroupMatrixWidget::Arrangement::M:
        return {u'M', u'R', u'F'};
    case GroupMatrixWidget::Arrangement::R:
        break;
    }
    return {u'R', u'M', u'F'};
}

} // namespace

GroupMatrixWidget::GroupMatrixWidget(Arrangement arrangement, QWidget* parent)
    : QWidget(parent), mArrangement(arrangement) {
    // Shift-tracing also paints while no button is held, so every move must arrive.
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateMetrics();
}

void GroupMatrixWidget::setGroupMatrix(const GroupMatrix& letters) {
    for (size_t k = 0; k < letters.size(); ++k)
        mLetters[k] = normalised(letters[k]);
    update();
}

QString GroupMatrixWidget::group(const QString& code) const {
    const int k = CellIndex(code);
    return k == 0 ? QString() : mLetters[k - 1];
}

void GroupMatrixWidget::setGroup(const QString& code, const QString& letter) {
    const int k = CellIndex(code);
    if (k == 0)
        return;
    const QString value = normalised(letter);
    if (mLetters[k - 1] == value)
        return;
    mLetters[k - 1] = value;
    update(cellRect(code));
}

void GroupMatrixWidget::setCellCounts(const std::optional<std::array<qint64, 125>>& counts) {
    if (counts == mCounts)
        return;
    const bool resized = counts.has_value() != mCounts.has_value();
    mCounts = counts;
    if (resized) {
        updateMetrics();
        updateGeometry();
    }
    update();
}

void GroupMatrixWidget::setPaintGroup(int option) {
    mPaintGroup = option >= 1 && option <= 6 ? option : 0;
}

void GroupMatrixWidget::paintAll() {
    const QString letter = OptionLetter(mPaintGroup);
    for (int k = 1; k <= 125; ++k) {
        if (mLetters[k - 1] == letter)
            continue;
        mLetters[k - 1] = letter;
        if (mCellChanged)
            mCellChanged(CellCode(k), letter);
    }
    update();
}

QString GroupMatrixWidget::codeAt(int position) const {
    if (position < 1 || position > Blocks * Ranks * Ranks)
        return QStringLiteral("000");
    const int blockRank = 5 - (position - 1) / 25;
    const int rowRank = 5 - ((position - 1) % 25) / 5;
    const int columnRank = 5 - (position - 1) % 5;
    int r = blockRank, f = columnRank, m = rowRank;
    if (mArrangement == Arrangement::F) {
        r = columnRank;
        f = blockRank;
        m = rowRank;
    } else if (mArrangement == Arrangement::M) {
        r = rowRank;
        f = columnRank;
        m = blockRank;
    }
    return QString::number(r * 100 + f * 10 + m);
}

QString GroupMatrixWidget::cellAt(QPoint point) const {
    const int position = positionAt(point);
    return position == 0 ? QString() : codeAt(position);
}

QRect GroupMatrixWidget::cellRect(const QString& code) const {
    if (CellIndex(code) == 0)
        return {};
    const int r = code.at(0).digitValue();
    const int f = code.at(1).digitValue();
    const int m = code.at(2).digitValue();
    switch (mArrangement) {
    case Arrangement::F:
        return positionRect(5 - f, 5 - m, 5 - r);
    case Arrangement::M:
        return positionRect(5 - m, 5 - r, 5 - f);
    case Arrangement::R:
        break;
    }
    return positionRect(5 - r, 5 - m, 5 - f);
}

QString GroupMatrixWidget::OptionLetter(int option) {
    switch (option) {
    case 1:
        return QStringLiteral("A");
    case 2:
        return QStringLiteral("B");
    case 3:
        return QStringLiteral("C");
    case 4:
        return QStringLiteral("D");
    case 5:
        return QStringLiteral("E");
    case 6:
        return QStringLiteral("X");
    default:
        return {};
    }
}

QColor GroupMatrixWidget::GroupColour(const QString& letter, const QPalette& palette) {
    if (letter == u"A")
        return {255, 0, 0};
    if (letter == u"B")
        return {255, 128, 0};
    if (letter == u"C")
        return {0, 192, 0};
    if (letter == u"D")
        return {0, 255, 255};
    if (letter == u"E")
        return {192, 192, 255};
    if (letter == u"X")
        return palette.color(QPalette::Active, QPalette::Button);
    return {0, 0, 0};
}

QSize GroupMatrixWidget::sizeHint() const {
    const int blockWidth = mLabelWidth + Ranks * mCellWidth;
    return {Blocks * blockWidth + (Blocks - 1) * mBlockGap + 1, (Ranks + 1) * mCellHeight + 1};
}

QFont GroupMatrixWidget::countFont() const {
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.8);
    return small;
}

void GroupMatrixWidget::updateMetrics() {
    const QFontMetrics metrics(font());
    mCellWidth = metrics.horizontalAdvance(QStringLiteral("555")) + 12;
    mCellHeight = metrics.height() + 8;
    mLabelWidth = metrics.horizontalAdvance(QStringLiteral("M5")) + 8;
    mBlockGap = 6;
    mCodeHeight = metrics.height() + 2;
    if (mCounts) {
        // Room for six digits below the code; larger counts are shown in units of 10,000.
        const QFontMetrics counts(countFont());
        mCellWidth = std::max(mCellWidth, counts.horizontalAdvance(QStringLiteral("000000")) + 6);
        mCellHeight = mCodeHeight + counts.height() + 4;
    }
}

QRect GroupMatrixWidget::positionRect(int block, int row, int column) const {
    const int blockLeft = block * (mLabelWidth + Ranks * mCellWidth + mBlockGap);
    return {blockLeft + mLabelWidth + column * mCellWidth, (row + 1) * mCellHeight, mCellWidth,
            mCellHeight};
}

int GroupMatrixWidget::positionAt(QPoint point) const {
    const int blockSpan = mLabelWidth + Ranks * mCellWidth + mBlockGap;
    if (point.x() < 0 || point.y() < mCellHeight)
        return 0;
    const int block = point.x() / blockSpan;
    const int x = point.x() - block * blockSpan - mLabelWidth;
    const int y = point.y() - mCellHeight;
    if (block >= Blocks || x < 0 || x >= Ranks * mCellWidth || y >= Ranks * mCellHeight)
        return 0;
    return block * 25 + (y / mCellHeight) * 5 + x / mCellWidth + 1;
}

void GroupMatrixWidget::paintCellAt(QPoint point) {
    const int position = positionAt(point);
    if (position == 0)
        return;
    const QString code = codeAt(position);
    const QString letter = OptionLetter(mPaintGroup);
    const int k = CellIndex(code);
    if (mLetters[k - 1] == letter)
        return;
    mLetters[k - 1] = letter;
    update(cellRect(code));
    if (mCellChanged)
        mCellChanged(code, letter);
}

void GroupMatrixWidget::paintAlong(QPoint from, QPoint to) {
    const QPoint delta = to - from;
    const double length = std::hypot(delta.x(), delta.y());
    const double step = std::max(1, std::min(mCellWidth, mCellHeight) / 2);
    const int steps = std::max(1, static_cast<int>(std::ceil(length / step)));
    for (int i = 0; i <= steps; ++i)
        paintCellAt(from + delta * (static_cast<double>(i) / steps));
}

void GroupMatrixWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setFont(font());
    const Dimensions dims = dimensionsOf(mArrangement);
    const QColor frame(96, 96, 96);
    for (int block = 0; block < Blocks; ++block) {
        const QRect first = positionRect(block, 0, 0);
        const int rank = 5 - block;
        // The block's label above its row labels, the column ranks above its cells.
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(first.left() - mLabelWidth, 0, mLabelWidth, mCellHeight),
                         Qt::AlignCenter, dims.block + QString::number(rank));
        for (int i = 0; i < Ranks; ++i) {
            const QRect column = positionRect(block, 0, i);
            painter.drawText(QRect(column.left(), 0, mCellWidth, mCellHeight), Qt::AlignCenter,
                             dims.column + QString::number(5 - i));
            const QRect row = positionRect(block, i, 0);
            painter.drawText(QRect(row.left() - mLabelWidth, row.top(), mLabelWidth, mCellHeight),
                             Qt::AlignCenter, dims.row + QString::number(5 - i));
        }
        for (int row = 0; row < Ranks; ++row) {
            for (int column = 0; column < Ranks; ++column) {
                const QRect rect = positionRect(block, row, column);
                if (!event->rect().intersects(rect))
                    continue;
                const QString code = codeAt(block * 25 + row * 5 + column + 1);
                const QString letter = mLetters[CellIndex(code) - 1];
                painter.fillRect(rect, GroupColour(letter, palette()));
                painter.setPen(frame);
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
                painter.setPen(letter.isEmpty() ? QColor(255, 255, 255) : QColor(0, 0, 0));
                if (!mCounts) {
                    painter.drawText(rect, Qt::AlignCenter, code);
                    continue;
                }
                const QRect codeLine(rect.left(), rect.top() + 2, rect.width(), mCodeHeight);
                painter.drawText(codeLine, Qt::AlignCenter, code);
                painter.setFont(countFont());
                const qint64 count = (*mCounts)[size_t(CellIndex(code) - 1)];
                painter.drawText(rect.adjusted(0, mCodeHeight, 0, -2), Qt::AlignCenter,
                                 count < 1000000 ? QString::number(count)
                                                 : QString::number(count / 10000) + u'万');
                painter.setFont(font());
            }
        }
    }
}

void GroupMatrixWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    paintCellAt(point);
    mTraceFrom = point;
    mTracing = event->modifiers().testFlag(Qt::ShiftModifier);
    event->accept();
}

void GroupMatrixWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->modifiers().testFlag(Qt::ShiftModifier)) {
        if (mTracing)
            paintAlong(mTraceFrom, point);
        else
            paintCellAt(point);
        mTraceFrom = point;
        mTracing = true;
    } else {
        mTracing = false;
    }
    event->accept();
}

void GroupMatrixWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
}

void GroupMatrixWidget::leaveEvent(QEvent* event) {
    // Re-entering elsewhere must not trace a line across the cells between.
    mTracing = false;
    QWidget::leaveEvent(event);
}

void GroupMatrixWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateGeometry();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace plw
