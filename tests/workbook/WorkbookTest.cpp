#include "workbook/Workbook.h"
#include "workbook/ChartXml.h"
#include "workbook/PartNames.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"

#include "tests/support/Printers.h"
#include "tests/workbook/WorkbookFixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::WriteTemplateFixture(path(QStringLiteral("template.xlsx"))));
    }
    QString path(const QString& name) const { return mDir.filePath(name); }

    // Saves book and opens the saved file as a reader would.
    void saveAndReopen(Workbook& book, Workbook& read) {
        QString error;
        ASSERT_TRUE(book.save(path(QStringLiteral("out.xlsx")), &error)) << error.toStdString();
        ASSERT_TRUE(read.open(path(QStringLiteral("out.xlsx")), &error)) << error.toStdString();
    }

    // The parts of the package whose names start with prefix.
    static QStringList partsUnder(const OoxmlPackage& package, const QString& prefix) {
        QStringList parts;
        for (const QString& name : package.partNames())
            if (name.startsWith(prefix))
                parts.append(name);
        return parts;
    }

    static QString workbookXml(Workbook& book) {
        return QString::fromUtf8(book.package().part(QStringLiteral("xl/workbook.xml")));
    }

    QTemporaryDir mDir;
};

TEST_F(WorkbookTest, CopiesKeepTheirChartsPointingAtThemselvesAndTheOriginalsGoAtSave) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(path(QStringLiteral("template.xlsx")), &error))
        << error.toStdString();
    EXPECT_EQ(book.templateSheetNames(), (QStringList{u"元解析１"_qs, u"抽出条件"_qs}));
    EXPECT_TRUE(book.sheetNames().isEmpty());

    // A copy may keep the name of its original; two copies of one sheet get separate charts.
    ASSERT_TRUE(book.copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error)) << error.toStdString();
    ASSERT_TRUE(book.copySheet(u"元解析１"_qs, u"Ｒ視点人数"_qs, &error)) << error.toStdString();
    ASSERT_TRUE(book.copySheet(u"元解析１"_qs, u"Ｒ視点金額"_qs, &error)) << error.toStdString();
    EXPECT_EQ(book.copySheet(u"元解析１"_qs, u"ｒ視点人数"_qs.toUpper(), &error), nullptr);
    EXPECT_EQ(book.copySheet(u"元Ｇ１"_qs, u"グループ値"_qs, &error), nullptr);
    EXPECT_EQ(error, u"1204 コピー元のシート「元Ｇ１」がブックにありません"_qs);

    Workbook read;
    saveAndReopen(book, read);
    ASSERT_EQ(read.sheetNames(), (QStringList{u"抽出条件"_qs, u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs}));
    QStringList chartParts;
    for (const QString& name : {u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs}) {
        Worksheet* sheet = read.sheet(name, &error);
        ASSERT_TRUE(sheet) << error.toStdString();
        EXPECT_EQ(sheet->cells().cell(4, 3).number, 7);
        EXPECT_EQ(sheet->cells().cell(1, 2).text, u"RFM分析");
        EXPECT_EQ(sheet->mergedRanges(), QStringList{u"B1:D1"_qs});
        ChartXml* chart = sheet->chart(u"GRAF_R5"_qs, &error);
        ASSERT_TRUE(chart) << error.toStdString();
        for (const QString& formula : chart->formulas())
            EXPECT_TRUE(formula.startsWith(QStringLiteral("'") + name + QStringLiteral("'!")))
                << formula.toStdString();
        // The chart's cached values are those of its own sheet's cells.
        const QString xml = QString::fromUtf8(chart->toXml());
        EXPECT_TRUE(xml.contains(u"<c:pt idx=\"0\"><c:v>7</c:v></c:pt>")) << xml.toStdString();
        EXPECT_TRUE(xml.contains(u"<c:v>F5</c:v>")) << xml.toStdString();
    }
    // Each copy has its own drawing, chart and chart style, typed; nothing of the originals stays.
    const OoxmlPackage& package = read.package();
    EXPECT_EQ(partsUnder(package, u"xl/worksheets/sheet"_qs).size(), 3);
    const QStringList charts = partsUnder(package, u"xl/charts/chart"_qs);
    const QStringList styles = partsUnder(package, u"xl/charts/style"_qs);
    ASSERT_EQ(charts.size(), 2);
    EXPECT_EQ(styles.size(), 2);
    EXPECT_EQ(partsUnder(package, u"xl/drawings/drawing"_qs).size(), 2);
    for (const QString& chart : charts)
        EXPECT_TRUE(package.contentType(chart).endsWith(u"drawingml.chart+xml"));
    for (const QString& style : styles)
        EXPECT_EQ(package.contentType(style), u"application/vnd.ms-office.chartstyle+xml");

    // The print area follows each copy of its sheet, by its new position.
    const QString workbook = workbookXml(read);
    EXPECT_TRUE(workbook.contains(
        u"<definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">'Ｒ視点人数'!$A$1:$H$10"))
        << workbook.toStdString();
    EXPECT_TRUE(workbook.contains(
        u"<definedName name=\"_xlnm.Print_Area\" localSheetId=\"2\">'Ｒ視点金額'!$A$1:$H$10"));
    EXPECT_FALSE(workbook.contains(u"元解析１"));
    // A workbook name into a removed original goes; one into a sheet a copy stands for stays.
    EXPECT_FALSE(workbook.contains(u"name=\"Scale\""));
    EXPECT_TRUE(workbook.contains(u"<definedName name=\"Title\">'抽出条件'!$B$1</definedName>"));
    // The document properties list the sheets that are there.
    const QString app = QString::fromUtf8(package.part(u"docProps/app.xml"_qs));
    EXPECT_TRUE(app.contains(u"<vt:i4>3</vt:i4>"));
    EXPECT_TRUE(app.contains(u"<vt:lpstr>Ｒ視点金額</vt:lpstr>"));
    EXPECT_FALSE(app.contains(u"元解析１"));
}

TEST_F(WorkbookTest, RenameMoveAndDeleteKeepChartsNamesAndViewsInStep) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(path(QStringLiteral("template.xlsx")), &error));
    ASSERT_TRUE(book.copySheet(u"元解析１"_qs, u"元解析１"_qs, &error));
    ASSERT_TRUE(book.copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error));
    ASSERT_TRUE(book.copySheet(u"元解析１"_qs, u"Ｍ視点金額"_qs, &error));
    // As the writers do: copied under the template's name, then renamed.
    ASSERT_TRUE(book.renameSheet(u"元解析１"_qs, u"Ｆ視点人数"_qs, &error)) << error.toStdString();
    EXPECT_FALSE(book.renameSheet(u"Ｆ視点人数"_qs, u"Ｍ視点金額"_qs, &error));
    EXPECT_FALSE(book.renameSheet(u"Ｆ視点人数"_qs, u"a:b"_qs, &error));
    ASSERT_TRUE(book.moveSheet(u"抽出条件"_qs, 0, &error));
    ASSERT_TRUE(book.deleteSheet(u"Ｍ視点金額"_qs, &error));
    book.activateFirstSheet();

    Workbook read;
    saveAndReopen(book, read);
    ASSERT_EQ(read.sheetNames(), (QStringList{u"抽出条件"_qs, u"Ｆ視点人数"_qs}));
    ChartXml* chart = read.sheet(u"Ｆ視点人数"_qs)->chart(u"GRAF_R5"_qs, &error);
    ASSERT_TRUE(chart) << error.toStdString();
    EXPECT_TRUE(chart->formulas().first().startsWith(u"'Ｆ視点人数'!"));
    const QString workbook = workbookXml(read);
    EXPECT_TRUE(workbook.contains(u"localSheetId=\"1\">'Ｆ視点人数'!$A$1:$H$10"))
        << workbook.toStdString();
    // A workbook name follows the sheet it points into.
    EXPECT_TRUE(workbook.contains(u"<definedName name=\"Scale\">'Ｆ視点人数'!$C$4</definedName>"));
    EXPECT_EQ(workbook.count(u"definedName name"), 3);
    EXPECT_TRUE(workbook.contains(u"activeTab=\"0\""));
    // The deleted sheet took its drawing and chart with it.
    EXPECT_EQ(partsUnder(read.package(), u"xl/charts/chart"_qs).size(), 1);

    // One selected tab, the first, with A1 selected.
    EXPECT_TRUE(read.sheet(u"抽出条件"_qs)->isTabSelected());
    EXPECT_EQ(read.sheet(u"抽出条件"_qs)->selectedCell(), u"A1");
    EXPECT_FALSE(read.sheet(u"Ｆ視点人数"_qs)->isTabSelected());
}

