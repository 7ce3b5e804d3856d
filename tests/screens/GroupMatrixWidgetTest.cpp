#include "screens/GroupMatrixWidget.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QRegion>
#include <QTest>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace plw;
using Arrangement = GroupMatrixWidget::Arrangement;

namespace {

// A widget whose painting is recorded: every change the operator makes and the codes, in order.
struct Matrix {
    explicit Matrix(Arrangement arrangement = Arrangement::R) : widget(arrangement) {
        widget.resize(widget.sizeHint());
        widget.setCellChangedHandler([this](const QString& code, const QString& letter) {
            changes.emplace_back(code, letter);
        });
    }

    QPoint centreOf(const char16_t* code) const {
        return widget.cellRect(QString::fromUtf16(code)).center();
    }
    QString group(const char16_t* code) const { return widget.group(QString::fromUtf16(code)); }
    int paintedCells() const {
        int n = 0;
        for (const QString& letter : widget.groupMatrix())
            n += letter.isEmpty() ? 0 : 1;
        return n;
    }

    GroupMatrixWidget widget;
    std::vector<std::pair<QString, QString>> changes;
};

void shiftMove(QWidget& widget, QPoint point, Qt::MouseButtons buttons) {
    if (buttons != Qt::NoButton) {
        QTest::mouseEvent(QTest::MouseMove, &widget, Qt::NoButton, Qt::ShiftModifier, point);
        return;
    }
    // A move with no button held (mouse tracking), as the window system delivers it.
    QMouseEvent move(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(&widget, &move);
}

// The colour drawn inside a cell beside its caption, on the cell's middle line.
QColor colourInside(const QImage& image, const QRect& cell, qreal ratio) {
    const QPoint point(cell.left() + 3, cell.center().y());
    return image.pixelColor((QPointF(point) * ratio).toPoint());
}

class PaintRecorder final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
    QRegion painted;
};

} // namespace

TEST(GroupMatrixWidget, ArrangesBlocksRowsAndColumnsByTheViewpoint) {
    // From cell 555, which neighbour lies to the right, below, and at the same place one block on.
    struct Case {
        Arrangement arrangement;
        const char16_t* right;
        const char16_t* below;
        const char16_t* nextBlock;
    };
    const Case cases[] = {
        {Arrangement::R, u"545", u"554", u"455"},
        {Arrangement::F, u"455", u"554", u"545"},
        {Arrangement::M, u"545", u"455", u"554"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.arrangement));
        Matrix m(c.arrangement);
        const QRect origin = m.widget.cellRect(QStringLiteral("555"));
        const QRect right = m.widget.cellRect(QString::fromUtf16(c.right));
        const QRect below = m.widget.cellRect(QString::fromUtf16(c.below));
        const QRect next = m.widget.cellRect(QString::fromUtf16(c.nextBlock));
        EXPECT_EQ(right.topLeft(), origin.topRight() + QPoint(1, 0));
        EXPECT_EQ(below.topLeft(), origin.bottomLeft() + QPoint(0, 1));
        EXPECT_EQ(next.top(), origin.top());
        EXPECT_GT(next.left(), origin.left() + 5 * origin.width()); // past the block and a gap

        // Every position shows a distinct code whose rectangle hit-tests back to it.
        QStringList seen;
        for (int p = 1; p <= 125; ++p) {
            const QString code = m.widget.codeAt(p);
            ASSERT_NE(CellIndex(code), 0) << p;
            EXPECT_FALSE(seen.contains(code)) << code.toStdString();
            seen << code;
            EXPECT_EQ(m.widget.cellAt(m.widget.cellRect(code).center()), code);
            EXPECT_TRUE(m.widget.rect().contains(m.widget.cellRect(code)));
        }
    }
    // Positions as the viewpoint screen numbers its arrays; the R view numbers like CellCode.
    EXPECT_EQ(GroupMatrixWidget(Arrangement::F).codeAt(6), QStringLiteral("554"));
    EXPECT_EQ(GroupMatrixWidget(Arrangement::F).codeAt(26), QStringLiteral("545"));
    EXPECT_EQ(GroupMatrixWidget(Arrangement::M).codeAt(6), QStringLiteral("455"));
    EXPECT_EQ(GroupMatrixWidget(Arrangement::M).codeAt(125), QStringLiteral("111"));
    GroupMatrixWidget r;
    for (int k = 1; k <= 125; ++k)
        EXPECT_EQ(r.codeAt(k), CellCode(k));
    EXPECT_EQ(r.codeAt(0), QStringLiteral("000"));
    EXPECT_EQ(r.cellRect(QStringLiteral("560")), QRect());
    // Labels above the cells and the gap between blocks are no cell.
    const QRect first = r.cellRect(QStringLiteral("555"));
    EXPECT_EQ(r.cellAt(QPoint(first.center().x(), first.top() - 2)), QString());
    EXPECT_EQ(r.cellAt(r.cellRect(QStringLiteral("515")).topRight() + QPoint(2, 2)), QString());
}

