#include "workbook/Styles.h"
#include "workbook/Palette.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

namespace {

// A stylesheet as LibreOffice saves it, restyled by hand: a theme-coloured font, a hyperlink style
// with the theme's link colour, an RGB fill, cell styles, a dxf, recent colours and an extension.
const QByteArray kLibreOffice =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
    R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac" )"
    R"(mc:Ignorable="x14ac">)"
    R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="General"/>)"
    R"(<numFmt numFmtId="165" formatCode="#,##0&quot;円&quot;"/></numFmts>)"
    R"(<fonts count="3" x14ac:knownFonts="1">)"
    R"(<font><sz val="10"/><color theme="1"/><name val="ＭＳ Ｐゴシック"/><family val="3"/>)"
    R"(<charset val="128"/><scheme val="minor"/></font>)"
    R"(<font><b val="true"/><sz val="14"/><color theme="1"/><name val="Arial"/></font>)"
    R"(<font><u/><sz val="10"/><color theme="10"/><name val="ＭＳ Ｐゴシック"/></font></fonts>)"
    R"(<fills count="3"><fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill>)"
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFFF9900"/>)"
    R"(<bgColor rgb="FFFFCC00"/></patternFill></fill></fills>)"
    R"(<borders count="2"><border diagonalUp="false" diagonalDown="false"><left/><right/><top/>)"
    R"(<bottom/><diagonal/></border><border><left style="thin"><color auto="1"/></left><right/>)"
    R"(<top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="2"><xf numFmtId="164" fontId="0" fillId="0" borderId="0" )"
    R"(applyFont="true" applyAlignment="true"><alignment horizontal="general" vertical="bottom" )"
    R"(wrapText="false"/><protection locked="true" hidden="false"/></xf>)"
    R"(<xf numFmtId="0" fontId="2" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="4"><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="165" fontId="1" fillId="0" borderId="1" xfId="0" applyFont="true" )"
    R"(applyBorder="true" applyNumberFormat="true"><alignment horizontal="center"/></xf>)"
    R"(<xf numFmtId="164" fontId="0" fillId="2" borderId="0" xfId="0" applyFill="true"/>)"
    R"(<xf numFmtId="164" fontId="2" fillId="0" borderId="0" xfId="1" applyFont="true"/>)"
    R"(</cellXfs>)"
    R"(<cellStyles count="2"><cellStyle name="Normal" xfId="0" builtinId="0"/>)"
    R"(<cellStyle name="Hyperlink" xfId="1" builtinId="8"/></cellStyles>)"
    R"(<dxfs count="1"><dxf><font><color rgb="FF9C0006"/></font><fill><patternFill>)"
    R"(<bgColor rgb="FFFFC7CE"/></patternFill></fill></dxf></dxfs>)"
    R"(<tableStyles count="0" defaultTableStyle="TableStyleMedium2"/>)"
    R"(<colors><mruColors><color rgb="FFFF9900"/></mruColors></colors>)"
    R"(<extLst><ext xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main" )"
    R"(uri="{EB79DEF2-80B8-43e5-95BD-54CBDDF9020C}"><x14:slicerStyles )"
    R"(defaultSlicerStyle="SlicerStyleLight1"/></ext></extLst></styleSheet>)";

// The text from "<name" up to and including "</name>".
QByteArray Element(const QByteArray& xml, const QByteArray& name) {
    const qsizetype start = xml.indexOf("<" + name);
    const QByteArray end = "</" + name + ">";
    const qsizetype stop = xml.indexOf(end, start);
    if (start < 0 || stop < 0)
        return {};
    return xml.mid(start, stop + end.size() - start);
}

Styles Loaded(const QByteArray& xml) {
    Styles styles;
    QString error;
    EXPECT_TRUE(styles.load(xml, &error)) << error.toStdString();
    return styles;
}

} // namespace

