#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace plw {

// The stylesheet part (xl/styles.xml) held as a DOM. Cell formats derived from an existing one are
// de-duplicated by their properties: asking twice for the same change answers the same index, and
// fonts, fills and number formats are shared the same way. Everything else in the part (theme
// colours, cell styles, dxfs, colours, extensions) is kept as read.
class Styles {
public:
    Styles();
    ~Styles();
    Styles(Styles&&) noexcept;
    Styles& operator=(Styles&&) noexcept;

    // A stylesheet with one default font, the two required fills, one border and one cell format,
    // for a package that has no styles part.
    static QByteArray MinimalXml();

    // False with a reason when the part is not XML, not a stylesheet, or has no cell format.
    bool load(const QByteArray& xml, QString* error);
    QByteArray toXml() const;

    int cellFormatCount() const;

    // Each answers the index of the cell format equal to xf with one property changed: an existing
    // equal format when there is one, else a newly appended one. An xf out of range is taken as 0.
    // They answer -1 for an argument the spreadsheet would refuse; the stylesheet is then
    // unchanged.
    //
    // colorIndex 1..56 or Palette::None (no fill); pattern an XlPattern value (1 solid,
    // Palette::None none, the other hatches and greys); patternColorIndex Palette::Automatic or
    // 1..56.
    int withFill(int xf, int colorIndex, int pattern, int patternColorIndex);
    // points above 0 up to 409.
    int withFontSize(int xf, double points);
    // Blue, single underline: the look of a hyperlink.
    int withHyperlinkFont(int xf);
    // A built-in code answers its built-in id; other codes get custom ids from 164 up, reused when
    // equal. An empty code is refused.
    int withNumberFormat(int xf, const QString& formatCode);

    // The size of the format's font, else the default font's, else 11.
    double fontSize(int xf) const;
    // The format code, built-in ids mapped to their codes; "General" when unknown.
    QString numberFormatCode(int xf) const;
    // The palette index of the cell colour of a patterned fill (for solid: its foreground, indexed
    // or RGB that is in the palette); 0 when there is none or it is not a palette colour.
    int fillColorIndex(int xf) const;
    // The XlPattern value of the fill: 1 solid, Palette::None none, ...
    int fillPattern(int xf) const;
    bool isHyperlinkFont(int xf) const;

    // The code of a built-in number format id; empty when the id has no fixed code.
    static QString BuiltInFormatCode(int id);

private:
    enum Section { NumFmts, Fonts, Fills, Borders, CellStyleXfs, CellXfs, SectionCount };

    // The part's DOM, its entries indexed, and the steps on it, kept out of this header.
    struct Dom;
    std::unique_ptr<Dom> d;
};

} // namespace plw
