#include "tools/template/TemplateWorkbook.h"

#include "tests/support/Printers.h"
#include "workbook/CellStore.h"
#include "workbook/ChartXml.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/SharedStrings.h"
#include "workbook/SheetData.h"
#include "workbook/Styles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace plw;

namespace {

const QString kCondition = QStringLiteral("抽出条件");
const QString kParameters = QStringLiteral("元解析パラメータ");
const QString kGroupValues = QStringLiteral("元Ｇ１");
const QString kCustomers = QStringLiteral("元シート");
const QString kAnalysis = QStringLiteral("元解析１");
const QString kMovement = QStringLiteral("元グループ推移");

QString Text(const pugi::xml_node& node) {
    return QString::fromUtf8(node.text().get());
}

pugi::xml_document Parse(const OoxmlPackage& package, const QString& part) {
    const QByteArray bytes = package.part(part);
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(bytes.constData(), size_t(bytes.size()));
    EXPECT_TRUE(result) << part.toStdString() << ": " << result.description();
    return document;
}

// The first element of that local name among node's children, or anywhere below node: the
// drawings put a prefix on their elements.
pugi::xml_node Child(const pugi::xml_node& node, const char* name) {
    return node.select_node(("*[local-name()='" + std::string(name) + "']").c_str()).node();
}

pugi::xml_node Descendant(const pugi::xml_node& node, const char* name) {
    return node.select_node((".//*[local-name()='" + std::string(name) + "']").c_str()).node();
}

QString Attribute(const pugi::xml_node& node, const char* name) {
    return QString::fromUtf8(node.attribute(name).value());
}

// The part a relationship of source with that id points at.
QString Target(const OoxmlPackage& package, const QString& source, const QString& id) {
    QList<Relationship> relationships;
    QString error;
    EXPECT_TRUE(package.relationships(source, &relationships, &error)) << error.toStdString();
    for (const Relationship& relationship : relationships)
        if (relationship.id == id)
            return OoxmlPackage::targetPartName(source, relationship);
    return QString();
}

// Builds the template once for all tests: generating it is what every test looks at.
class TemplateWorkbookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sDir = new QTemporaryDir;
        sPath = sDir->filePath(QStringLiteral("PLWAN40X.EXL"));
        QString error;
        ASSERT_TRUE(TemplateWorkbook::Write(sPath, &error)) << error.toStdString();
        sPackage = new OoxmlPackage;
        ASSERT_TRUE(sPackage->open(sPath, &error)) << error.toStdString();
        ASSERT_TRUE(sStrings.load(sPackage->part(QStringLiteral("xl/sharedStrings.xml")), &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete sPackage;
        delete sDir;
    }

    static const OoxmlPackage& package() { return *sPackage; }

    // Sheet names with their worksheet parts, in workbook order.
    static QList<std::pair<QString, QString>> sheets() {
        const QString workbook = QStringLiteral("xl/workbook.xml");
        const pugi::xml_document document = Parse(package(), workbook);
        QList<std::pair<QString, QString>> out;
        for (pugi::xml_node sheet : Descendant(document, "sheets").children("sheet"))
            out.append(
                {Attribute(sheet, "name"), Target(package(), workbook, Attribute(sheet, "r:id"))});
        return out;
    }

    static QString sheetPart(const QString& name) {
        for (const auto& [sheet, part] : sheets())
            if (sheet == name)
                return part;
        ADD_FAILURE() << "no sheet " << name.toStdString();
        return QString();
    }

    static CellStore cells(const QString& sheet) {
        CellStore store;
        QString error;
        EXPECT_TRUE(SheetData::Read(package().part(sheetPart(sheet)), sStrings, &store, &error))
            << error.toStdString();
        return store;
    }

    // The embedded charts of a sheet: drawing name and chart part, in drawing order.
    static QList<std::pair<QString, QString>> charts(const QString& sheet) {
        const QString worksheet = sheetPart(sheet);
        const pugi::xml_document sheetXml = Parse(package(), worksheet);
        const pugi::xml_node drawingNode = Descendant(sheetXml, "drawing");
        QList<std::pair<QString, QString>> out;
        if (!drawingNode)
            return out;
        const QString drawing = Target(package(), worksheet, Attribute(drawingNode, "r:id"));
        const pugi::xml_document drawingXml = Parse(package(), drawing);
        for (pugi::xml_node anchor : drawingXml.document_element().children()) {
            const pugi::xml_node frame = Child(anchor, "graphicFrame");
            out.append({Attribute(Descendant(frame, "cNvPr"), "name"),
                        Target(package(), drawing, Attribute(Descendant(frame, "chart"), "r:id"))});
        }
        return out;
    }

    static QTemporaryDir* sDir;
    static QString sPath;
    static OoxmlPackage* sPackage;
    static SharedStrings sStrings;
};

QTemporaryDir* TemplateWorkbookTest::sDir = nullptr;
QString TemplateWorkbookTest::sPath;
OoxmlPackage* TemplateWorkbookTest::sPackage = nullptr;
SharedStrings TemplateWorkbookTest::sStrings;

} // namespace