TEST_F(WorkbookTest, SheetNamesAreCheckedAsASpreadsheetProgramChecksThem) {
    for (const QString& bad :
         {QString(), u"a[1]"_qs, u"x/y"_qs, u"'quoted'"_qs, u"history"_qs, QString(32, u'あ')})
        EXPECT_FALSE(Workbook::SheetNameProblem(bad).isEmpty()) << bad.toStdString();
    for (const QString& good :
         {u"Ｒ視点人数"_qs, u"RFM解析パラメータ"_qs, QString(31, u'あ'), u"it's"_qs})
        EXPECT_TRUE(Workbook::SheetNameProblem(good).isEmpty()) << good.toStdString();
}

TEST_F(WorkbookTest, CellsFillsFontsAndLinksReadBack) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(path(QStringLiteral("template.xlsx")), &error));
    Worksheet* sheet = book.copySheet(u"元解析１"_qs, u"Ｒ視点金額"_qs, &error);
    ASSERT_TRUE(sheet);
    std::vector<CellValue> row(3);
    row[0].kind = CellKind::Text;
    row[0].text = u"A\r\nB"_qs;
    row[1].kind = CellKind::Currency;
    row[1].currency = Currency::fromScaled(123456);
    row[2].kind = CellKind::Number;
    row[2].number = 42;
    ASSERT_TRUE(sheet->setRowValues(u"C4:E4"_qs, row, &error)) << error.toStdString();
    ASSERT_TRUE(sheet->setFill(u"C4:D5"_qs, 45, 1, -4105, &error));
    ASSERT_TRUE(sheet->setFontSize(u"B1"_qs, 16, &error));
    ASSERT_TRUE(sheet->addHyperlink(u"B3"_qs, u"'Ｒ視点金額'!B1"_qs, u"Ｒ視点金額"_qs, &error));
    EXPECT_FALSE(sheet->setFill(u"C:D"_qs, 3, 1, -4105, &error)); // whole columns are refused
    EXPECT_FALSE(sheet->setFill(u"4C"_qs, 3, 1, -4105, &error));
    EXPECT_FALSE(sheet->setFill(u"C4"_qs, 57, 1, -4105, &error)); // beyond the palette
    EXPECT_FALSE(sheet->setFontSize(u"C4"_qs, 0, &error));

    Workbook read;
    saveAndReopen(book, read);
    Worksheet* back = read.sheet(u"Ｒ視点金額"_qs);
    ASSERT_TRUE(back);
    const CellStore& cells = back->cells();
    EXPECT_EQ(cells.cell(4, 3).text, u"A\r\nB");
    EXPECT_EQ(cells.cell(4, 4).number, 12.3456);
    EXPECT_EQ(cells.cell(4, 5).number, 42);
    Styles& styles = read.styles();
    // The fill keeps the cell's own format (borders, "#,##0") and one style serves equal cells.
    EXPECT_EQ(styles.fillColorIndex(back->styleOf(4, 3)), 45);
    EXPECT_EQ(styles.fillPattern(back->styleOf(5, 4)), 1);
    EXPECT_EQ(styles.numberFormatCode(back->styleOf(4, 3)), u"#,##0");
    EXPECT_EQ(back->styleOf(4, 4), back->styleOf(5, 3));
    // D4 was never written in the template: it takes the format of its column.
    EXPECT_EQ(styles.numberFormatCode(back->styleOf(4, 5)), u"#,##0");
    EXPECT_EQ(styles.fillColorIndex(back->styleOf(4, 5)), 0);
    EXPECT_EQ(styles.fontSize(back->styleOf(1, 2)), 16);
    EXPECT_EQ(styles.fontSize(back->styleOf(4, 3)), 11);
    ASSERT_EQ(back->hyperlinks().size(), 1);
    EXPECT_EQ(back->hyperlinks()[0].cell, u"B3");
    EXPECT_EQ(back->hyperlinks()[0].location, u"'Ｒ視点金額'!B1");
    EXPECT_EQ(cells.cell(3, 2).text, u"Ｒ視点金額");
    EXPECT_TRUE(styles.isHyperlinkFont(back->styleOf(3, 2)));
}

