#include "workbook/ChartXml.h"

#include "workbook/CellAddress.h"
#include "workbook/EngineError.h"
#include "workbook/Palette.h"
#include "workbook/SheetReference.h"
#include "workbook/XmlPart.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace plw {

using XmlPart::Attribute;
using XmlPart::Child;
using XmlPart::HasLocalName;
using XmlPart::LocalName;

namespace {

const char kDrawingNamespace[] = "http://schemas.openxmlformats.org/drawingml/2006/main";

// What a chart-type code is made of in DrawingML.
struct ChartKind {
    int code;
    const char* element;  // local name of the chart-type element
    const char* barDir;   // bar and column charts
    const char* grouping; // bar, column and line charts
    const char* shape;    // 3-D columns
    bool seriesAxis;      // 3-D columns one behind the other
    bool markers;         // line charts
};

constexpr ChartKind kKinds[] = {
    {ChartXml::Pie, "pieChart", nullptr, nullptr, nullptr, false, false},
    {ChartXml::Doughnut, "doughnutChart", nullptr, nullptr, nullptr, false, false},
    {ChartXml::ColumnClustered, "barChart", "col", "clustered", nullptr, false, false},
    {ChartXml::ColumnStacked, "barChart", "col", "stacked", nullptr, false, false},
    {ChartXml::ColumnStacked100, "barChart", "col", "percentStacked", nullptr, false, false},
    {ChartXml::BarClustered, "barChart", "bar", "clustered", nullptr, false, false},
    {ChartXml::BarStacked, "barChart", "bar", "stacked", nullptr, false, false},
    {ChartXml::BarStacked100, "barChart", "bar", "percentStacked", nullptr, false, false},
    {ChartXml::Line, "lineChart", nullptr, "standard", nullptr, false, false},
    {ChartXml::LineMarkers, "lineChart", nullptr, "standard", nullptr, false, true},
    {ChartXml::Column3DClustered, "bar3DChart", "col", "clustered", "box", false, false},
    {ChartXml::CylinderColumnClustered, "bar3DChart", "col", "clustered", "cylinder", false, false},
    {ChartXml::Column3D, "bar3DChart", "col", "standard", "box", true, false},
};

const ChartKind* KindOf(int code) {
    for (const ChartKind& kind : kKinds)
        if (kind.code == code)
            return &kind;
    return nullptr;
}

bool IsElement(const ChartKind& kind, const char* element) {
    return std::strcmp(kind.element, element) == 0;
}
bool IsBar(const ChartKind& kind) {
    return IsElement(kind, "barChart") || IsElement(kind, "bar3DChart");
}
bool IsRound(const ChartKind& kind) {
    return IsElement(kind, "pieChart") || IsElement(kind, "doughnutChart");
}

const char* const kChartTypeElements[] = {
    "areaChart",    "area3DChart",  "lineChart",      "line3DChart",   "stockChart", "radarChart",
    "scatterChart", "pieChart",     "pie3DChart",     "doughnutChart", "barChart",   "bar3DChart",
    "ofPieChart",   "surfaceChart", "surface3DChart", "bubbleChart"};

bool IsChartTypeElement(const pugi::xml_node& node) {
    if (node.type() != pugi::node_element)
        return false;
    for (const char* name : kChartTypeElements)
        if (HasLocalName(node, name))
            return true;
    return false;
}

bool IsAxis(const pugi::xml_node& node) {
    return node.type() == pugi::node_element &&
           (HasLocalName(node, "catAx") || HasLocalName(node, "valAx") ||
            HasLocalName(node, "dateAx") || HasLocalName(node, "serAx"));
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node, const char* name) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && HasLocalName(child, name))
            out.push_back(child);
    return out;
}

void RemoveChildren(pugi::xml_node node, const char* name) {
    for (pugi::xml_node child : Children(node, name))
        node.remove_child(child);
}

// The val attribute of a child element; "" when there is none.
QString Val(const pugi::xml_node& node, const char* childName) {
    return Attribute(Child(node, childName), "val");
}

// A CT_Boolean element: val defaults to true; fallback when the element is missing.
bool BoolVal(const pugi::xml_node& node, bool fallback) {
    if (!node)
        return fallback;
    const QString val = Attribute(node, "val");
    return val != u"0" && val != u"false";
}

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Number(long long value) {
    return std::to_string(value);
}

// Content models in schema order, for placing a new element among existing ones.
const std::vector<const char*> kChartOrder = {
    "title",        "autoTitleDeleted", "pivotFmts", "view3D", "floor",
    "sideWall",     "backWall",         "plotArea",  "legend", "plotVisOnly",
    "dispBlanksAs", "showDLblsOverMax", "extLst"};
