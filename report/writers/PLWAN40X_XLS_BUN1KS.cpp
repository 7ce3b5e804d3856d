#include "report/writers/PLWAN40X_XLS_BUN1KS.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "report/writers/GroupColours.h"
#include "report/writers/PLWAN40X_XLS_BUN1R5.h"
#include "workbook/Palette.h"
#include "workbook/Worksheet.h"

#include <QStringList>

namespace plw {

namespace {

// The code of a matrix cell at viewpoint rank v, row rank a and column rank b: in the R view
// (rows 12-16) F columns and M rows, in the F view (rows 19-23) R columns and M rows, in the M
// view (rows 26-30) F columns and R rows.
QString ViewCode(int view, int v, int a, int b) {
    switch (view) {
    case 0:
        return RfmCode(v, b, a);
    case 1:
        return RfmCode(b, v, a);
    default:
        return RfmCode(a, b, v);
    }
}

} // namespace

void WriteParameterSheet(ExcelRun& run, const ParameterSheetInput& input) {
    ShowSheetStep(run, QStringLiteral("解析パラメータ"));
    Worksheet* sheet = CopyTemplateSheet(
        run, QStringLiteral("元解析パラメータ"), QStringLiteral("RFM解析パラメータ"),
        QStringLiteral("元ブック に 元解析パラメータシートがない"));
    if (!sheet)
        return;
    CellStore& cells = sheet->cells();

    // Thresholds of ranks 5 to 2 in C to F: R in row 5, F in row 6, M in row 7, as entered.
    for (int r = 5; r >= 2; --r) {
        const int column = 3 + (5 - r);
        cells.setText(5, column, input.R[size_t(r - 1)]);
        cells.setText(6, column, input.F[size_t(r - 1)]);
        cells.setText(7, column, input.M[size_t(r - 1)]);
    }
    cells.setText(4, 11, DateToSlashText(input.BaseDate));

    // The group matrix from the three viewpoints, each as five blocks side by side (viewpoint
    // rank 5 in C:G, then J:N, Q:U, X:AB, AE:AI); in a block the first column and the first row
    // are rank 5.
    QStringList problems;
    QString problem;
    for (int view = 0; view < 3; ++view)
        for (int v = 5; v >= 1; --v)
            for (int a = 5; a >= 1; --a)
                for (int b = 5; b >= 1; --b) {
                    const QString code = ViewCode(view, v, a, b);
                    if (CellIndex(code) == 0)
                        continue;
                    const int row = 12 + 7 * view + (5 - a);
                    const int column = 3 + 7 * (5 - v) + (5 - b);
                    const int colour = GroupColorIndex(GroupOfCode(code, input.Matrix));
                    if (!sheet->setFill(CellRange(row, column, row, column), colour,
                                        Palette::SolidPattern, Palette::Automatic, &problem))
                        problems << problem;
                }
    sheet->selectCell(QStringLiteral("A1"));
    problems.removeDuplicates();
    if (!problems.isEmpty())
        SheetFailed(run,
                    QStringLiteral("シート「RFM解析パラメータ」の一部を作成できませんでした。\r") +
                        problems.join(u'\r'));
}

} // namespace plw
