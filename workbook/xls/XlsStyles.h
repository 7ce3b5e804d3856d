#pragma once

#include "workbook/xls/BiffStream.h"
#include "workbook/xls/XlsPalette.h"

#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace plw::xls {

// What a FONT record says.
struct FontLook {
    double points = 11;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool outline = false;
    bool shadow = false;
    bool condense = false;
    bool extend = false;
    int script = 0;      // superscript 1, subscript 2
    int underline = 0;   // single 1, double 2, single and double accounting 0x21, 0x22
    int colour = 0x7FFF; // a palette index; 0x7FFF automatic
    int family = 0;
    int charset = 0;
    QString name;
};

// The stylesheet of a workbook as BIFF8 formatting records: FONT, FORMAT, XF, STYLE and, when
// the stylesheet changes the colours, PALETTE. The stylesheet's cell formats become cell XFs,
// its cell style formats style XFs, after the XFs every BIFF8 workbook begins with.
class XlsStyles {
public:
    // Reads a stylesheet part. False with the construct it cannot express (a theme colour, an
    // RGB colour outside the palette, a gradient fill...).
    bool load(const pugi::xml_node& styleSheet, QString* unhandled);

    const XlsPalette& palette() const { return mPalette; }
    // The XF index of a cell format of the stylesheet (an index out of range counts as 0).
    int cellXf(int cellFormat) const;
    // The BIFF font index of a font of the stylesheet, and of a cell format's font.
    static int FontIndex(int font) { return font < 4 ? font : font + 1; }
    int fontOfCellXf(int cellFormat) const;

    // Appends the formatting records in the order the workbook globals need them.
    void write(BiffStream& globals) const;

    // The workbook's default font (the stylesheet's first).
    const FontLook& defaultFont() const { return mDefaultFont; }
    // A font made here (charts), added once; answers its BIFF index, -1 when the workbook holds
    // as many fonts as the format allows.
    int addFont(const FontLook& font);
    static RecordData FontRecord(const FontLook& font);
    // The index of a number format by its code: a built-in one, one the workbook has, or a new
    // FORMAT record.
    int formatIndex(const QString& code);

private:
    struct Xf {
        int font = 0;
        int format = 0;
        bool style = false;
        int parent = 0; // BIFF index of the style XF (cell XFs)
        bool locked = true;
        bool hidden = false;
        bool prefix = false;  // the text was typed with a leading apostrophe
        int alignment = 0x20; // alc, fWrap, alcV (bottom), fJustLast
        int rotation = 0;
        int indent = 0; // cIndent, fShrinkToFit, iReadOrder
        int used = 0;   // the fAtr bits
        std::uint32_t border1 = 0;
        std::uint32_t border2 = 0;
        int fill = 0; // icvFore, icvBack
    };

    bool readFonts(const pugi::xml_node& fonts, QString* unhandled);
    bool readFormats(const pugi::xml_node& formats, QString* unhandled);
    bool readXf(const pugi::xml_node& node, bool style, Xf* xf, QString* unhandled) const;
    // The parts of an XF: alignment, the border it refers to and the fill it refers to (none when
    // fill is null). False with the construct BIFF8 cannot express.
    static bool readAlignment(const pugi::xml_node& alignment, Xf* xf, QString* unhandled);
    bool readBorder(const pugi::xml_node& border, Xf* xf, QString* unhandled) const;
    bool readFill(const pugi::xml_node& fill, Xf* xf, QString* unhandled) const;
    int colorOf(const pugi::xml_node& color, int automatic, QString* unhandled) const;
    // While style XFs are read: a colour outside the palette takes the closest palette colour.
    mutable bool mClosestColours = false;
    int biffXfOfStyle(int cellStyleFormat) const;
    // The steps of write().
    static void WriteXf(BiffStream& globals, const Xf& xf);
    void writeXfs(BiffStream& globals) const;
    void writeStyles(BiffStream& globals) const;
    void writePalette(BiffStream& globals) const;

    XlsPalette mPalette;
    std::vector<RecordData> mFonts;
    std::vector<std::pair<int, QString>> mFormats;
    pugi::xml_node mFills;
    pugi::xml_node mBorders;
    std::vector<Xf> mStyleXfs; // the stylesheet's cell style formats
    std::vector<Xf> mCellXfs;  // its cell formats
    struct NamedStyle {
        QString name;
        int xf = 0;
        int builtIn = -1; // -1 for a style of the user's
        int level = 0;    // the outline level of the row and column level styles
    };
    std::vector<NamedStyle> mStyles;
    std::vector<RecordData> mExtraFonts;
    FontLook mDefaultFont;
};

} // namespace plw::xls