const std::vector<const char*> kAxisOrder = {
    "axId",           "scaling",      "delete",        "axPos",         "majorGridlines",
    "minorGridlines", "title",        "numFmt",        "majorTickMark", "minorTickMark",
    "tickLblPos",     "spPr",         "txPr",          "crossAx",       "crosses",
    "crossesAt",      "crossBetween", "auto",          "lblAlgn",       "lblOffset",
    "baseTimeUnit",   "majorUnit",    "majorTimeUnit", "minorUnit",     "minorTimeUnit",
    "tickLblSkip",    "tickMarkSkip", "noMultiLvlLbl", "dispUnits",     "extLst"};
const std::vector<const char*> kScalingOrder = {"logBase", "orientation", "max", "min", "extLst"};
// The series of every chart type merged: only what comes before dPt matters when placing one.
const std::vector<const char*> kAnySeriesOrder = {
    "idx",    "order",     "tx",    "spPr",  "invertIfNegative", "pictureOptions",
    "marker", "explosion", "dPt",   "dLbls", "trendline",        "errBars",
    "xVal",   "yVal",      "cat",   "val",   "bubbleSize",       "bubble3D",
    "smooth", "shape",     "extLst"};
const std::vector<const char*> kBarSeriesOrder = {"idx",
                                                  "order",
                                                  "tx",
                                                  "spPr",
                                                  "invertIfNegative",
                                                  "pictureOptions",
                                                  "dPt",
                                                  "dLbls",
                                                  "trendline",
                                                  "errBars",
                                                  "cat",
                                                  "val",
                                                  "shape",
                                                  "extLst"};
const std::vector<const char*> kLineSeriesOrder = {
    "idx",       "order",   "tx",  "spPr", "marker", "dPt",   "dLbls",
    "trendline", "errBars", "cat", "val",  "smooth", "extLst"};
const std::vector<const char*> kPieSeriesOrder = {"idx", "order", "tx",  "spPr", "explosion",
                                                  "dPt", "dLbls", "cat", "val",  "extLst"};
const std::vector<const char*> kPointOrder = {
    "idx",  "invertIfNegative", "marker", "bubble3D", "explosion",
    "spPr", "pictureOptions",   "extLst"};
const char* const kFills[] = {"noFill", "solidFill", "gradFill", "blipFill", "pattFill", "grpFill"};
const std::vector<const char*> kShapePropertiesOrder = {
    "xfrm",      "custGeom",  "prstGeom", "noFill",  "solidFill",
    "gradFill",  "blipFill",  "pattFill", "grpFill", "ln",
    "effectLst", "effectDag", "scene3d",  "sp3d",    "extLst"};

int RankOf(const std::vector<const char*>& order, const char* localName) {
    for (size_t i = 0; i < order.size(); ++i)
        if (std::strcmp(order[i], localName) == 0)
            return int(i);
    return -1;
}

// A new element named name in parent, before the first child that the content model places
// after it; children the model does not name are passed over.
pugi::xml_node InsertInOrder(pugi::xml_node parent, const std::string& name, const char* localName,
                             const std::vector<const char*>& order) {
    const int rank = RankOf(order, localName);
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && RankOf(order, LocalName(child)) > rank)
            return parent.insert_child_before(name.c_str(), child);
    }
    return parent.append_child(name.c_str());
}

// Data labels carried over to another chart type. Label positions differ by type (a column's
// "outEnd" is invalid on a line or a 3-D chart), so they fall back to the type's default; a share
// of the whole means something only on a pie or a doughnut, so other types lose the percentages,
// and labels left showing nothing go.
void CarryLabels(pugi::xml_node labels, const ChartKind& kind) {
    std::vector<pugi::xml_node> positions;
    for (const pugi::xpath_node& node : labels.select_nodes(".//*[local-name()='dLblPos']"))
        positions.push_back(node.node());
    for (pugi::xml_node node : positions)
        node.parent().remove_child(node);
    if (IsRound(kind))
        return;
    for (const pugi::xpath_node& node : labels.select_nodes(".//*[local-name()='showPercent']")) {
        pugi::xml_node percent = node.node();
        if (!percent.attribute("val"))
            percent.append_attribute("val");
        percent.attribute("val").set_value("0");
    }
    static const char* const kShown[] = {"showLegendKey", "showVal",     "showCatName",
                                         "showSerName",   "showPercent", "showBubbleSize"};
    for (const pugi::xpath_node& node : labels.select_nodes(".//*"))
        for (const char* shown : kShown)
            if (HasLocalName(node.node(), shown) && BoolVal(node.node(), false))
                return;
    labels.parent().remove_child(labels);
}

long long AxisId(const pugi::xml_node& axisNode) {
    return Val(axisNode, "axId").toLongLong();
}

// One block of cells of one sheet, as a chart formula names it.
struct SheetRange {
    QString sheet;
    CellRect rect;
};

