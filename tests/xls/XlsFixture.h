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

// The records of an .xls file's Workbook stream; the test fails when they cannot be read.
std::vector<struct BiffRecord> ReadRecords(const QString& xls);
// Fails the test with the stream's structural problems and a dump of its records.
void ExpectSound(const QString& xls);

// A workbook as the analysis writes one, without charts: the index sheet "抽出条件" with links,
// the parameter sheet with its thresholds and coloured matrix cells, and the customer list
// with customers rows of text, numbers and amounts, columns K to N deleted and widths fitted.
std::unique_ptr<Workbook> SampleWorkbook(const QString& templatePath, int customers);

} // namespace plw::test
