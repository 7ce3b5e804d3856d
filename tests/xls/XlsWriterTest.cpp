#include "workbook/xls/XlsWriter.h"
#include "report/LibreOfficeConverter.h"
#include "tests/support/Printers.h"
#include "tests/xls/BiffFile.h"
#include "tests/xls/OutsideReaders.h"
#include "tests/xls/XlsFixture.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/Palette.h"
#include "workbook/Styles.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using namespace plw::test;

namespace {

QJsonObject Xlrd(const QString& path) {
    QJsonObject book;
    QString error;
    EXPECT_TRUE(ReadWithXlrd(path, &book, &error)) << error.toStdString();
    return book;
}

QJsonObject CellOf(const QJsonObject& sheet, int row, int column) {
    return sheet[u"cells"_qs][QStringLiteral("%1,%2").arg(row).arg(column)].toObject();
}

class XlsWriterTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return mDir.filePath(name); }
    QTemporaryDir mDir;
};

TEST_F(XlsWriterTest, TheSampleSheetsAreSoundAndReadBackByXlrdAndGnumeric) {
    std::unique_ptr<Workbook> book = SampleWorkbook(TemplatePath(), 40);
    const QString file = path(u"sample.xls"_qs);
    WriteXls(*book, file);
    ExpectSound(file);

    if (HasGnumeric()) {
        QString warnings, error;
        EXPECT_TRUE(ReadWithGnumeric(file, &warnings, &error)) << error.toStdString();
        EXPECT_EQ(warnings, QString());
    }
    if (!HasXlrd())
        GTEST_SKIP() << "xlrd is not installed";
    const QJsonObject read = Xlrd(file);
    const QJsonArray sheets = read[u"sheets"_qs].toArray();
    ASSERT_EQ(sheets.size(), 3);
    EXPECT_EQ(sheets[0][u"name"_qs].toString(), u"抽出条件"_qs);
    EXPECT_EQ(sheets[1][u"name"_qs].toString(), u"RFM解析パラメータ"_qs);
    EXPECT_EQ(sheets[2][u"name"_qs].toString(), u"RFM顧客一覧"_qs);
    EXPECT_TRUE(sheets[0][u"selected"_qs].toBool());
    EXPECT_FALSE(sheets[2][u"selected"_qs].toBool());

    const QJsonObject index = sheets[0].toObject();
    EXPECT_EQ(CellOf(index, 0, 1)[u"value"_qs].toString(), u"RFM分析"_qs);
    EXPECT_EQ(CellOf(index, 2, 1)[u"value"_qs].toString(), u"RFM解析パラメータ"_qs);
    EXPECT_EQ(CellOf(index, 2, 1)[u"size"_qs].toDouble(), 11);
    EXPECT_EQ(CellOf(index, 2, 1)[u"colour"_qs].toInt(), 12); // blue, the hyperlink font
    const QJsonArray links = index[u"links"_qs].toArray();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[1][2].toString(), u"'RFM顧客一覧'!B1"_qs);
    EXPECT_EQ(links[1][3].toString(), u"RFM顧客一覧"_qs);

    const QJsonObject parameters = sheets[1].toObject();
    EXPECT_EQ(CellOf(parameters, 4, 2)[u"value"_qs].toString(), u"30"_qs);
    // Group colours A to X: palette 3, 45, 10, 8, 24, 15 are colour indices 10, 52, 17, 15, 31, 22.
    const int fills[] = {10, 52, 17, 15, 31, 22};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(CellOf(parameters, 11, 2 + i)[u"fill"_qs].toInt(), fills[i]) << i;
    EXPECT_TRUE(parameters[u"merged"_qs].toArray().contains(QJsonArray{3, 4, 10, 13}));

    const QJsonObject list = sheets[2].toObject();
    EXPECT_EQ(CellOf(list, 0, 2)[u"value"_qs].toString(), u"会員番号"_qs);
    EXPECT_TRUE(CellOf(list, 0, 2)[u"bold"_qs].toBool());
    EXPECT_EQ(CellOf(list, 0, 2)[u"fill"_qs].toInt(), 41);
    EXPECT_EQ(CellOf(list, 1, 2)[u"value"_qs].toString(), u"1000000"_qs);
    EXPECT_EQ(CellOf(list, 40, 6)[u"value"_qs].toDouble(), 12000 + 39 * 37);
    EXPECT_EQ(CellOf(list, 40, 6)[u"format"_qs].toString(), u"#,##0"_qs);
    // O moved to K with the deletion; the amount keeps its fraction.
    EXPECT_EQ(CellOf(list, 3, 10)[u"value"_qs].toDouble(), 2.25);
    EXPECT_EQ(CellOf(list, 40, 37)[u"value"_qs].toString(), u"user39@example.jp"_qs);
    EXPECT_GT(list[u"widths"_qs][u"37"_qs].toInt(), 17 * 256);
    bool titles = false;
    for (const QJsonValue& name : read[u"names"_qs].toArray())
        titles = titles || (name[0].toString() == u"Print_Titles"_qs && name[1].toInt() == 2);
    EXPECT_TRUE(titles);
}