// True when one end of an A1 range names both a column and a row ("$C$4", not "C" or "4").
// The existing axis of one of those kinds to keep: the one the old plot used, else the first.
pugi::xml_node AxisToKeep(const std::vector<pugi::xml_node>& axes,
                          std::initializer_list<const char*> names, const QStringList& plottedOn) {
    pugi::xml_node first;
    for (pugi::xml_node candidate : axes) {
        if (!std::any_of(names.begin(), names.end(),
                         [&](const char* n) { return HasLocalName(candidate, n); }))
            continue;
        if (plottedOn.contains(Val(candidate, "axId")))
            return candidate;
        if (!first)
            first = candidate;
    }
    return first;
}

bool HasRowAndColumn(QStringView corner) {
    const bool letter =
        std::any_of(corner.begin(), corner.end(), [](QChar c) { return c.isLetter(); });
    const bool digit =
        std::any_of(corner.begin(), corner.end(), [](QChar c) { return c.isDigit(); });
    return letter && digit;
}

// The sheet and block of a formula naming one cell or a one-row or one-column range of a sheet
// ('Sheet name'!$C$4:$G$4, Sheet1!$B$4); false for anything else (several areas, names, whole
// rows or columns, another workbook).
bool ParseSheetRange(const QString& formula, SheetRange* range) {
    const QString text = formula.trimmed();
    QString sheet;
    QStringView address;
    // Sheet names never hold brackets: "[1]Sheet1" is a sheet of another workbook.
    if (!SheetReference::Parse(text, &sheet, &address) || sheet.contains(u'[') ||
        sheet.contains(u']'))
        return false;
    for (QStringView corner : address.split(u':'))
        if (!HasRowAndColumn(corner))
            return false;
    CellRect rect;
    if (!CellAddress::ParseRange(address, &rect) ||
        (rect.firstRow != rect.lastRow && rect.firstColumn != rect.lastColumn))
        return false;
    range->sheet = sheet;
    range->rect = rect;
    return true;
}

} // namespace

struct ChartXml::Dom {
    pugi::xml_node plotArea() const;
    std::vector<pugi::xml_node> chartTypeElements() const;
    std::vector<pugi::xml_node> seriesInOrder() const;
    pugi::xml_node series(int number, QString* error) const;
    pugi::xml_node axis(const char* localName) const;
    // A new element in the chart namespace ("c:" prefix as the part uses it), placed in parent
    // at its schema position given by order.
    pugi::xml_node insertChart(pugi::xml_node parent, const char* localName,
                               const std::vector<const char*>& order) const;
    pugi::xml_node appendChart(pugi::xml_node parent, const char* localName) const;
    pugi::xml_node appendChart(pugi::xml_node parent, const char* localName, const char* val) const;
    std::string chartName(const char* localName) const;
    std::string drawingName(const char* localName) const;

    // Makes the plot's axes the ones the chart type needs; plottedOn: axis ids the old plot used.
    void rebuildAxes(pugi::xml_node target, int code, const QStringList& plottedOn,
                     bool fromShares);
    // A new axis of that kind after the plot's element after, with its defaults.
    pugi::xml_node newAxis(pugi::xml_node plot, pugi::xml_node after, const char* name,
                           long long id) const;
    // Moves an axis after another element of the plot, drawn at position ("b", "l") and crossing
    // the axis crossing, and makes the chart-type element target plot on it.
    void placeAxis(pugi::xml_node target, pugi::xml_node node, pugi::xml_node after,
                   const char* position, pugi::xml_node crossing) const;
    void buildSeries(pugi::xml_node target, pugi::xml_node source, int code) const;
    // Rewrites the cache of one c:numRef or c:strRef; false when it is left as it is.
    bool refreshCache(pugi::xml_node reference, const CellLookup& cell);

    pugi::xml_document mDocument;
    std::string mChartPrefix;   // "c:" or "" when the chart namespace is the default one
    std::string mDrawingPrefix; // "a:"
};

ChartXml::ChartXml() : d(std::make_unique<Dom>()) {}
ChartXml::~ChartXml() = default;
ChartXml::ChartXml(ChartXml&&) noexcept = default;
ChartXml& ChartXml::operator=(ChartXml&&) noexcept = default;

bool ChartXml::load(const QByteArray& xml, QString* error) {
    d->mDocument.reset();
    d->mChartPrefix.clear();
    d->mDrawingPrefix.clear();
    if (!XmlPart::Parse(xml, QStringLiteral("chart"), d->mDocument, error))
        return false;
    const pugi::xml_node root = d->mDocument.document_element();
    if (!HasLocalName(root, "chartSpace") || !d->plotArea()) {
        d->mDocument.reset();
        SetEngineError(error, EngineFault::NotChart);
        return false;
    }
    d->mChartPrefix.assign(root.name(), LocalName(root));
    for (pugi::xml_attribute attribute : root.attributes()) {
        const char* name = attribute.name();
        if (std::strncmp(name, "xmlns:", 6) == 0 &&
            std::strcmp(attribute.value(), kDrawingNamespace) == 0) {
            d->mDrawingPrefix = std::string(name + 6) + ':';
            break;
        }
    }
    if (d->mDrawingPrefix.empty()) {
        // Fills need the DrawingML namespace; declare it under a prefix not yet in use.
        std::string prefix = "a";
        for (int n = 1; root.attribute(("xmlns:" + prefix).c_str()); ++n)
            prefix = "a" + std::to_string(n);
        d->mDocument.document_element()
            .append_attribute(("xmlns:" + prefix).c_str())
            .set_value(kDrawingNamespace);
        d->mDrawingPrefix = prefix + ':';
    }
    return true;
}

