#include "workbook/xls/XlsStyles.h"

#include "workbook/XmlPart.h"
#include "workbook/xls/RecordIds.h"
#include "workbook/xls/XmlValues.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plw::xls {

using XmlPart::Attribute;
using XmlPart::Child;
using XmlPart::HasLocalName;

namespace {

// BIFF8 limits: font index 4 does not exist, so 511 indices hold 510 fonts; an XF index has 12
// bits, of which Excel uses up to 4050 XFs.
constexpr int kMaxFonts = 510;
constexpr int kMaxXfs = 4050;
// XFs 0 to 14 are style XFs, 15 the default cell XF, 16 to 20 the built-in number styles.
constexpr int kFirstFreeXf = 21;
constexpr int kSystemForeground = 64;
constexpr int kSystemBackground = 65;
constexpr int kAutomaticFontColor = 0x7FFF;

// The number formats of the reader's currency, which every BIFF8 workbook carries (the
// Japanese forms, with the yen sign).
const std::pair<int, const char16_t*> kLocaleFormats[] = {
    {5, u"\"¥\"#,##0;\"¥\"\\-#,##0"},
    {6, u"\"¥\"#,##0;[Red]\"¥\"\\-#,##0"},
    {7, u"\"¥\"#,##0.00;\"¥\"\\-#,##0.00"},
    {8, u"\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00"},
    {42, u"_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ ;_ \"¥\"* \"-\"_ ;_ @_ "},
    {41, u"_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ "},
    {44, u"_ \"¥\"* #,##0.00_ ;_ \"¥\"* \\-#,##0.00_ ;_ \"¥\"* \"-\"??_ ;_ @_ "},
    {43, u"_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ "},
};

// The built-in number styles Excel writes after the default cell XF: Comma, Comma [0],
// Currency, Currency [0], Percent with their number formats.
const std::pair<int, int> kBuiltInStyles[] = {{3, 43}, {6, 41}, {4, 44}, {7, 42}, {5, 9}};

// A CT_BooleanProperty element (<b/>, <i val="0"/>): present and not false.
bool Flag(const pugi::xml_node& font, const char* name) {
    const pugi::xml_node node = Child(font, name);
    return node && BoolAttribute(node, "val", true);
}

int Code(const QString& value, std::initializer_list<const char*> names, int fallback = -1) {
    int code = 0;
    for (const char* name : names) {
        if (value == QLatin1String(name))
            return code;
        ++code;
    }
    return value.isEmpty() ? 0 : fallback;
}

const std::initializer_list<const char*> kBorderStyles = {"none",
                                                          "thin",
                                                          "medium",
                                                          "dashed",
                                                          "dotted",
                                                          "thick",
                                                          "double",
                                                          "hair",
                                                          "mediumDashed",
                                                          "dashDot",
                                                          "mediumDashDot",
                                                          "dashDotDot",
                                                          "mediumDashDotDot",
                                                          "slantDashDot"};
const std::initializer_list<const char*> kPatterns = {
    "none",           "solid",           "mediumGray",    "darkGray",  "lightGray",
    "darkHorizontal", "darkVertical",    "darkDown",      "darkUp",    "darkGrid",
    "darkTrellis",    "lightHorizontal", "lightVertical", "lightDown", "lightUp",
    "lightGrid",      "lightTrellis",    "gray125",       "gray0625"};

pugi::xml_node Entry(const pugi::xml_node& section, const char* name, int index) {
    int i = 0;
    for (pugi::xml_node child : section.children())
        if (child.type() == pugi::node_element && HasLocalName(child, name) && i++ == index)
            return child;
    return {};
}

} // namespace

