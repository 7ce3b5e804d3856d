#include "report/writers/PLWAN40X_XLS_BUN1R5.h"

#include "app/Prompter.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "report/writers/GroupColours.h"
#include "workbook/ChartXml.h"
#include "workbook/Palette.h"
#include "workbook/Worksheet.h"

#include <QStringList>

namespace plw {

namespace {

// The largest cell of the whole matrix in the sheet's unit: every chart of a sheet shares it.
double SheetMaximum(const MatrixSheetInput& input, MatrixMode mode) {
    if (mode == MatrixMode::Count)
        return input.MaxCellCount;
    return input.MaxCellAmount.toDouble();
}

// "Ｒ視点人数" and so on: the full-width letter of the viewpoint, then the mode's name.
QString MatrixSheetName(QChar viewpoint, MatrixMode mode) {
    return QChar(viewpoint.unicode() - u'A' + u'Ａ') +
           (mode == MatrixMode::Count ? QStringLiteral("視点人数") : QStringLiteral("視点金額"));
}

bool FormatChart(Worksheet& sheet, int viewRank, double maximum, const MatrixColourGrid& grid,
                 QString* error) {
    ChartXml* chart = sheet.chart(QStringLiteral("GRAF_R") + QString::number(viewRank), error);
    if (!chart)
        return false;
    // A scale from 0 to 0 is refused by spreadsheet programs: with nothing above 0 the axis
    // stays automatic.
    const bool scaled = maximum > 0 ? chart->setValueAxisScale(0, maximum, error)
                                    : chart->clearValueAxisScale(error);
    if (!scaled)
        return false;
    // Series 1 to 5 are the block's rows from the top (rank 5), points 1 to 5 its columns C to G.
    for (int a = 1; a <= 5; ++a)
        for (int b = 1; b <= 5; ++b)
            if (!chart->setPointColor(6 - a, 6 - b, grid[viewRank - 1][a - 1][b - 1], error))
                return false;
    return chart->setSeriesAxisReversed(error);
}

} // namespace

int MatrixBlockTop(int viewRank) {
    static constexpr int kTops[5] = {50, 39, 25, 14, 3}; // ranks 1 to 5
    return viewRank >= 1 && viewRank <= 5 ? kTops[viewRank - 1] : 0;
}

QString RfmCode(int r, int f, int m) {
    return QString::number(r) + QString::number(f) + QString::number(m);
}

void WriteRSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(R)"));
    const QString name = MatrixSheetName(u'R', mode);
    if (!CopyTemplateSheet(run, QStringLiteral("元解析１"), name,
                           QStringLiteral("元ブック に 元解析１シートがない")))
        return;
    // The template's labels follow the R arrangement: columns F rank, rows M rank.
    FillMatrixSheet(run, input, mode, name, [](int v, int a, int b) { return RfmCode(v, b, a); });
}

void WriteRelabelledMatrixSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                                const MatrixLabels& labels, const MatrixCodeOf& codeOf) {
    const QString letter(labels.blocks);
    ShowSheetStep(run, QStringLiteral("RFM分析１(%1)").arg(letter));
    const QString name = MatrixSheetName(labels.blocks, mode);
    Worksheet* sheet = CopyTemplateSheet(run, QStringLiteral("元解析１"), name,
                                         QStringLiteral("元ブック に 元解析１シートがない"));
    if (!sheet)
        return;
    CellStore& cells = sheet->cells();
    for (int v = 5; v >= 1; --v) {
        const int top = MatrixBlockTop(v);
        cells.setText(top, 2, letter + QString::number(v));
        for (int i = 0; i < 5; ++i) {
            cells.setText(top, 3 + i, QString(labels.columns) + QString::number(5 - i));
            cells.setText(top + 1 + i, 2, QString(labels.rows) + QString::number(5 - i));
        }
    }
    FillMatrixSheet(run, input, mode, name, codeOf);
}

bool WriteMatrixCell(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                     const QString& code, int row, int column, int viewRank, int rowRank,
                     int columnRank, MatrixColourGrid& grid, QString* error) {
    const int k = CellIndex(code);
    if (k == 0)
        return true;
    const int colour = GroupColorIndex(GroupOfCode(code, input.Matrix));
    grid[viewRank - 1][rowRank - 1][columnRank - 1] = colour;

    const CellStatistics& cell = input.Cells[size_t(k - 1)];
    CellStore& cells = run.Current->cells();
    const bool written = mode == MatrixMode::Count ? cells.setNumber(row, column, cell.Count)
                                                   : cells.setCurrency(row, column, cell.Amount);
    if (!written) {
        if (error)
            *error = QStringLiteral("セル %1 に書き込めません")
                         .arg(ColumnLetters(column) + QString::number(row));
        return false;
    }
    return run.Current->setFill(CellRange(row, column, row, column), colour, Palette::SolidPattern,
                                Palette::Automatic, error);
}

bool FormatCharts(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                  const MatrixColourGrid& grid, QString* error) {
    Worksheet& sheet = *run.Current;
    QStringList problems;
    QString problem;
    const double maximum = SheetMaximum(input, mode);
    for (int n = 5; n >= 1; --n)
        if (!FormatChart(sheet, n, maximum, grid, &problem))
            problems << problem;

    // Threshold table R3:U5: ranks 5 to 2 of R, F and M, texts as entered.
    for (int r = 5; r >= 2; --r) {
        const int column = 18 + (5 - r);
        sheet.cells().setText(3, column, input.R[size_t(r - 1)]);
        sheet.cells().setText(4, column, input.F[size_t(r - 1)]);
        sheet.cells().setText(5, column, input.M[size_t(r - 1)]);
    }

    // Amounts are in units of 10,000 yen.
    const QString caption =
        mode == MatrixMode::Count ? QStringLiteral("(人)") : QStringLiteral("(万円)");
    for (int v = 5; v >= 1; --v)
        sheet.cells().setText(MatrixBlockTop(v) - 1, 7, caption);

    if (problems.isEmpty())
        return true;
    if (error)
        *error = problems.join(u'\r');
    return false;
}

void FillMatrixSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                     const QString& sheetName, const MatrixCodeOf& codeOf) {
    MatrixColourGrid grid{};
    QStringList problems;
    QString problem;
    for (int v = 5; v >= 1; --v) {
        const int top = MatrixBlockTop(v);
        for (int a = 5; a >= 1; --a)
            for (int b = 5; b >= 1; --b)
                if (!WriteMatrixCell(run, input, mode, codeOf(v, a, b), top + 6 - a, 8 - b, v, a, b,
                                     grid, &problem))
                    problems << problem;
    }
    if (!FormatCharts(run, input, mode, grid, &problem))
        problems << problem;
    run.Current->selectCell(QStringLiteral("A1"));
    problems.removeDuplicates();
    if (!problems.isEmpty())
        SheetFailed(run,
                    QStringLiteral("シート「%1」の一部を作成できませんでした。\r").arg(sheetName) +
                        problems.join(u'\r'));
}

} // namespace plw
