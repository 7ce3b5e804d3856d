#include "workbook/xls/ChartReader.h"

#include "workbook/XmlPart.h"
#include "workbook/xls/XlsNames.h"
#include "workbook/xls/XlsStyles.h"
#include "workbook/xls/XmlValues.h"

#include <algorithm>
#include <cmath>

namespace plw::xls {

using XmlPart::Attribute;
using XmlPart::Child;
using XmlPart::HasLocalName;

namespace {

constexpr int kPtgMemFunc = 0x29;
constexpr double kEmuPerPoint = 12700;
constexpr int kMaxPoints = 32000;

// The val attribute of a child element.
QString Val(const pugi::xml_node& node, const char* child) {
    return Attribute(Child(node, child), "val");
}

int IntVal(const pugi::xml_node& node, const char* child, int fallback) {
    const pugi::xml_node element = Child(node, child);
    return element ? element.attribute("val").as_int(fallback) : fallback;
}

// A CT_Boolean child: val defaults to true; fallback when the child is missing.
bool BoolVal(const pugi::xml_node& node, const char* child, bool fallback) {
    const pugi::xml_node element = Child(node, child);
    return element ? BoolAttribute(element, "val", true) : fallback;
}

double DoubleVal(const pugi::xml_node& node, const char* child) {
    const pugi::xml_node element = Child(node, child);
    bool ok = false;
    const double value = Attribute(element, "val").toDouble(&ok);
    return element && ok ? value : kAutomatic;
}

int IndexOf(const QString& value, std::initializer_list<const char*> names, int fallback) {
    int i = 0;
    for (const char* name : names) {
        if (value == QLatin1String(name))
            return i;
        ++i;
    }
    return fallback;
}

// What the text of an element says, inherited from the chart's text and changed by the
// element's own properties.
struct TextLook {
    double points = 10;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    int underline = 0;
    QString face;
    bool eastAsian = false; // the face is the East Asian one
    std::optional<ChartColour> colour;
    int rotation = 0;
};

class Reader {
public:
    Reader(XlsStyles& styles, XlsNames& names, ChartModel& chart)
        : mStyles(styles), mNames(names), mChart(chart) {}

    bool read(const pugi::xml_node& chartSpace);
    QString problem;

private:
    bool fail(const QString& what) {
        if (problem.isEmpty())
            problem = what;
        return false;
    }

    bool colour(const pugi::xml_node& solidFill, ChartColour* out);
    bool fill(const pugi::xml_node& spPr, ChartFill* out);
    bool line(const pugi::xml_node& ln, ChartLine* out);
    bool area(const pugi::xml_node& spPr, ChartArea* out);
    bool look(const pugi::xml_node& runProperties, TextLook* out);
    bool textOf(const pugi::xml_node& txPr, const TextLook& base, ChartText* out);
    ChartText makeText(const TextLook& look);
    bool link(const pugi::xml_node& parent, ChartLink* out);
    bool reference(const pugi::xml_node& ref, bool numeric, ChartLink* out);
    bool labels(const pugi::xml_node& dLbls, std::optional<ChartLabels>* out);
    bool labelSettings(const pugi::xml_node& node, ChartLabels* out);
    bool marker(const pugi::xml_node& node, std::optional<ChartMarker>* out);
    bool series(const pugi::xml_node& ser, ChartSeries* out);
    bool plot(const pugi::xml_node& plotArea);
    bool axis(const pugi::xml_node& node, ChartAxis* out);
    bool title(const pugi::xml_node& node);
    bool view(const pugi::xml_node& view3D);

