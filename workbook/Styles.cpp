#include "workbook/Styles.h"

#include "workbook/EngineError.h"
#include "workbook/Palette.h"
#include "workbook/XmlPart.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace plw {

namespace {

const QString kPartName = QStringLiteral("xl/styles.xml");

// The children of styleSheet in the order the schema requires.
constexpr const char* kStyleSheetOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                            "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                            "tableStyles",  "colors",  "extLst"};
// The children of a font in the order Excel writes them.
constexpr const char* kFontOrder[] = {"b",       "i",      "strike", "condense",  "extend",
                                      "outline", "shadow", "u",      "vertAlign", "sz",
                                      "color",   "name",   "family", "charset",   "scheme"};

struct SectionNames {
    const char* section;
    const char* entry;
};
constexpr SectionNames kSections[] = {{"numFmts", "numFmt"},  {"fonts", "font"},
                                      {"fills", "fill"},      {"borders", "border"},
                                      {"cellStyleXfs", "xf"}, {"cellXfs", "xf"}};

// XlPattern values and the OOXML pattern types they draw.
struct PatternName {
    int pattern;
    const char* type;
};
constexpr PatternName kPatterns[] = {
    {1, "solid"},         {-4125, "mediumGray"},     {-4126, "darkGray"},
    {-4124, "lightGray"}, {-4128, "darkHorizontal"}, {-4166, "darkVertical"},
    {-4121, "darkDown"},  {-4162, "darkUp"},         {9, "darkGrid"},
    {10, "darkTrellis"},  {11, "lightHorizontal"},   {12, "lightVertical"},
    {13, "lightDown"},    {14, "lightUp"},           {15, "lightGrid"},
    {16, "lightTrellis"}, {17, "gray125"},           {18, "gray0625"}};
constexpr int kLinearGradient = 4000;

const char* PatternType(int pattern) {
    if (pattern == Palette::Automatic)
        pattern = Palette::SolidPattern;
    for (const PatternName& p : kPatterns)
        if (p.pattern == pattern)
            return p.type;
    return nullptr;
}

int PatternOfType(const char* type) {
    for (const PatternName& p : kPatterns)
        if (std::strcmp(p.type, type) == 0)
            return p.pattern;
    return Palette::None;
}

int OrderOf(const char* localName, const char* const* order, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(order[i], localName) == 0)
            return int(i);
    return int(count);
}

// The child element with that local name, inserted where the given order puts it when missing.
template <size_t N>
pugi::xml_node OrderedChild(pugi::xml_node parent, const char* localName,
                            const char* const (&order)[N], const QByteArray& qualifiedName) {
    if (pugi::xml_node existing = XmlPart::Child(parent, localName))
        return existing;
    const int rank = OrderOf(localName, order, N);
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element &&
            OrderOf(XmlPart::LocalName(child), order, N) > rank)
            return parent.insert_child_before(qualifiedName.constData(), child);
    }
    return parent.append_child(qualifiedName.constData());
}

// A text of an element's properties that is equal for equal elements, whatever the order of
// attributes, the namespace prefix or the spelling of booleans.
void AppendKey(const pugi::xml_node& node, QByteArray& key) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        key += '"';
        key += node.value();
        key += '"';
        return;
    }
    if (node.type() != pugi::node_element)
        return;
    key += XmlPart::LocalName(node);
    std::vector<std::pair<QByteArray, QByteArray>> attributes;
    for (pugi::xml_attribute a : node.attributes()) {
        if (std::strncmp(a.name(), "xmlns", 5) == 0)
            continue;
        QByteArray value = a.value();
        if (value == "true")
            value = "1";
        else if (value == "false")
            value = "0";
        attributes.emplace_back(a.name(), value);
    }
    std::sort(attributes.begin(), attributes.end());
    key += '[';
    for (const auto& [name, value] : attributes)
        key += name + '=' + value + ' ';
    key += "]{";
    for (pugi::xml_node child : node.children())
        AppendKey(child, key);
    key += '}';
}