QByteArray ChartXml::toXml() const {
    return XmlPart::Serialize(d->mDocument);
}

pugi::xml_node ChartXml::Dom::plotArea() const {
    return Child(Child(mDocument.document_element(), "chart"), "plotArea");
}

std::vector<pugi::xml_node> ChartXml::Dom::chartTypeElements() const {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child : plotArea().children())
        if (IsChartTypeElement(child))
            out.push_back(child);
    return out;
}

std::vector<pugi::xml_node> ChartXml::Dom::seriesInOrder() const {
    struct Entry {
        long long key;
        pugi::xml_node node;
    };
    std::vector<Entry> entries;
    for (pugi::xml_node element : chartTypeElements()) {
        for (pugi::xml_node ser : Children(element, "ser")) {
            bool ok = false;
            const long long order = Val(ser, "order").toLongLong(&ok);
            entries.push_back({ok ? order : (long long)entries.size(), ser});
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::vector<pugi::xml_node> out;
    for (const Entry& entry : entries)
        out.push_back(entry.node);
    return out;
}

pugi::xml_node ChartXml::Dom::series(int number, QString* error) const {
    const std::vector<pugi::xml_node> all = seriesInOrder();
    if (number < 1 || size_t(number) > all.size()) {
        SetEngineError(error, EngineFault::SeriesMissing,
                       {QString::number(number), QString::number(all.size())});
        return {};
    }
    return all[size_t(number - 1)];
}

pugi::xml_node ChartXml::Dom::axis(const char* localName) const {
    // The primary axis is the one the first chart-type element plots on.
    QStringList ids;
    const std::vector<pugi::xml_node> elements = chartTypeElements();
    if (!elements.empty())
        for (pugi::xml_node id : Children(elements.front(), "axId"))
            ids << Attribute(id, "val");
    pugi::xml_node first;
    for (pugi::xml_node child : plotArea().children()) {
        if (child.type() != pugi::node_element || !HasLocalName(child, localName))
            continue;
        if (ids.contains(Val(child, "axId")))
            return child;
        if (!first)
            first = child;
    }
    return first;
}

std::string ChartXml::Dom::chartName(const char* localName) const {
    return mChartPrefix + localName;
}

std::string ChartXml::Dom::drawingName(const char* localName) const {
    return mDrawingPrefix + localName;
}

pugi::xml_node ChartXml::Dom::insertChart(pugi::xml_node parent, const char* localName,
                                          const std::vector<const char*>& order) const {
    return InsertInOrder(parent, chartName(localName), localName, order);
}

pugi::xml_node ChartXml::Dom::appendChart(pugi::xml_node parent, const char* localName) const {
    return parent.append_child(chartName(localName).c_str());
}

pugi::xml_node ChartXml::Dom::appendChart(pugi::xml_node parent, const char* localName,
                                          const char* val) const {
    pugi::xml_node node = appendChart(parent, localName);
    node.append_attribute("val").set_value(val);
    return node;
}

bool ChartXml::setValueAxisScale(double minimum, double maximum, QString* error) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum > maximum) {
        SetEngineError(error, EngineFault::ScaleNotRange,
                       {QString::number(minimum), QString::number(maximum)});
        return false;
    }
    pugi::xml_node valueAxis = d->axis("valAx");
    if (!valueAxis) {
        SetEngineError(error, EngineFault::ValueAxisMissing);
        return false;
    }
    pugi::xml_node scaling = Child(valueAxis, "scaling");
    if (!scaling)
        scaling = d->insertChart(valueAxis, "scaling", kAxisOrder);
    RemoveChildren(scaling, "max");
    RemoveChildren(scaling, "min");
    d->insertChart(scaling, "max", kScalingOrder)
        .append_attribute("val")
        .set_value(Number(maximum).c_str());
    d->insertChart(scaling, "min", kScalingOrder)
        .append_attribute("val")
        .set_value(Number(minimum).c_str());
    return true;
}

bool ChartXml::clearValueAxisScale(QString* error) {
    const pugi::xml_node valueAxis = d->axis("valAx");
    if (!valueAxis) {
        SetEngineError(error, EngineFault::ValueAxisMissing);
        return false;
    }
    const pugi::xml_node scaling = Child(valueAxis, "scaling");
    RemoveChildren(scaling, "max");
    RemoveChildren(scaling, "min");
    return true;
}