TEST_F(TemplateWorkbookTest, HoldsTheSixSheetsInOrder) {
    QStringList names;
    for (const auto& [name, part] : sheets()) {
        names << name;
        EXPECT_TRUE(package().hasPart(part)) << part.toStdString();
    }
    EXPECT_EQ(names, QStringList({kCondition, kParameters, kGroupValues, kCustomers, kAnalysis,
                                  kMovement}));
}

TEST_F(TemplateWorkbookTest, CaptionsStandWhereTheProgramExpectsThem) {
    struct Case {
        QString sheet;
        int row;
        int column;
        QString text;
    };
    const Case cases[] = {
        {kParameters, 4, 3, QStringLiteral("ランク5")},
        {kParameters, 4, 6, QStringLiteral("ランク2")},
        {kParameters, 5, 2, QStringLiteral("R(日数)")},
        {kParameters, 7, 2, QStringLiteral("M(金額)")},
        {kParameters, 4, 10, QStringLiteral("基準日")},
        {kParameters, 11, 2, QStringLiteral("R5")},
        {kParameters, 11, 31, QStringLiteral("F5")}, // R view, block R1 (AE:AI)
        {kParameters, 11, 35, QStringLiteral("F1")},
        {kParameters, 11, 30, QStringLiteral("R1")},
        {kParameters, 16, 30, QStringLiteral("M1")},
        {kParameters, 18, 9, QStringLiteral("F4")},
        {kParameters, 18, 10, QStringLiteral("R5")},
        {kParameters, 25, 23, QStringLiteral("M2")},
        {kParameters, 30, 2, QStringLiteral("R1")},
        {kGroupValues, 2, 3, QStringLiteral("顧客数")},
        {kGroupValues, 2, 9, QStringLiteral("ＤＭ送付数")},
        {kGroupValues, 3, 2, QStringLiteral("A")},
        {kGroupValues, 8, 2, QStringLiteral("X")},
        {kCustomers, 1, 1, QStringLiteral("店番")},
        {kCustomers, 1, 14, QStringLiteral("期間最終来店時刻")},
        {kCustomers, 1, 15, QStringLiteral("最終購買額")},
        {kCustomers, 1, 42, QStringLiteral("メールアドレス")},
        {kAnalysis, 3, 2, QStringLiteral("R5")},
        {kAnalysis, 3, 3, QStringLiteral("F5")},
        {kAnalysis, 3, 7, QStringLiteral("F1")},
        {kAnalysis, 8, 2, QStringLiteral("M1")},
        {kAnalysis, 50, 2, QStringLiteral("R1")},
        {kAnalysis, 55, 2, QStringLiteral("M1")},
        {kAnalysis, 2, 18, QStringLiteral("ランク5")},
        {kAnalysis, 2, 21, QStringLiteral("ランク2")},
        {kAnalysis, 5, 17, QStringLiteral("M")},
    };
    for (const Case& c : cases) {
        const CellValue value = cells(c.sheet).cell(c.row, c.column);
        EXPECT_EQ(value.kind, CellKind::Text)
            << c.sheet.toStdString() << " " << c.row << "," << c.column;
        EXPECT_EQ(value.text, c.text) << c.sheet.toStdString() << " " << c.row << "," << c.column;
    }
    // The classification titles AQ1:AT1 are the program's; nothing of the template stands there.
    const CellStore customers = cells(kCustomers);
    EXPECT_EQ(customers.usedRange().lastColumn, 46);
    EXPECT_TRUE(customers.cell(1, 43).isEmpty());
}