    XlsStyles& mStyles;
    XlsNames& mNames;
    ChartModel& mChart;
    TextLook mBase;
};

bool Reader::colour(const pugi::xml_node& solidFill, ChartColour* out) {
    QString hex;
    if (const pugi::xml_node rgb = Child(solidFill, "srgbClr"))
        hex = Attribute(rgb, "val");
    else if (const pugi::xml_node system = Child(solidFill, "sysClr"))
        hex = Attribute(system, "lastClr");
    bool ok = false;
    const unsigned value = hex.toUInt(&ok, 16);
    const int index = mStyles.palette().nearestOfHex(hex);
    if (hex.size() != 6 || !ok || index < 0)
        return fail(QStringLiteral("RGB 以外で指定したグラフの色"));
    *out = {value, index};
    return true;
}

bool Reader::fill(const pugi::xml_node& spPr, ChartFill* out) {
    if (Child(spPr, "noFill")) {
        out->kind = ChartFill::Kind::None;
    } else if (const pugi::xml_node solid = Child(spPr, "solidFill")) {
        out->kind = ChartFill::Kind::Solid;
        return colour(solid, &out->colour);
    }
    return true;
}

bool Reader::line(const pugi::xml_node& ln, ChartLine* out) {
    if (!ln)
        return true;
    if (Child(ln, "noFill")) {
        out->kind = ChartLine::Kind::None;
        return true;
    }
    const pugi::xml_node solid = Child(ln, "solidFill");
    if (!solid)
        return true; // its colour left to the reader
    out->kind = ChartLine::Kind::Solid;
    const double width = ln.attribute("w").as_double(9525) / kEmuPerPoint;
    out->weight = width <= 0.25 ? -1 : width <= 1 ? 0 : width <= 2 ? 1 : 2;
    out->pattern = IndexOf(Val(ln, "prstDash"),
                           {"solid", "dash", "dot", "dashDot", "lgDashDotDot", "sysDash", "lgDash",
                            "sysDot", "lgDashDot", "sysDashDot", "sysDashDotDot"},
                           0);
    // The classic format has five patterns: solid, dash, dot, dash-dot, dash-dot-dot.
    static const int kPatterns[] = {0, 1, 2, 3, 4, 1, 1, 2, 3, 3, 4};
    out->pattern = kPatterns[out->pattern];
    return colour(solid, &out->colour);
}

bool Reader::area(const pugi::xml_node& spPr, ChartArea* out) {
    return fill(spPr, &out->fill) && line(Child(spPr, "ln"), &out->line);
}

bool Reader::look(const pugi::xml_node& properties, TextLook* out) {
    if (!properties)
        return true;
    if (properties.attribute("sz"))
        out->points = properties.attribute("sz").as_double() / 100;
    if (properties.attribute("b"))
        out->bold = BoolAttribute(properties, "b", false);
    if (properties.attribute("i"))
        out->italic = BoolAttribute(properties, "i", false);
    if (properties.attribute("strike"))
        out->strike = Attribute(properties, "strike") != u"noStrike";
    if (properties.attribute("u")) {
        const QString u = Attribute(properties, "u");
        out->underline = u == u"sng" ? 1 : u == u"dbl" ? 2 : 0;
    }
    if (properties.attribute("baseline") && properties.attribute("baseline").as_int() != 0)
        return fail(QStringLiteral("グラフの上付き・下付き文字"));
    if (const QString ea = Attribute(Child(properties, "ea"), "typeface"); !ea.isEmpty()) {
        out->face = ea;
        out->eastAsian = true;
    } else if (const QString latin = Attribute(Child(properties, "latin"), "typeface");
               !latin.isEmpty()) {
        out->face = latin;
        out->eastAsian = false;
    }
    if (const pugi::xml_node solid = Child(properties, "solidFill")) {
        ChartColour c;
        if (!colour(solid, &c))
            return false;
        out->colour = c;
    }
    return true;
}

ChartText Reader::makeText(const TextLook& look) {
    const FontLook& base = mStyles.defaultFont();
    FontLook font;
    font.points = std::clamp(look.points, 1.0, 409.0);
    font.bold = look.bold;
    font.italic = look.italic;
    font.strike = look.strike;
    font.underline = look.underline;
    font.colour = look.colour ? look.colour->icv : 0x7FFF;
    font.name = look.face.isEmpty() ? base.name : look.face;
    // A Latin face keeps the Western character set; the workbook's own face and East Asian ones
    // take the workbook font's.
    const bool own = look.face.isEmpty() || look.eastAsian || look.face == base.name;
    font.family = own ? base.family : 0;
    font.charset = own ? base.charset : 0;
    ChartText text;
    text.font = mStyles.addFont(font);
    if (text.font < 0) {
        fail(QStringLiteral("形式の上限を超える数のフォント"));
        text.font = 0;
    }
    text.colour = look.colour;
    text.rotation = look.rotation;
    const int height = int(std::lround(font.points * 20));
    if (std::none_of(mChart.fonts.begin(), mChart.fonts.end(),
                     [&](const auto& used) { return used.first == text.font; }))
        mChart.fonts.emplace_back(text.font, height);
    return text;
}

// The text of an element with text properties (c:txPr) or rich text (c:rich).
bool Reader::textOf(const pugi::xml_node& txPr, const TextLook& base, ChartText* out) {
    TextLook result = base;
    if (const pugi::xml_node body = Child(txPr, "bodyPr"); body.attribute("rot")) {
        // In 1/60000 degree, clockwise; the classic format counts counter-clockwise to 90.
        const int degrees = -int(std::lround(body.attribute("rot").as_double() / 60000));
        if (degrees < -90 || degrees > 90)
            return fail(QStringLiteral("%1 度回転したグラフの文字").arg(degrees));
        result.rotation = degrees >= 0 ? degrees : 90 - degrees;
    }
    const pugi::xml_node paragraph = Child(txPr, "p");
    if (!look(Child(Child(paragraph, "pPr"), "defRPr"), &result) ||
        !look(Child(Child(paragraph, "r"), "rPr"), &result))
        return false;
    *out = makeText(result);
    return true;
}

bool Reader::reference(const pugi::xml_node& ref, bool numeric, ChartLink* out) {
    const QString formula = QString::fromUtf8(Child(ref, "f").text().get()).trimmed();
    out->tokens = mNames.referenceTokens(formula);
    if (out->tokens.isEmpty() || out->tokens.front() == char(kPtgMemFunc))
        return fail(QStringLiteral("グラフの数式 %1").arg(formula));
    out->present = true;
    out->numeric = numeric;
    const pugi::xml_node cache = Child(ref, numeric ? "numCache" : "strCache");
    out->count = std::max(0, IntVal(cache, "ptCount", 0));
    if (numeric) {
        out->numbers.assign(size_t(out->count), kAutomatic);
        const QString code = QString::fromUtf8(Child(cache, "formatCode").text().get());
        out->format = code.isEmpty() ? 0 : mStyles.formatIndex(code);
    } else {
        out->texts = QStringList(out->count, QString());
    }
    for (const pugi::xml_node& point : Children(cache, "pt")) {
        const int index = point.attribute("idx").as_int(-1);
        if (index < 0 || index >= out->count)
            continue;
        const QString value = QString::fromUtf8(Child(point, "v").text().get());
        if (numeric) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            out->numbers[size_t(index)] = ok ? number : kAutomatic;
        } else {
            out->texts[index] = value;
        }
    }
    return true;
}

// A series' name (c:tx), categories (c:cat) or values (c:val).
bool Reader::link(const pugi::xml_node& parent, ChartLink* out) {
    if (!parent)
        return true;
    if (const pugi::xml_node ref = Child(parent, "strRef"))
        return reference(ref, false, out);
    if (const pugi::xml_node ref = Child(parent, "numRef"))
        return reference(ref, true, out);
    if (const pugi::xml_node literal = Child(parent, "v")) {
        out->present = true;
        out->literal = QString::fromUtf8(literal.text().get());
        return true;
    }
    return true;
}

bool Reader::labelSettings(const pugi::xml_node& node, ChartLabels* out) {
    if (const pugi::xml_node format = Child(node, "numFmt"))
        out->format = BoolAttribute(format, "sourceLinked", false)
                          ? -1
                          : mStyles.formatIndex(Attribute(format, "formatCode"));
    out->legendKey = BoolVal(node, "showLegendKey", out->legendKey);
    out->value = BoolVal(node, "showVal", out->value);
    out->category = BoolVal(node, "showCatName", out->category);
    out->seriesName = BoolVal(node, "showSerName", out->seriesName);
    out->percent = BoolVal(node, "showPercent", out->percent);
    if (Child(node, "dLblPos"))
        out->position =
            IndexOf(Val(node, "dLblPos"),
                    {"", "outEnd", "inEnd", "ctr", "inBase", "t", "b", "l", "r", "bestFit"}, 0);
    // The classic format separates what a label shows in its own way.
    if (Child(node, "separator") &&
        int(out->value) + int(out->percent) + int(out->category) + int(out->seriesName) > 1)
        return fail(QStringLiteral("データラベルの区切り文字"));
    if (const pugi::xml_node txPr = Child(node, "txPr"))
        return textOf(txPr, mBase, &out->text);
    return true;
}

bool Reader::labels(const pugi::xml_node& dLbls, std::optional<ChartLabels>* out) {
    if (!dLbls || BoolVal(dLbls, "delete", false))
        return true;
    ChartLabels result;
    result.text = makeText(mBase);
    result.leaderLines = BoolVal(dLbls, "showLeaderLines", false);
    if (!labelSettings(dLbls, &result))
        return false;
    *out = result;
    return true;
}

bool Reader::marker(const pugi::xml_node& node, std::optional<ChartMarker>* out) {
    if (!node)
        return true;
    ChartMarker result;
    const QString symbol = Val(node, "symbol");
    result.automatic = symbol.isEmpty() || symbol == u"auto";
    // Dots and dashes become the nearest classic symbols, circles and squares.
    result.symbol = IndexOf(
        symbol,
        {"none", "square", "diamond", "triangle", "x", "star", "dash", "plus", "circle", "dot"}, 0);
    static const int kSymbols[] = {0, 1, 2, 3, 4, 5, 6, 9, 8, 8};
    result.symbol = kSymbols[result.symbol];
    if (result.automatic)
        result.symbol = 0;
    result.size = std::clamp(IntVal(node, "size", 5), 2, 72);
    const pugi::xml_node spPr = Child(node, "spPr");
    if (!fill(spPr, &result.fill) || !line(Child(spPr, "ln"), &result.line))
        return false;
    *out = result;
    return true;
}

bool Reader::series(const pugi::xml_node& ser, ChartSeries* out) {
    if (!link(Child(ser, "tx"), &out->name) || !link(Child(ser, "cat"), &out->categories) ||
        !link(Child(ser, "val"), &out->values))
        return false;
    if (!out->values.present || !out->values.numeric)
        return fail(QStringLiteral("セルの値を参照しないグラフの系列"));
    // The classic format holds at most 32,000 points a series.
    if (out->values.count > kMaxPoints || out->categories.count > kMaxPoints)
        return fail(QStringLiteral("要素が %1 を超えるグラフの系列").arg(kMaxPoints));
    const pugi::xml_node spPr = Child(ser, "spPr");
    if (!fill(spPr, &out->format.fill) || !line(Child(spPr, "ln"), &out->format.line) ||
        !marker(Child(ser, "marker"), &out->format.marker) ||
        !labels(Child(ser, "dLbls"), &out->labels))
        return false;
    out->format.explosion = IntVal(ser, "explosion", 0);
    out->smooth = BoolVal(ser, "smooth", false);
    for (const pugi::xml_node& dPt : Children(ser, "dPt")) {
        ChartPoint point;
        point.index = IntVal(dPt, "idx", -1);
        if (point.index < 0 || point.index >= kMaxPoints)
            return fail(QStringLiteral("番号のないグラフの要素"));
        const pugi::xml_node pointSpPr = Child(dPt, "spPr");
        if (!fill(pointSpPr, &point.format.fill) ||
            !line(Child(pointSpPr, "ln"), &point.format.line) ||
            !marker(Child(dPt, "marker"), &point.format.marker))
            return false;
        point.format.explosion = IntVal(dPt, "explosion", out->format.explosion);
        out->points.push_back(point);
    }
    // Labels of single points, over those of the series.
    for (const pugi::xml_node& dLbl : Children(Child(ser, "dLbls"), "dLbl")) {
        const int index = IntVal(dLbl, "idx", -1);
        auto point = std::find_if(out->points.begin(), out->points.end(),
                                  [&](const ChartPoint& p) { return p.index == index; });
        if (point == out->points.end()) {
            ChartPoint added;
            added.index = index;
            out->points.push_back(added);
            point = out->points.end() - 1;
        }
        ChartLabels settings = out->labels.value_or(ChartLabels());
        if (!out->labels)
            settings.text = makeText(mBase);
        if (BoolVal(dLbl, "delete", false))
            settings = ChartLabels();
        else if (!labelSettings(dLbl, &settings))
            return false;
        point->labels = settings;
    }
    std::sort(out->points.begin(), out->points.end(),
              [](const ChartPoint& a, const ChartPoint& b) { return a.index < b.index; });
    return true;
}

bool Reader::axis(const pugi::xml_node& node, ChartAxis* out) {
    out->deleted = BoolVal(node, "delete", false);
    const pugi::xml_node scaling = Child(node, "scaling");
    out->reversed = Val(scaling, "orientation") == u"maxMin";
    out->minimum = DoubleVal(scaling, "min");
    out->maximum = DoubleVal(scaling, "max");
    out->majorUnit = DoubleVal(node, "majorUnit");
    out->minorUnit = DoubleVal(node, "minorUnit");
    if (Val(node, "crosses") == u"max")
        out->crossesAtMaximum = true;
    out->crossesAt = DoubleVal(node, "crossesAt");
    out->between = Val(node, "crossBetween") != u"midCat";
    if (const pugi::xml_node format = Child(node, "numFmt");
        format && !BoolAttribute(format, "sourceLinked", false))
        out->format = mStyles.formatIndex(Attribute(format, "formatCode"));
    out->majorTick = IndexOf(Val(node, "majorTickMark"), {"none", "in", "out", "cross"}, 2);
    out->minorTick = IndexOf(Val(node, "minorTickMark"), {"none", "in", "out", "cross"}, 0);
    out->labels = IndexOf(Val(node, "tickLblPos"), {"none", "low", "high", "nextTo"}, 3);
    out->labelSkip = IntVal(node, "tickLblSkip", 1);
    out->markSkip = IntVal(node, "tickMarkSkip", 1);
    const auto gridlines = [&](const char* name, std::optional<ChartLine>* lines) {
        const pugi::xml_node element = Child(node, name);
        if (!element)
            return true;
        ChartLine result;
        if (!line(Child(Child(element, "spPr"), "ln"), &result))
            return false;
        *lines = result;
        return true;
    };
    if (!gridlines("majorGridlines", &out->majorGridlines) ||
        !gridlines("minorGridlines", &out->minorGridlines) ||
        !line(Child(Child(node, "spPr"), "ln"), &out->line))
        return false;
    out->text = makeText(mBase);
    if (const pugi::xml_node txPr = Child(node, "txPr"))
        return textOf(txPr, mBase, &out->text);
    return true;
}

bool Reader::title(const pugi::xml_node& node) {
    ChartTitle result;
    TextLook base = mBase;
    base.bold = true;
    base.points = mBase.points * 1.2;
    const pugi::xml_node tx = Child(node, "tx");
    if (const pugi::xml_node rich = Child(tx, "rich")) {
        QStringList lines;
        for (const pugi::xml_node& paragraph : Children(rich, "p")) {
            QString lineText;
            for (const pugi::xml_node& run : Children(paragraph, "r"))
                lineText += QString::fromUtf8(Child(run, "t").text().get());
            lines << lineText;
        }
        result.link.present = true;
        result.link.literal = lines.join(u'\n');
        if (!textOf(rich, base, &result.text))
            return false;
    } else {
        if (!link(tx, &result.link))
            return false;
        result.text = makeText(base);
    }
    if (const pugi::xml_node txPr = Child(node, "txPr"); txPr && !textOf(txPr, base, &result.text))
        return false;
    if (!area(Child(node, "spPr"), &result.area))
        return false;
    mChart.title = result;
    return true;
}

bool Reader::view(const pugi::xml_node& view3D) {
    mChart.elevation = std::clamp(IntVal(view3D, "rotX", 15), -90, 90);
    mChart.rotation = std::clamp(IntVal(view3D, "rotY", 20), 0, 360);
    mChart.depthPercent = std::clamp(IntVal(view3D, "depthPercent", 100), 20, 2000);
    // The part counts the field of view in half degrees.
    mChart.perspective = std::clamp(IntVal(view3D, "perspective", 30) / 2, 0, 100);
    mChart.rightAngleAxes = BoolVal(view3D, "rAngAx", true);
    if (Child(view3D, "hPercent")) {
        mChart.autoScale = false;
        mChart.heightPercent = std::clamp(IntVal(view3D, "hPercent", 100), 5, 500);
    }
    return true;
}

bool Reader::plot(const pugi::xml_node& plotArea) {
    std::vector<pugi::xml_node> types;
    for (const char* name : {"barChart", "bar3DChart", "lineChart", "pieChart", "doughnutChart"})
        for (const pugi::xml_node& node : Children(plotArea, name))
            types.push_back(node);
    if (types.size() != 1)
        return fail(types.empty() ? QStringLiteral("種類のないグラフ")
                                  : QStringLiteral("複数の種類を組み合わせたグラフ"));
    const pugi::xml_node group = types.front();
    const bool bar3D = HasLocalName(group, "bar3DChart");
    const QString grouping = Val(group, "grouping");
    if (HasLocalName(group, "barChart") || bar3D) {
        mChart.type = ChartModel::Type::Bar;
        mChart.horizontal = Val(group, "barDir") == u"bar";
        mChart.gapWidth = std::clamp(IntVal(group, "gapWidth", 150), 0, 500);
        mChart.overlap = std::clamp(IntVal(group, "overlap", 0), -100, 100);
        mChart.threeD = bar3D;
        mChart.seriesAxis = bar3D && (grouping == u"standard" || grouping.isEmpty());
        mChart.gapDepth = std::clamp(IntVal(group, "gapDepth", 150), 0, 500);
        mChart.shape =
            IndexOf(Val(group, "shape"),
                    {"box", "cylinder", "pyramid", "cone", "pyramidToMax", "coneToMax"}, 0);
    } else if (HasLocalName(group, "lineChart")) {
        mChart.type = ChartModel::Type::Line;
    } else {
        mChart.type =
            HasLocalName(group, "pieChart") ? ChartModel::Type::Pie : ChartModel::Type::Doughnut;
        mChart.firstSliceAngle = std::clamp(IntVal(group, "firstSliceAng", 0), 0, 360);
        mChart.holeSize = std::clamp(IntVal(group, "holeSize", 50), 10, 90);
    }
    mChart.stacked = grouping == u"stacked" || grouping == u"percentStacked";
    mChart.percent = grouping == u"percentStacked";
    mChart.varyColours = BoolVal(group, "varyColors", false);
    if (mChart.threeD && mChart.horizontal)
        return fail(QStringLiteral("3-D 横棒グラフ"));

    std::optional<ChartLabels> groupLabels;
    if (!labels(Child(group, "dLbls"), &groupLabels))
        return false;
    std::vector<std::pair<int, pugi::xml_node>> ordered;
    for (const pugi::xml_node& ser : Children(group, "ser"))
        ordered.emplace_back(IntVal(ser, "order", int(ordered.size())), ser);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (ordered.empty() || ordered.size() > 255)
        return fail(QStringLiteral("系列が %1 個のグラフ").arg(ordered.size()));
    for (const auto& [order, ser] : ordered) {
        (void)order;
        ChartSeries series;
        series.labels = groupLabels;
        if (!this->series(ser, &series))
            return false;
        if (mChart.type == ChartModel::Type::Line && !BoolVal(group, "marker", true) &&
            !series.format.marker) {
            series.format.marker = ChartMarker();
            series.format.marker->automatic = false;
        }
        mChart.series.push_back(series);
    }

    if (mChart.type == ChartModel::Type::Bar || mChart.type == ChartModel::Type::Line) {
        const std::vector<pugi::xml_node> categories = Children(plotArea, "catAx");
        const std::vector<pugi::xml_node> values = Children(plotArea, "valAx");
        const std::vector<pugi::xml_node> depth = Children(plotArea, "serAx");
        if (categories.size() != 1 || values.size() != 1 || depth.size() > 1 ||
            (depth.size() == 1) != mChart.seriesAxis)
            return fail(QStringLiteral("項目軸と数値軸が一つずつでないグラフ"));
        if (!axis(categories.front(), &mChart.categoryAxis) ||
            !axis(values.front(), &mChart.valueAxis) ||
            (mChart.seriesAxis && !axis(depth.front(), &mChart.seriesAxisFormat)))
            return false;
    }
    return area(Child(plotArea, "spPr"), &mChart.plotArea);
}

// What the part leaves automatic looks as the chart styles of the DrawingML programs draw it,
// which differ from the classic format's automatic look (black outlines and gridlines, grey plot
// areas and walls): white chart areas, light grey outlines, axes and gridlines, bars without
// outlines, pie slices parted by white lines, plot areas, walls, legends and titles clear.
class Defaults {
public:
    explicit Defaults(const XlsPalette& palette) {
        mWhite = {0xFFFFFF, palette.nearestOfHex(QStringLiteral("FFFFFF"))};
        // The light grey of today's charts; readers of the palette alone take its grey.
        const int grey = palette.indexOfHex(QStringLiteral("C0C0C0"));
        mGrey = {0xD9D9D9, grey >= 0 ? grey : palette.nearestOfHex(QStringLiteral("D9D9D9"))};
    }

