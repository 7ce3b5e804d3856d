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
};

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
    static const Rules none;
    switch (kind) {
    case PartKind::Workbook:
        return workbook;
    case PartKind::Styles:
        return styles;
    case PartKind::Worksheet:
        return worksheet;
    case PartKind::Drawing:
    case PartKind::Chart:
        break;
    }
    return none;
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
    for (pugi::xml_node ext : extensions.children())
        if (ext.type() == pugi::node_element && !known.contains(ext.attribute("uri").value()))
            return false;
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