TEST_F(TemplateWorkbookTest, AmountCaptionsSayTenThousandYen) {
    for (const QString& part : package().partNames()) {
        EXPECT_FALSE(QString::fromUtf8(package().part(part)).contains(QStringLiteral("千円")))
            << part.toStdString();
    }
    EXPECT_TRUE(QString::fromUtf8(package().part(QStringLiteral("xl/sharedStrings.xml")))
                    .contains(QStringLiteral("(万円)")));
}

TEST_F(TemplateWorkbookTest, EachNamedChartSitsOnItsSheetAndPlotsThatSheet) {
    struct Expected {
        QString sheet;
        QStringList names;
    };
    const Expected expected[] = {
        {kCondition, {}},
        {kParameters, {}},
        {kGroupValues,
         {QStringLiteral("グラフ 1"), QStringLiteral("右１"), QStringLiteral("右２"),
          QStringLiteral("右３"), QStringLiteral("右４"), QStringLiteral("右５"),
          QStringLiteral("右６"), QStringLiteral("右７")}},
        {kCustomers, {}},
        {kAnalysis,
         {QStringLiteral("GRAF_R5"), QStringLiteral("GRAF_R4"), QStringLiteral("GRAF_R3"),
          QStringLiteral("GRAF_R2"), QStringLiteral("GRAF_R1")}},
        {kMovement, {QStringLiteral("推移グラフ")}},
    };
    for (const Expected& e : expected) {
        QStringList names;
        for (const auto& [name, chartPart] : charts(e.sheet)) {
            names << name;
            const pugi::xml_document chart = Parse(package(), chartPart);
            const pugi::xpath_node_set formulas = chart.select_nodes("//c:f");
            EXPECT_FALSE(formulas.empty()) << name.toStdString();
            for (const pugi::xpath_node& formula : formulas)
                EXPECT_TRUE(
                    Text(formula.node()).startsWith(u'\'' + e.sheet + QStringLiteral("'!$")))
                    << name.toStdString() << ": " << Text(formula.node()).toStdString();
        }
        EXPECT_EQ(names, e.names) << e.sheet.toStdString();
    }
}

