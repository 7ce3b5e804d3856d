#include "tools/template/ChartSkeleton.h"

#include "workbook/CellAddress.h"
#include "workbook/SheetReference.h"

#include <pugixml.hpp>

#include <sstream>

namespace plw::ChartSkeleton {

namespace {

constexpr const char* kFont = "IPAPGothic";
constexpr int kCategoryAxis = 111;
constexpr int kValueAxis = 112;
constexpr int kSeriesAxis = 113;
// Series colours when a series names none. The package has no theme, and a reader that takes
// automatic colours from the theme would otherwise leave the bars unfilled.
const char* const kSeriesColors[] = {"3366FF", "FF6600", "339966", "FFCC00", "9966CC", "33CCCC"};

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

pugi::xml_node Add(pugi::xml_node parent, const char* name) {
    return parent.append_child(name);
}

// <name val="value"/>
pugi::xml_node AddVal(pugi::xml_node parent, const char* name, const char* value) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute("val") = value;
    return node;
}

pugi::xml_node AddVal(pugi::xml_node parent, const char* name, int value) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute("val") = value;
    return node;
}

void AddText(pugi::xml_node parent, const char* name, const QString& text) {
    parent.append_child(name).text() = Utf8(text).constData();
}

void AddSolidFill(pugi::xml_node parent, const QString& rgb) {
    AddVal(Add(parent, "a:solidFill"), "a:srgbClr", Utf8(rgb).constData());
}

// Run properties naming the Japanese font for Latin and East Asian text.
void AddFonts(pugi::xml_node runProperties) {
    runProperties.append_child("a:latin").append_attribute("typeface") = kFont;
    runProperties.append_child("a:ea").append_attribute("typeface") = kFont;
}

// <c:txPr>: the default text of an element (size in hundredths of a point).
void AddTextProperties(pugi::xml_node parent, int size, bool bold) {
    pugi::xml_node txPr = Add(parent, "c:txPr");
    Add(txPr, "a:bodyPr");
    Add(txPr, "a:lstStyle");
    pugi::xml_node paragraph = Add(txPr, "a:p");
    pugi::xml_node defaults = Add(Add(paragraph, "a:pPr"), "a:defRPr");
    defaults.append_attribute("sz") = size;
    defaults.append_attribute("b") = bold ? 1 : 0;
    AddFonts(defaults);
    Add(paragraph, "a:endParaRPr").append_attribute("lang") = "ja-JP";
}

void AddStringReference(pugi::xml_node parent, const QString& formula, const QStringList& texts) {
    pugi::xml_node reference = Add(parent, "c:strRef");
    AddText(reference, "c:f", formula);
    pugi::xml_node cache = Add(reference, "c:strCache");
    AddVal(cache, "c:ptCount", int(texts.size()));
    for (int i = 0; i < texts.size(); ++i) {
        pugi::xml_node point = Add(cache, "c:pt");
        point.append_attribute("idx") = i;
        AddText(point, "c:v", texts[i]);
    }
}

void AddNumberReference(pugi::xml_node parent, const QString& formula, const QList<double>& values,
                        const QString& format) {
    pugi::xml_node reference = Add(parent, "c:numRef");
    AddText(reference, "c:f", formula);
    pugi::xml_node cache = Add(reference, "c:numCache");
    AddText(cache, "c:formatCode", format);
    AddVal(cache, "c:ptCount", int(values.size()));
    for (int i = 0; i < values.size(); ++i) {
        pugi::xml_node point = Add(cache, "c:pt");
        point.append_attribute("idx") = i;
        AddText(point, "c:v", QString::number(values[i], 'g', 15));
    }
}

void AddTitle(pugi::xml_node chartNode, const Chart& chart) {
    pugi::xml_node title = Add(chartNode, "c:title");
    pugi::xml_node tx = Add(title, "c:tx");
    AddStringReference(tx, chart.titleFormula, {chart.title});
    Add(title, "c:layout");
    AddVal(title, "c:overlay", 0);
    AddTextProperties(title, 1200, true);
}

// <c:dLbls> labelling every slice with its share; a slice of nothing stays unlabelled.
void AddPercentLabels(pugi::xml_node parent) {
    pugi::xml_node labels = Add(parent, "c:dLbls");
    pugi::xml_node format = Add(labels, "c:numFmt");
    format.append_attribute("formatCode") = "0%;;;";
    format.append_attribute("sourceLinked") = 0;
    AddTextProperties(labels, 800, false);
    // Outside the slices the figures read on every group colour, the dark ones too.
    AddVal(labels, "c:dLblPos", "outEnd");
    for (const char* shown : {"c:showLegendKey", "c:showVal", "c:showCatName", "c:showSerName"})
        AddVal(labels, shown, 0);
    AddVal(labels, "c:showPercent", 1);
    AddVal(labels, "c:showBubbleSize", 0);
    AddVal(labels, "c:showLeaderLines", 1);
}