bool ChartXml::valueAxisScale(double* minimum, double* maximum) const {
    const pugi::xml_node scaling = Child(d->axis("valAx"), "scaling");
    const pugi::xml_node min = Child(scaling, "min");
    const pugi::xml_node max = Child(scaling, "max");
    if (!min && !max)
        return false;
    const auto read = [](const pugi::xml_node& node) {
        bool ok = false;
        const double value = Attribute(node, "val").toDouble(&ok);
        return ok ? value : std::numeric_limits<double>::quiet_NaN();
    };
    if (minimum)
        *minimum = read(min);
    if (maximum)
        *maximum = read(max);
    return true;
}

bool ChartXml::setPointColor(int seriesNumber, int point, int colorIndex, QString* error) {
    if (!Palette::IsValidIndex(colorIndex)) {
        SetEngineError(error, EngineFault::ColourNotInPalette, {QString::number(colorIndex)});
        return false;
    }
    pugi::xml_node ser = d->series(seriesNumber, error);
    if (!ser)
        return false;
    pugi::xml_node values = Child(ser, "val");
    if (!values)
        values = Child(ser, "yVal");
    const pugi::xml_node count = XmlPart::Descendant(values, "ptCount");
    const int points = count ? Attribute(count, "val").toInt() : std::numeric_limits<int>::max();
    if (point < 1 || point > points) {
        SetEngineError(error, EngineFault::PointMissing,
                       {QString::number(seriesNumber), QString::number(point)});
        return false;
    }
    const long long idx = point - 1;

    pugi::xml_node dPt;
    pugi::xml_node later; // the first point after this one, to keep points in order
    for (pugi::xml_node existing : Children(ser, "dPt")) {
        const long long existingIdx = Val(existing, "idx").toLongLong();
        if (existingIdx == idx) {
            dPt = existing;
            break;
        }
        if (existingIdx > idx && !later)
            later = existing;
    }
    if (!dPt) {
        dPt = later ? ser.insert_child_before(d->chartName("dPt").c_str(), later)
                    : d->insertChart(ser, "dPt", kAnySeriesOrder);
        d->appendChart(dPt, "idx", Number(idx).c_str());
        const pugi::xml_node element = ser.parent();
        if (HasLocalName(element, "barChart") || HasLocalName(element, "bar3DChart"))
            d->appendChart(dPt, "invertIfNegative", "0");
        d->appendChart(dPt, "bubble3D", "0");
    }
    pugi::xml_node properties = Child(dPt, "spPr");
    if (!properties)
        properties = d->insertChart(dPt, "spPr", kPointOrder);
    for (const char* fill : kFills)
        RemoveChildren(properties, fill);
    pugi::xml_node solidFill =
        InsertInOrder(properties, d->drawingName("solidFill"), "solidFill", kShapePropertiesOrder);
    solidFill.append_child(d->drawingName("srgbClr").c_str())
        .append_attribute("val")
        .set_value(Palette::RgbHex(colorIndex).toStdString().c_str());
    return true;
}

int ChartXml::pointColorIndex(int seriesNumber, int point) const {
    const pugi::xml_node ser = d->series(seriesNumber, nullptr);
    for (pugi::xml_node dPt : Children(ser, "dPt")) {
        if (Val(dPt, "idx").toLongLong() != point - 1)
            continue;
        const pugi::xml_node color = Child(Child(Child(dPt, "spPr"), "solidFill"), "srgbClr");
        return color ? Palette::IndexOfRgb(Attribute(color, "val")) : 0;
    }
    return 0;
}

bool ChartXml::setSeriesAxisReversed(QString* error) {
    pugi::xml_node seriesAxis = d->axis("serAx");
    if (!seriesAxis) {
        SetEngineError(error, EngineFault::SeriesAxisMissing);
        return false;
    }
    pugi::xml_node scaling = Child(seriesAxis, "scaling");
    if (!scaling)
        scaling = d->insertChart(seriesAxis, "scaling", kAxisOrder);
    pugi::xml_node orientation = Child(scaling, "orientation");
    if (!orientation)
        orientation = d->insertChart(scaling, "orientation", kScalingOrder);
    if (!orientation.attribute("val"))
        orientation.append_attribute("val");
    orientation.attribute("val").set_value("maxMin");
    return true;
}

bool ChartXml::seriesAxisReversed() const {
    return Val(Child(d->axis("serAx"), "scaling"), "orientation") == u"maxMin";
}

QStringList ChartXml::formulas() const {
    QStringList out;
    for (const pugi::xpath_node& found : d->mDocument.select_nodes("//*[local-name()='f']"))
        out << QString::fromUtf8(found.node().text().get());
    return out;
}