TEST(GroupMatrixWidget, ClickPaintsTheCellUnderTheMouseWithTheSelectedGroup) {
    Matrix m;
    m.widget.setPaintGroup(3);
    QTest::mouseClick(&m.widget, Qt::LeftButton, {}, m.centreOf(u"534"));
    EXPECT_EQ(m.group(u"534"), QStringLiteral("C"));
    EXPECT_EQ(m.widget.groupMatrix()[CellIndex(QStringLiteral("534")) - 1], QStringLiteral("C"));
    EXPECT_EQ(m.paintedCells(), 1);
    ASSERT_EQ(m.changes.size(), 1U);
    EXPECT_EQ(m.changes[0], std::make_pair(QStringLiteral("534"), QStringLiteral("C")));

    // The same paint again changes nothing; X and no option paint too; a right click does not.
    QTest::mouseClick(&m.widget, Qt::LeftButton, {}, m.centreOf(u"534"));
    EXPECT_EQ(m.changes.size(), 1U);
    m.widget.setPaintGroup(6);
    QTest::mouseClick(&m.widget, Qt::LeftButton, {}, m.centreOf(u"555"));
    EXPECT_EQ(m.group(u"555"), QStringLiteral("X"));
    m.widget.setPaintGroup(0);
    QTest::mouseClick(&m.widget, Qt::LeftButton, {}, m.centreOf(u"534"));
    EXPECT_EQ(m.group(u"534"), QString());
    m.widget.setPaintGroup(1);
    QTest::mouseClick(&m.widget, Qt::RightButton, {}, m.centreOf(u"111"));
    EXPECT_EQ(m.group(u"111"), QString());
    EXPECT_EQ(m.changes.size(), 3U);

    // In the M view the click finds the code by the M arrangement.
    Matrix mView(Arrangement::M);
    mView.widget.setPaintGroup(2);
    const QPoint point = mView.centreOf(u"534");
    EXPECT_NE(point, m.centreOf(u"534"));
    QTest::mouseClick(&mView.widget, Qt::LeftButton, {}, point);
    EXPECT_EQ(mView.group(u"534"), QStringLiteral("B"));
    EXPECT_EQ(mView.paintedCells(), 1);
}

TEST(GroupMatrixWidget, ShiftMovesPaintEveryCellPassed) {
    // Row M4 of block R5: 554 545 ... from column F5 to F1, reached in one jump.
    Matrix m;
    m.widget.setPaintGroup(1);
    QTest::mousePress(&m.widget, Qt::LeftButton, Qt::ShiftModifier, m.centreOf(u"554"));
    shiftMove(m.widget, m.centreOf(u"514"), Qt::LeftButton);
    QTest::mouseRelease(&m.widget, Qt::LeftButton, Qt::ShiftModifier, m.centreOf(u"514"));
    for (const char16_t* code : {u"554", u"544", u"534", u"524", u"514"})
        EXPECT_EQ(m.group(code), QStringLiteral("A")) << QString::fromUtf16(code).toStdString();
    EXPECT_EQ(m.paintedCells(), 5);
    EXPECT_EQ(m.changes.size(), 5U);

    // Shift held without a button traces as well, starting where the mouse first moves.
    Matrix hover;
    hover.widget.setPaintGroup(5);
    shiftMove(hover.widget, hover.centreOf(u"511"), Qt::NoButton);
    shiftMove(hover.widget, hover.centreOf(u"551"), Qt::NoButton);
    EXPECT_EQ(hover.paintedCells(), 5); // row M1 of block R5, from column F1 back to F5
    for (const char16_t* code : {u"551", u"541", u"531", u"521", u"511"})
        EXPECT_EQ(hover.group(code), QStringLiteral("E"));
}

