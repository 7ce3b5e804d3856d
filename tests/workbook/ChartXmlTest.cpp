#include "workbook/ChartXml.h"
#include "report/LibreOfficeConverter.h"
#include "workbook/OoxmlPackage.h"

#include "tests/support/Printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

using namespace plw;

namespace {

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kChartSpaceOpen =
    "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<c:date1904 val=\"0\"/><c:lang val=\"ja-JP\"/><c:roundedCorners val=\"0\"/>";
const QByteArray kChartEnd = "<c:legend><c:legendPos val=\"r\"/><c:overlay val=\"0\"/></c:legend>"
                             "<c:plotVisOnly val=\"1\"/><c:dispBlanksAs val=\"gap\"/></c:chart>"
                             "</c:chartSpace>";

// The sheet the template's R charts plot, as a formula names it.
const QByteArray kSheet = "'\xe5\x85\x83\xe8\xa7\xa3\xe6\x9e\x90\xef\xbc\x91'"; // '元解析１'

QByteArray Series(int index, int order, int row, const QByteArray& extra = {}) {
    const QByteArray r = QByteArray::number(row);
    QByteArray points;
    for (int p = 0; p < 5; ++p)
        points += "<c:pt idx=\"" + QByteArray::number(p) + "\"><c:v>" +
                  QByteArray::number(row * 10 + p) + "</c:v></c:pt>";
    return "<c:ser><c:idx val=\"" + QByteArray::number(index) + "\"/><c:order val=\"" +
           QByteArray::number(order) + "\"/><c:tx><c:strRef><c:f>" + kSheet + "!$B$" + r +
           "</c:f></c:strRef></c:tx><c:invertIfNegative val=\"0\"/>" + extra +
           "<c:cat><c:strRef><c:f>" + kSheet +
           "!$C$2:$G$2</c:f></c:strRef></c:cat><c:val><c:numRef><c:f>" + kSheet + "!$C$" + r +
           ":$G$" + r +
           "</c:f><c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"5\"/>" + points +
           "</c:numCache></c:numRef></c:val></c:ser>";
}

QByteArray CategoryAxis(int id, int cross, const char* position) {
    return "<c:catAx><c:axId val=\"" + QByteArray::number(id) +
           "\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete val=\"0\"/>"
           "<c:axPos val=\"" +
           QByteArray(position) +
           "\"/><c:numFmt formatCode=\"General\" sourceLinked=\"1\"/><c:majorTickMark "
           "val=\"out\"/><c:minorTickMark val=\"none\"/><c:tickLblPos val=\"nextTo\"/>"
           "<c:crossAx val=\"" +
           QByteArray::number(cross) +
           "\"/><c:crosses val=\"autoZero\"/><c:auto val=\"1\"/><c:lblAlgn val=\"ctr\"/>"
           "<c:lblOffset val=\"100\"/><c:noMultiLvlLbl val=\"0\"/></c:catAx>";
}

QByteArray ValueAxis(int id, int cross, const char* position) {
    return "<c:valAx><c:axId val=\"" + QByteArray::number(id) +
           "\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete val=\"0\"/>"
           "<c:axPos val=\"" +
           QByteArray(position) +
           "\"/><c:majorGridlines/><c:numFmt formatCode=\"General\" sourceLinked=\"1\"/>"
           "<c:majorTickMark val=\"out\"/><c:minorTickMark val=\"none\"/>"
           "<c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"" +
           QByteArray::number(cross) +
           "\"/><c:crosses val=\"autoZero\"/><c:crossBetween val=\"between\"/></c:valAx>";
}

// The template's R chart: a 3-D column chart of a 5 x 5 block, rows as series, with a depth axis.
QByteArray Column3DChart() {
    QByteArray series;
    for (int s = 0; s < 5; ++s)
        series += Series(s, s, 3 + s);
    return kDeclaration + kChartSpaceOpen +
           "<c:chart><c:autoTitleDeleted val=\"1\"/><c:view3D><c:rotX val=\"15\"/><c:rotY "
           "val=\"20\"/><c:depthPercent val=\"100\"/><c:rAngAx val=\"0\"/><c:perspective "
           "val=\"30\"/></c:view3D><c:floor><c:thickness val=\"0\"/></c:floor><c:sideWall>"
           "<c:thickness val=\"0\"/></c:sideWall><c:backWall><c:thickness val=\"0\"/>"
           "</c:backWall><c:plotArea><c:layout/><c:bar3DChart><c:barDir val=\"col\"/>"
           "<c:grouping val=\"standard\"/><c:varyColors val=\"0\"/>" +
           series +
           "<c:gapWidth val=\"150\"/><c:shape val=\"box\"/><c:axId val=\"81\"/>"
           "<c:axId val=\"82\"/><c:axId val=\"83\"/></c:bar3DChart>" +
           CategoryAxis(81, 82, "b") + ValueAxis(82, 81, "l") +
           "<c:serAx><c:axId val=\"83\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
           "<c:delete val=\"0\"/><c:axPos val=\"b\"/><c:majorTickMark val=\"out\"/>"
           "<c:minorTickMark val=\"none\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"82\"/>"
           "<c:crosses val=\"autoZero\"/></c:serAx></c:plotArea>" +
           kChartEnd;
}

// A 2-D clustered column chart whose series are listed against their plot order; the second
// in the document already has its first point coloured, with an outline.
QByteArray BarChart() {
    const QByteArray colouredPoint =
        "<c:dPt><c:idx val=\"0\"/><c:invertIfNegative val=\"0\"/><c:bubble3D val=\"0\"/>"
        "<c:spPr><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill><a:ln><a:solidFill>"
        "<a:srgbClr val=\"000000\"/></a:solidFill></a:ln></c:spPr></c:dPt>";
    return kDeclaration + kChartSpaceOpen +
           "<c:chart><c:autoTitleDeleted val=\"1\"/><c:plotArea><c:layout/><c:barChart>"
           "<c:barDir val=\"col\"/><c:grouping val=\"clustered\"/><c:varyColors val=\"0\"/>" +
           Series(0, 1, 3) + Series(1, 0, 4, colouredPoint) +
           "<c:dLbls><c:dLblPos val=\"outEnd\"/><c:showLegendKey val=\"0\"/><c:showVal "
           "val=\"1\"/><c:showCatName val=\"0\"/><c:showSerName val=\"0\"/><c:showPercent "
           "val=\"0\"/><c:showBubbleSize val=\"0\"/></c:dLbls><c:gapWidth val=\"150\"/>"
           "<c:axId val=\"7\"/><c:axId val=\"8\"/></c:barChart>" +
           CategoryAxis(7, 8, "b") + ValueAxis(8, 7, "l") + "</c:plotArea>" + kChartEnd;
}

// The group-value pie: one series of six groups, no axes.
QByteArray PieChart() {
    return kDeclaration + kChartSpaceOpen +
           "<c:chart><c:autoTitleDeleted val=\"1\"/><c:plotArea><c:layout/><c:pieChart>"
           "<c:varyColors val=\"1\"/><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:cat>"
           "<c:strRef><c:f>Sheet1!$B$3:$B$8</c:f></c:strRef></c:cat><c:val><c:numRef>"
           "<c:f>Sheet1!$C$3:$C$8</c:f></c:numRef></c:val></c:ser><c:firstSliceAng val=\"0\"/>"
           "</c:pieChart></c:plotArea>" +
           kChartEnd;
}

ChartXml Load(const QByteArray& xml) {
    ChartXml chart;
    QString error;
    EXPECT_TRUE(chart.load(xml, &error)) << error.toStdString();
    return chart;
}

// The chart as another reader sees it: saved and parsed again.
ChartXml Reloaded(const ChartXml& chart) {
    return Load(chart.toXml());
}

pugi::xml_node ChildByLocalName(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node child : node.children()) {
        const char* colon = std::strchr(child.name(), ':');
        if (std::strcmp(colon ? colon + 1 : child.name(), name) == 0)
            return child;
    }
    return {};
}