TEST_F(WorkbookTest, DeletingColumnsShiftsCellsWidthsMergesAndLinksLeftAtOnce) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(path(QStringLiteral("template.xlsx")), &error));
    Worksheet* sheet = book.copySheet(u"元解析１"_qs, u"RFM顧客一覧"_qs, &error);
    ASSERT_TRUE(sheet);
    for (int column = 1; column <= 8; ++column)
        sheet->cells().setText(2, column, QString(QChar(u'a' + column - 1)));
    ASSERT_TRUE(sheet->addHyperlink(u"H3"_qs, u"'x'!A1"_qs, u"h"_qs, &error));
    ASSERT_TRUE(sheet->addHyperlink(u"C3"_qs, u"'x'!A1"_qs, u"c"_qs, &error));
    // Letters name the layout before the deletion: deleting C and E leaves a b d f g h.
    ASSERT_TRUE(sheet->deleteColumns(u"C:C,E:E"_qs, &error)) << error.toStdString();
    EXPECT_FALSE(sheet->deleteColumns(u"C4:C5"_qs, &error));

    Workbook read;
    saveAndReopen(book, read);
    Worksheet* back = read.sheet(u"RFM顧客一覧"_qs);
    QString shown;
    for (int column = 1; column <= 8; ++column)
        shown += back->cells().cell(2, column).text + u'|';
    EXPECT_EQ(shown, u"a|b|d|f|g|h|||");
    EXPECT_EQ(back->columnWidth(2), 6);  // B stays
    EXPECT_EQ(back->columnWidth(5), 12); // G, once in the C:G block, is now E
    EXPECT_EQ(back->columnWidth(6), 0);
    EXPECT_EQ(back->mergedRanges(), QStringList{u"B1:C1"_qs}); // B1:D1 lost C
    ASSERT_EQ(back->hyperlinks().size(), 1);
    EXPECT_EQ(back->hyperlinks()[0].cell, u"F3");
    // The copy's print area lost C and E with the cells; the original's names were not moved.
    const QString workbook = workbookXml(read);
    EXPECT_TRUE(workbook.contains(u"localSheetId=\"0\">'RFM顧客一覧'!$A$1:$F$10<"))
        << workbook.toStdString();
}

TEST_F(WorkbookTest, FittedWidthsCountFullWidthCharactersDouble) {
    Workbook book;
    QString error;
    ASSERT_TRUE(book.openTemplate(path(QStringLiteral("template.xlsx")), &error));
    Worksheet* sheet = book.copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error);
    ASSERT_TRUE(sheet);
    sheet->cells().setText(2, 3, u"ABCDEFGHIJ"_qs);
    sheet->cells().setText(3, 4, u"あいうえおかきくけこ"_qs);
    sheet->cells().setText(4, 4, u"x"_qs);
    sheet->autoFitColumns();
    EXPECT_GT(sheet->columnWidth(3), 10);
    EXPECT_GT(sheet->columnWidth(4), 20);
    EXPECT_LT(sheet->columnWidth(3), sheet->columnWidth(4));
    EXPECT_EQ(sheet->columnWidth(5), 0); // an empty column keeps its width
}

} // namespace