TEST(GroupMatrixWidget, MovesWithoutShiftPaintOnlyTheCellPressed) {
    Matrix m;
    m.widget.setPaintGroup(4);
    QTest::mousePress(&m.widget, Qt::LeftButton, {}, m.centreOf(u"554"));
    for (const char16_t* code : {u"544", u"534", u"524", u"514"})
        QTest::mouseMove(&m.widget, m.centreOf(code));
    QTest::mouseRelease(&m.widget, Qt::LeftButton, {}, m.centreOf(u"514"));
    EXPECT_EQ(m.group(u"554"), QStringLiteral("D"));
    EXPECT_EQ(m.paintedCells(), 1);

    // Shift released in mid-move: the trace restarts where Shift is pressed again.
    Matrix t;
    t.widget.setPaintGroup(4);
    QTest::mousePress(&t.widget, Qt::LeftButton, Qt::ShiftModifier, t.centreOf(u"555"));
    QTest::mouseMove(&t.widget, t.centreOf(u"535"));
    shiftMove(t.widget, t.centreOf(u"515"), Qt::LeftButton);
    QTest::mouseRelease(&t.widget, Qt::LeftButton, {}, t.centreOf(u"515"));
    EXPECT_EQ(t.group(u"555"), QStringLiteral("D"));
    EXPECT_EQ(t.group(u"545"), QString());
    EXPECT_EQ(t.group(u"525"), QString());
    EXPECT_EQ(t.group(u"515"), QStringLiteral("D"));
}

TEST(GroupMatrixWidget, PaintAllAndSettingTheMatrix) {
    Matrix m;
    m.widget.setPaintGroup(2);
    m.widget.paintAll();
    EXPECT_EQ(m.changes.size(), 125U);
    for (const QString& letter : m.widget.groupMatrix())
        EXPECT_EQ(letter, QStringLiteral("B"));
    m.widget.paintAll();
    EXPECT_EQ(m.changes.size(), 125U);

    // Setting letters is no painting by the operator; letters other than the six mean no group.
    GroupMatrix letters;
    letters.fill(QStringLiteral("E"));
    letters[0] = QStringLiteral("X");
    letters[1] = QStringLiteral("Z");
    letters[2] = QStringLiteral("a");
    m.widget.setGroupMatrix(letters);
    m.widget.setGroup(QStringLiteral("111"), QStringLiteral("A"));
    EXPECT_EQ(m.changes.size(), 125U);
    EXPECT_EQ(m.group(u"555"), QStringLiteral("X"));
    EXPECT_EQ(m.group(u"545"), QString());
    EXPECT_EQ(m.group(u"535"), QString());
    EXPECT_EQ(m.group(u"111"), QStringLiteral("A"));
    EXPECT_EQ(m.group(u"000"), QString());
}

TEST(GroupMatrixWidget, StateChangesRepaintTheShownCell) {
    GroupMatrixWidget widget;
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    PaintRecorder recorder;
    widget.installEventFilter(&recorder);
    QTest::qWait(100); // the first paints of the shown window
    recorder.painted = QRegion();

    const QRect cell = widget.cellRect(QStringLiteral("534"));
    widget.setGroup(QStringLiteral("534"), QStringLiteral("A"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.painted.contains(cell); }, 2000));

    recorder.painted = QRegion();
    GroupMatrix letters;
    letters.fill(QStringLiteral("C"));
    widget.setGroupMatrix(letters);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.painted.contains(widget.rect()); }, 2000));
    widget.removeEventFilter(&recorder);
}

TEST(GroupMatrixWidget, RendersEachCellInItsGroupColour) {
    GroupMatrixWidget widget(Arrangement::F);
    widget.resize(widget.sizeHint());
    GroupMatrix letters;
    const struct {
        const char16_t* code;
        const char16_t* letter;
        QColor colour;
    } cases[] = {
        {u"555", u"A", QColor(255, 0, 0)},
        {u"534", u"B", QColor(255, 128, 0)},
        {u"111", u"C", QColor(0, 192, 0)},
        {u"245", u"D", QColor(0, 255, 255)},
        {u"412", u"E", QColor(192, 192, 255)},
        {u"333", u"X", widget.palette().color(QPalette::Active, QPalette::Button)},
        {u"321", u"", QColor(0, 0, 0)},
    };
    for (const auto& c : cases)
        letters[CellIndex(QString::fromUtf16(c.code)) - 1] = QString::fromUtf16(c.letter);
    widget.setGroupMatrix(letters);

    const QPixmap pixmap = widget.grab();
    const QImage image = pixmap.toImage();
    for (const auto& c : cases) {
        const QString code = QString::fromUtf16(c.code);
        EXPECT_EQ(colourInside(image, widget.cellRect(code), pixmap.devicePixelRatio()), c.colour)
            << code.toStdString();
    }
}
