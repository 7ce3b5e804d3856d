#include "workbook/CellStore.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace plw;

namespace {

// Row r, column c of a store as "kind:value/style", for compact comparisons.
std::string Describe(const CellStore& store, int row, int column) {
    const CellValue v = store.cell(row, column);
    std::string value;
    switch (v.kind) {
    case CellKind::Blank:
        value = "blank";
        break;
    case CellKind::Text:
        value = "text:" + v.text.toStdString();
        break;
    case CellKind::Number:
        value = "number:" + std::to_string(v.number);
        break;
    case CellKind::Currency:
        value = "currency:" + v.currency.toString().toStdString();
        break;
    }
    return value + "/" + std::to_string(v.style);
}

} // namespace

TEST(CellStoreTest, WritingAValueKeepsTheStyleAndClearingKeepsTheStyledCell) {
    CellStore store;
    ASSERT_TRUE(store.setStyle(2, 3, 7));
    EXPECT_EQ(Describe(store, 2, 3), "blank/7");

    ASSERT_TRUE(store.setText(2, 3, QStringLiteral("顧客")));
    EXPECT_EQ(Describe(store, 2, 3), "text:顧客/7");
    ASSERT_TRUE(store.setNumber(2, 3, 2.5));
    EXPECT_EQ(Describe(store, 2, 3), "number:2.500000/7");
    ASSERT_TRUE(store.setCurrency(2, 3, Currency::fromScaled(-12345)));
    EXPECT_EQ(Describe(store, 2, 3), "currency:-1.2345/7");
    EXPECT_DOUBLE_EQ(store.cell(2, 3).number, -1.2345);

    store.clearValue(2, 3);
    EXPECT_EQ(Describe(store, 2, 3), "blank/7");
    EXPECT_FALSE(store.usedRange().isEmpty());

    // A cell with the default style leaves no trace once cleared.
    store.setText(1, 1, QStringLiteral("x"));
    store.clearValue(1, 1);
    store.clearValue(5, 5);
    EXPECT_EQ(store.usedRange(), (CellRect{2, 3, 2, 3}));
}

TEST(CellStoreTest, RefusesPositionsOutsideTheSheetAndNumbersThatAreNotFinite) {
    CellStore store;
    struct Case {
        int row;
        int column;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 0}, Case{CellStore::MaxRow + 1, 1},
                          Case{1, CellStore::MaxColumn + 1}, Case{-1, -1}}) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        EXPECT_FALSE(store.setText(c.row, c.column, QStringLiteral("x")));
        EXPECT_FALSE(store.setNumber(c.row, c.column, 1));
        EXPECT_FALSE(store.setStyle(c.row, c.column, 1));
        EXPECT_TRUE(store.cell(c.row, c.column).isEmpty());
    }
    EXPECT_FALSE(store.setNumber(1, 1, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(store.setNumber(1, 1, std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(store.isEmpty());

    EXPECT_TRUE(store.setNumber(CellStore::MaxRow, CellStore::MaxColumn, 1));
    EXPECT_EQ(store.usedRange(), (CellRect{CellStore::MaxRow, CellStore::MaxColumn,
                                           CellStore::MaxRow, CellStore::MaxColumn}));
}

TEST(CellStoreTest, UsedRangeSpansEveryRowAndColumnHoldingACell) {
    CellStore store;
    EXPECT_TRUE(store.usedRange().isEmpty());

    // Cells written out of order: the widest row is not the first, the leftmost not the last.
    store.setNumber(4, 5, 1);
    store.setNumber(4, 2, 1);
    store.setText(7, 9, QStringLiteral("z"));
    store.setStyle(3, 4, 1);
    store.setText(9, 3, QStringLiteral("y"));
    EXPECT_EQ(store.usedRange(), (CellRect{3, 2, 9, 9}));
    EXPECT_EQ(Describe(store, 4, 2), "number:1.000000/0");
    EXPECT_EQ(Describe(store, 4, 5), "number:1.000000/0");
    EXPECT_TRUE(store.cell(4, 3).isEmpty());
    ASSERT_EQ(store.rowCells(4).size(), 2u);
    EXPECT_LT(store.rowCells(4)[0].column, store.rowCells(4)[1].column);
}

TEST(CellStoreTest, DeletingColumnsShiftsTheCellsRightOfThemLeft) {
    CellStore store;
    // Row 1: A..H holding their own letter; row 2 only cells in deleted columns; row 3 styled.
    for (int column = 1; column <= 8; ++column)
        store.setText(1, column, QString(QChar(u'A' + column - 1)));
    store.setNumber(2, 2, 1);
    store.setNumber(2, 4, 2);
    store.setStyle(3, 6, 5);
    store.setCurrency(3, 6, Currency::fromInteger(3));
    store.setNumber(3, 20, 4);

    // Unordered, repeated and out-of-range entries are all accepted.
    store.deleteColumns({4, 2, 4, 5, 0, 99999});

    QStringList row1;
    for (int column = 1; column <= 8; ++column)
        row1 << store.cell(1, column).text;
    EXPECT_EQ(row1, (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("F"),
                                 QStringLiteral("G"), QStringLiteral("H"), QString(), QString(),
                                 QString()}));
    EXPECT_TRUE(store.rowCells(2).empty());
    EXPECT_EQ(Describe(store, 3, 3), "currency:3/5");
    EXPECT_EQ(Describe(store, 3, 17), "number:4.000000/0");
    EXPECT_EQ(store.usedRange(), (CellRect{1, 1, 3, 17}));

    // Later writes land in the shifted layout and stay in column order.
    store.setText(1, 4, QStringLiteral("new"));
    EXPECT_EQ(store.cell(1, 4).text, QStringLiteral("new"));
    EXPECT_EQ(store.cell(1, 5).text, QStringLiteral("H"));
}

TEST(CellStore, NewCellsTakeTheirColumnsStyleWhichShiftsWithADeletion) {
    CellStore store;
    store.setColumnStyle(3, 7);
    store.setStyle(1, 3, 2); // a cell's own style wins
    store.setText(1, 3, QStringLiteral("own"));
    store.setNumber(2, 3, 5);
    EXPECT_EQ(store.cell(1, 3).style, 2);
    EXPECT_EQ(store.cell(2, 3).style, 7);
    EXPECT_EQ(store.cell(9, 3).style, 7); // a blank shows the column's format too
    EXPECT_EQ(store.cell(2, 4).style, 0);
    store.deleteColumns({1});
    store.setNumber(3, 2, 1);
    EXPECT_EQ(store.cell(3, 2).style, 7);
    EXPECT_EQ(store.cell(3, 3).style, 0);
}