void ChartXml::renameSheet(const QString& oldName, const QString& newName) {
    for (const pugi::xpath_node& found : d->mDocument.select_nodes("//*[local-name()='f']")) {
        pugi::xml_text text = found.node().text();
        const QString formula = QString::fromUtf8(text.get());
        const QString renamed = SheetReference::Rename(formula, oldName, newName);
        if (renamed != formula)
            text.set(renamed.toUtf8().constData());
    }
}

void ChartXml::refreshCaches(const CellLookup& cell) {
    std::vector<pugi::xml_node> references;
    for (const pugi::xpath_node& found :
         d->mDocument.select_nodes("//*[local-name()='numRef' or local-name()='strRef']"))
        references.push_back(found.node());
    for (pugi::xml_node reference : references)
        d->refreshCache(reference, cell);
}

bool ChartXml::Dom::refreshCache(pugi::xml_node reference, const CellLookup& cell) {
    const pugi::xml_node formula = Child(reference, "f");
    SheetRange range;
    if (!formula || !ParseSheetRange(QString::fromUtf8(formula.text().get()), &range))
        return false;
    std::vector<CellValue> values;
    for (int row = range.rect.firstRow; row <= range.rect.lastRow; ++row) {
        for (int column = range.rect.firstColumn; column <= range.rect.lastColumn; ++column) {
            std::optional<CellValue> value = cell(range.sheet, row, column);
            if (!value)
                return false;
            values.push_back(std::move(*value));
        }
    }

    const bool numbers = HasLocalName(reference, "numRef");
    const char* cacheName = numbers ? "numCache" : "strCache";
    pugi::xml_node cache = Child(reference, cacheName);
    if (!cache)
        cache = reference.insert_child_after(chartName(cacheName).c_str(), formula);
    // The count and the points are written anew; a number format and extensions stay.
    pugi::xml_node formatCode;
    std::vector<pugi::xml_node> stale;
    for (pugi::xml_node child : cache.children()) {
        if (numbers && !formatCode && HasLocalName(child, "formatCode"))
            formatCode = child;
        else if (child.type() != pugi::node_element || !HasLocalName(child, "extLst"))
            stale.push_back(child);
    }
    for (pugi::xml_node child : stale)
        cache.remove_child(child);
    if (numbers && !formatCode)
        cache.prepend_child(chartName("formatCode").c_str()).text().set("General");
    const pugi::xml_node extensions = Child(cache, "extLst");
    const auto add = [&](const char* localName) {
        const std::string name = chartName(localName);
        return extensions ? cache.insert_child_before(name.c_str(), extensions)
                          : cache.append_child(name.c_str());
    };
    add("ptCount").append_attribute("val").set_value(Number((long long)values.size()).c_str());
    for (size_t i = 0; i < values.size(); ++i) {
        const CellValue& value = values[i];
        QString text;
        switch (value.kind) {
        case CellKind::Blank:
            continue;
        case CellKind::Text:
            if (numbers)
                continue;
            text = value.text;
            break;
        case CellKind::Number:
            text = QString::number(value.number, 'g', 15);
            break;
        case CellKind::Currency:
            text = numbers ? QString::number(value.currency.toDouble(), 'g', 15)
                           : value.currency.toString();
            break;
        }
        pugi::xml_node point = add("pt");
        point.append_attribute("idx").set_value(Number((long long)i).c_str());
        appendChart(point, "v").text().set(text.toUtf8().constData());
    }
    return true;
}

int ChartXml::chartTypeCode() const {
    const std::vector<pugi::xml_node> elements = d->chartTypeElements();
    if (elements.empty())
        return 0;
    const pugi::xml_node element = elements.front();
    if (HasLocalName(element, "pieChart"))
        return Pie;
    if (HasLocalName(element, "doughnutChart"))
        return Doughnut;
    if (HasLocalName(element, "lineChart")) {
        const QString grouping = Val(element, "grouping");
        if (!grouping.isEmpty() && grouping != u"standard")
            return 0;
        if (!BoolVal(Child(element, "marker"), true))
            return Line;
        const std::vector<pugi::xml_node> all = Children(element, "ser");
        const bool anyMarkers = std::any_of(all.begin(), all.end(), [](const pugi::xml_node& s) {
            return Val(Child(s, "marker"), "symbol") != u"none";
        });
        return anyMarkers || all.empty() ? LineMarkers : Line;
    }
    const bool flat = HasLocalName(element, "barChart");
    if (!flat && !HasLocalName(element, "bar3DChart"))
        return 0;
    QString barDir = Val(element, "barDir");
    QString grouping = Val(element, "grouping");
    QString shape = Val(element, "shape");
    if (barDir.isEmpty())
        barDir = QStringLiteral("col");
    if (grouping.isEmpty())
        grouping = QStringLiteral("clustered");
    if (shape.isEmpty())
        shape = QStringLiteral("box");
    for (const ChartKind& kind : kKinds) {
        if (std::strcmp(kind.element, LocalName(element)) != 0 ||
            barDir != QLatin1String(kind.barDir) || grouping != QLatin1String(kind.grouping))
            continue;
        if (flat || shape == QLatin1String(kind.shape))
            return kind.code;
    }
    return 0;
}