// Series i of GRAF_Rn is row t+i of its block, named by B(t+i), over the categories C(t):G(t);
// the chart is a 3-D column chart with a depth axis the program reverses.
TEST_F(TemplateWorkbookTest, AnalysisChartsPlotTheirBlocksRowsAsSeries) {
    const QList<std::pair<QString, QString>> found = charts(kAnalysis);
    ASSERT_EQ(found.size(), 5);
    const int tops[5] = {3, 14, 25, 39, 50};
    const QString quoted = u'\'' + kAnalysis + QStringLiteral("'!");
    for (int block = 0; block < 5; ++block) {
        const int t = tops[block];
        const pugi::xml_document chart = Parse(package(), found[block].second);
        const pugi::xml_node plot = chart.select_node("//c:bar3DChart").node();
        ASSERT_TRUE(plot) << found[block].first.toStdString();
        EXPECT_STREQ(plot.child("c:barDir").attribute("val").value(), "col");
        EXPECT_STREQ(plot.child("c:grouping").attribute("val").value(), "standard");
        EXPECT_TRUE(chart.select_node("//c:serAx"));
        EXPECT_TRUE(chart.select_node("//c:valAx"));
        int i = 0;
        for (pugi::xml_node series : plot.children("c:ser")) {
            ++i;
            const QString row = QString::number(t + i);
            EXPECT_EQ(Text(series.select_node("c:tx/c:strRef/c:f").node()),
                      quoted + QStringLiteral("$B$") + row);
            EXPECT_EQ(Text(series.select_node("c:cat/c:strRef/c:f").node()),
                      quoted + QStringLiteral("$C$%1:$G$%1").arg(t));
            EXPECT_EQ(Text(series.select_node("c:val/c:numRef/c:f").node()),
                      quoted + QStringLiteral("$C$%1:$G$%1").arg(t + i));
            // The cached values are the cells' values.
            const CellStore store = cells(kAnalysis);
            EXPECT_EQ(
                Text(series.select_node("c:val/c:numRef/c:numCache/c:pt[@idx='4']/c:v").node())
                    .toDouble(),
                store.cell(t + i, 7).number);
        }
        EXPECT_EQ(i, 5);
    }
}

TEST_F(TemplateWorkbookTest, GroupValueChartsPlotTheirColumnsByGroup) {
    const QList<std::pair<QString, QString>> found = charts(kGroupValues);
    ASSERT_EQ(found.size(), 8);
    const QString quoted = u'\'' + kGroupValues + QStringLiteral("'!");

    const pugi::xml_document left = Parse(package(), found[0].second);
    const pugi::xml_node plot = left.select_node("//c:bar3DChart").node();
    ASSERT_TRUE(plot);
    EXPECT_STREQ(plot.child("c:grouping").attribute("val").value(), "clustered");
    EXPECT_STREQ(plot.child("c:shape").attribute("val").value(), "box");
    QStringList values;
    for (pugi::xml_node series : plot.children("c:ser"))
        values << Text(series.select_node("c:val/c:numRef/c:f").node());
    EXPECT_EQ(values, QStringList({quoted + QStringLiteral("$F$3:$F$8"),
                                   quoted + QStringLiteral("$G$3:$G$8")}));

    const QString columns = QStringLiteral("CDEFGHI");
    for (int n = 1; n <= 7; ++n) {
        const pugi::xml_document right = Parse(package(), found[n].second);
        const pugi::xml_node pie = right.select_node("//c:pieChart").node();
        ASSERT_TRUE(pie) << n;
        const QString column = columns.mid(n - 1, 1);
        EXPECT_EQ(Text(pie.select_node("c:ser/c:val/c:numRef/c:f").node()),
                  quoted + QStringLiteral("$%1$3:$%1$8").arg(column));
        EXPECT_EQ(Text(pie.select_node("c:ser/c:cat/c:strRef/c:f").node()),
                  quoted + QStringLiteral("$B$3:$B$8"));
        EXPECT_EQ(Text(right.select_node("//c:title/c:tx/c:strRef/c:f").node()),
                  quoted + QStringLiteral("$%1$2").arg(column));
    }
}