int XlsStyles::colorOf(const pugi::xml_node& color, int automatic, QString* unhandled) const {
    if (!color || BoolAttribute(color, "auto", false))
        return automatic;
    if (color.attribute("theme") || color.attribute("tint")) {
        *unhandled = QStringLiteral("テーマの色 (theme)");
        return -1;
    }
    if (pugi::xml_attribute indexed = color.attribute("indexed")) {
        const int index = indexed.as_int(-1);
        if (index >= 0 && index < 8)
            return index + 8; // the legacy copies of the first eight colours
        if (index == kSystemForeground)
            return automatic;
        if (index >= 8 && index <= kSystemBackground)
            return index;
        *unhandled = QStringLiteral("色番号 %1").arg(index);
        return -1;
    }
    if (color.attribute("rgb")) {
        const int index = mClosestColours ? mPalette.nearestOfHex(Attribute(color, "rgb"))
                                          : mPalette.indexOfHex(Attribute(color, "rgb"));
        if (index < 0)
            *unhandled = QStringLiteral("パレットにない色 %1").arg(Attribute(color, "rgb"));
        return index;
    }
    return automatic;
}

bool XlsStyles::readFonts(const pugi::xml_node& fonts, QString* unhandled) {
    const std::vector<pugi::xml_node> entries = Children(fonts, "font");
    if (entries.size() > size_t(kMaxFonts)) {
        *unhandled = QStringLiteral("%1 個を超えるフォント").arg(kMaxFonts);
        return false;
    }
    for (const pugi::xml_node& font : entries) {
        FontLook look;
        const double points = Attribute(Child(font, "sz"), "val").toDouble();
        look.points = points > 0 ? points : 11;
        look.bold = Flag(font, "b");
        look.italic = Flag(font, "i");
        look.strike = Flag(font, "strike");
        look.outline = Flag(font, "outline");
        look.shadow = Flag(font, "shadow");
        look.condense = Flag(font, "condense");
        look.extend = Flag(font, "extend");
        look.colour = colorOf(Child(font, "color"), kAutomaticFontColor, unhandled);
        if (look.colour < 0)
            return false;
        const QString vertical = Attribute(Child(font, "vertAlign"), "val");
        look.script = vertical == u"superscript" ? 1 : vertical == u"subscript" ? 2 : 0;
        if (const pugi::xml_node u = Child(font, "u")) {
            const QString kind = Attribute(u, "val");
            look.underline = kind == u"double"             ? 2
                             : kind == u"singleAccounting" ? 0x21
                             : kind == u"doubleAccounting" ? 0x22
                             : kind == u"none"             ? 0
                                                           : 1;
        }
        look.family = Attribute(Child(font, "family"), "val").toInt();
        look.charset = Attribute(Child(font, "charset"), "val").toInt();
        look.name = Attribute(Child(font, "name"), "val");
        if (look.name.isEmpty())
            look.name = QStringLiteral("Calibri");
        if (mFonts.empty())
            mDefaultFont = look;
        mFonts.push_back(FontRecord(look));
    }
    if (mFonts.empty()) {
        *unhandled = QStringLiteral("フォントのないスタイルシート");
        return false;
    }
    // The default style XFs refer to fonts 0 to 3.
    while (mFonts.size() < 4)
        mFonts.push_back(mFonts.front());
    return true;
}

bool XlsStyles::readFormats(const pugi::xml_node& formats, QString* unhandled) {
    for (const auto& [id, code] : kLocaleFormats)
        mFormats.emplace_back(id, QString::fromUtf16(code));
    for (const pugi::xml_node& format : Children(formats, "numFmt")) {
        bool ok = false;
        const int id = Attribute(format, "numFmtId").toInt(&ok);
        if (!ok || id < 0 || id > 0xFFFF) {
            *unhandled = QStringLiteral("表示形式の番号 %1").arg(Attribute(format, "numFmtId"));
            return false;
        }
        const QString code = Attribute(format, "formatCode");
        auto existing = std::find_if(mFormats.begin(), mFormats.end(),
                                     [&](const auto& entry) { return entry.first == id; });
        if (existing != mFormats.end())
            existing->second = code;
        else
            mFormats.emplace_back(id, code);
    }
    return true;
}