TEST(PaletteTest, ColorIndexesAreExcelsDefaultPalette) {
    const struct {
        int index;
        const char* rgb;
    } cases[] = {{1, "000000"},  {2, "FFFFFF"},  {3, "FF0000"},  {8, "00FFFF"},  {10, "008000"},
                 {15, "C0C0C0"}, {24, "CCCCFF"}, {45, "FF9900"}, {53, "993300"}, {56, "333333"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Palette::RgbHex(c.index), QLatin1String(c.rgb)) << c.index;
        EXPECT_EQ(Palette::IndexedOf(c.index), c.index + 7);
        EXPECT_EQ(Palette::ColorIndexOfIndexed(c.index + 7), c.index);
    }
    for (int outside : {0, 57, Palette::Automatic, Palette::None}) {
        EXPECT_FALSE(Palette::IsValidIndex(outside));
        EXPECT_TRUE(Palette::RgbHex(outside).isEmpty());
        EXPECT_EQ(Palette::IndexedOf(outside), 0);
    }
    EXPECT_EQ(Palette::ColorIndexOfIndexed(2), 3); // legacy copy of indexed 10
    EXPECT_EQ(Palette::ColorIndexOfIndexed(Palette::AutomaticIndexed), 0);
}

TEST(PaletteTest, IndexOfRgbFindsTheFirstIndexOfAColour) {
    for (int n = 1; n <= 56; ++n) {
        const int found = Palette::IndexOfRgb(Palette::RgbHex(n));
        EXPECT_LE(found, n); // the palette repeats some colours (25..32 repeat 5..14)
        EXPECT_EQ(Palette::RgbHex(found), Palette::RgbHex(n));
    }
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("ff9900")), 45);
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("#FFFF9900")), 45);
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("0000FF")), 5);
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("123456")), 0);
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("FF00")), 0);
    EXPECT_EQ(Palette::IndexOfRgb(QStringLiteral("GG0000")), 0);
}

TEST(StylesTest, WithFillReusesEqualFormatsAndFills) {
    Styles styles;
    const int red = styles.withFill(0, 3, Palette::SolidPattern, Palette::Automatic);
    EXPECT_EQ(red, 1);
    EXPECT_EQ(styles.withFill(0, 3, Palette::SolidPattern, Palette::Automatic), red);
    const int orange = styles.withFill(0, 45, Palette::SolidPattern, Palette::Automatic);
    EXPECT_EQ(orange, 2);
    EXPECT_EQ(styles.withFill(red, 45, Palette::SolidPattern, Palette::Automatic), orange);
    EXPECT_EQ(styles.cellFormatCount(), 3);

    const QByteArray xml = styles.toXml();
    EXPECT_TRUE(xml.contains(R"(<fill><patternFill patternType="solid"><fgColor indexed="10"/>)"
                             R"(<bgColor indexed="64"/></patternFill></fill>)"));
    EXPECT_TRUE(xml.contains(R"(<fills count="4">)"));
    EXPECT_TRUE(xml.contains(R"(<cellXfs count="3">)"));
    EXPECT_TRUE(xml.contains(
        R"(<xf numFmtId="0" fontId="0" fillId="2" borderId="0" xfId="0" applyFill="1"/>)"));

    EXPECT_EQ(styles.fillColorIndex(red), 3);
    EXPECT_EQ(styles.fillPattern(red), Palette::SolidPattern);
    EXPECT_EQ(styles.fillColorIndex(0), 0);
    EXPECT_EQ(styles.fillPattern(0), Palette::None);

    // Removing the colour shares the stylesheet's empty fill.
    const int cleared =
        styles.withFill(red, Palette::None, Palette::SolidPattern, Palette::Automatic);
    EXPECT_EQ(styles.fillPattern(cleared), Palette::None);
    EXPECT_EQ(styles.fillColorIndex(cleared), 0);
    EXPECT_TRUE(styles.toXml().contains(R"(<fills count="4">)"));
}

TEST(StylesTest, HatchedFillDrawsThePatternColourOverTheCellColour) {
    Styles styles;
    const int xf = styles.withFill(0, 6, -4125 /* 50% grey */, 3);
    EXPECT_EQ(styles.fillPattern(xf), -4125);
    EXPECT_EQ(styles.fillColorIndex(xf), 6);
    EXPECT_TRUE(styles.toXml().contains(R"(<patternFill patternType="mediumGray">)"
                                        R"(<fgColor indexed="10"/><bgColor indexed="13"/>)"));
}