// Where each earlier group went: one horizontal bar per group A to X (B12:B17, the first on top),
// its parts the groups now and 対象外 (C to I, named in row 11), stacked to 100 %.
TEST_F(TemplateWorkbookTest, TheMovementChartStacksTheCountTablesColumnsPerEarlierGroup) {
    const QList<std::pair<QString, QString>> found = charts(kMovement);
    ASSERT_EQ(found.size(), 1);
    const pugi::xml_document chart = Parse(package(), found[0].second);
    const pugi::xml_node plot = chart.select_node("//c:barChart").node();
    ASSERT_TRUE(plot);
    EXPECT_STREQ(plot.child("c:barDir").attribute("val").value(), "bar");
    EXPECT_STREQ(plot.child("c:grouping").attribute("val").value(), "percentStacked");
    EXPECT_STREQ(plot.child("c:overlap").attribute("val").value(), "100");
    EXPECT_STREQ(
        chart.select_node("//c:catAx/c:scaling/c:orientation").node().attribute("val").value(),
        "maxMin");
    const QString quoted = u'\'' + kMovement + QStringLiteral("'!");
    const QString columns = QStringLiteral("CDEFGHI");
    int i = 0;
    for (pugi::xml_node series : plot.children("c:ser")) {
        const QString column = columns.mid(i++, 1);
        EXPECT_EQ(Text(series.select_node("c:tx/c:strRef/c:f").node()),
                  quoted + QStringLiteral("$%1$11").arg(column));
        EXPECT_EQ(Text(series.select_node("c:cat/c:strRef/c:f").node()),
                  quoted + QStringLiteral("$B$12:$B$17"));
        EXPECT_EQ(Text(series.select_node("c:val/c:numRef/c:f").node()),
                  quoted + QStringLiteral("$%1$12:$%1$17").arg(column));
    }
    EXPECT_EQ(i, 7);
    const CellStore store = cells(kMovement);
    EXPECT_EQ(store.cell(11, 9).text, QStringLiteral("対象外"));
    EXPECT_EQ(store.cell(18, 2).text, QStringLiteral("新規"));
    EXPECT_EQ(store.cell(19, 2).text, QStringLiteral("合計"));
}

TEST_F(TemplateWorkbookTest, SheetsPrintLandscapeInAJapaneseFontTheTablesToThePageWidth) {
    for (const auto& [name, part] : sheets()) {
        const pugi::xml_document sheet = Parse(package(), part);
        const pugi::xml_node setup = Descendant(sheet, "pageSetup");
        EXPECT_STREQ(setup.attribute("orientation").value(), "landscape") << name.toStdString();
        const pugi::xml_node pane = Descendant(sheet, "pane");
        if (name == kCustomers) {
            // The list prints at full size, its heading row frozen on screen.
            EXPECT_FALSE(setup.attribute("fitToWidth"));
            EXPECT_FALSE(Descendant(sheet, "pageSetUpPr"));
            EXPECT_STREQ(pane.attribute("ySplit").value(), "1");
            EXPECT_STREQ(pane.attribute("state").value(), "frozen");
        } else {
            EXPECT_STREQ(setup.attribute("fitToWidth").value(), "1");
            EXPECT_STREQ(setup.attribute("fitToHeight").value(), "0");
            EXPECT_STREQ(Descendant(sheet, "pageSetUpPr").attribute("fitToPage").value(), "1");
            EXPECT_FALSE(pane) << name.toStdString();
        }
    }
    const pugi::xml_document styles = Parse(package(), QStringLiteral("xl/styles.xml"));
    for (const pugi::xpath_node& font : styles.select_nodes("//font")) {
        EXPECT_STREQ(font.node().child("name").attribute("val").value(), "IPAPGothic");
        EXPECT_STREQ(font.node().child("charset").attribute("val").value(), "128");
    }
}