bool XlsStyles::readXf(const pugi::xml_node& node, bool style, Xf* xf, QString* unhandled) const {
    const int fontId = node.attribute("fontId").as_int(0);
    xf->font = FontIndex(fontId >= 0 && size_t(fontId) < mFonts.size() ? fontId : 0);
    xf->format = node.attribute("numFmtId").as_int(0);
    xf->style = style;
    xf->parent = style ? 0xFFF : biffXfOfStyle(node.attribute("xfId").as_int(0));
    int used = 0;
    if (BoolAttribute(node, "applyNumberFormat", false) || xf->format != 0)
        used |= 0x04;
    if (BoolAttribute(node, "applyFont", false) || fontId != 0)
        used |= 0x08;

    const pugi::xml_node alignment = Child(node, "alignment");
    if (alignment && !readAlignment(alignment, xf, unhandled))
        return false;
    if (BoolAttribute(node, "applyAlignment", false) || alignment)
        used |= 0x10;

    const int borderId = node.attribute("borderId").as_int(0);
    const pugi::xml_node border = Entry(mBorders, "border", borderId);
    if (border && !readBorder(border, xf, unhandled))
        return false;
    if (BoolAttribute(node, "applyBorder", false) || borderId != 0)
        used |= 0x20;

    const int fillId = node.attribute("fillId").as_int(0);
    if (!readFill(Entry(mFills, "fill", fillId), xf, unhandled))
        return false;
    if (BoolAttribute(node, "applyFill", false) || fillId != 0)
        used |= 0x40;

    const pugi::xml_node protection = Child(node, "protection");
    xf->locked = BoolAttribute(protection, "locked", true);
    xf->hidden = BoolAttribute(protection, "hidden", false);
    if (BoolAttribute(node, "applyProtection", false) || protection)
        used |= 0x80;
    xf->used = style ? 0 : used;
    xf->prefix = BoolAttribute(node, "quotePrefix", false);
    return true;
}

bool XlsStyles::readAlignment(const pugi::xml_node& alignment, Xf* xf, QString* unhandled) {
    const int horizontal =
        Code(Attribute(alignment, "horizontal"), {"general", "left", "center", "right", "fill",
                                                  "justify", "centerContinuous", "distributed"});
    const QString verticalName = Attribute(alignment, "vertical");
    const int vertical =
        verticalName.isEmpty()
            ? 2
            : Code(verticalName, {"top", "center", "bottom", "justify", "distributed"});
    if (horizontal < 0 || vertical < 0) {
        *unhandled =
            QStringLiteral("配置 %1 %2").arg(Attribute(alignment, "horizontal"), verticalName);
        return false;
    }
    xf->alignment = horizontal | (BoolAttribute(alignment, "wrapText", false) ? 0x08 : 0) |
                    (vertical << 4) |
                    (BoolAttribute(alignment, "justifyLastLine", false) ? 0x80 : 0);
    xf->rotation = alignment.attribute("textRotation").as_int(0) & 0xFF;
    xf->indent = (alignment.attribute("indent").as_int(0) & 0x0F) |
                 (BoolAttribute(alignment, "shrinkToFit", false) ? 0x10 : 0) |
                 ((alignment.attribute("readingOrder").as_int(0) & 0x03) << 6);
    return true;
}

bool XlsStyles::readBorder(const pugi::xml_node& border, Xf* xf, QString* unhandled) const {
    int lines[5] = {};
    int colors[5] = {kSystemForeground, kSystemForeground, kSystemForeground, kSystemForeground,
                     kSystemForeground};
    const char* sides[5] = {"left", "right", "top", "bottom", "diagonal"};
    for (int s = 0; s < 5; ++s) {
        const pugi::xml_node side = Child(border, sides[s]);
        if (!side)
            continue;
        lines[s] = Code(Attribute(side, "style"), kBorderStyles);
        if (lines[s] < 0) {
            *unhandled = QStringLiteral("罫線の種類 %1").arg(Attribute(side, "style"));
            return false;
        }
        colors[s] = colorOf(Child(side, "color"), kSystemForeground, unhandled);
        if (colors[s] < 0)
            return false;
    }
    const int diagonal = (BoolAttribute(border, "diagonalDown", false) ? 1 : 0) |
                         (BoolAttribute(border, "diagonalUp", false) ? 2 : 0);
    xf->border1 = std::uint32_t(lines[0]) | std::uint32_t(lines[1]) << 4 |
                  std::uint32_t(lines[2]) << 8 | std::uint32_t(lines[3]) << 12 |
                  std::uint32_t(colors[0] & 0x7F) << 16 | std::uint32_t(colors[1] & 0x7F) << 23 |
                  std::uint32_t(diagonal) << 30;
    xf->border2 = std::uint32_t(colors[2] & 0x7F) | std::uint32_t(colors[3] & 0x7F) << 7 |
                  std::uint32_t(colors[4] & 0x7F) << 14 |
                  std::uint32_t(diagonal ? lines[4] : 0) << 21;
    return true;
}