void AddSeries(pugi::xml_node plot, const Series& series, int index, bool bars, bool percentLabels,
               const QString& format) {
    pugi::xml_node ser = Add(plot, "c:ser");
    AddVal(ser, "c:idx", index);
    AddVal(ser, "c:order", index);
    AddStringReference(Add(ser, "c:tx"), series.nameFormula, {series.name});
    if (!series.color.isEmpty())
        AddSolidFill(Add(ser, "c:spPr"), series.color);
    else if (series.pointColors.isEmpty())
        AddSolidFill(Add(ser, "c:spPr"), QString::fromLatin1(kSeriesColors[index % 6]));
    if (bars)
        AddVal(ser, "c:invertIfNegative", 0);
    for (int i = 0; i < series.pointColors.size(); ++i) {
        pugi::xml_node point = Add(ser, "c:dPt");
        AddVal(point, "c:idx", i);
        if (bars)
            AddVal(point, "c:invertIfNegative", 0);
        AddVal(point, "c:bubble3D", 0);
        pugi::xml_node shape = Add(point, "c:spPr");
        AddSolidFill(shape, series.pointColors[i]);
        AddSolidFill(Add(shape, "a:ln"), QStringLiteral("FFFFFF"));
    }
    if (percentLabels)
        AddPercentLabels(ser);
    AddStringReference(Add(ser, "c:cat"), series.categoriesFormula, series.categories);
    AddNumberReference(Add(ser, "c:val"), series.valuesFormula, series.values, format);
}

void AddAxisCommon(pugi::xml_node axis, int id, const char* position, bool reversed = false) {
    AddVal(axis, "c:axId", id);
    AddVal(Add(axis, "c:scaling"), "c:orientation", reversed ? "maxMin" : "minMax");
    AddVal(axis, "c:delete", 0);
    AddVal(axis, "c:axPos", position);
}

// crosses: where this axis crosses the other one ("autoZero", or "max" for its far end).
void AddAxisTicks(pugi::xml_node axis, int crossAxis, const char* crosses = "autoZero") {
    AddVal(axis, "c:majorTickMark", "out");
    AddVal(axis, "c:minorTickMark", "none");
    AddVal(axis, "c:tickLblPos", "nextTo");
    AddTextProperties(axis, 900, false);
    AddVal(axis, "c:crossAx", crossAxis);
    AddVal(axis, "c:crosses", crosses);
}

void AddAxes(pugi::xml_node plotArea, const Chart& chart) {
    // Horizontal bars list their categories from the bottom up: reversed, the first is on top,
    // and the value axis crosses at the last one, which keeps it at the bottom.
    const bool horizontal = chart.kind == Kind::PercentBar;
    pugi::xml_node category = Add(plotArea, "c:catAx");
    AddAxisCommon(category, kCategoryAxis, horizontal ? "l" : "b", horizontal);
    pugi::xml_node categoryFormat = Add(category, "c:numFmt");
    categoryFormat.append_attribute("formatCode") = "General";
    categoryFormat.append_attribute("sourceLinked") = 1;
    AddAxisTicks(category, kValueAxis);
    AddVal(category, "c:auto", 1);
    AddVal(category, "c:lblAlgn", "ctr");
    AddVal(category, "c:lblOffset", 100);
    AddVal(category, "c:noMultiLvlLbl", 0);

    pugi::xml_node value = Add(plotArea, "c:valAx");
    AddAxisCommon(value, kValueAxis, horizontal ? "b" : "l");
    Add(value, "c:majorGridlines");
    pugi::xml_node valueFormat = Add(value, "c:numFmt");
    valueFormat.append_attribute("formatCode") =
        horizontal ? "0%" : Utf8(chart.numberFormat).constData();
    valueFormat.append_attribute("sourceLinked") = 0;
    AddAxisTicks(value, kCategoryAxis, horizontal ? "max" : "autoZero");
    AddVal(value, "c:crossBetween", "between");

    if (chart.kind == Kind::Column3D) {
        pugi::xml_node series = Add(plotArea, "c:serAx");
        AddAxisCommon(series, kSeriesAxis, "b");
        AddAxisTicks(series, kValueAxis);
    }
}

} // namespace