QByteArray KeyOf(const pugi::xml_node& node) {
    QByteArray key;
    AppendKey(node, key);
    return key;
}

int IntAttribute(const pugi::xml_node& node, const char* name, int fallback) {
    const pugi::xml_attribute a = node.attribute(name);
    return a.empty() ? fallback : a.as_int(fallback);
}

void SetCount(pugi::xml_node section, const char* entryName) {
    int count = 0;
    for (pugi::xml_node child : section.children())
        if (child.type() == pugi::node_element && XmlPart::HasLocalName(child, entryName))
            ++count;
    pugi::xml_attribute attribute = section.attribute("count");
    if (!attribute)
        attribute = section.prepend_attribute("count");
    attribute.set_value(count);
}

void SetAttribute(pugi::xml_node node, const char* name, const char* value) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(value);
}

} // namespace

struct Styles::Dom {
    pugi::xml_node root() const;
    pugi::xml_node section(Section which) const;
    pugi::xml_node ensureSection(Section which);
    pugi::xml_node cellFormat(int xf) const;
    pugi::xml_node entryOf(int xf, Section which, const char* idAttribute) const;
    QByteArray elementName(const char* localName) const;
    void index();
    // Finds an entry equal to candidate or appends a copy of it; its index.
    int shared(Section which, const pugi::xml_node& candidate);
    // The format xf with one attribute set and its apply flag on, de-duplicated.
    int withAttribute(int xf, const char* idAttribute, int id, const char* applyAttribute);
    int withFont(int xf, const pugi::xml_node& font);
    void setColor(pugi::xml_node color, int colorIndex) const;
    int colorIndexOf(const pugi::xml_node& color) const;

    pugi::xml_document mDocument;
    std::array<std::vector<pugi::xml_node>, SectionCount> mEntries;
    std::array<QHash<QByteArray, int>, SectionCount> mKeys;
    QStringList mIndexedColors; // a palette the file replaces the default one with, "RRGGBB"
};

Styles::Styles() : d(std::make_unique<Dom>()) {
    load(MinimalXml(), nullptr);
}

Styles::~Styles() = default;
Styles::Styles(Styles&&) noexcept = default;
Styles& Styles::operator=(Styles&&) noexcept = default;

QByteArray Styles::MinimalXml() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
        "</font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
        "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
        "</cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
        "xfId=\"0\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
        "</cellStyles>"
        "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>");
}

bool Styles::load(const QByteArray& xml, QString* error) {
    pugi::xml_document document;
    if (!XmlPart::Parse(xml, kPartName, document, error))
        return false;
    const pugi::xml_node top = document.document_element();
    if (!XmlPart::HasLocalName(top, "styleSheet")) {
        SetEngineError(error, EngineFault::NotStylesheet, {kPartName});
        return false;
    }
    if (!XmlPart::Child(XmlPart::Child(top, "cellXfs"), "xf")) {
        SetEngineError(error, EngineFault::StylesWithoutCellFormats, {kPartName});
        return false;
    }
    d->mDocument.reset(document);
    d->index();
    return true;
}

QByteArray Styles::toXml() const {
    return XmlPart::Serialize(d->mDocument);
}

void Styles::Dom::index() {
    for (int s = 0; s < SectionCount; ++s) {
        mEntries[size_t(s)].clear();
        mKeys[size_t(s)].clear();
        const pugi::xml_node parent = section(Section(s));
        for (pugi::xml_node child : parent.children()) {
            if (child.type() != pugi::node_element ||
                !XmlPart::HasLocalName(child, kSections[s].entry))
                continue;
            const int position = int(mEntries[size_t(s)].size());
            mEntries[size_t(s)].push_back(child);
            const QByteArray key = KeyOf(child);
            if (!mKeys[size_t(s)].contains(key)) // an earlier equal entry answers for both
                mKeys[size_t(s)].insert(key, position);
        }
    }
    mIndexedColors.clear();
    const pugi::xml_node indexed =
        XmlPart::Child(XmlPart::Child(root(), "colors"), "indexedColors");
    for (pugi::xml_node color : indexed.children()) {
        if (color.type() != pugi::node_element || !XmlPart::HasLocalName(color, "rgbColor"))
            continue;
        QString rgb = XmlPart::Attribute(color, "rgb").toUpper();
        mIndexedColors.append(rgb.size() == 8 ? rgb.mid(2) : rgb);
    }
}