bool XlsStyles::readFill(const pugi::xml_node& fill, Xf* xf, QString* unhandled) const {
    int pattern = 0;
    int fore = kSystemForeground;
    int back = kSystemBackground;
    if (fill) {
        if (Child(fill, "gradientFill")) {
            *unhandled = QStringLiteral("グラデーションの塗りつぶし (gradientFill)");
            return false;
        }
        const pugi::xml_node patternFill = Child(fill, "patternFill");
        const QString type = Attribute(patternFill, "patternType");
        pattern = type.isEmpty() ? (Child(patternFill, "fgColor") ? 1 : 0) : Code(type, kPatterns);
        if (pattern < 0) {
            *unhandled = QStringLiteral("塗りつぶしのパターン %1").arg(type);
            return false;
        }
        if (pattern != 0) {
            fore = colorOf(Child(patternFill, "fgColor"), kSystemForeground, unhandled);
            // A solid fill never shows its background colour, whatever a program put there.
            const bool closest = mClosestColours;
            mClosestColours = closest || pattern == 1;
            back = colorOf(Child(patternFill, "bgColor"), kSystemBackground, unhandled);
            mClosestColours = closest;
            if (fore < 0 || back < 0)
                return false;
        }
    }
    xf->border2 |= std::uint32_t(pattern) << 26;
    xf->fill = (fore & 0x7F) | (back & 0x7F) << 7;
    return true;
}

int XlsStyles::biffXfOfStyle(int cellStyleFormat) const {
    if (cellStyleFormat <= 0 || size_t(cellStyleFormat) >= mStyleXfs.size())
        return 0;
    return kFirstFreeXf - 1 + int(mCellXfs.size()) + cellStyleFormat;
}

int XlsStyles::cellXf(int cellFormat) const {
    if (cellFormat <= 0 || size_t(cellFormat) >= mCellXfs.size())
        return 15;
    return kFirstFreeXf - 1 + cellFormat;
}

int XlsStyles::fontOfCellXf(int cellFormat) const {
    if (cellFormat < 0 || size_t(cellFormat) >= mCellXfs.size())
        cellFormat = 0;
    return mCellXfs.empty() ? 0 : mCellXfs[size_t(cellFormat)].font;
}