TEST(StylesTest, DerivedFormatsKeepTheOtherPropertiesOfTheirBase) {
    Styles styles = Loaded(kLibreOffice);
    const int filled = styles.withFill(1, 8, Palette::SolidPattern, Palette::Automatic);
    EXPECT_EQ(styles.fontSize(filled), 14);
    EXPECT_EQ(styles.numberFormatCode(filled), QStringLiteral("#,##0\"円\""));
    EXPECT_EQ(styles.fillColorIndex(filled), 8);
    EXPECT_NE(styles.withFill(0, 8, Palette::SolidPattern, Palette::Automatic), filled);
    EXPECT_TRUE(styles.toXml().contains(
        R"(<xf numFmtId="165" fontId="1" fillId="3" borderId="1" xfId="0" applyFont="true" )"
        R"(applyBorder="true" applyNumberFormat="true" applyFill="1"><alignment )"
        R"(horizontal="center"/></xf>)"));

    const int larger = styles.withFontSize(filled, 20);
    EXPECT_EQ(styles.fontSize(larger), 20);
    EXPECT_EQ(styles.fillColorIndex(larger), 8);
    EXPECT_EQ(styles.fontSize(filled), 14);
    const int numbered = styles.withNumberFormat(larger, QStringLiteral("0.00"));
    EXPECT_EQ(styles.numberFormatCode(numbered), QStringLiteral("0.00"));
    EXPECT_EQ(styles.fontSize(numbered), 20);
    EXPECT_EQ(styles.fillColorIndex(numbered), 8);
}

TEST(StylesTest, EditingARestyledStylesheetKeepsEverythingElse) {
    Styles styles = Loaded(kLibreOffice);
    const QByteArray before = styles.toXml();
    const int filled = styles.withFill(0, 10, Palette::SolidPattern, Palette::Automatic);
    const int sized = styles.withFontSize(filled, 12);
    const int custom = styles.withNumberFormat(sized, QStringLiteral("0.0\"人\""));
    const int hyperlink = styles.withHyperlinkFont(0);
    EXPECT_EQ(styles.cellFormatCount(), 8);
    const QByteArray after = styles.toXml();

    for (const QByteArray& name :
         {QByteArray("cellStyleXfs"), QByteArray("cellStyles"), QByteArray("dxfs"),
          QByteArray("colors"), QByteArray("extLst"), QByteArray("borders")}) {
        EXPECT_FALSE(Element(before, name).isEmpty()) << name.constData();
        EXPECT_EQ(Element(after, name), Element(before, name)) << name.constData();
    }
    EXPECT_TRUE(after.contains(R"(mc:Ignorable="x14ac")"));
    EXPECT_TRUE(
        after.contains(R"(<tableStyles count="0" defaultTableStyle="TableStyleMedium2"/>)"));
    // The old entries stay in place; new ones follow them and the counts follow.
    EXPECT_TRUE(Element(after, "fonts")
                    .replace(R"(count="5")", R"(count="3")")
                    .startsWith(Element(before, "fonts").chopped(8)));
    EXPECT_TRUE(after.contains(R"(<fonts count="5" x14ac:knownFonts="1">)"));
    EXPECT_TRUE(after.contains(R"(<fills count="4">)"));
    EXPECT_TRUE(after.contains(R"(<cellXfs count="8">)"));
    EXPECT_TRUE(after.contains(R"(<numFmts count="3">)"));
    EXPECT_TRUE(after.contains(R"(<numFmt numFmtId="166" formatCode="0.0&quot;人&quot;"/>)"));

    EXPECT_EQ(styles.fontSize(0), 10);
    EXPECT_EQ(styles.fontSize(sized), 12);
    EXPECT_EQ(styles.numberFormatCode(custom), QStringLiteral("0.0\"人\""));
    EXPECT_EQ(styles.fillColorIndex(custom), 10);
    EXPECT_EQ(styles.fillColorIndex(2), 45); // an RGB fill that is a palette colour
    EXPECT_EQ(styles.fillPattern(2), Palette::SolidPattern);
    EXPECT_TRUE(styles.isHyperlinkFont(3)); // the theme's link colour
    EXPECT_TRUE(styles.isHyperlinkFont(hyperlink));
    EXPECT_FALSE(styles.isHyperlinkFont(0));
    EXPECT_FALSE(styles.isHyperlinkFont(1));
}

