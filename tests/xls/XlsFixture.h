#pragma once

#include "workbook/CellStore.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace plw {
class OoxmlPackage;
class Workbook;
} // namespace plw

namespace plw::test {

// The generated template PLWAN40X.EXL, written once per test program.
const QString& TemplatePath();

// A copy of the template with its parts edited (each call of edit may change the package);
// answers the copy's path inside folder.
QString EditedTemplate(const QString& folder, const std::function<void(OoxmlPackage&)>& edit);

// The template saved again by LibreOffice (as a shop restyling it would), in folder; the copy's
// path, empty when the conversion failed (the test fails).
QString TemplateSavedByLibreOffice(const QString& folder);

// Replaces the first occurrence of before in a part; fails the test when it is missing.
void ReplaceInPart(OoxmlPackage& package, const QString& part, const QByteArray& before,
                   const QByteArray& after);

CellValue Text(const QString& text);
CellValue Number(double value);
// An amount given in ten-thousandths (125000 is 12.5).
CellValue Amount(qint64 scaled);

// Writes book as .xls at path through the writer; the test fails when the writer names a
// construct it does not translate or cannot write.
void WriteXls(Workbook& book, const QString& path);

// The construct the writer names in book, checking that the writer refuses to write it at path
// and leaves nothing there.
QString UnhandledIn(Workbook& book, const QString& path);

// The records of an .xls file's Workbook stream; the test fails when they cannot be read.
std::vector<struct BiffRecord> ReadRecords(const QString& xls);
// Fails the test with the stream's structural problems and a dump of its records.
void ExpectSound(const QString& xls);

// A workbook as the analysis writes one, without charts: the index sheet "抽出条件" with links,
// the parameter sheet with its thresholds and coloured matrix cells, and the customer list
// with customers rows of text, numbers and amounts, columns K to N deleted and widths fitted.
std::unique_ptr<Workbook> SampleWorkbook(const QString& templatePath, int customers);

// The chart types of a group-value sheet: the left chart's and the seven right charts' chart-type
// codes, 0 keeping the template's type.
struct GroupCharts {
    int left = 0;
    int right = 0;
};

// A workbook with the template's charts as the analysis leaves them: group-value sheets
// ("グループ値", "グループ値2", ...) with their figures, one for each entry of groups with its
// chart types; and the R count sheet "Ｒ視点人数" with its matrix, each 3-D column chart scaled
// to 0 to 120, its bars in the group colours (MatrixColour) and its series axis reversed.
std::unique_ptr<Workbook> ChartWorkbook(const QString& templatePath,
                                        const std::vector<GroupCharts>& groups = {{}});
// The palette colour of bar (row rank a, column rank b, 1 to 5) of every block of "Ｒ視点人数".
int MatrixColour(int a, int b);

} // namespace plw::test