bool XlsStyles::load(const pugi::xml_node& styleSheet, QString* unhandled) {
    const pugi::xml_node colors = Child(Child(styleSheet, "colors"), "indexedColors");
    if (colors) {
        QStringList list;
        for (const pugi::xml_node& color : Children(colors, "rgbColor"))
            list << Attribute(color, "rgb");
        if (!mPalette.setIndexedColors(list)) {
            *unhandled = QStringLiteral("読めないパレットの色");
            return false;
        }
    }
    if (!readFonts(Child(styleSheet, "fonts"), unhandled) ||
        !readFormats(Child(styleSheet, "numFmts"), unhandled))
        return false;
    mFills = Child(styleSheet, "fills");
    mBorders = Child(styleSheet, "borders");

    const std::vector<pugi::xml_node> styleXfs = Children(Child(styleSheet, "cellStyleXfs"), "xf");
    const std::vector<pugi::xml_node> cellXfs = Children(Child(styleSheet, "cellXfs"), "xf");
    if (cellXfs.empty()) {
        *unhandled = QStringLiteral("セルの書式のないスタイルシート");
        return false;
    }
    if (kFirstFreeXf + cellXfs.size() + styleXfs.size() > size_t(kMaxXfs)) {
        *unhandled = QStringLiteral("%1 個を超えるセルの書式").arg(kMaxXfs);
        return false;
    }
    // Sizes first: a cell XF's parent index depends on how many cell XFs there are.
    mStyleXfs.resize(std::max<size_t>(1, styleXfs.size()));
    mCellXfs.resize(cellXfs.size());
    // A named style no cell shows may carry any colour (another program's style sets do): it
    // takes the closest palette colour, as Excel gives it when saving in this format.
    mClosestColours = true;
    for (size_t i = 0; i < styleXfs.size(); ++i)
        if (!readXf(styleXfs[i], true, &mStyleXfs[i], unhandled))
            return false;
    mClosestColours = false;
    for (size_t i = 0; i < cellXfs.size(); ++i)
        if (!readXf(cellXfs[i], false, &mCellXfs[i], unhandled))
            return false;

    for (const pugi::xml_node& style : Children(Child(styleSheet, "cellStyles"), "cellStyle"))
        mStyles.push_back(
            {Attribute(style, "name"), biffXfOfStyle(style.attribute("xfId").as_int(0)),
             style.attribute("builtinId") ? style.attribute("builtinId").as_int() : -1,
             style.attribute("iLevel").as_int(0)});
    return true;
}

RecordData XlsStyles::FontRecord(const FontLook& font) {
    RecordData data;
    data.u16(int(std::lround(font.points * 20)));
    // Bit 0 repeats the weight's boldness, as Excel writes it and older readers take it.
    data.u16((font.bold ? 0x01 : 0) | (font.italic ? 0x02 : 0) | (font.strike ? 0x08 : 0) |
             (font.outline ? 0x10 : 0) | (font.shadow ? 0x20 : 0) | (font.condense ? 0x40 : 0) |
             (font.extend ? 0x80 : 0));
    data.u16(font.colour);
    data.u16(font.bold ? 700 : 400);
    data.u16(font.script);
    data.u8(font.underline);
    data.u8(font.family);
    data.u8(font.charset);
    data.u8(0);
    data.unicodeString(font.name.left(255), true);
    return data;
}

int XlsStyles::addFont(const FontLook& look) {
    const RecordData font = FontRecord(look);
    const auto same = [&](const RecordData& other) {
        return other.data() == font.data();
    };
    const auto own = std::find_if(mFonts.begin(), mFonts.end(), same);
    if (own != mFonts.end())
        return FontIndex(int(own - mFonts.begin()));
    auto existing = std::find_if(mExtraFonts.begin(), mExtraFonts.end(), same);
    if (existing == mExtraFonts.end()) {
        if (int(mFonts.size() + mExtraFonts.size()) >= kMaxFonts)
            return -1;
        mExtraFonts.push_back(font);
        existing = mExtraFonts.end() - 1;
    }
    return FontIndex(int(mFonts.size() + (existing - mExtraFonts.begin())));
}

int XlsStyles::formatIndex(const QString& code) {
    // The built-in formats every reader knows by their index.
    static const std::pair<int, const char*> kBuiltIn[] = {
        {0, "General"},  {1, "0"},         {2, "0.00"},      {3, "#,##0"},
        {4, "#,##0.00"}, {9, "0%"},        {10, "0.00%"},    {11, "0.00E+00"},
        {12, "# ?/?"},   {13, "# ?\?/??"}, {48, "##0.0E+0"}, {49, "@"}};
    for (const auto& [id, builtIn] : kBuiltIn)
        if (code == QLatin1String(builtIn))
            return id;
    int next = 164;
    for (const auto& [id, existing] : mFormats) {
        if (existing == code)
            return id;
        next = std::max(next, id + 1);
    }
    mFormats.emplace_back(next, code);
    return next;
}