// Formats as the engine reads them back: amounts with thousands separators, the legend and the
// group rows in the report's palette colours, the threshold cells bordered blanks.
TEST_F(TemplateWorkbookTest, CellFormatsReadBackThroughTheEngine) {
    Styles styles;
    QString error;
    ASSERT_TRUE(styles.load(package().part(QStringLiteral("xl/styles.xml")), &error))
        << error.toStdString();
    const QString thousands = QStringLiteral("#,##0");
    EXPECT_EQ(styles.numberFormatCode(cells(kAnalysis).cell(4, 3).style), thousands);
    EXPECT_EQ(styles.numberFormatCode(cells(kAnalysis).cell(55, 7).style), thousands);
    EXPECT_EQ(styles.numberFormatCode(cells(kGroupValues).cell(3, 4).style), thousands);
    EXPECT_EQ(styles.numberFormatCode(cells(kGroupValues).cell(8, 9).style), thousands);

    const int groupColors[6] = {3, 45, 10, 8, 24, 15};
    const CellStore parameters = cells(kParameters);
    const CellStore groupValues = cells(kGroupValues);
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(styles.fillColorIndex(parameters.cell(33 + g, 2).style), groupColors[g]) << g;
        EXPECT_EQ(styles.fillColorIndex(groupValues.cell(3 + g, 2).style), groupColors[g]) << g;
    }
    EXPECT_GT(styles.fontSize(cells(kCondition).cell(1, 2).style), 11);
    // Matrix and threshold cells exist as styled blanks, so the program's fills keep the border.
    EXPECT_TRUE(parameters.cell(16, 35).isEmpty());
    EXPECT_NE(parameters.cell(16, 35).style, 0);
    EXPECT_NE(cells(kAnalysis).cell(5, 21).style, 0);
}

// The edits the report makes to these charts: scale, bar colours and reversed depth on the
// analysis charts, the chart type on the group-value charts.
TEST_F(TemplateWorkbookTest, TakesTheReportsChartEdits) {
    for (const auto& [name, part] : charts(kAnalysis)) {
        ChartXml chart;
        QString error;
        ASSERT_TRUE(chart.load(package().part(part), &error)) << error.toStdString();
        EXPECT_EQ(chart.chartTypeCode(), ChartXml::Column3D) << name.toStdString();
        EXPECT_TRUE(chart.setValueAxisScale(0, 120, &error)) << error.toStdString();
        EXPECT_TRUE(chart.setPointColor(1, 1, 3, &error)) << error.toStdString();
        EXPECT_TRUE(chart.setPointColor(5, 5, 15, &error)) << error.toStdString();
        EXPECT_TRUE(chart.setSeriesAxisReversed(&error)) << error.toStdString();
        EXPECT_EQ(chart.pointColorIndex(5, 5), 15);
    }
    const QList<std::pair<QString, QString>> groupCharts = charts(kGroupValues);
    ASSERT_EQ(groupCharts.size(), 8);
    for (int n = 0; n < groupCharts.size(); ++n) {
        ChartXml original;
        QString error;
        ASSERT_TRUE(original.load(package().part(groupCharts[n].second), &error));
        EXPECT_EQ(original.chartTypeCode(), n == 0 ? ChartXml::Column3DClustered : ChartXml::Pie);
        const QList<int> codes = n == 0 ? QList<int>{51, 53} : QList<int>{5, 51, 57, -4120, 65, 92};
        for (int code : codes) {
            ChartXml chart;
            ASSERT_TRUE(chart.load(package().part(groupCharts[n].second), &error));
            EXPECT_TRUE(chart.setChartType(code, &error)) << code << ": " << error.toStdString();
            EXPECT_EQ(chart.chartTypeCode(), code);
            EXPECT_EQ(chart.formulas(), original.formulas()) << code;
        }
    }
}

// LibreOffice as an outside reader: it must accept the package and print it.
TEST_F(TemplateWorkbookTest, LibreOfficeConvertsItToPdf) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir out;
    QTemporaryDir profile;
    // LibreOffice picks the import filter by extension; the template's .EXL is an .xlsx.
    const QString input = out.filePath(QStringLiteral("PLWAN40X.xlsx"));
    ASSERT_TRUE(QFile::copy(sPath, input));
    QProcess process;
    process.start(soffice, {QStringLiteral("--headless"),
                            QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                            QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                            QStringLiteral("--outdir"), out.path(), input});
    ASSERT_TRUE(process.waitForFinished(180000));
    const QFileInfo pdf(out.filePath(QStringLiteral("PLWAN40X.pdf")));
    ASSERT_TRUE(pdf.exists()) << process.readAllStandardError().toStdString();
    EXPECT_GT(pdf.size(), 10000);
}