bool ChartXml::setChartType(int code, QString* error) {
    const ChartKind* kind = KindOf(code);
    if (!kind) {
        SetEngineError(error, EngineFault::ChartTypeRefused, {QString::number(code)});
        return false;
    }
    const std::vector<pugi::xml_node> elements = d->chartTypeElements();
    if (elements.empty()) {
        SetEngineError(error, EngineFault::ChartTypeNotChangeable);
        return false;
    }
    if (elements.size() == 1 && chartTypeCode() == code)
        return true;

    pugi::xml_node plot = d->plotArea();
    const pugi::xml_node old = elements.front();
    pugi::xml_node target = plot.insert_child_before(d->chartName(kind->element).c_str(), old);
    if (kind->barDir)
        d->appendChart(target, "barDir", kind->barDir);
    if (kind->grouping)
        d->appendChart(target, "grouping", kind->grouping);
    d->appendChart(target, "varyColors", IsRound(*kind) ? "1" : "0");
    for (pugi::xml_node ser : d->seriesInOrder())
        d->buildSeries(d->appendChart(target, "ser"), ser, code);
    if (const pugi::xml_node labels = Child(old, "dLbls"))
        CarryLabels(target.append_copy(labels), *kind);
    if (IsBar(*kind)) {
        const QString gapWidth = Val(old, "gapWidth");
        d->appendChart(target, "gapWidth",
                       gapWidth.isEmpty() ? "150" : gapWidth.toStdString().c_str());
        if (IsElement(*kind, "barChart") && std::strcmp(kind->grouping, "clustered") != 0)
            d->appendChart(target, "overlap", "100");
        if (kind->shape)
            d->appendChart(target, "shape", kind->shape);
    } else if (IsElement(*kind, "lineChart")) {
        d->appendChart(target, "marker", "1");
    } else if (IsRound(*kind)) {
        d->appendChart(target, "firstSliceAng", "0");
        if (IsElement(*kind, "doughnutChart")) {
            const QString holeSize = Val(old, "holeSize");
            d->appendChart(target, "holeSize",
                           holeSize.isEmpty() ? "50" : holeSize.toStdString().c_str());
        }
    }

    QStringList plottedOn;
    for (pugi::xml_node id : Children(old, "axId"))
        plottedOn << Attribute(id, "val");
    const bool fromShares = Val(old, "grouping") == u"percentStacked";
    for (pugi::xml_node element : elements)
        plot.remove_child(element);
    d->rebuildAxes(target, code, plottedOn, fromShares);

    pugi::xml_node chart = Child(d->mDocument.document_element(), "chart");
    pugi::xml_node view3D = Child(chart, "view3D");
    if (IsElement(*kind, "bar3DChart") && !view3D) {
        view3D = d->insertChart(chart, "view3D", kChartOrder);
        d->appendChart(view3D, "rotX", "15");
        d->appendChart(view3D, "rotY", "20");
        d->appendChart(view3D, "rAngAx", "1");
    } else if (!IsElement(*kind, "bar3DChart") && view3D) {
        chart.remove_child(view3D);
    }
    return true;
}

void ChartXml::Dom::buildSeries(pugi::xml_node target, pugi::xml_node source, int code) const {
    const ChartKind& kind = *KindOf(code);
    const bool line = IsElement(kind, "lineChart");
    const std::vector<const char*>& order =
        IsBar(kind) ? kBarSeriesOrder : (line ? kLineSeriesOrder : kPieSeriesOrder);
    for (const char* name : order) {
        // Shape, marker and smoothing belong to the old type; extensions may too.
        if (std::strcmp(name, "shape") == 0 || std::strcmp(name, "marker") == 0 ||
            std::strcmp(name, "smooth") == 0 || std::strcmp(name, "extLst") == 0)
            continue;
        // Scatter and bubble series name their categories and values xVal and yVal.
        const char* alias = std::strcmp(name, "cat") == 0   ? "xVal"
                            : std::strcmp(name, "val") == 0 ? "yVal"
                                                            : nullptr;
        for (pugi::xml_node child : source.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (HasLocalName(child, name)) {
                pugi::xml_node copy = target.append_copy(child);
                if (std::strcmp(name, "dLbls") == 0)
                    CarryLabels(copy, kind);
            } else if (alias && HasLocalName(child, alias)) {
                target.append_copy(child).set_name(chartName(name).c_str());
            }
        }
    }
    if (IsBar(kind) && !Child(target, "invertIfNegative"))
        insertChart(target, "invertIfNegative", order).append_attribute("val").set_value("0");
    if (line) {
        if (!kind.markers)
            appendChart(insertChart(target, "marker", order), "symbol", "none");
        insertChart(target, "smooth", order).append_attribute("val").set_value("0");
    }
}