void XlsStyles::write(BiffStream& globals) const {
    for (const RecordData& font : mFonts)
        globals.add(Rec::Font, font);
    for (const RecordData& font : mExtraFonts)
        globals.add(Rec::Font, font);
    for (const auto& [id, code] : mFormats) {
        RecordData data;
        data.u16(id);
        data.unicodeString(code);
        globals.add(Rec::Format, data);
    }
    writeXfs(globals);
    writeStyles(globals);
    if (mPalette.isCustom())
        writePalette(globals);
}

void XlsStyles::WriteXf(BiffStream& globals, const Xf& xf) {
    RecordData data;
    data.u16(xf.font);
    data.u16(xf.format);
    data.u16((xf.locked ? 0x01 : 0) | (xf.hidden ? 0x02 : 0) | (xf.style ? 0x04 : 0) |
             (xf.prefix ? 0x08 : 0) | (xf.parent << 4));
    data.u8(xf.alignment);
    data.u8(xf.rotation);
    data.u8(xf.indent);
    data.u8(xf.used);
    data.u32(xf.border1);
    data.u32(xf.border2);
    data.u16(xf.fill);
    globals.add(Rec::XF, data);
}

// The XFs every BIFF8 workbook begins with, then the stylesheet's cell and style formats.
void XlsStyles::writeXfs(BiffStream& globals) const {
    const Xf& normal = mStyleXfs.front();
    WriteXf(globals, normal);
    // Styles 1 to 14: fonts 1, 1, 2, 2, then 0; only the font belongs to them.
    for (int i = 1; i <= 14; ++i) {
        Xf xf = normal;
        xf.font = i <= 2 ? 1 : i <= 4 ? 2 : 0;
        xf.used = 0xF4;
        WriteXf(globals, xf);
    }
    WriteXf(globals, mCellXfs.front());
    for (const auto& [builtIn, format] : kBuiltInStyles) {
        (void)builtIn;
        Xf xf = normal;
        xf.format = format;
        xf.used = 0xF8;
        WriteXf(globals, xf);
    }
    for (size_t i = 1; i < mCellXfs.size(); ++i)
        WriteXf(globals, mCellXfs[i]);
    for (size_t i = 1; i < mStyleXfs.size(); ++i)
        WriteXf(globals, mStyleXfs[i]);
}

// The named styles of the stylesheet, each built-in one once, then the built-in ones it lacks.
void XlsStyles::writeStyles(BiffStream& globals) const {
    QList<int> builtInsWritten;
    for (const NamedStyle& style : mStyles) {
        RecordData data;
        if (style.builtIn >= 0) {
            if (builtInsWritten.contains(style.builtIn))
                continue;
            builtInsWritten << style.builtIn;
            data.u16(style.xf | 0x8000);
            data.u8(style.builtIn);
            // Only the row and column level styles have a level.
            data.u8(style.builtIn == 1 || style.builtIn == 2 ? style.level : 0xFF);
        } else {
            data.u16(style.xf);
            data.unicodeString(style.name.left(255));
        }
        globals.add(Rec::Style, data);
    }
    int xf = 16;
    for (const auto& [builtIn, format] : kBuiltInStyles) {
        (void)format;
        if (!builtInsWritten.contains(builtIn)) {
            RecordData data;
            data.u16(xf | 0x8000);
            data.u8(builtIn);
            data.u8(0xFF);
            globals.add(Rec::Style, data);
        }
        ++xf;
    }
    if (!builtInsWritten.contains(0)) {
        RecordData data;
        data.u16(0x8000);
        data.u8(0);
        data.u8(0xFF);
        globals.add(Rec::Style, data);
    }
}

void XlsStyles::writePalette(BiffStream& globals) const {
    RecordData data;
    data.u16(56);
    for (int index = 8; index < 64; ++index) {
        const unsigned rgb = mPalette.rgb(index);
        data.u8(int(rgb >> 16));
        data.u8(int((rgb >> 8) & 0xFF));
        data.u8(int(rgb & 0xFF));
        data.u8(0);
    }
    globals.add(Rec::Palette, data);
}

} // namespace plw::xls