    void area(ChartArea* area, bool filled, bool outlined) const {
        if (area->fill.kind == ChartFill::Kind::Automatic) {
            area->fill.kind = filled ? ChartFill::Kind::Solid : ChartFill::Kind::None;
            area->fill.colour = mWhite;
        }
        line(&area->line, outlined ? ChartLine::Kind::Solid : ChartLine::Kind::None, mGrey);
    }
    void grey(ChartLine* out) const { line(out, ChartLine::Kind::Solid, mGrey); }
    void white(ChartLine* out) const { line(out, ChartLine::Kind::Solid, mWhite); }
    void none(ChartLine* out) const { line(out, ChartLine::Kind::None, mGrey); }

private:
    static void line(ChartLine* out, ChartLine::Kind kind, const ChartColour& colour) {
        if (out->kind != ChartLine::Kind::Automatic)
            return;
        out->kind = kind;
        out->colour = colour;
    }

    ChartColour mWhite;
    ChartColour mGrey;
};

void Settle(ChartModel& chart, const XlsPalette& palette) {
    const Defaults defaults(palette);
    defaults.area(&chart.chartArea, true, true);
    defaults.area(&chart.plotArea, false, false);
    defaults.area(&chart.walls, false, false);
    defaults.area(&chart.floor, false, false);
    if (chart.legend)
        defaults.area(&chart.legend->area, false, false);
    if (chart.title)
        defaults.area(&chart.title->area, false, false);
    for (ChartAxis* axis : {&chart.categoryAxis, &chart.valueAxis, &chart.seriesAxisFormat}) {
        defaults.grey(&axis->line);
        for (std::optional<ChartLine>* lines : {&axis->majorGridlines, &axis->minorGridlines})
            if (*lines)
                defaults.grey(&**lines);
    }
    for (ChartSeries& series : chart.series) {
        if (chart.type == ChartModel::Type::Bar)
            defaults.none(&series.format.line);
        else if (chart.type != ChartModel::Type::Line)
            defaults.white(&series.format.line);
        // A point takes what it does not give itself from its series.
        for (ChartPoint& point : series.points) {
            if (point.format.fill.kind == ChartFill::Kind::Automatic)
                point.format.fill = series.format.fill;
            if (point.format.line.kind == ChartLine::Kind::Automatic)
                point.format.line = series.format.line;
            if (!point.format.marker)
                point.format.marker = series.format.marker;
        }
    }
}

bool Reader::read(const pugi::xml_node& chartSpace) {
    mBase.face = mStyles.defaultFont().name;
    if (const pugi::xml_node txPr = Child(chartSpace, "txPr")) {
        const pugi::xml_node defaults = Child(Child(Child(txPr, "p"), "pPr"), "defRPr");
        if (!look(defaults, &mBase))
            return false;
    }
    mChart.defaultText = makeText(mBase);
    if (!area(Child(chartSpace, "spPr"), &mChart.chartArea))
        return false;

    const pugi::xml_node chart = Child(chartSpace, "chart");
    mChart.autoTitleDeleted = BoolVal(chart, "autoTitleDeleted", false);
    if (const pugi::xml_node node = Child(chart, "title"); node && !title(node))
        return false;
    if (const pugi::xml_node node = Child(chart, "view3D"); node && !view(node))
        return false;
    if (!plot(Child(chart, "plotArea")))
        return false;
    if (mChart.threeD) {
        const pugi::xml_node back = Child(chart, "backWall");
        if (!area(Child(back ? back : Child(chart, "sideWall"), "spPr"), &mChart.walls) ||
            !area(Child(Child(chart, "floor"), "spPr"), &mChart.floor))
            return false;
    } else if (mChart.type != ChartModel::Type::Bar && mChart.type != ChartModel::Type::Line) {
        mChart.perspective = 0;
    }
    if (const pugi::xml_node node = Child(chart, "legend")) {
        ChartLegend legend;
        legend.position = IndexOf(Val(node, "legendPos"), {"b", "tr", "t", "r", "l"}, 3);
        legend.text = makeText(mBase);
        if (const pugi::xml_node txPr = Child(node, "txPr");
            (txPr && !textOf(txPr, mBase, &legend.text)) ||
            !area(Child(node, "spPr"), &legend.area))
            return false;
        mChart.legend = legend;
    }
    Settle(mChart, mStyles.palette());
    mChart.plotVisibleOnly = BoolVal(chart, "plotVisOnly", true);
    mChart.blanks = IndexOf(Val(chart, "dispBlanksAs"), {"gap", "zero", "span"}, 0);
    return problem.isEmpty();
}

} // namespace

bool ChartReader::read(const pugi::xml_node& chartSpace, ChartModel* chart, QString* unhandled) {
    *chart = ChartModel();
    Reader reader(mStyles, mNames, *chart);
    if (reader.read(chartSpace))
        return true;
    *unhandled = reader.problem;
    return false;
}

} // namespace plw::xls