std::vector<pugi::xml_node> Select(const pugi::xml_document& document, const char* xpath) {
    std::vector<pugi::xml_node> out;
    for (const pugi::xpath_node& found : document.select_nodes(xpath))
        out.push_back(found.node());
    return out;
}

QString LocalName(const pugi::xml_node& node) {
    const char* colon = std::strchr(node.name(), ':');
    return QString::fromUtf8(colon ? colon + 1 : node.name());
}

QStringList LocalNames(const pugi::xml_node& node) {
    QStringList out;
    for (pugi::xml_node child : node.children())
        out << LocalName(child);
    return out;
}

QStringList Names(std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* name : names)
        out << QString::fromUtf8(name);
    return out;
}

void Parse(const ChartXml& chart, pugi::xml_document* document) {
    const QByteArray xml = chart.toXml();
    ASSERT_TRUE(document->load_buffer(xml.constData(), size_t(xml.size())));
}

QString Val(const pugi::xml_node& node, const char* child) {
    return QString::fromUtf8(ChildByLocalName(node, child).attribute("val").value());
}

TEST(ChartXmlTest, ValueAxisScaleIsSetReadBackAndCleared) {
    ChartXml chart = Load(Column3DChart());
    double min = -1, max = -1;
    EXPECT_FALSE(chart.valueAxisScale(&min, &max));

    QString error;
    ASSERT_TRUE(chart.setValueAxisScale(0, 1234567.5, &error)) << error.toStdString();
    ASSERT_TRUE(chart.setValueAxisScale(0, 120, &error)); // a second call replaces the first
    ChartXml read = Reloaded(chart);
    ASSERT_TRUE(read.valueAxisScale(&min, &max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 120);
    pugi::xml_document document;
    Parse(chart, &document);
    const auto scalings = Select(document, "//*[local-name()='valAx']/*[local-name()='scaling']");
    ASSERT_EQ(scalings.size(), 1u);
    EXPECT_EQ(LocalNames(scalings[0]), Names({"orientation", "max", "min"}));

    ASSERT_TRUE(read.clearValueAxisScale(&error));
    EXPECT_FALSE(Reloaded(read).valueAxisScale(&min, &max));

    // No value axis, or no range: refused with a reason.
    ChartXml pie = Load(PieChart());
    error.clear();
    EXPECT_FALSE(pie.setValueAxisScale(0, 10, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(chart.setValueAxisScale(10, 0, &error));
    EXPECT_FALSE(chart.setValueAxisScale(0, std::nan(""), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ChartXmlTest, PointColoursAtTheCornersOfTheBlock) {
    struct Case {
        int series, point, color;
    };
    const Case corners[] = {{1, 1, 3}, {1, 5, 4}, {5, 1, 10}, {5, 5, 45}};
    ChartXml chart = Load(Column3DChart());
    QString error;
    for (const Case& c : corners)
        ASSERT_TRUE(chart.setPointColor(c.series, c.point, c.color, &error)) << error.toStdString();
    ChartXml read = Reloaded(chart);
    for (const Case& c : corners)
        EXPECT_EQ(read.pointColorIndex(c.series, c.point), c.color) << c.series << "," << c.point;
    EXPECT_EQ(read.pointColorIndex(3, 3), 0);
    EXPECT_EQ(read.pointColorIndex(1, 2), 0);

    // dPt sits between invertIfNegative and cat, points in order, each as Excel writes it.
    pugi::xml_document document;
    Parse(chart, &document);
    const auto series = Select(document, "//*[local-name()='ser']");
    ASSERT_EQ(series.size(), 5u);
    EXPECT_EQ(LocalNames(series[0]),
              Names({"idx", "order", "tx", "invertIfNegative", "dPt", "dPt", "cat", "val"}));
    const pugi::xml_node first = ChildByLocalName(series[0], "dPt");
    EXPECT_EQ(LocalNames(first), Names({"idx", "invertIfNegative", "bubble3D", "spPr"}));
    EXPECT_EQ(Val(first, "idx"), u"0");
    EXPECT_EQ(Val(first.next_sibling(), "idx"), u"4");
    EXPECT_STREQ(first.select_node(".//*[local-name()='srgbClr']").node().attribute("val").value(),
                 "FF0000");
}

TEST(ChartXmlTest, PointColourReplacesAnExistingPointAndFollowsPlotOrder) {
    // Series 1 in plot order is the second <c:ser> (c:order 0); its point 1 is already red.
    ChartXml chart = Load(BarChart());
    EXPECT_EQ(chart.pointColorIndex(1, 1), 3);
    EXPECT_EQ(chart.pointColorIndex(2, 1), 0);
    QString error;
    ASSERT_TRUE(chart.setPointColor(1, 1, 5, &error)) << error.toStdString();
    ASSERT_TRUE(chart.setPointColor(2, 3, 6, &error));
    ASSERT_TRUE(chart.setPointColor(2, 2, 4, &error));

    ChartXml read = Reloaded(chart);
    EXPECT_EQ(read.pointColorIndex(1, 1), 5);
    EXPECT_EQ(read.pointColorIndex(2, 3), 6);
    EXPECT_EQ(read.pointColorIndex(2, 2), 4);
    EXPECT_EQ(read.pointColorIndex(2, 1), 0);
    pugi::xml_document document;
    Parse(chart, &document);
    const auto series = Select(document, "//*[local-name()='ser']");
    ASSERT_EQ(series.size(), 2u);
    // One point replaced in place, its outline kept after the new fill.
    const auto replaced = Select(document, "//*[local-name()='ser'][2]/*[local-name()='dPt']");
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(LocalNames(ChildByLocalName(replaced[0], "spPr")), Names({"solidFill", "ln"}));
    // Points added out of order are kept in order.
    const auto added = Select(document, "//*[local-name()='ser'][1]/*[local-name()='dPt']");
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(Val(added[0], "idx"), u"1");
    EXPECT_EQ(Val(added[1], "idx"), u"2");

    struct Case {
        int series, point, color;
    };
    for (const Case& c : {Case{0, 1, 3}, Case{3, 1, 3}, Case{1, 0, 3}, Case{1, 6, 3}, Case{1, 1, 0},
                          Case{1, 1, 57}}) {
        error.clear();
        EXPECT_FALSE(chart.setPointColor(c.series, c.point, c.color, &error))
            << c.series << "," << c.point << "," << c.color;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ChartXmlTest, SeriesAxisReversed) {
    ChartXml chart = Load(Column3DChart());
    EXPECT_FALSE(chart.seriesAxisReversed());
    QString error;
    ASSERT_TRUE(chart.setSeriesAxisReversed(&error)) << error.toStdString();
    EXPECT_TRUE(Reloaded(chart).seriesAxisReversed());
    EXPECT_EQ(chart.toXml().count("maxMin"), 1);

    ChartXml bar = Load(BarChart());
    EXPECT_FALSE(bar.setSeriesAxisReversed(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(bar.seriesAxisReversed());
}

struct AxisCheck {
    QStringList kinds; // local names of the plot area's axes, in order
    bool idsConsistent = true;
};

// The plot area's axes, and whether the chart-type element names exactly them and each crosses
// another of them.
AxisCheck Axes(const pugi::xml_document& document) {
    AxisCheck check;
    const pugi::xml_node plot = document.select_node("//*[local-name()='plotArea']").node();
    QStringList ids;
    QStringList plotted;
    for (pugi::xml_node child : plot.children()) {
        const QString name = LocalName(child);
        if (name.endsWith(u"Ax")) {
            check.kinds << name;
            ids << Val(child, "axId");
        } else if (name.endsWith(u"Chart")) {
            for (pugi::xml_node id : child.children())
                if (std::strstr(id.name(), "axId"))
                    plotted << QString::fromUtf8(id.attribute("val").value());
        }
    }
    check.idsConsistent = plotted == ids;
    for (pugi::xml_node child : plot.children())
        if (LocalName(child).endsWith(u"Ax")) {
            const QString cross = Val(child, "crossAx");
            check.idsConsistent =
                check.idsConsistent && ids.contains(cross) && cross != Val(child, "axId");
        }
    return check;
}

TEST(ChartXmlTest, EveryChartTypeKeepsTheSeriesAndGetsItsAxes) {
    struct Case {
        int code;
        const char* element;
        QStringList axes;
    };
    const QStringList none;
    const QStringList flat = Names({"catAx", "valAx"});
    const QStringList deep = Names({"catAx", "valAx", "serAx"});
    const Case cases[] = {
        {5, "pieChart", none},       {-4120, "doughnutChart", none}, {51, "barChart", flat},
        {52, "barChart", flat},      {53, "barChart", flat},         {57, "barChart", flat},
        {58, "barChart", flat},      {59, "barChart", flat},         {4, "lineChart", flat},
        {65, "lineChart", flat},     {54, "bar3DChart", flat},       {92, "bar3DChart", flat},
        {-4100, "bar3DChart", deep},
    };
    for (const QByteArray& fixture : {Column3DChart(), BarChart(), PieChart()}) {
        const ChartXml original = Load(fixture);
        const int seriesCount = int(fixture.count("<c:ser>"));
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "from " << original.chartTypeCode() << " to " << c.code);
            ChartXml chart = Load(fixture);
            ASSERT_TRUE(chart.setPointColor(1, 2, 45, nullptr));
            QString error;
            ASSERT_TRUE(chart.setChartType(c.code, &error)) << error.toStdString();
            ChartXml read = Reloaded(chart);
            EXPECT_EQ(read.chartTypeCode(), c.code);
            QStringList formulas = read.formulas();
            QStringList expected = original.formulas();
            formulas.sort();
            expected.sort();
            EXPECT_EQ(formulas, expected);
            EXPECT_EQ(read.pointColorIndex(1, 2), 45);

            pugi::xml_document document;
            Parse(chart, &document);
            EXPECT_EQ(Select(document, "//*[local-name()='ser']").size(), size_t(seriesCount));
            const auto elements =
                Select(document, (std::string("//*[local-name()='") + c.element + "']").c_str());
            ASSERT_EQ(elements.size(), 1u);
            const AxisCheck axes = Axes(document);
            EXPECT_EQ(axes.kinds, c.axes);
            EXPECT_TRUE(axes.idsConsistent);
            const bool is3D = std::strcmp(c.element, "bar3DChart") == 0;
            EXPECT_EQ(Select(document, "//*[local-name()='view3D']").size(), is3D ? 1u : 0u);
            if (is3D) {
                EXPECT_EQ(Val(elements[0], "shape"),
                          c.code == 92 ? QStringLiteral("cylinder") : QStringLiteral("box"));
            }
            if (c.code == 57) {
                EXPECT_EQ(Val(ChildByLocalName(elements[0].parent(), "catAx"), "axPos"), u"l");
                EXPECT_EQ(Val(ChildByLocalName(elements[0].parent(), "valAx"), "axPos"), u"b");
            }
            // Labels carried over lose a position the new type may not allow.
            if (c.code != original.chartTypeCode()) {
                EXPECT_EQ(chart.toXml().count("dLblPos"), 0);
            }
        }
    }
}

TEST(ChartXmlTest, ChartTypeUnknownCodeAndSameTypeLeaveTheChartAlone) {
    ChartXml chart = Load(Column3DChart());
    const QByteArray before = chart.toXml();
    EXPECT_EQ(chart.chartTypeCode(), -4100);
    QString error;
    EXPECT_TRUE(chart.setChartType(-4100, &error));
    EXPECT_EQ(chart.toXml(), before);
    EXPECT_FALSE(chart.setChartType(1, &error));
    EXPECT_TRUE(error.contains(u"1"));
    EXPECT_EQ(chart.toXml(), before);

    // Turning the template's chart into a pie and back to columns gives new, crossing axes.
    ASSERT_TRUE(chart.setChartType(5, &error));
    ASSERT_TRUE(chart.setChartType(51, &error));
    pugi::xml_document document;
    Parse(chart, &document);
    const AxisCheck axes = Axes(document);
    EXPECT_EQ(axes.kinds, Names({"catAx", "valAx"}));
    EXPECT_TRUE(axes.idsConsistent);
    EXPECT_TRUE(chart.setValueAxisScale(0, 5, &error));
}

// A 100 % stacked chart plots shares of 1: its value axis reads in percent; a chart leaving that
// type shows its figures as their cells do again, and other changes keep the axis' own format.
TEST(ChartXmlTest, AHundredPercentChartShowsItsValueAxisInPercent) {
    const auto format = [](const ChartXml& chart) {
        pugi::xml_document document;
        Parse(chart, &document);
        const auto found = Select(document, "//*[local-name()='valAx']/*[local-name()='numFmt']");
        return found.empty() ? QString()
                             : QString::fromUtf8(found[0].attribute("formatCode").value()) + u'/' +
                                   QString::fromUtf8(found[0].attribute("sourceLinked").value());
    };
    ChartXml chart = Load(BarChart());
    const QString own = format(chart);
    QString error;
    for (const auto& [code, expected] : std::initializer_list<std::pair<int, QString>>{
             {ChartXml::ColumnClustered, own},
             {ChartXml::ColumnStacked100, u"0%/0"_qs},
             {ChartXml::BarStacked100, u"0%/0"_qs},
             {ChartXml::ColumnClustered, u"General/1"_qs},
             {ChartXml::Pie, QString()},
             {ChartXml::ColumnStacked100, u"0%/0"_qs}}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(chart.setChartType(code, &error)) << error.toStdString();
        EXPECT_EQ(format(Reloaded(chart)), expected);
    }
}

// Shares of the whole stay on a pie's labels where the new type has a whole (a doughnut) and go
// from every other type, taking labels that then show nothing with them; value labels stay.
TEST(ChartXmlTest, PercentLabelsStayOnlyOnRoundCharts) {
    QByteArray pie = PieChart();
    pie.replace("<c:cat>", "<c:dLbls><c:numFmt formatCode=\"0%\" sourceLinked=\"0\"/>"
                           "<c:dLblPos val=\"bestFit\"/><c:showLegendKey val=\"0\"/>"
                           "<c:showVal val=\"0\"/><c:showCatName val=\"0\"/>"
                           "<c:showSerName val=\"0\"/><c:showPercent val=\"1\"/>"
                           "<c:showBubbleSize val=\"0\"/></c:dLbls><c:cat>");
    const struct {
        QByteArray fixture;
        int code;
        int labels;   // dLbls elements left
        int percents; // labels showing shares
    } cases[] = {
        {pie, -4120, 1, 1}, {pie, 51, 0, 0}, {pie, 57, 0, 0},
        {pie, 65, 0, 0},    {pie, 92, 0, 0}, {BarChart(), 5, 1, 0},
    };
    for (const auto& c : cases) {
        ChartXml chart = Load(c.fixture);
        QString error;
        ASSERT_TRUE(chart.setChartType(c.code, &error)) << error.toStdString();
        const QByteArray xml = Reloaded(chart).toXml();
        EXPECT_EQ(xml.count("<c:dLbls>"), c.labels) << c.code;
        EXPECT_EQ(xml.count("<c:showPercent val=\"1\"/>"), c.percents) << c.code;
        EXPECT_EQ(xml.count("dLblPos"), 0) << c.code;
    }
}

TEST(ChartXmlTest, RenameSheetFollowsQuotedAndUnquotedReferences) {
    struct Case {
        const char* before;
        const char* oldName;
        const char* newName;
        const char* after;
    };
    const Case cases[] = {
        {"'\xe5\x85\x83\xe8\xa7\xa3\xe6\x9e\x90\xef\xbc\x91'!$C$3:$G$3",
         "\xe5\x85\x83\xe8\xa7\xa3\xe6\x9e\x90\xef\xbc\x91", "R\xe4\xba\xba\xe6\x95\xb0",
         "'R\xe4\xba\xba\xe6\x95\xb0'!$C$3:$G$3"},
        {"Sheet1!$B$3:$B$8", "sheet1", "Group values", "'Group values'!$B$3:$B$8"},
        {"'Bob''s data'!$A$1", "Bob's data", "Ann's", "'Ann''s'!$A$1"},
        {"(Sheet1!$A$1,Sheet1!$C$1)", "Sheet1", "New", "('New'!$A$1,'New'!$C$1)"},
        {"Other!$A$1", "Sheet1", "New", "Other!$A$1"},
        {"'Sheet1 (2)'!$A$1", "Sheet1", "New", "'Sheet1 (2)'!$A$1"},
    };
    for (const Case& c : cases) {
        const QByteArray xml = kDeclaration + kChartSpaceOpen +
                               "<c:chart><c:plotArea><c:barChart><c:ser><c:idx val=\"0\"/>"
                               "<c:order val=\"0\"/><c:val><c:numRef><c:f>" +
                               QByteArray(c.before).replace("'", "&apos;") +
                               "</c:f></c:numRef></c:val></c:ser></c:barChart></c:plotArea>" +
                               kChartEnd;
        ChartXml chart = Load(xml);
        chart.renameSheet(QString::fromUtf8(c.oldName), QString::fromUtf8(c.newName));
        EXPECT_EQ(Reloaded(chart).formulas(), QStringList{QString::fromUtf8(c.after)}) << c.before;
    }
}

CellValue NumberCell(double value) {
    CellValue cell;
    cell.kind = CellKind::Number;
    cell.number = value;
    return cell;
}

CellValue TextCell(const char* text) {
    CellValue cell;
    cell.kind = CellKind::Text;
    cell.text = QString::fromUtf8(text);
    return cell;
}

CellValue CurrencyCell(qint64 scaled) {
    CellValue cell;
    cell.kind = CellKind::Currency;
    cell.currency = Currency::fromScaled(scaled);
    return cell;
}

// A cache as its point count and points: "5: 0=30 1=31".
QString CacheText(const pugi::xml_node& cache) {
    QString out = Val(cache, "ptCount") + u':';
    for (pugi::xml_node child : cache.children())
        if (LocalName(child) == u"pt")
            out += u' ' + QString::fromUtf8(child.attribute("idx").value()) + u'=' +
                   QString::fromUtf8(ChildByLocalName(child, "v").text().get());
    return out;
}

TEST(ChartXmlTest, RefreshCachesFromTheCellsTheFormulasName) {
    // The block of the fixture's sheet: headers in row 2, series names in column B; cells not
    // listed are blank.
    std::map<std::pair<int, int>, CellValue> cells = {
        {{2, 3}, TextCell("C")},       {{2, 4}, TextCell("D")},
        {{2, 5}, NumberCell(2026)},    {{2, 7}, CurrencyCell(125000)},
        {{3, 2}, TextCell("S3")},      {{4, 2}, NumberCell(4)},
        {{3, 3}, NumberCell(30.5)},    {{3, 4}, CurrencyCell(12345678)},
        {{3, 5}, NumberCell(1.0 / 3)}, {{3, 6}, NumberCell(0.1 + 0.2)},
        {{3, 7}, NumberCell(-34)},     {{5, 6}, TextCell("n/a")},
    };
    for (int row = 4; row <= 7; ++row)
        for (int column = 3; column <= 7; ++column)
            if (!(row == 4 && column == 5) && !(row == 5 && column == 6))
                cells[{row, column}] = NumberCell(row * 100 + column - 3);
    const QString sheet = QString::fromUtf8("\xe5\x85\x83\xe8\xa7\xa3\xe6\x9e\x90\xef\xbc\x91");
    const auto lookup = [&](const QString& name, int row, int column) -> std::optional<CellValue> {
        if (name != sheet)
            return std::nullopt;
        const auto found = cells.find({row, column});
        return found == cells.end() ? CellValue() : found->second;
    };

    ChartXml chart = Load(Column3DChart().replace("General</c:formatCode>", "0.0</c:formatCode>"));
    chart.refreshCaches(lookup);
    pugi::xml_document document;
    Parse(chart, &document);
    const auto series = Select(document, "//*[local-name()='ser']");
    ASSERT_EQ(series.size(), 5u);
    const auto cache = [&](int s, const char* parent, const char* reference, const char* name) {
        return ChildByLocalName(
            ChildByLocalName(ChildByLocalName(series[size_t(s)], parent), reference), name);
    };
    struct Case {
        int series;
        const char* name;   // series name (one cell)
        const char* values; // the row's five values
    };
    // Blank and text cells have no point in a number cache, blanks none in a text cache.
    const Case cases[] = {
        {0, "1: 0=S3", "5: 0=30.5 1=1234.5678 2=0.333333333333333 3=0.3 4=-34"},
        {1, "1: 0=4", "5: 0=400 1=401 3=403 4=404"},
        {2, "1:", "5: 0=500 1=501 2=502 4=504"},
        {4, "1:", "5: 0=700 1=701 2=702 3=703 4=704"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.series);
        EXPECT_EQ(CacheText(cache(c.series, "tx", "strRef", "strCache")),
                  QString::fromUtf8(c.name));
        const pugi::xml_node values = cache(c.series, "val", "numRef", "numCache");
        EXPECT_EQ(CacheText(values), QString::fromUtf8(c.values));
        EXPECT_EQ(QString::fromUtf8(ChildByLocalName(values, "formatCode").text().get()), u"0.0");
        EXPECT_EQ(LocalNames(values).mid(0, 3), Names({"formatCode", "ptCount", "pt"}));
        // The categories had no cache: one is made after the formula, numbers as their text.
        const pugi::xml_node categories = cache(c.series, "cat", "strRef", "strCache");
        EXPECT_EQ(CacheText(categories), u"5: 0=C 1=D 2=2026 4=12.5");
        EXPECT_EQ(LocalNames(categories.parent()), Names({"f", "strCache"}));
        EXPECT_STREQ(categories.name(), "c:strCache");
    }
    EXPECT_EQ(Reloaded(chart).formulas(), Load(Column3DChart()).formulas());
}

TEST(ChartXmlTest, RefreshCachesLeavesWhatItCannotReadAlone) {
    struct Case {
        const char* formula;
        bool cached;       // the reference has a cache ("1: 0=7") before
        const char* after; // the cache after; nullptr: the part is unchanged
    };
    const Case cases[] = {
        {"Sheet1!$B$4", true, "1: 0=402"},
        {"'Bob''s data'!$A$1:$A$2", true, "2: 0=101 1=201"},
        {"'a'!$C$4:$E$4", true, "3: 0=403 1=404 2=405"},
        {"Sheet1!$B$4:$B$5", false, "2: 0=402 1=502"},
        {"Other!$A$1", true, nullptr},
        {"Other!$A$1", false, nullptr},
        {"('a'!$C$4,'a'!$E$4)", true, nullptr},
        {"'a'!$C$4:$E$5", true, nullptr},
        {"'a'!C:C", true, nullptr},
        {"Data", true, nullptr},
        {"$C$4", true, nullptr},
        {"[1]Sheet1!$A$1", true, nullptr},
        {"'a!$A$1", true, nullptr},
    };
    const QStringList sheets = {QStringLiteral("Sheet1"), QStringLiteral("Bob's data"),
                                QStringLiteral("a")};
    const auto lookup = [&](const QString& name, int row, int column) -> std::optional<CellValue> {
        if (!sheets.contains(name))
            return std::nullopt;
        return NumberCell(row * 100 + column);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        const QByteArray cache =
            c.cached ? "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"1\"/>"
                       "<c:pt idx=\"0\"><c:v>7</c:v></c:pt></c:numCache>"
                     : "";
        ChartXml chart =
            Load(kDeclaration + kChartSpaceOpen +
                 "<c:chart><c:plotArea><c:barChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
                 "<c:val><c:numRef><c:f>" +
                 QByteArray(c.formula) + "</c:f>" + cache +
                 "<c:extLst/></c:numRef></c:val></c:ser></c:barChart></c:plotArea>" + kChartEnd);
        const QByteArray before = chart.toXml();
        chart.refreshCaches(lookup);
        if (!c.after) {
            EXPECT_EQ(chart.toXml(), before);
            continue;
        }
        pugi::xml_document document;
        Parse(chart, &document);
        const pugi::xml_node reference = document.select_node("//*[local-name()='numRef']").node();
        EXPECT_EQ(LocalNames(reference), Names({"f", "numCache", "extLst"}));
        const pugi::xml_node refreshed = ChildByLocalName(reference, "numCache");
        EXPECT_EQ(CacheText(refreshed), QString::fromUtf8(c.after));
        EXPECT_STREQ(ChildByLocalName(refreshed, "formatCode").text().get(), "General");
    }
}

TEST(ChartXmlTest, RefusesAPartThatIsNotAChart) {
    ChartXml chart;
    QString error;
    EXPECT_FALSE(chart.load("<c:chartSpace", &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(chart.load("<worksheet><sheetData/></worksheet>", &error));
    EXPECT_FALSE(error.isEmpty());
}

const QString kRelationshipBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

// A one-sheet workbook ("元解析１", the 5 x 5 block of the chart fixtures in B2:G7) with one
// drawing that shows every chart given.
OoxmlPackage WorkbookWithCharts(const QList<QByteArray>& charts) {
    OoxmlPackage package;
    QString error;
    package.setPart(QStringLiteral("[Content_Types].xml"),
                    kDeclaration + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                                   "content-types\"><Default Extension=\"xml\" "
                                   "ContentType=\"application/xml\"/></Types>");
    EXPECT_TRUE(package.setDefaultContentType(
        QStringLiteral("rels"),
        QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"), &error));
    const QString workbook = QStringLiteral("xl/workbook.xml");
    const QString sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    const QString drawing = QStringLiteral("xl/drawings/drawing1.xml");
    package.setPart(workbook, kDeclaration +
                                  "<workbook xmlns=\"http://schemas.openxmlformats.org/"
                                  "spreadsheetml/2006/main\" xmlns:r=\"http://schemas."
                                  "openxmlformats.org/officeDocument/2006/relationships\">"
                                  "<sheets><sheet name=" +
                                  QByteArray(kSheet).replace('\'', '"') +
                                  " sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    QByteArray rows = "<row r=\"2\">";
    for (char column = 'C'; column <= 'G'; ++column)
        rows += "<c r=\"" + QByteArray(1, column) + "2\" t=\"inlineStr\"><is><t>" +
                QByteArray(1, column) + "</t></is></c>";
    rows += "</row>";
    for (int row = 3; row <= 7; ++row) {
        const QByteArray r = QByteArray::number(row);
        rows += "<row r=\"" + r + "\"><c r=\"B" + r + "\" t=\"inlineStr\"><is><t>S" + r +
                "</t></is></c>";
        for (int p = 0; p < 5; ++p)
            rows += "<c r=\"" + QByteArray(1, char('C' + p)) + r + "\"><v>" +
                    QByteArray::number(row * 10 + p) + "</v></c>";
        rows += "</row>";
    }
    package.setPart(sheet, kDeclaration +
                               "<worksheet xmlns=\"http://schemas.openxmlformats.org/"
                               "spreadsheetml/2006/main\" xmlns:r=\"http://schemas."
                               "openxmlformats.org/officeDocument/2006/relationships\">"
                               "<sheetData>" +
                               rows + "</sheetData><drawing r:id=\"rId1\"/></worksheet>");
    QByteArray anchors;
    for (int i = 0; i < charts.size(); ++i) {
        const QString part = QStringLiteral("xl/charts/chart%1.xml").arg(i + 1);
        package.setPart(part, charts[i]);
        EXPECT_TRUE(package.setContentTypeOverride(
            part,
            QStringLiteral("application/vnd.openxmlformats-officedocument.drawingml.chart+xml"),
            &error));
        const QString id =
            package.addRelationship(drawing, kRelationshipBase + QStringLiteral("chart"),
                                    QStringLiteral("../charts/chart%1.xml").arg(i + 1), &error);
        const QByteArray top = QByteArray::number(i * 16);
        const QByteArray bottom = QByteArray::number(i * 16 + 15);
        anchors += "<xdr:twoCellAnchor><xdr:from><xdr:col>8</xdr:col><xdr:colOff>0</xdr:colOff>"
                   "<xdr:row>" +
                   top +
                   "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to>"
                   "<xdr:col>16</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" +
                   bottom +
                   "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to><xdr:graphicFrame macro=\"\">"
                   "<xdr:nvGraphicFramePr><xdr:cNvPr id=\"" +
                   QByteArray::number(i + 2) + "\" name=\"GRAF_R" + QByteArray::number(i + 1) +
                   "\"/>"
                   "<xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr><xdr:xfrm><a:off x=\"0\" "
                   "y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm><a:graphic><a:graphicData "
                   "uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"><c:chart "
                   "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
                   "r:id=\"" +
                   id.toUtf8() +
                   "\"/></a:graphicData></a:graphic></xdr:graphicFrame>"
                   "<xdr:clientData/></xdr:twoCellAnchor>";
    }
    package.setPart(drawing, kDeclaration +
                                 "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/"
                                 "drawingml/2006/spreadsheetDrawing\" xmlns:a=\"http://schemas."
                                 "openxmlformats.org/drawingml/2006/main\" xmlns:r=\"http://"
                                 "schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
                                 anchors + "</xdr:wsDr>");
    const QString type = QStringLiteral("application/vnd.openxmlformats-officedocument.");
    EXPECT_TRUE(package.setContentTypeOverride(
        workbook, type + QStringLiteral("spreadsheetml.sheet.main+xml"), &error));
    EXPECT_TRUE(package.setContentTypeOverride(
        sheet, type + QStringLiteral("spreadsheetml.worksheet+xml"), &error));
    EXPECT_TRUE(
        package.setContentTypeOverride(drawing, type + QStringLiteral("drawing+xml"), &error));
    package.addRelationship(QString(), kRelationshipBase + QStringLiteral("officeDocument"),
                            workbook, &error);
    package.addRelationship(workbook, kRelationshipBase + QStringLiteral("worksheet"),
                            QStringLiteral("worksheets/sheet1.xml"), &error);
    package.addRelationship(sheet, kRelationshipBase + QStringLiteral("drawing"),
                            QStringLiteral("../drawings/drawing1.xml"), &error);
    return package;
}

// LibreOffice as an outside reader: it must take the edited charts as they are meant, and its
// own export of them must read back the same.
TEST(ChartXmlLibreOfficeTest, EditedChartsSurviveAConversion) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QString error;
    ChartXml edited = Load(Column3DChart());
    ASSERT_TRUE(edited.setValueAxisScale(0, 120, &error)) << error.toStdString();
    ASSERT_TRUE(edited.setPointColor(1, 1, 3, &error));
    ASSERT_TRUE(edited.setPointColor(5, 5, 45, &error));
    ASSERT_TRUE(edited.setSeriesAxisReversed(&error));
    QList<QByteArray> charts{edited.toXml()};
    const QList<int> codes{92, 57, 65, 53, -4120};
    for (int code : codes) {
        ChartXml changed = Load(code == 53 ? BarChart() : Column3DChart());
        ASSERT_TRUE(changed.setChartType(code, &error)) << code << error.toStdString();
        charts << changed.toXml();
    }

    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("charts.xlsx"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
    const QString output = dir.filePath(QStringLiteral("out/charts.xlsx"));
    ASSERT_TRUE(WorkbookWithCharts(charts).save(input, &error)) << error.toStdString();
    ASSERT_TRUE(LibreOfficeConverter::Convert(input, output, WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();

    OoxmlPackage converted;
    ASSERT_TRUE(converted.open(output, &error)) << error.toStdString();
    QList<int> found;
    for (const QString& name : converted.partNames()) {
        if (!name.startsWith(u"xl/charts/chart") || !name.endsWith(u".xml"))
            continue;
        ChartXml chart = Load(converted.part(name));
        found << chart.chartTypeCode();
        if (chart.chartTypeCode() != -4100)
            continue;
        double min = -1, max = -1;
        EXPECT_TRUE(chart.valueAxisScale(&min, &max));
        EXPECT_EQ(min, 0);
        EXPECT_EQ(max, 120);
        EXPECT_EQ(chart.pointColorIndex(1, 1), 3);
        EXPECT_EQ(chart.pointColorIndex(5, 5), 45);
        EXPECT_EQ(chart.pointColorIndex(3, 3), 0);
        EXPECT_TRUE(chart.seriesAxisReversed());
    }
    std::sort(found.begin(), found.end());
    QList<int> expected = codes;
    expected << -4100;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

} // namespace
