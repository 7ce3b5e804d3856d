#pragma once

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/PLWAN4_hrhen.h"
#include "rfm/ScoringStatistics.h"

#include <QString>

#include <array>
#include <functional>

namespace plw {

// What the R, F and M sheets show: the scored cells, their colours from the painted group matrix,
// and the threshold table with the texts as entered.
struct MatrixSheetInput {
    std::array<CellStatistics, 125> Cells; // index k - 1 for cell k
    qint32 MaxCellCount = 0;
    Currency MaxCellAmount;
    GroupMatrix Matrix;
    Thresholds R;
    Thresholds F;
    Thresholds M;
};

// The group colours of one viewpoint sheet's cells, [viewpoint rank - 1][row rank - 1][column
// rank - 1]: written by WriteMatrixCell, read by FormatCharts to colour the bars like the cells.
using MatrixColourGrid = std::array<std::array<std::array<int, 5>, 5>, 5>;

// The label row of the block of a viewpoint rank (5 -> 3, 4 -> 14, 3 -> 25, 2 -> 39, 1 -> 50) on
// the R, F and M sheets; the data rows are the five below it, columns C (rank 5) to G (rank 1).
int MatrixBlockTop(int viewRank);

// The R sheets "Ｒ視点人数" (count) and "Ｒ視点金額" (amount).
void WriteRSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode);

// Writes one cell of the current sheet: the count (an integer) or the amount (currency) of the
// code's matrix cell, filled solid in the colour of the code's group,
// and records the colour at (viewRank, rowRank, columnRank) of the grid. A code without a matrix
// cell writes nothing. False with the cause when the sheet refuses the cell.
bool WriteMatrixCell(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                     const QString& code, int row, int column, int viewRank, int rowRank,
                     int columnRank, MatrixColourGrid& grid, QString* error);

// The charts "GRAF_R5" to "GRAF_R1" of the current sheet (value axis from 0 to the largest cell
// of the whole matrix, bars in the grid's colours, series axis reversed), the threshold table
// R3:U5 and the unit captions. Every chart is formatted even when another fails; false with the
// causes.
bool FormatCharts(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                  const MatrixColourGrid& grid, QString* error);

// The three-digit code of ranks R, F and M ("534").
QString RfmCode(int r, int f, int m);

// Which code a cell of a viewpoint sheet shows: (viewpoint rank, row rank, column rank) -> code.
using MatrixCodeOf = std::function<QString(int viewRank, int rowRank, int columnRank)>;

// Fills the current sheet, named sheetName, after its labels: the 125 cells (block of every
// viewpoint rank 5 to 1, rows by row rank 5 to 1, columns C to G by column rank 5 to 1), the
// charts, threshold table and captions, and A1 selected. What the sheet refused is shown to the
// operator; the rest of the sheet is still written.
void FillMatrixSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                     const QString& sheetName, const MatrixCodeOf& codeOf);

// The arrangement of a viewpoint sheet other than R: the letters of its blocks, columns and rows.
struct MatrixLabels {
    QChar blocks;
    QChar columns;
    QChar rows;
};

// The F and M writers: the step, the copy of "元解析１" named "Ｆ視点人数" and so on, the labels of
// the arrangement over the template's R labels, then FillMatrixSheet.
void WriteRelabelledMatrixSheet(ExcelRun& run, const MatrixSheetInput& input, MatrixMode mode,
                                const MatrixLabels& labels, const MatrixCodeOf& codeOf);

} // namespace plw