pugi::xml_node Styles::Dom::root() const {
    return mDocument.document_element();
}

pugi::xml_node Styles::Dom::section(Section which) const {
    return XmlPart::Child(root(), kSections[which].section);
}

QByteArray Styles::Dom::elementName(const char* localName) const {
    QByteArray name = root().name();
    const qsizetype colon = name.indexOf(':');
    return (colon < 0 ? QByteArray() : name.left(colon + 1)) + localName;
}

pugi::xml_node Styles::Dom::ensureSection(Section which) {
    const char* name = kSections[which].section;
    if (pugi::xml_node existing = section(which))
        return existing;
    pugi::xml_node created = OrderedChild(root(), name, kStyleSheetOrder, elementName(name));
    created.append_attribute("count").set_value(0);
    return created;
}

pugi::xml_node Styles::Dom::cellFormat(int xf) const {
    const std::vector<pugi::xml_node>& formats = mEntries[CellXfs];
    return xf >= 0 && size_t(xf) < formats.size() ? formats[size_t(xf)] : formats.front();
}

pugi::xml_node Styles::Dom::entryOf(int xf, Section which, const char* idAttribute) const {
    const std::vector<pugi::xml_node>& entries = mEntries[which];
    if (entries.empty())
        return {};
    const int id = IntAttribute(cellFormat(xf), idAttribute, 0);
    return id >= 0 && size_t(id) < entries.size() ? entries[size_t(id)] : entries.front();
}

int Styles::cellFormatCount() const {
    return int(d->mEntries[CellXfs].size());
}

int Styles::Dom::shared(Section which, const pugi::xml_node& candidate) {
    const QByteArray key = KeyOf(candidate);
    const auto found = mKeys[which].constFind(key);
    if (found != mKeys[which].constEnd())
        return found.value();
    pugi::xml_node parent = ensureSection(which);
    // After the last entry, so that anything else the section holds stays where it was.
    pugi::xml_node appended = mEntries[which].empty()
                                  ? parent.prepend_copy(candidate)
                                  : parent.insert_copy_after(candidate, mEntries[which].back());
    const int position = int(mEntries[which].size());
    mEntries[which].push_back(appended);
    mKeys[which].insert(key, position);
    SetCount(parent, kSections[which].entry);
    return position;
}

int Styles::Dom::withAttribute(int xf, const char* idAttribute, int id,
                               const char* applyAttribute) {
    pugi::xml_document scratch;
    pugi::xml_node candidate = scratch.append_copy(cellFormat(xf));
    SetAttribute(candidate, idAttribute, QByteArray::number(id).constData());
    SetAttribute(candidate, applyAttribute, "1");
    return shared(CellXfs, candidate);
}

int Styles::Dom::withFont(int xf, const pugi::xml_node& font) {
    return withAttribute(xf, "fontId", shared(Fonts, font), "applyFont");
}

int Styles::withFontSize(int xf, double points) {
    if (!(points > 0 && points <= 409))
        return -1;
    pugi::xml_document scratch;
    const pugi::xml_node base = d->entryOf(xf, Fonts, "fontId");
    pugi::xml_node font =
        base ? scratch.append_copy(base) : scratch.append_child(d->elementName("font").constData());
    pugi::xml_node size = OrderedChild(font, "sz", kFontOrder, d->elementName("sz"));
    SetAttribute(size, "val", QByteArray::number(points, 'g', 15).constData());
    return d->withFont(xf, font);
}

