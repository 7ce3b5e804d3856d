#include "workbook/xls/HandledConstructs.h"

#include "workbook/XmlPart.h"

#include <QHash>
#include <QSet>

#include <cstring>

namespace plw::xls {

namespace {

// One handled element, named "parent/child" by local names ("/worksheet" for the root), with
// its handled attributes. An attribute written "name=a|b" is handled with those values only.
struct Handled {
    const char* element;
    const char* attributes;
};

// Attributes that only some values of make sense here: false flags and defaults.
#define OFF "=0|false"
#define ON "=1|true"

const Handled kWorkbook[] = {
    {"/workbook", "conformance=transitional"},
    {"workbook/fileVersion", "appName lastEdited lowestEdited rupBuild"},
    {"workbook/workbookPr",
     "date1904 defaultThemeVersion filterPrivacy backupFile" OFF " showObjects=all"},
    {"workbook/workbookProtection", ""},
    {"workbook/bookViews", ""},
    {"bookViews/workbookView",
     "xWindow yWindow windowWidth windowHeight activeTab firstSheet tabRatio "
     "showHorizontalScroll showVerticalScroll showSheetTabs visibility=visible"},
    {"workbook/sheets", ""},
    {"sheets/sheet", "name sheetId state id"},
    {"workbook/definedNames", ""},
    {"definedNames/definedName", "name localSheetId hidden function" OFF " vbProcedure" OFF},
    {"workbook/calcPr",
     "calcId fullCalcOnLoad iterateCount refMode=A1 iterate" OFF " iterateDelta"},
};

const Handled kStyles[] = {
    {"/styleSheet", ""},
    {"styleSheet/numFmts", "count"},
    {"numFmts/numFmt", "numFmtId formatCode"},
    {"styleSheet/fonts", "count knownFonts"},
    {"fonts/font", ""},
    {"font/b", "val"},
    {"font/i", "val"},
    {"font/strike", "val"},
    {"font/outline", "val"},
    {"font/shadow", "val"},
    {"font/condense", "val"},
    {"font/extend", "val"},
    {"font/u", "val"},
    {"font/vertAlign", "val"},
    {"font/sz", "val"},
    {"font/color", "indexed rgb auto"},
    {"font/name", "val"},
    {"font/family", "val"},
    {"font/charset", "val"},
    {"font/scheme", "val"},
    {"styleSheet/fills", "count"},
    {"fills/fill", ""},
    {"fill/patternFill", "patternType"},
    {"patternFill/fgColor", "indexed rgb auto"},
    {"patternFill/bgColor", "indexed rgb auto"},
    {"styleSheet/borders", "count"},
    {"borders/border", "diagonalUp diagonalDown"},
    {"border/left", "style"},
    {"border/right", "style"},
    {"border/top", "style"},
    {"border/bottom", "style"},
    {"border/diagonal", "style"},
    {"left/color", "indexed rgb auto"},
    {"right/color", "indexed rgb auto"},
    {"top/color", "indexed rgb auto"},
    {"bottom/color", "indexed rgb auto"},
    {"diagonal/color", "indexed rgb auto"},
    {"styleSheet/cellStyleXfs", "count"},
    {"cellStyleXfs/xf",
     "numFmtId fontId fillId borderId applyNumberFormat applyFont applyFill applyBorder "
     "applyAlignment applyProtection"},
    {"styleSheet/cellXfs", "count"},
    {"cellXfs/xf",
     "numFmtId fontId fillId borderId xfId applyNumberFormat applyFont applyFill applyBorder "
     "applyAlignment applyProtection quotePrefix"},
    {"xf/alignment",
     "horizontal vertical wrapText textRotation indent shrinkToFit readingOrder justifyLastLine"},
    {"xf/protection", "locked hidden"},
    {"styleSheet/cellStyles", "count"},
    {"cellStyles/cellStyle", "name xfId builtinId iLevel customBuiltin"},
    {"styleSheet/dxfs", "count=0"},
    {"styleSheet/tableStyles", "count=0 defaultTableStyle defaultPivotStyle"},
    {"styleSheet/colors", ""},
    {"colors/indexedColors", ""},
    {"indexedColors/rgbColor", "rgb"},
};

const Handled kWorksheet[] = {
    {"/worksheet", ""},
    {"worksheet/sheetPr", "filterMode" OFF},
    {"sheetPr/pageSetUpPr", "fitToPage autoPageBreaks" ON},
    {"sheetPr/outlinePr", "summaryBelow summaryRight"},
    {"worksheet/dimension", "ref"},
    {"worksheet/sheetViews", ""},
    {"sheetViews/sheetView",
     "tabSelected zoomScale zoomScaleNormal zoomScalePageLayoutView workbookViewId "
     "showGridLines showRowColHeaders showZeros rightToLeft topLeftCell showFormulas" OFF
     " showOutlineSymbols defaultGridColor" ON " colorId=64 view=normal"},
    {"sheetView/pane", "xSplit ySplit topLeftCell activePane state=frozen|frozenSplit"},
    {"sheetView/selection", "pane activeCell activeCellId sqref"},
    {"worksheet/sheetFormatPr",
     "defaultRowHeight customHeight defaultColWidth baseColWidth zeroHeight outlineLevelRow=0 "
     "outlineLevelCol=0"},
    {"worksheet/cols", ""},
    {"cols/col", "min max width style customWidth bestFit hidden outlineLevel collapsed"},
    {"worksheet/sheetData", ""},
    {"worksheet/mergeCells", "count"},
    {"mergeCells/mergeCell", "ref"},
    {"worksheet/hyperlinks", ""},
    {"hyperlinks/hyperlink", "ref location display"},
    {"worksheet/printOptions",
     "horizontalCentered verticalCentered gridLines headings gridLinesSet"},
    {"worksheet/pageMargins", "left right top bottom header footer"},
    {"worksheet/pageSetup",
     "paperSize orientation fitToWidth fitToHeight scale firstPageNumber useFirstPageNumber "
     "horizontalDpi verticalDpi copies pageOrder blackAndWhite draft cellComments=none "
     "errors=displayed id"},
    {"worksheet/headerFooter", "differentFirst" OFF " differentOddEven" OFF},
    {"headerFooter/oddHeader", ""},
    {"headerFooter/oddFooter", ""},
    {"worksheet/rowBreaks", "count manualBreakCount"},
    {"rowBreaks/brk", "id min max man"},
    {"worksheet/colBreaks", "count manualBreakCount"},
    {"colBreaks/brk", "id min max man"},
    {"worksheet/drawing", "id"},
};

// A sheet's drawing: charts anchored to cells.
const Handled kDrawing[] = {
    {"/wsDr", ""},
    {"wsDr/twoCellAnchor", "editAs=twoCell|oneCell|absolute"},
    {"twoCellAnchor/from", ""},
    {"twoCellAnchor/to", ""},
    {"from/col", ""},
    {"from/colOff", ""},
    {"from/row", ""},
    {"from/rowOff", ""},
    {"to/col", ""},
    {"to/colOff", ""},
    {"to/row", ""},
    {"to/rowOff", ""},
    {"twoCellAnchor/graphicFrame", "macro="},
    {"twoCellAnchor/clientData", "fLocksWithSheet" ON " fPrintsWithSheet" ON},
    {"graphicFrame/nvGraphicFramePr", ""},
    {"nvGraphicFramePr/cNvPr", "id name descr title hidden" OFF},
    {"nvGraphicFramePr/cNvGraphicFramePr", ""},
    {"cNvGraphicFramePr/graphicFrameLocks", "noGrp"},
    {"graphicFrame/xfrm", ""},
    {"xfrm/off", "x y"},
    {"xfrm/ext", "cx cy"},
    {"graphicFrame/graphic", ""},
    {"graphic/graphicData", "uri=http://schemas.openxmlformats.org/drawingml/2006/chart"},
    {"graphicData/chart", "id"},
};

// clang-format off
// Text properties: the font of a run or of an element's text.
#define FONT                                                                                       \
    "sz b i u=none|sng|dbl strike=noStrike|sngStrike|dblStrike baseline lang altLang spc=0|-1"
#define AXIS(name)                                                                                 \
    {name "/axId", "val"}, {name "/scaling", ""}, {name "/delete", "val"}, {name "/axPos", "val"}, \
        {name "/majorGridlines", ""}, {name "/minorGridlines", ""},                                \
        {name "/numFmt", "formatCode sourceLinked"},                                               \
        {name "/majorTickMark", "val=none|in|out|cross"},                                          \
        {name "/minorTickMark", "val=none|in|out|cross"},                                          \
        {name "/tickLblPos", "val=none|low|high|nextTo"}, {name "/spPr", ""}, {name "/txPr", ""},  \
        {name "/crossAx", "val"}, {name "/crosses", "val=autoZero|max"},                           \
        {name "/crossesAt", "val"}
#define LABELS(name)                                                                               \
    {name "/numFmt", "formatCode sourceLinked"}, {name "/txPr", ""},                               \
        {name "/dLblPos", "val=bestFit|b|ctr|inBase|inEnd|l|outEnd|r|t"},                          \
        {name "/showLegendKey", "val"}, {name "/showVal", "val"}, {name "/showCatName", "val"},    \
        {name "/showSerName", "val"}, {name "/showPercent", "val"},                                \
        {name "/showBubbleSize", "val" OFF}, {name "/delete", "val"}, {name "/separator", ""}

// clang-format on

// A chart: column, bar, line, pie and doughnut charts in 2-D, columns and bars in 3-D.
const Handled kChart[] = {
    {"/chartSpace", ""},
    {"chartSpace/date1904", "val" OFF},
    {"chartSpace/lang", "val"},
    {"chartSpace/roundedCorners", "val" OFF},
    {"chartSpace/chart", ""},
    {"chartSpace/spPr", ""},
    {"chartSpace/txPr", ""},
    {"chartSpace/printSettings", ""},
    {"printSettings/headerFooter", ""},
    {"printSettings/pageMargins", "b l r t header footer"},
    {"printSettings/pageSetup", ""},
    {"chart/title", ""},
    {"chart/autoTitleDeleted", "val"},
    {"chart/view3D", ""},
    {"chart/floor", ""},
    {"chart/sideWall", ""},
    {"chart/backWall", ""},
    {"chart/plotArea", ""},
    {"chart/legend", ""},
    {"chart/plotVisOnly", "val"},
    {"chart/dispBlanksAs", "val=gap|zero|span"},
    {"title/tx", ""},
    {"title/layout", ""},
    {"title/overlay", "val" OFF},
    {"title/txPr", ""},
    {"title/spPr", ""},
    {"tx/strRef", ""},
    {"tx/rich", ""},
    {"tx/v", ""},
    {"strRef/f", ""},
    {"strRef/strCache", ""},
    {"strCache/ptCount", "val"},
    {"strCache/pt", "idx"},
    {"numRef/f", ""},
    {"numRef/numCache", ""},
    {"numCache/formatCode", ""},
    {"numCache/ptCount", "val"},
    {"numCache/pt", "idx formatCode"},
    {"pt/v", ""},
    {"rich/bodyPr", "rot vert=horz wrap"},
    {"rich/lstStyle", ""},
    {"rich/p", ""},
    {"txPr/bodyPr", "rot vert=horz wrap"},
    {"txPr/lstStyle", ""},
    {"txPr/p", ""},
    {"p/pPr", ""},
    {"p/r", ""},
    {"p/endParaRPr", FONT},
    {"pPr/defRPr", FONT},
    {"defRPr/latin", "typeface"},
    {"defRPr/ea", "typeface"},
    {"defRPr/cs", "typeface"},
    {"defRPr/solidFill", ""},
    {"r/rPr", FONT},
    {"r/t", ""},
    {"rPr/latin", "typeface"},
    {"rPr/ea", "typeface"},
    {"rPr/cs", "typeface"},
    {"rPr/solidFill", ""},
    {"view3D/rotX", "val"},
    {"view3D/rotY", "val"},
    {"view3D/depthPercent", "val"},
    {"view3D/hPercent", "val"},
    {"view3D/rAngAx", "val"},
    {"view3D/perspective", "val"},
    {"floor/spPr", ""},
    {"sideWall/spPr", ""},
    {"backWall/spPr", ""},
    {"plotArea/layout", ""},
    {"plotArea/spPr", ""},
    {"plotArea/barChart", ""},
    {"plotArea/bar3DChart", ""},
    {"plotArea/lineChart", ""},
    {"plotArea/pieChart", ""},
    {"plotArea/doughnutChart", ""},
    {"plotArea/catAx", ""},
    {"plotArea/valAx", ""},
    {"plotArea/serAx", ""},
    {"barChart/barDir", "val=col|bar"},
    {"barChart/grouping", "val=clustered|stacked|percentStacked"},
    {"barChart/varyColors", "val"},
    {"barChart/ser", ""},
    {"barChart/dLbls", ""},
    {"barChart/gapWidth", "val"},
    {"barChart/overlap", "val"},
    {"barChart/axId", "val"},
    {"bar3DChart/barDir", "val=col|bar"},
    {"bar3DChart/grouping", "val=standard|clustered|stacked|percentStacked"},
    {"bar3DChart/varyColors", "val"},
    {"bar3DChart/ser", ""},
    {"bar3DChart/dLbls", ""},
    {"bar3DChart/gapWidth", "val"},
    {"bar3DChart/gapDepth", "val"},
    {"bar3DChart/shape", "val=box|cylinder|cone|pyramid|coneToMax|pyramidToMax"},
    {"bar3DChart/axId", "val"},
    {"lineChart/grouping", "val=standard|stacked|percentStacked"},
    {"lineChart/varyColors", "val"},
    {"lineChart/ser", ""},
    {"lineChart/dLbls", ""},
    {"lineChart/marker", "val"},
    {"lineChart/axId", "val"},
    {"pieChart/varyColors", "val"},
    {"pieChart/ser", ""},
    {"pieChart/dLbls", ""},
    {"pieChart/firstSliceAng", "val"},
    {"doughnutChart/varyColors", "val"},
    {"doughnutChart/ser", ""},
    {"doughnutChart/dLbls", ""},
    {"doughnutChart/firstSliceAng", "val"},
    {"doughnutChart/holeSize", "val"},
    {"ser/idx", "val"},
    {"ser/order", "val"},
    {"ser/tx", ""},
    {"ser/spPr", ""},
    {"ser/invertIfNegative", "val"},
    {"ser/dPt", ""},
    {"ser/dLbls", ""},
    {"ser/cat", ""},
    {"ser/val", ""},
    {"ser/marker", ""},
    {"ser/smooth", "val"},
    {"ser/explosion", "val"},
    {"marker/symbol", "val=none|square|diamond|triangle|x|star|dot|dash|circle|plus|auto"},
    {"marker/size", "val"},
    {"marker/spPr", ""},
    {"dPt/idx", "val"},
    {"dPt/invertIfNegative", "val"},
    {"dPt/bubble3D", "val" OFF},
    {"dPt/spPr", ""},
    {"dPt/explosion", "val"},
    {"dPt/marker", ""},
    LABELS("dLbls"),
    {"dLbls/showLeaderLines", "val"},
    {"dLbls/dLbl", ""},
    {"dLbl/idx", "val"},
    LABELS("dLbl"),
    {"cat/strRef", ""},
    {"cat/numRef", ""},
    {"val/numRef", ""},
    AXIS("catAx"),
    {"catAx/auto", "val"},
    {"catAx/lblAlgn", "val=ctr"},
    {"catAx/lblOffset", "val=100"},
    {"catAx/noMultiLvlLbl", "val"},
    {"catAx/tickLblSkip", "val"},
    {"catAx/tickMarkSkip", "val"},
    AXIS("valAx"),
    {"valAx/crossBetween", "val=between|midCat"},
    {"valAx/majorUnit", "val"},
    {"valAx/minorUnit", "val"},
    AXIS("serAx"),
    {"serAx/tickLblSkip", "val"},
    {"serAx/tickMarkSkip", "val"},
    {"scaling/orientation", "val=minMax|maxMin"},
    {"scaling/max", "val"},
    {"scaling/min", "val"},
    {"majorGridlines/spPr", ""},
    {"minorGridlines/spPr", ""},
    {"legend/legendPos", "val=b|tr|l|r|t"},
    {"legend/overlay", "val" OFF},
    {"legend/layout", ""},
    {"legend/txPr", ""},
    {"legend/spPr", ""},
    {"spPr/solidFill", ""},
    {"spPr/noFill", ""},
    {"spPr/ln", "w"},
    {"ln/solidFill", ""},
    {"ln/noFill", ""},
    {"ln/prstDash",
     "val=solid|dash|sysDash|lgDash|dot|sysDot|dashDot|lgDashDot|sysDashDot|lgDashDotDot|"
     "sysDashDotDot"},
    {"ln/round", ""},
    {"solidFill/srgbClr", "val"},
    {"solidFill/sysClr", "val lastClr"},
};

#undef AXIS
#undef LABELS
#undef FONT
#undef OFF
#undef ON

struct Rules {
    // element -> attribute -> allowed values (empty: any)
    QHash<QByteArray, QHash<QByteArray, QList<QByteArray>>> elements;
};

template <size_t N> Rules Build(const Handled (&table)[N]) {
    Rules rules;
    for (const Handled& entry : table) {
        QHash<QByteArray, QList<QByteArray>>& attributes = rules.elements[entry.element];
        for (const QByteArray& attribute : QByteArray(entry.attributes).split(' ')) {
            if (attribute.isEmpty())
                continue;
            const qsizetype equals = attribute.indexOf('=');
            if (equals < 0) {
                attributes.insert(attribute, {});
                continue;
            }
            attributes.insert(attribute.left(equals), attribute.mid(equals + 1).split('|'));
        }
    }
    return rules;
}

const Rules& RulesOf(PartKind kind) {
    static const Rules workbook = Build(kWorkbook);
    static const Rules styles = Build(kStyles);
    static const Rules worksheet = Build(kWorksheet);
    static const Rules drawing = Build(kDrawing);
    static const Rules chart = Build(kChart);
    switch (kind) {
    case PartKind::Workbook:
        return workbook;
    case PartKind::Styles:
        return styles;
    case PartKind::Worksheet:
        return worksheet;
    case PartKind::Drawing:
        return drawing;
    case PartKind::Chart:
        break;
    }
    return chart;
}

// Attributes that carry no content the file format could hold.
bool IsIgnorable(const char* name) {
    return std::strncmp(name, "xmlns", 5) == 0 || std::strcmp(name, "mc:Ignorable") == 0 ||
           std::strcmp(name, "x14ac:dyDescent") == 0 ||
           std::strcmp(name, "x14ac:knownFonts") == 0 || QByteArray(name).endsWith(":uid");
}

QByteArray LocalAttribute(const char* name) {
    const char* colon = std::strchr(name, ':');
    return colon ? QByteArray(colon + 1) : QByteArray(name);
}

// Extensions that only tune the program that wrote the file: LibreOffice's formula syntax,
// Excel's chart tracking and calculation features.
bool IsIgnorableExtension(const pugi::xml_node& extensions) {
    static const QSet<QByteArray> known = {"{7626C862-2A13-11E5-B345-FEFF819CDC9F}",
                                           "{140A7094-0E35-4892-8432-C4D2E57EDEB5}",
                                           "{B58B0392-4F1F-4190-BB64-5DF3571DCE5F}"};
    // The data label extension of later chart versions, when it only asks for leader lines: a
    // label of a bar or a line has none until it is moved away from its point.
    static const QByteArray labels = "{CE6537A1-D6FC-4f65-9D91-7224C49458BB}";
    for (pugi::xml_node ext : extensions.children()) {
        if (ext.type() != pugi::node_element || known.contains(ext.attribute("uri").value()))
            continue;
        if (ext.attribute("uri").value() != labels)
            return false;
        for (pugi::xml_node child : ext.children())
            if (child.type() == pugi::node_element &&
                !XmlPart::HasLocalName(child, "showLeaderLines"))
                return false;
    }
    return true;
}

QString Check(const Rules& rules, const pugi::xml_node& node, const QByteArray& key) {
    const auto element = rules.elements.constFind(key);
    const QByteArray local = XmlPart::LocalName(node);
    if (local == "extLst" && IsIgnorableExtension(node))
        return {};
    if (element == rules.elements.constEnd())
        return QString::fromUtf8(local);
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (IsIgnorable(attribute.name()))
            continue;
        const QByteArray name = LocalAttribute(attribute.name());
        const auto allowed = element->constFind(name);
        if (allowed == element->constEnd())
            return QString::fromUtf8(local + '@' + name);
        if (!allowed->isEmpty() && !allowed->contains(QByteArray(attribute.value())))
            return QString::fromUtf8(local + '@' + name + '=' + attribute.value());
    }
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString found = Check(rules, child, local + '/' + XmlPart::LocalName(child));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace

QString FirstUnhandled(PartKind kind, const pugi::xml_node& root) {
    return Check(RulesOf(kind), root, QByteArray("/") + XmlPart::LocalName(root));
}

bool IsHandledRowAttribute(const QByteArray& name, const QByteArray& value) {
    static const QSet<QByteArray> handled = {"ht",           "customHeight", "hidden",   "s",
                                             "customFormat", "outlineLevel", "collapsed"};
    (void)value;
    return handled.contains(name) || IsIgnorable(name.constData());
}

QStringList HandledConstructs(PartKind kind) {
    QStringList out;
    const Rules& rules = RulesOf(kind);
    for (auto element = rules.elements.constBegin(); element != rules.elements.constEnd();
         ++element) {
        out << QString::fromUtf8(element.key());
        for (auto attribute = element->constBegin(); attribute != element->constEnd();
             ++attribute) {
            QString entry = QString::fromUtf8(element.key() + '@' + attribute.key());
            if (!attribute->isEmpty())
                entry += u'=' + QString::fromUtf8(attribute->join('|'));
            out << entry;
        }
    }
    out.sort();
    return out;
}

} // namespace plw::xls