TEST_F(XlsWriterTest, WhatLibreOfficeReadsMatchesWhatTheEngineHeld) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    std::unique_ptr<Workbook> book = SampleWorkbook(TemplatePath(), 12);
    const QString file = path(u"sample.xls"_qs);
    WriteXls(*book, file);
    QString error;
    const QString back = path(u"back.xlsx"_qs);
    ASSERT_TRUE(LibreOfficeConverter::Convert(file, back, WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    Workbook read;
    ASSERT_TRUE(read.open(back, &error)) << error.toStdString();
    ASSERT_EQ(read.sheetNames(), book->sheetNames());
    for (const QString& name : book->sheetNames()) {
        Worksheet* expected = book->sheet(name);
        Worksheet* actual = read.sheet(name);
        ASSERT_TRUE(actual);
        const CellRect used = expected->cells().usedRange();
        for (int row = used.firstRow; row <= used.lastRow; ++row) {
            for (int column = used.firstColumn; column <= used.lastColumn; ++column) {
                const CellValue want = expected->cells().cell(row, column);
                const CellValue got = actual->cells().cell(row, column);
                const std::string at =
                    name.toStdString() + " " + std::to_string(row) + "," + std::to_string(column);
                if (want.kind == CellKind::Text) {
                    EXPECT_EQ(got.text, want.text) << at;
                } else if (want.kind != CellKind::Blank) {
                    EXPECT_EQ(got.number, want.number) << at;
                }
                // The palette holds some colours twice: compare the colours.
                EXPECT_EQ(Palette::RgbHex(read.styles().fillColorIndex(got.style)),
                          Palette::RgbHex(book->styles().fillColorIndex(want.style)))
                    << at;
                EXPECT_EQ(read.styles().numberFormatCode(got.style),
                          book->styles().numberFormatCode(want.style))
                    << at;
                EXPECT_EQ(read.styles().fontSize(got.style), book->styles().fontSize(want.style))
                    << at;
            }
        }
        EXPECT_EQ(actual->mergedRanges(), expected->mergedRanges()) << name.toStdString();
        for (int column = 1; column <= 46; ++column)
            EXPECT_NEAR(actual->columnWidth(column), expected->columnWidth(column), 0.6)
                << name.toStdString() << " column " << column;
    }
    const QList<SheetLink> links = read.sheet(u"抽出条件"_qs)->hyperlinks();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[1].cell, u"B4"_qs);
    EXPECT_EQ(QString(links[1].location).remove(u'\''), u"RFM顧客一覧!B1"_qs);
    EXPECT_TRUE(read.sheet(u"抽出条件"_qs)->isTabSelected());
    const QByteArray workbookXml = read.package().part(u"xl/workbook.xml"_qs);
    EXPECT_TRUE(workbookXml.contains("_xlnm.Print_Titles")) << workbookXml.toStdString();
}

} // namespace