int Styles::withHyperlinkFont(int xf) {
    pugi::xml_document scratch;
    const pugi::xml_node base = d->entryOf(xf, Fonts, "fontId");
    pugi::xml_node font =
        base ? scratch.append_copy(base) : scratch.append_child(d->elementName("font").constData());
    pugi::xml_node underline = OrderedChild(font, "u", kFontOrder, d->elementName("u"));
    underline.remove_attributes();
    pugi::xml_node color = OrderedChild(font, "color", kFontOrder, d->elementName("color"));
    color.remove_attributes();
    color.append_attribute("rgb").set_value("FF0000FF");
    return d->withFont(xf, font);
}

bool Styles::isHyperlinkFont(int xf) const {
    const pugi::xml_node font = d->entryOf(xf, Fonts, "fontId");
    const pugi::xml_node underline = XmlPart::Child(font, "u");
    if (!underline)
        return false;
    const QString kind = XmlPart::Attribute(underline, "val");
    if (!kind.isEmpty() && kind != QLatin1String("single"))
        return false;
    const pugi::xml_node color = XmlPart::Child(font, "color");
    if (!color.attribute("theme").empty())
        return IntAttribute(color, "theme", -1) == 10; // the theme's hyperlink colour
    return Palette::RgbHex(d->colorIndexOf(color)) == QLatin1String("0000FF");
}

double Styles::fontSize(int xf) const {
    const pugi::xml_node defaultFont =
        d->mEntries[Fonts].empty() ? pugi::xml_node() : d->mEntries[Fonts].front();
    for (const pugi::xml_node& font : {d->entryOf(xf, Fonts, "fontId"), defaultFont}) {
        bool ok = false;
        const double points = XmlPart::Attribute(XmlPart::Child(font, "sz"), "val").toDouble(&ok);
        if (ok && points > 0)
            return points;
    }
    return 11;
}

int Styles::withNumberFormat(int xf, const QString& formatCode) {
    if (formatCode.isEmpty())
        return -1;
    int id = -1;
    for (int builtIn = 0; builtIn <= 49 && id < 0; ++builtIn)
        if (BuiltInFormatCode(builtIn) == formatCode)
            id = builtIn;
    int highest = 163;
    const QByteArray code = formatCode.toUtf8();
    pugi::xml_node formats = d->section(NumFmts);
    for (pugi::xml_node format : formats.children()) {
        if (format.type() != pugi::node_element || !XmlPart::HasLocalName(format, "numFmt"))
            continue;
        const int existing = IntAttribute(format, "numFmtId", -1);
        highest = std::max(highest, existing);
        if (id < 0 && code == format.attribute("formatCode").value())
            id = existing;
    }
    if (id < 0) {
        id = highest + 1;
        formats = d->ensureSection(NumFmts);
        pugi::xml_node format = formats.append_child(d->elementName("numFmt").constData());
        format.append_attribute("numFmtId").set_value(id);
        format.append_attribute("formatCode").set_value(code.constData());
        SetCount(formats, "numFmt");
    }
    return d->withAttribute(xf, "numFmtId", id, "applyNumberFormat");
}

QString Styles::numberFormatCode(int xf) const {
    const int id = IntAttribute(d->cellFormat(xf), "numFmtId", 0);
    for (pugi::xml_node format : d->section(NumFmts).children())
        if (format.type() == pugi::node_element && XmlPart::HasLocalName(format, "numFmt") &&
            IntAttribute(format, "numFmtId", -1) == id)
            return XmlPart::Attribute(format, "formatCode");
    const QString builtIn = BuiltInFormatCode(id);
    return builtIn.isEmpty() ? QStringLiteral("General") : builtIn;
}

QString Styles::BuiltInFormatCode(int id) {
    // The ids whose codes do not depend on the reader's locale.
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 11:
        return QStringLiteral("0.00E+00");
    case 12:
        return QStringLiteral("# ?/?");
    case 13:
        return QStringLiteral("# ?\?/?\?");
    case 14:
        return QStringLiteral("mm-dd-yy");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("m/d/yy h:mm");
    case 37:
        return QStringLiteral("#,##0 ;(#,##0)");
    case 38:
        return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39:
        return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40:
        return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mmss.0");
    case 48:
        return QStringLiteral("##0.0E+0");
    case 49:
        return QStringLiteral("@");
    default:
        return {};
    }
}