QString RangeFormula(const QString& sheet, int row1, int column1, int row2, int column2) {
    QString formula = SheetReference::Quoted(sheet) + QStringLiteral("!$") +
                      CellAddress::ColumnLetters(column1) + u'$' + QString::number(row1);
    if (row1 != row2 || column1 != column2)
        formula += QStringLiteral(":$") + CellAddress::ColumnLetters(column2) + u'$' +
                   QString::number(row2);
    return formula;
}

QByteArray Xml(const Chart& chart) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";

    pugi::xml_node space = document.append_child("c:chartSpace");
    space.append_attribute("xmlns:c") = "http://schemas.openxmlformats.org/drawingml/2006/chart";
    space.append_attribute("xmlns:a") = "http://schemas.openxmlformats.org/drawingml/2006/main";
    space.append_attribute("xmlns:r") =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    AddVal(space, "c:date1904", 0);
    AddVal(space, "c:lang", "ja-JP");
    AddVal(space, "c:roundedCorners", 0);

    pugi::xml_node chartNode = Add(space, "c:chart");
    if (!chart.titleFormula.isEmpty())
        AddTitle(chartNode, chart);
    AddVal(chartNode, "c:autoTitleDeleted", chart.titleFormula.isEmpty() ? 1 : 0);
    const bool bars = chart.kind != Kind::Pie;
    const bool flat = chart.kind == Kind::PercentBar;
    if (bars && !flat) {
        pugi::xml_node view = Add(chartNode, "c:view3D");
        AddVal(view, "c:rotX", 15);
        AddVal(view, "c:rotY", 20);
        AddVal(view, "c:depthPercent", 100);
        AddVal(view, "c:rAngAx", 1);
    }

    pugi::xml_node plotArea = Add(chartNode, "c:plotArea");
    Add(plotArea, "c:layout");
    pugi::xml_node plot;
    if (flat) {
        plot = Add(plotArea, "c:barChart");
        AddVal(plot, "c:barDir", "bar");
        AddVal(plot, "c:grouping", "percentStacked");
        AddVal(plot, "c:varyColors", 0);
    } else if (bars) {
        plot = Add(plotArea, "c:bar3DChart");
        AddVal(plot, "c:barDir", "col");
        AddVal(plot, "c:grouping", chart.kind == Kind::Column3D ? "standard" : "clustered");
        AddVal(plot, "c:varyColors", 0);
    } else {
        plot = Add(plotArea, "c:pieChart");
        AddVal(plot, "c:varyColors", 1);
    }
    for (int i = 0; i < chart.series.size(); ++i)
        AddSeries(plot, chart.series[i], i, bars, !bars && chart.percentLabels, chart.numberFormat);
    if (flat) {
        AddVal(plot, "c:gapWidth", 50);
        AddVal(plot, "c:overlap", 100);
        AddVal(plot, "c:axId", kCategoryAxis);
        AddVal(plot, "c:axId", kValueAxis);
        AddAxes(plotArea, chart);
    } else if (bars) {
        AddVal(plot, "c:gapWidth", 150);
        AddVal(plot, "c:shape", "box");
        AddVal(plot, "c:axId", kCategoryAxis);
        AddVal(plot, "c:axId", kValueAxis);
        if (chart.kind == Kind::Column3D)
            AddVal(plot, "c:axId", kSeriesAxis);
        AddAxes(plotArea, chart);
    } else {
        AddVal(plot, "c:firstSliceAng", 0);
    }

    if (chart.legend) {
        pugi::xml_node legend = Add(chartNode, "c:legend");
        AddVal(legend, "c:legendPos", "r");
        AddVal(legend, "c:overlay", 0);
    }
    AddVal(chartNode, "c:plotVisOnly", 1);
    AddVal(chartNode, "c:dispBlanksAs", "gap");

    AddTextProperties(space, 900, false);
    pugi::xml_node print = Add(space, "c:printSettings");
    Add(print, "c:headerFooter");
    pugi::xml_node margins = Add(print, "c:pageMargins");
    for (const char* side : {"b", "l", "r", "t"})
        margins.append_attribute(side) = side[0] == 'b' || side[0] == 't' ? 0.75 : 0.7;
    margins.append_attribute("header") = 0.3;
    margins.append_attribute("footer") = 0.3;
    Add(print, "c:pageSetup");
    std::ostringstream out;
    document.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return QByteArray::fromStdString(out.str());
}

} // namespace plw::ChartSkeleton
