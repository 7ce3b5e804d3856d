#include "report/writers/GroupMovementSheet.h"

#include "app/CommonRoutines.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "report/writers/GroupColours.h"
#include "workbook/Palette.h"
#include "workbook/Worksheet.h"

#include <QStringList>

namespace plw {

namespace {

using Layout = GroupMovementLayout;
const QString Letters = QStringLiteral("ABCDEX");

QString SlashDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString Count(qint64 n) {
    return FormatNumber(n, QStringLiteral("#,##0"));
}

// The figures of a table into its cells, with a total column after them and, when asked, a
// total row below.
void WriteTable(CellStore& cells, int top, const std::vector<std::vector<qint64>>& rows,
                bool totalRow) {
    std::vector<qint64> columnTotals(rows.front().size() + 1, 0);
    for (size_t r = 0; r < rows.size(); ++r) {
        qint64 rowTotal = 0;
        for (size_t c = 0; c < rows[r].size(); ++c) {
            cells.setNumber(top + int(r), Layout::FirstColumn + int(c), double(rows[r][c]));
            rowTotal += rows[r][c];
            columnTotals[c] += rows[r][c];
        }
        cells.setNumber(top + int(r), Layout::FirstColumn + int(rows[r].size()), double(rowTotal));
        columnTotals.back() += rowTotal;
    }
    if (totalRow)
        for (size_t c = 0; c < columnTotals.size(); ++c)
            cells.setNumber(top + int(rows.size()), Layout::FirstColumn + int(c),
                            double(columnTotals[c]));
}

QStringList Notes(const GroupMovement& movement) {
    QStringList notes = movement.Differences;
    if (notes.isEmpty())
        notes << QStringLiteral("しきい値・グループの割り当て・最終来店日の期間の長さ・抽出条件は"
                                "比較した実行と同じです。");
    if (movement.Vanished > 0)
        notes << QStringLiteral("比較した実行の顧客のうち %1 人はお客様マスタにもういません（対象外"
                                "に数えています。次の実行で履歴から除きます）。")
                     .arg(Count(movement.Vanished));
    return notes;
}

} // namespace

void WriteGroupMovementSheet(ExcelRun& run, const GroupMovement& movement) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(グループ推移）"));
    Worksheet* sheet = CopyTemplateSheet(run, QString::fromUtf16(GroupMovementTemplateSheet),
                                         QString::fromUtf16(GroupMovementSheetName),
                                         QStringLiteral("元ブック に ") +
                                             QString::fromUtf16(GroupMovementTemplateSheet) +
                                             QStringLiteral("シートがない"));
    if (!sheet)
        return;
    CellStore& cells = sheet->cells();

    qint64 now = 0, then = 0;
    for (size_t r = 0; r < 7; ++r)
        for (size_t c = 0; c < 7; ++c) {
            if (c < 6)
                now += movement.Customers[r][c];
            if (r < 6)
                then += movement.Customers[r][c];
        }
    const KeptRun& earlier = movement.Earlier;
    cells.setText(Layout::RunRow, 2,
                  QStringLiteral("今回: 基準日 %1（顧客 %2 人）")
                      .arg(SlashDate(movement.BaseDate), Count(now)));
    cells.setText(Layout::RunRow + 1, 2,
                  QStringLiteral("比較した実行: 基準日 %1（%2 の実行、顧客 %3 人）")
                      .arg(SlashDate(earlier.BaseDate),
                           earlier.RunTime.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                           Count(then)));
    const QStringList notes = Notes(movement);
    for (int i = 0; i < notes.size() && i < Layout::NoteRows; ++i)
        cells.setText(Layout::FirstNoteRow + i, 2, notes[i]);

    std::vector<std::vector<qint64>> counts, amounts;
    for (size_t r = 0; r < 7; ++r) {
        counts.emplace_back(movement.Customers[r].begin(), movement.Customers[r].end());
        amounts.emplace_back(movement.AmountsYen[r].begin(), movement.AmountsYen[r].end());
    }
    WriteTable(cells, Layout::CountRow, counts, true);
    WriteTable(cells, Layout::AmountRow, amounts, true);

    // Each cell's share of its row; a row without customers shows none.
    for (size_t r = 0; r < 7; ++r) {
        qint64 rowTotal = 0;
        for (qint64 n : counts[r])
            rowTotal += n;
        for (size_t c = 0; c <= 7; ++c) {
            const int row = Layout::ShareRow + int(r), column = Layout::FirstColumn + int(c);
            if (rowTotal == 0)
                cells.clearValue(row, column);
            else
                cells.setNumber(row, column, c < 7 ? double(counts[r][c]) / double(rowTotal) : 1.0);
        }
    }

    // The customers who stayed in their group: the diagonal, in the group's colour.
    QStringList problems;
    for (int g = 0; g < 6; ++g) {
        const int colour = GroupColorIndex(Letters.at(g));
        for (int top : {Layout::CountRow, Layout::ShareRow, Layout::AmountRow}) {
            QString error;
            if (!sheet->setFill(
                    CellRange(top + g, Layout::FirstColumn + g, top + g, Layout::FirstColumn + g),
                    colour, Palette::SolidPattern, Palette::Automatic, &error))
                problems << error;
        }
    }
    sheet->selectCell(QStringLiteral("A1"));
    problems.removeDuplicates();
    if (!problems.isEmpty())
        SheetFailed(run, problems.join(u'\r'));
}

} // namespace plw
