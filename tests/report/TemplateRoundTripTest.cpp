#include "report/LibreOfficeConverter.h"
#include "workbook/ChartXml.h"
#include "workbook/SheetReference.h"
#include "workbook/Styles.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include "tests/support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

const QString kTemplate = QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL");

const QString kListTitles = u"'RFM顧客一覧'!$A:$E,'RFM顧客一覧'!$1:$1"_qs;

// What the sheet writers do with the template: every sheet copied and renamed, cells written
// and coloured, the purchase-period columns of the list deleted, the viewpoint charts scaled,
// coloured and reversed, the group charts retyped (the first to a doughnut).
void BuildAnalysisWorkbook(const QString& templatePath, const QString& output) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(templatePath, &error)) << error.toStdString();
    ASSERT_TRUE(book.copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error)) << error.toStdString();
    ASSERT_TRUE(book.copySheet(u"元解析パラメータ"_qs, u"RFM解析パラメータ"_qs, &error));
    Worksheet* groups = book.copySheet(u"元Ｇ１"_qs, u"グループ値"_qs, &error);
    ASSERT_TRUE(groups) << error.toStdString();
    Worksheet* list = book.copySheet(u"元シート"_qs, u"RFM顧客一覧"_qs, &error);
    ASSERT_TRUE(list) << error.toStdString();
    ASSERT_TRUE(list->deleteColumns(u"K:K,L:L,M:M,N:N"_qs, &error)) << error.toStdString();
    for (const QString& name : {u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs}) {
        Worksheet* sheet = book.copySheet(u"元解析１"_qs, name, &error);
        ASSERT_TRUE(sheet) << error.toStdString();
        sheet->cells().setNumber(4, 3, 120);
        ASSERT_TRUE(sheet->setFill(u"C4"_qs, 45, 1, -4105, &error));
        for (int n = 1; n <= 5; ++n) {
            ChartXml* chart = sheet->chart(u"GRAF_R"_qs + QString::number(n), &error);
            ASSERT_TRUE(chart) << error.toStdString();
            ASSERT_TRUE(chart->setValueAxisScale(0, 120, &error)) << error.toStdString();
            ASSERT_TRUE(chart->setPointColor(1, 1, 45, &error)) << error.toStdString();
            ASSERT_TRUE(chart->setSeriesAxisReversed(&error)) << error.toStdString();
        }
    }
    ASSERT_TRUE(groups->chart(u"グラフ 1"_qs, &error)->setChartType(53, &error));
    for (int n = 1; n <= 7; ++n) {
        ChartXml* chart = groups->chart(u"右"_qs + QChar(u'０' + n), &error);
        ASSERT_TRUE(chart) << n << error.toStdString();
        ASSERT_TRUE(chart->setChartType(n == 1 ? -4120 : 92, &error)) << error.toStdString();
    }
    book.activateFirstSheet();
    ASSERT_TRUE(book.save(output, &error)) << error.toStdString();
}