TEST(StylesTest, ReadersAndSharingSurviveARoundTrip) {
    Styles styles;
    const int filled = styles.withFill(0, 24, Palette::SolidPattern, Palette::Automatic);
    const int sized = styles.withFontSize(filled, 10.5);
    const int linked = styles.withHyperlinkFont(sized);
    const int grouped = styles.withNumberFormat(linked, QStringLiteral("#,##0"));
    const int custom = styles.withNumberFormat(filled, QStringLiteral("#,##0\"件\""));
    EXPECT_EQ(styles.withNumberFormat(filled, QStringLiteral("#,##0\"件\"")), custom);

    Styles reread = Loaded(styles.toXml());
    ASSERT_EQ(reread.cellFormatCount(), styles.cellFormatCount());
    for (int xf = 0; xf < styles.cellFormatCount(); ++xf) {
        EXPECT_EQ(reread.fontSize(xf), styles.fontSize(xf)) << xf;
        EXPECT_EQ(reread.numberFormatCode(xf), styles.numberFormatCode(xf)) << xf;
        EXPECT_EQ(reread.fillColorIndex(xf), styles.fillColorIndex(xf)) << xf;
        EXPECT_EQ(reread.fillPattern(xf), styles.fillPattern(xf)) << xf;
        EXPECT_EQ(reread.isHyperlinkFont(xf), styles.isHyperlinkFont(xf)) << xf;
    }
    EXPECT_EQ(reread.fontSize(grouped), 10.5);
    EXPECT_EQ(reread.numberFormatCode(grouped), QStringLiteral("#,##0"));
    EXPECT_TRUE(reread.toXml().contains(R"(numFmtId="3")"));
    EXPECT_TRUE(reread.isHyperlinkFont(grouped));
    EXPECT_EQ(reread.fillColorIndex(grouped), 24);
    EXPECT_EQ(reread.numberFormatCode(custom), QStringLiteral("#,##0\"件\""));

    // Formats of the saved part are found again instead of being added twice.
    EXPECT_EQ(reread.withFill(0, 24, Palette::SolidPattern, Palette::Automatic), filled);
    EXPECT_EQ(reread.withNumberFormat(filled, QStringLiteral("#,##0\"件\"")), custom);
    EXPECT_EQ(reread.cellFormatCount(), styles.cellFormatCount());
}

TEST(StylesTest, NewElementsFollowSchemaOrderAndThePartsPrefix) {
    Styles styles = Loaded(
        R"(<x:styleSheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<x:fonts count="1"><x:font><x:sz val="11"/><x:name val="Calibri"/></x:font></x:fonts>)"
        R"(<x:fills count="2"><x:fill><x:patternFill patternType="none"/></x:fill>)"
        R"(<x:fill><x:patternFill patternType="gray125"/></x:fill></x:fills>)"
        R"(<x:borders count="1"><x:border/></x:borders>)"
        R"(<x:cellXfs count="1"><x:xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></x:cellXfs>)"
        R"(</x:styleSheet>)");
    const int custom = styles.withNumberFormat(0, QStringLiteral("0.0%"));
    styles.withFill(custom, 3, Palette::SolidPattern, Palette::Automatic);
    styles.withHyperlinkFont(0);
    const QByteArray xml = styles.toXml();
    EXPECT_TRUE(xml.contains(R"(<x:styleSheet xmlns:x="http://schemas.openxmlformats.org/)"
                             R"(spreadsheetml/2006/main"><x:numFmts count="1">)"
                             R"(<x:numFmt numFmtId="164" formatCode="0.0%"/></x:numFmts>)"));
    EXPECT_TRUE(
        xml.contains(R"(<x:fill><x:patternFill patternType="solid"><x:fgColor indexed="10"/>)"));
    EXPECT_TRUE(xml.contains(
        R"(<x:font><x:u/><x:sz val="11"/><x:color rgb="FF0000FF"/><x:name val="Calibri"/></x:font>)"));
    EXPECT_EQ(Loaded(xml).cellFormatCount(), 4);
}

