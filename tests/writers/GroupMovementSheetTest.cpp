// The sheet "グループ推移" of the sample shop, which keeps a run three months before its base
// date, read back from the saved workbook.

#include "tests/writers/WriterShop.h"

#include "report/writers/GroupColours.h"
#include "report/writers/GroupMovementSheet.h"
#include "workbook/ChartXml.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"

using namespace plw;

namespace {

using Layout = GroupMovementLayout;

class GroupMovementSheetTest : public test::WriterShop {
protected:
    double number(const Worksheet& sheet, int row, int column) {
        const CellValue cell = sheet.cells().cell(row, column);
        EXPECT_EQ(cell.kind, CellKind::Number) << "R" << row << "C" << column;
        return cell.number;
    }
    QString text(const Worksheet& sheet, int row, int column) {
        return sheet.cells().cell(row, column).text;
    }
};

TEST_F(GroupMovementSheetTest, CountsSharesAndAmountsStandInTheirTablesWithTheDiagonalColoured) {
    ASSERT_TRUE(mContext->Movement.has_value()) << mPrompter.texts().join(u'|').toStdString();
    const GroupMovement movement = *mContext->Movement;
    sheetWriters().WriteGroupMovementSheet(*mRun);
    EXPECT_TRUE(mRun->Unfinished.isEmpty()) << mRun->Unfinished.join(u'|').toStdString();
    QString error;
    Worksheet* found = saved().sheet(QStringLiteral("グループ推移"), &error);
    ASSERT_TRUE(found) << error.toStdString();
    const Worksheet& sheet = *found;

    EXPECT_TRUE(text(sheet, 2, 2).startsWith(QStringLiteral("今回: 基準日 2026/11/30")));
    EXPECT_TRUE(text(sheet, 3, 2).startsWith(QStringLiteral("比較した実行: 基準日 2026/08/30")));
    EXPECT_EQ(text(sheet, 4, 2), QStringLiteral("しきい値・グループの割り当て・最終来店日の期間の"
                                                "長さ・抽出条件は比較した実行と同じです。"));

    std::array<qint64, 8> columnTotals{};
    for (int r = 0; r < 7; ++r) {
        qint64 rowTotal = 0;
        for (int c = 0; c < 7; ++c) {
            const qint64 n = movement.Customers[size_t(r)][size_t(c)];
            EXPECT_EQ(number(sheet, Layout::CountRow + r, 3 + c), double(n)) << r << "," << c;
            rowTotal += n;
            columnTotals[size_t(c)] += n;
        }
        columnTotals[7] += rowTotal;
        EXPECT_EQ(number(sheet, Layout::CountRow + r, 10), double(rowTotal));
        for (int c = 0; c < 7 && rowTotal > 0; ++c)
            EXPECT_DOUBLE_EQ(number(sheet, Layout::ShareRow + r, 3 + c),
                             double(movement.Customers[size_t(r)][size_t(c)]) / double(rowTotal));
        if (rowTotal > 0)
            EXPECT_EQ(number(sheet, Layout::ShareRow + r, 10), 1.0);
        else
            EXPECT_EQ(sheet.cells().cell(Layout::ShareRow + r, 3).kind, CellKind::Blank);
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(number(sheet, Layout::AmountRow + r, 3 + c),
                      double(movement.AmountsYen[size_t(r)][size_t(c)]));
    }
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(number(sheet, Layout::CountRow + 7, 3 + c), double(columnTotals[size_t(c)]));
    // The totals row of the amounts is this run's whole amount.
    qint64 total = 0;
    for (const GroupStatistics& group : mStatistics.Groups)
        total += group.AmountYen;
    EXPECT_EQ(number(sheet, Layout::AmountRow + 7, 9), double(total));

    // The unchanged diagonal carries its group's colour in all three tables, no other cell does.
    const QString letters = QStringLiteral("ABCDEX");
    const auto fill = [&](int row, int column) {
        return mRead.styles().fillColorIndex(sheet.styleOf(row, column));
    };
    for (int top : {Layout::CountRow, Layout::ShareRow, Layout::AmountRow}) {
        const int plain = fill(top, 9); // the first row's 対象外 or total
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c)
                EXPECT_EQ(fill(top + r, 3 + c), r == c ? GroupColorIndex(letters.mid(r, 1)) : plain)
                    << top << ":" << r << "," << c;
    }

    // The chart: where each earlier group went, in 100 % stacked bars.
    ChartXml* chart = found->chart(QStringLiteral("推移グラフ"), &error);
    ASSERT_TRUE(chart) << error.toStdString();
    EXPECT_EQ(chart->chartTypeCode(), ChartXml::BarStacked100);
}

} // namespace