void ExpectAnalysisWorkbook(const QString& path) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.open(path, &error)) << error.toStdString();
    EXPECT_EQ(book.sheetNames(),
              (QStringList{u"抽出条件"_qs, u"RFM解析パラメータ"_qs, u"グループ値"_qs,
                           u"RFM顧客一覧"_qs, u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs}));
    for (const QString& name : {u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs}) {
        Worksheet* sheet = book.sheet(name, &error);
        ASSERT_TRUE(sheet) << error.toStdString();
        EXPECT_EQ(sheet->cells().cell(4, 3).number, 120);
        EXPECT_EQ(book.styles().fillColorIndex(sheet->styleOf(4, 3)), 45);
        ChartXml* chart = sheet->chart(u"GRAF_R5"_qs, &error);
        ASSERT_TRUE(chart) << error.toStdString();
        double minimum = -1, maximum = -1;
        EXPECT_TRUE(chart->valueAxisScale(&minimum, &maximum));
        EXPECT_EQ(maximum, 120);
        EXPECT_EQ(chart->pointColorIndex(1, 1), 45);
        EXPECT_TRUE(chart->seriesAxisReversed());
        // Each printed page names its sheet.
        EXPECT_TRUE(sheet->pageHeader().contains(u"&A")) << sheet->pageHeader().toStdString();
        for (const QString& formula : chart->formulas())
            EXPECT_TRUE(formula.contains(name + u"'!"_qs) || formula.startsWith(name + u"!"_qs))
                << name.toStdString() << " " << formula.toStdString();
    }
    Worksheet* groups = book.sheet(u"グループ値"_qs, &error);
    ASSERT_TRUE(groups) << error.toStdString();
    EXPECT_EQ(groups->chart(u"右７"_qs, &error)->chartTypeCode(), 92);
    EXPECT_EQ(groups->chart(u"グラフ 1"_qs, &error)->chartTypeCode(), 53);
    // Shares label the doughnut's slices; the columns, which have no whole, show none.
    ChartXml* doughnut = groups->chart(u"右１"_qs, &error);
    ASSERT_TRUE(doughnut) << error.toStdString();
    EXPECT_EQ(doughnut->chartTypeCode(), -4120);
    EXPECT_TRUE(doughnut->toXml().contains("showPercent val=\"1\""));
    EXPECT_FALSE(groups->chart(u"右７"_qs, &error)->toXml().contains("showPercent val=\"1\""));
    // Every printed page of the list repeats the columns that say whose row it is, and the
    // heading row.
    EXPECT_EQ(book.definedName(u"_xlnm.Print_Titles"_qs, u"RFM顧客一覧"_qs), kListTitles);
    EXPECT_TRUE(book.sheet(u"RFM顧客一覧"_qs)->pageHeader().isEmpty());
}

class TemplateRoundTripTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return mDir.filePath(name); }
    QTemporaryDir mDir;
};

TEST_F(TemplateRoundTripTest, TheInstalledTemplateServesEveryWriter) {
    BuildAnalysisWorkbook(kTemplate, path(u"book.xlsx"_qs));
    ExpectAnalysisWorkbook(path(u"book.xlsx"_qs));
}

TEST_F(TemplateRoundTripTest, ATemplateRestyledAndSavedByLibreOfficeStillServes) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QString error;
    ASSERT_TRUE(QFile::copy(kTemplate, path(u"template.xlsx"_qs)));
    ASSERT_TRUE(LibreOfficeConverter::Convert(path(u"template.xlsx"_qs), path(u"PLWAN40X.EXL"_qs),
                                              WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    BuildAnalysisWorkbook(path(u"PLWAN40X.EXL"_qs), path(u"book.xlsx"_qs));
    ExpectAnalysisWorkbook(path(u"book.xlsx"_qs));
    // And the result is a workbook LibreOffice itself reads.
    ASSERT_TRUE(LibreOfficeConverter::Convert(path(u"book.xlsx"_qs), path(u"book.xls"_qs),
                                              WorkbookFormat::Xls, 120000, &error))
        << error.toStdString();
    ASSERT_TRUE(LibreOfficeConverter::Convert(path(u"book.xls"_qs), path(u"back.xlsx"_qs),
                                              WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    Workbook back;
    ASSERT_TRUE(back.open(path(u"back.xlsx"_qs), &error)) << error.toStdString();
    EXPECT_EQ(back.sheetNames().size(), 6);
    EXPECT_EQ(back.sheet(u"Ｒ視点金額"_qs)->chartNames().size(), 5);
    // The classic format keeps the print titles, the sheet name in the header and the shares.
    // (LibreOffice quotes only the sheet names that need it, and names charts its own way.)
    EXPECT_EQ(SheetReference::Rename(back.definedName(u"_xlnm.Print_Titles"_qs, u"RFM顧客一覧"_qs),
                                     u"RFM顧客一覧"_qs, u"RFM顧客一覧"_qs),
              kListTitles);
    EXPECT_TRUE(back.sheet(u"Ｒ視点金額"_qs)->pageHeader().contains(u"&A"));
    Worksheet* groups = back.sheet(u"グループ値"_qs, &error);
    ASSERT_TRUE(groups) << error.toStdString();
    int doughnuts = 0;
    for (const QString& name : groups->chartNames()) {
        ChartXml* chart = groups->chart(name, &error);
        ASSERT_TRUE(chart) << error.toStdString();
        const bool round = chart->chartTypeCode() == -4120;
        doughnuts += round;
        EXPECT_EQ(chart->toXml().contains("showPercent val=\"1\""), round) << name.toStdString();
    }
    EXPECT_EQ(doughnuts, 1);
}

} // namespace