TEST(StylesTest, AFilesOwnPaletteIsRespected) {
    // The file moves palette colour 3 (indexed 10) to 123456.
    QByteArray colors = "<colors><indexedColors>";
    for (int indexed = 0; indexed < 64; ++indexed) {
        const int index = Palette::ColorIndexOfIndexed(indexed);
        const QByteArray rgb =
            indexed == 10 ? QByteArray("123456")
                          : (index ? Palette::RgbHex(index).toLatin1() : QByteArray("000000"));
        colors += "<rgbColor rgb=\"FF" + rgb + "\"/>";
    }
    colors += "</indexedColors></colors>";
    QByteArray xml = Styles::MinimalXml();
    xml.replace("</styleSheet>", colors + "</styleSheet>");
    xml.replace("<fills count=\"2\">", "<fills count=\"3\">");
    xml.replace("</fills>", "<fill><patternFill patternType=\"solid\"><fgColor indexed=\"10\"/>"
                            "</patternFill></fill></fills>");
    xml.replace("</cellXfs>", "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"2\" borderId=\"0\"/>"
                              "</cellXfs>");
    xml.replace("<cellXfs count=\"1\">", "<cellXfs count=\"2\">");
    Styles styles = Loaded(xml);
    EXPECT_EQ(styles.fillColorIndex(1), 0);

    const int red = styles.withFill(0, 3, Palette::SolidPattern, Palette::Automatic);
    EXPECT_EQ(styles.fillColorIndex(red), 3);
    EXPECT_TRUE(styles.toXml().contains(R"(<fgColor rgb="FFFF0000"/>)"));
    EXPECT_EQ(styles.fillColorIndex(styles.withFill(0, 5, 1, Palette::Automatic)), 5);
}

TEST(StylesTest, RefusedArgumentsLeaveTheStylesheetAlone) {
    Styles styles;
    const QByteArray before = styles.toXml();
    EXPECT_EQ(styles.withFill(0, 57, Palette::SolidPattern, Palette::Automatic), -1);
    EXPECT_EQ(styles.withFill(0, 0, Palette::SolidPattern, Palette::Automatic), -1);
    EXPECT_EQ(styles.withFill(0, 3, 99, Palette::Automatic), -1);
    EXPECT_EQ(styles.withFill(0, 3, Palette::SolidPattern, 0), -1);
    EXPECT_EQ(styles.withFontSize(0, 0), -1);
    EXPECT_EQ(styles.withFontSize(0, 410), -1);
    EXPECT_EQ(styles.withNumberFormat(0, QString()), -1);
    EXPECT_EQ(styles.toXml(), before);

    // A format index out of range stands for the default format.
    EXPECT_EQ(styles.fontSize(99), 11);
    EXPECT_EQ(styles.numberFormatCode(-1), QStringLiteral("General"));
    EXPECT_EQ(styles.withFill(99, 3, Palette::SolidPattern, Palette::Automatic),
              styles.withFill(0, 3, Palette::SolidPattern, Palette::Automatic));
}

TEST(StylesTest, LoadRefusesWhatIsNotAUsableStylesheet) {
    const struct {
        const char* xml;
        const char* reason;
    } cases[] = {{"<styleSheet><fonts>", "1101 "},
                 {"<worksheet/>", "1401 "},
                 {"<styleSheet><cellXfs count=\"0\"/></styleSheet>", "1402 "}};
    for (const auto& c : cases) {
        Styles styles;
        const int countBefore = styles.withFontSize(0, 9);
        QString error;
        EXPECT_FALSE(styles.load(c.xml, &error)) << c.xml;
        EXPECT_TRUE(error.startsWith(QLatin1String(c.reason))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String("xl/styles.xml"))) << error.toStdString();
        EXPECT_EQ(styles.fontSize(countBefore), 9); // the loaded stylesheet stays
    }
}

TEST(StylesTest, BuiltInNumberFormatsReadAsTheirCodes) {
    const struct {
        int id;
        const char* code;
    } cases[] = {{0, "General"},   {1, "0"},  {3, "#,##0"},    {4, "#,##0.00"},
                 {14, "mm-dd-yy"}, {49, "@"}, {164, "General"}};
    for (const auto& c : cases) {
        QByteArray xml = Styles::MinimalXml();
        xml.replace("<cellXfs count=\"1\"><xf numFmtId=\"0\"",
                    "<cellXfs count=\"1\"><xf numFmtId=\"" + QByteArray::number(c.id) + "\"");
        EXPECT_EQ(Loaded(xml).numberFormatCode(0), QLatin1String(c.code)) << c.id;
    }
}