void Styles::Dom::setColor(pugi::xml_node color, int colorIndex) const {
    color.remove_attributes();
    if (!Palette::IsValidIndex(colorIndex)) {
        color.append_attribute("indexed").set_value(Palette::AutomaticIndexed);
        return;
    }
    const int indexed = Palette::IndexedOf(colorIndex);
    const QString rgb = Palette::RgbHex(colorIndex);
    // A file with its own palette may have moved the colour; then name it by its value.
    if (indexed < mIndexedColors.size() && mIndexedColors.at(indexed) != rgb)
        color.append_attribute("rgb").set_value(QByteArray("FF" + rgb.toLatin1()).constData());
    else
        color.append_attribute("indexed").set_value(indexed);
}

int Styles::Dom::colorIndexOf(const pugi::xml_node& color) const {
    if (!color)
        return 0;
    if (!color.attribute("rgb").empty())
        return Palette::IndexOfRgb(XmlPart::Attribute(color, "rgb"));
    if (color.attribute("indexed").empty())
        return 0; // theme, auto or system colours are not palette entries
    const int indexed = IntAttribute(color, "indexed", -1);
    if (indexed >= 0 && indexed < mIndexedColors.size())
        return Palette::IndexOfRgb(mIndexedColors.at(indexed));
    return Palette::ColorIndexOfIndexed(indexed);
}

int Styles::withFill(int xf, int colorIndex, int pattern, int patternColorIndex) {
    const bool noColor = colorIndex == Palette::None || colorIndex == Palette::Automatic;
    if (!noColor && !Palette::IsValidIndex(colorIndex))
        return -1;
    if (pattern != Palette::None && !PatternType(pattern))
        return -1;
    if (patternColorIndex != Palette::Automatic && patternColorIndex != Palette::None &&
        !Palette::IsValidIndex(patternColorIndex))
        return -1;

    pugi::xml_document scratch;
    pugi::xml_node fill = scratch.append_child(d->elementName("fill").constData());
    pugi::xml_node patternFill = fill.append_child(d->elementName("patternFill").constData());
    if (noColor || pattern == Palette::None) {
        patternFill.append_attribute("patternType").set_value("none");
    } else {
        const char* type = PatternType(pattern);
        patternFill.append_attribute("patternType").set_value(type);
        // A solid fill paints its foreground; a hatch draws the pattern colour in the foreground
        // over the cell colour in the background.
        const bool solid = std::strcmp(type, "solid") == 0;
        d->setColor(patternFill.append_child(d->elementName("fgColor").constData()),
                    solid ? colorIndex : patternColorIndex);
        d->setColor(patternFill.append_child(d->elementName("bgColor").constData()),
                    solid ? patternColorIndex : colorIndex);
    }
    return d->withAttribute(xf, "fillId", d->shared(Fills, fill), "applyFill");
}

int Styles::fillPattern(int xf) const {
    const pugi::xml_node fill = d->entryOf(xf, Fills, "fillId");
    if (XmlPart::Child(fill, "gradientFill"))
        return kLinearGradient;
    const pugi::xml_node patternFill = XmlPart::Child(fill, "patternFill");
    const pugi::xml_attribute type = patternFill.attribute("patternType");
    return type.empty() ? Palette::None : PatternOfType(type.value());
}

int Styles::fillColorIndex(int xf) const {
    const int pattern = fillPattern(xf);
    if (pattern == Palette::None || pattern == kLinearGradient)
        return 0;
    const pugi::xml_node patternFill =
        XmlPart::Child(d->entryOf(xf, Fills, "fillId"), "patternFill");
    return d->colorIndexOf(
        XmlPart::Child(patternFill, pattern == Palette::SolidPattern ? "fgColor" : "bgColor"));
}

} // namespace plw