void ChartXml::Dom::rebuildAxes(pugi::xml_node target, int code, const QStringList& plottedOn,
                                bool fromShares) {
    const ChartKind& kind = *KindOf(code);
    pugi::xml_node plot = plotArea();
    std::vector<pugi::xml_node> axes;
    long long lastId = 50000000;
    for (pugi::xml_node child : plot.children()) {
        if (IsAxis(child)) {
            axes.push_back(child);
            lastId = std::max(lastId, AxisId(child));
        }
    }
    pugi::xml_node category, value, depth;
    if (!IsRound(kind)) {
        category = AxisToKeep(axes, {"catAx", "dateAx"}, plottedOn);
        value = AxisToKeep(axes, {"valAx"}, plottedOn);
        if (kind.seriesAxis)
            depth = AxisToKeep(axes, {"serAx"}, plottedOn);
    }
    for (pugi::xml_node existing : axes)
        if (existing != category && existing != value && existing != depth)
            plot.remove_child(existing);
    if (IsRound(kind))
        return;

    if (!category)
        category = newAxis(plot, target, "catAx", ++lastId);
    if (!value)
        value = newAxis(plot, target, "valAx", ++lastId);
    if (kind.seriesAxis && !depth)
        depth = newAxis(plot, target, "serAx", ++lastId);

    // Axes follow the plot as category, value, series; each crosses the one it is drawn against.
    const bool horizontal = kind.barDir && std::strcmp(kind.barDir, "bar") == 0;
    placeAxis(target, category, target, horizontal ? "l" : "b", value);
    placeAxis(target, value, category, horizontal ? "b" : "l", category);
    if (depth)
        placeAxis(target, depth, value, "b", value);

    // A 100 % chart plots shares of 1: its value axis reads 0 % to 100 %, not 0 / 1 / 1. Leaving
    // one, the axis shows the figures as their cells do.
    const bool shares = kind.grouping && std::strcmp(kind.grouping, "percentStacked") == 0;
    if (shares || fromShares) {
        pugi::xml_node format = Child(value, "numFmt");
        if (!format)
            format = insertChart(value, "numFmt", kAxisOrder);
        for (const char* name : {"formatCode", "sourceLinked"})
            if (!format.attribute(name))
                format.append_attribute(name);
        format.attribute("formatCode").set_value(shares ? "0%" : "General");
        format.attribute("sourceLinked").set_value(shares ? "0" : "1");
    }
}

pugi::xml_node ChartXml::Dom::newAxis(pugi::xml_node plot, pugi::xml_node after, const char* name,
                                      long long id) const {
    pugi::xml_node node = plot.insert_child_after(chartName(name).c_str(), after);
    appendChart(node, "axId", Number(id).c_str());
    appendChart(appendChart(node, "scaling"), "orientation", "minMax");
    appendChart(node, "delete", "0");
    appendChart(node, "axPos", "b");
    if (std::strcmp(name, "valAx") == 0) {
        appendChart(node, "majorGridlines");
        pugi::xml_node format = appendChart(node, "numFmt");
        format.append_attribute("formatCode").set_value("General");
        format.append_attribute("sourceLinked").set_value("1");
    }
    appendChart(node, "majorTickMark", "out");
    appendChart(node, "minorTickMark", "none");
    appendChart(node, "tickLblPos", "nextTo");
    appendChart(node, "crossAx", "0");
    appendChart(node, "crosses", "autoZero");
    if (std::strcmp(name, "catAx") == 0) {
        appendChart(node, "auto", "1");
        appendChart(node, "lblAlgn", "ctr");
        appendChart(node, "lblOffset", "100");
        appendChart(node, "noMultiLvlLbl", "0");
    } else if (std::strcmp(name, "valAx") == 0) {
        appendChart(node, "crossBetween", "between");
    }
    return node;
}

void ChartXml::Dom::placeAxis(pugi::xml_node target, pugi::xml_node node, pugi::xml_node after,
                              const char* position, pugi::xml_node crossing) const {
    plotArea().insert_move_after(node, after);
    pugi::xml_node axPos = Child(node, "axPos");
    if (!axPos)
        axPos = insertChart(node, "axPos", kAxisOrder);
    if (!axPos.attribute("val"))
        axPos.append_attribute("val");
    axPos.attribute("val").set_value(position);
    pugi::xml_node crossAx = Child(node, "crossAx");
    if (!crossAx)
        crossAx = insertChart(node, "crossAx", kAxisOrder);
    if (!crossAx.attribute("val"))
        crossAx.append_attribute("val");
    crossAx.attribute("val").set_value(Number(AxisId(crossing)).c_str());
    appendChart(target, "axId", Number(AxisId(node)).c_str());
}

} // namespace plw
