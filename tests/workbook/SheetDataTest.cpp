#include "workbook/SheetData.h"
#include "workbook/CellStore.h"
#include "workbook/SharedStrings.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

namespace {

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                         "main\"><sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
const QByteArray kViews = "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
                          "<cols><col min=\"1\" max=\"2\" width=\"12\" customWidth=\"1\"/></cols>";
const QByteArray kTail = "<mergeCells count=\"1\"><mergeCell ref=\"A1:B1\"/></mergeCells>"
                         "<pageSetup orientation=\"landscape\"/></worksheet>";

QByteArray Worksheet(const QByteArray& dimension, const QByteArray& sheetData) {
    return kHead + dimension + kViews + sheetData + kTail;
}

// The text between "<sheetData" and the end of "</sheetData>".
QByteArray SheetDataOf(const QByteArray& xml) {
    const qsizetype start = xml.indexOf("<sheetData");
    const qsizetype end = xml.indexOf("</sheetData>");
    return xml.mid(start, end + 12 - start);
}

} // namespace

TEST(SheetDataTest, CellsRoundTripThroughTheWorksheetAndSharedStrings) {
    const QString japanese = QStringLiteral("元解析パラメータ（万円）");
    const QString controls = QStringLiteral("a") + QChar(1) + QStringLiteral("b") + QChar(0x1f) +
                             QStringLiteral("\tc\r\nd");
    const QString lookalike = QStringLiteral("_x0041_ & <tag>");
    const QString spaced = QStringLiteral("  padded ");

    CellStore store;
    store.setStyle(1, 1, 3);
    store.setText(1, 1, japanese);
    store.setText(1, 2, controls);
    store.setText(2, 1, lookalike);
    store.setText(2, 2, spaced);
    store.setText(2, 3, japanese); // repeated: one shared string
    store.setNumber(3, 1, 0.1);
    store.setNumber(3, 2, -3);
    store.setNumber(3, 3, 1e20);
    store.setStyle(4, 1, 9);
    store.setCurrency(4, 1, Currency::fromScaled(12345678901234567));
    store.setCurrency(4, 2, Currency::fromScaled(-5000));
    store.setStyle(5, 4, 2); // styled blank widens the range

    QByteArray xml = Worksheet("<dimension ref=\"A1\"/>", "<sheetData/>");
    SharedStrings strings;
    strings.add(QStringLiteral("already there"));
    QString error;
    ASSERT_TRUE(SheetData::Write(&xml, store, &strings, &error)) << error.toStdString();

    EXPECT_TRUE(xml.startsWith(kHead + "<dimension ref=\"A1:D5\"/>" + kViews + "<sheetData>"));
    EXPECT_TRUE(xml.endsWith("</sheetData>" + kTail));
    const QByteArray data = SheetDataOf(xml);
    EXPECT_TRUE(data.contains("<row r=\"4\"><c r=\"A4\" s=\"9\"><v>1234567890123.4567</v></c>"
                              "<c r=\"B4\"><v>-0.5</v></c></row>"))
        << data.constData();
    EXPECT_TRUE(data.contains("<c r=\"A3\"><v>0.1</v></c>")) << data.constData();
    EXPECT_TRUE(data.contains("<row r=\"5\"><c r=\"D5\" s=\"2\"/></row>")) << data.constData();
    EXPECT_TRUE(data.contains("<c r=\"A1\" s=\"3\" t=\"s\"><v>1</v></c>")) << data.constData();

    const QByteArray sst = strings.toXml();
    EXPECT_EQ(strings.size(), 5);
    EXPECT_TRUE(sst.contains("<si><t>a_x0001_b_x001F_\tc_x000D_\nd</t></si>")) << sst.constData();
    EXPECT_TRUE(sst.contains("<si><t>_x005F_x0041_ &amp; &lt;tag&gt;</t></si>")) << sst.constData();
    EXPECT_TRUE(sst.contains("<si><t xml:space=\"preserve\">  padded </t></si>"))
        << sst.constData();

    SharedStrings reread;
    ASSERT_TRUE(reread.load(sst, &error)) << error.toStdString();
    CellStore back;
    ASSERT_TRUE(SheetData::Read(xml, reread, &back, &error)) << error.toStdString();

    EXPECT_EQ(back.cell(1, 1).text, japanese);
    EXPECT_EQ(back.cell(1, 1).style, 3);
    EXPECT_EQ(back.cell(1, 2).text, controls);
    EXPECT_EQ(back.cell(2, 1).text, lookalike);
    EXPECT_EQ(back.cell(2, 2).text, spaced);
    EXPECT_EQ(back.cell(2, 3).text, japanese);
    EXPECT_EQ(back.cell(3, 1).number, 0.1);
    EXPECT_EQ(back.cell(3, 2).number, -3);
    EXPECT_EQ(back.cell(3, 3).number, 1e20);
    // An amount no double holds exactly comes back as an amount; one a double holds as a number.
    EXPECT_EQ(back.cell(4, 1).kind, CellKind::Currency);
    EXPECT_EQ(back.cell(4, 1).currency, Currency::fromScaled(12345678901234567));
    EXPECT_EQ(back.cell(4, 1).style, 9);
    EXPECT_EQ(back.cell(4, 2).kind, CellKind::Number);
    EXPECT_EQ(back.cell(4, 2).number, -0.5);
    EXPECT_EQ(back.cell(5, 4).kind, CellKind::Blank);
    EXPECT_EQ(back.cell(5, 4).style, 2);
    EXPECT_EQ(back.usedRange(), store.usedRange());

    // Writing what was read gives the same part again.
    QByteArray again = xml;
    ASSERT_TRUE(SheetData::Write(&again, back, &reread, &error)) << error.toStdString();
    EXPECT_EQ(again.toStdString(), xml.toStdString());
    EXPECT_EQ(reread.size(), 5);
}

TEST(SheetDataTest, ReadsEveryKindOfCellOtherProgramsWrite) {
    // Shared strings with rich text, whitespace between nodes and a repeated entry.
    const QByteArray sst =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">\n"
        "  <si><t>first</t></si>\n"
        "  <si><r><rPr><b/></rPr><t>ri</t></r><r><t xml:space=\"preserve\">ch </t></r></si>\n"
        "  <si><t> </t></si>\n"
        "  <si><t>first</t></si>\n"
        "</sst>";
    SharedStrings strings;
    QString error;
    ASSERT_TRUE(strings.load(sst, &error)) << error.toStdString();
    ASSERT_EQ(strings.size(), 4);
    EXPECT_EQ(strings.add(QStringLiteral("first")), 0);
    EXPECT_EQ(strings.add(QStringLiteral("new")), 4);

    // Rows and cells without references follow the one before; row attributes stay, spans go.
    const QByteArray xml = Worksheet(
        QByteArray(),
        "<sheetData>"
        "<row r=\"2\" spans=\"1:6\" ht=\"30\" customHeight=\"1\">"
        "<c r=\"A2\" t=\"s\"><v>1</v></c><c t=\"s\" s=\"4\"><v>2</v></c>"
        "<c r=\"D2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line_x000A_</t></r></is></c>"
        "<c t=\"str\"><f>A2&amp;\"x\"</f><v>formula text</v></c>"
        "<c t=\"b\"><v>1</v></c></row>"
        "<row><c r=\"A3\"><v> 1.5E3 </v></c><c r=\"C3\" s=\"6\"/><c r=\"D3\" "
        "t=\"e\"><v>#N/A</v></c>"
        "<c r=\"E3\"><f>SUM(A3)</f></c></row>"
        "<row r=\"6\" hidden=\"1\"/>"
        "</sheetData>");
    CellStore store;
    ASSERT_TRUE(SheetData::Read(xml, strings, &store, &error)) << error.toStdString();

    EXPECT_EQ(store.cell(2, 1).text, QStringLiteral("rich "));
    EXPECT_EQ(store.cell(2, 2).text, QStringLiteral(" "));
    EXPECT_EQ(store.cell(2, 2).style, 4);
    EXPECT_EQ(store.cell(2, 4).text, QStringLiteral("inline\n"));
    EXPECT_EQ(store.cell(2, 5).text, QStringLiteral("formula text"));
    EXPECT_EQ(store.cell(2, 6).kind, CellKind::Number);
    EXPECT_EQ(store.cell(2, 6).number, 1);
    EXPECT_EQ(store.cell(3, 1).number, 1500);
    EXPECT_EQ(store.cell(3, 3).kind, CellKind::Blank);
    EXPECT_EQ(store.cell(3, 3).style, 6);
    EXPECT_EQ(store.cell(3, 4).text, QStringLiteral("#N/A"));
    EXPECT_TRUE(store.cell(3, 5).isEmpty());
    EXPECT_EQ(store.usedRange(), (CellRect{2, 1, 3, 6}));

    // Without a <dimension> one is put before the sheet views; row looks survive a column delete.
    store.deleteColumns({1});
    QByteArray out = xml;
    ASSERT_TRUE(SheetData::Write(&out, store, &strings, &error)) << error.toStdString();
    EXPECT_TRUE(out.startsWith(kHead + "<dimension ref=\"A2:E3\"/>" + kViews)) << out.constData();
    const QByteArray data = SheetDataOf(out);
    EXPECT_TRUE(data.startsWith("<sheetData><row r=\"2\" ht=\"30\" customHeight=\"1\">"
                                "<c r=\"A2\" s=\"4\" t=\"s\"><v>2</v></c>"))
        << data.constData();
    EXPECT_TRUE(data.endsWith("<row r=\"6\" hidden=\"1\"/></sheetData>")) << data.constData();
}

TEST(SheetDataTest, AnEmptyStoreWritesAnEmptySheet) {
    QByteArray xml =
        Worksheet("<dimension ref=\"A1:C9\"/>",
                  "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>");
    SharedStrings strings;
    QString error;
    ASSERT_TRUE(SheetData::Write(&xml, CellStore(), &strings, &error)) << error.toStdString();
    EXPECT_EQ(xml.toStdString(),
              Worksheet("<dimension ref=\"A1\"/>", "<sheetData/>").toStdString());
}

TEST(SheetDataTest, RefusesPartsItCannotUnderstand) {
    SharedStrings strings;
    QString error;
    ASSERT_TRUE(strings.load("<sst xmlns=\"x\"><si><t>only</t></si></sst>", &error));
    struct Case {
        const char* name;
        QByteArray xml;
    };
    const Case cases[] = {
        {"missing shared string", Worksheet({}, "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\">"
                                                "<v>1</v></c></row></sheetData>")},
        {"not a number",
         Worksheet({}, "<sheetData><row r=\"1\"><c r=\"A1\"><v>12x</v></c></row></sheetData>")},
        {"cell outside its row",
         Worksheet({}, "<sheetData><row r=\"1\"><c r=\"A2\"><v>1</v></c></row></sheetData>")},
        {"rows out of order", Worksheet({}, "<sheetData><row r=\"3\"/><row r=\"2\"/></sheetData>")},
        {"broken XML", Worksheet({}, "<sheetData><row r=\"1\"></sheetData>")},
        {"no cell data", kHead + kTail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CellStore store;
        error.clear();
        EXPECT_FALSE(SheetData::Read(c.xml, strings, &store, &error));
        EXPECT_FALSE(error.isEmpty());
    }

    // A part that cannot be written into is left as it was.
    for (const QByteArray& part :
         {kHead + kTail, Worksheet("<dimension ref=\"A1\">", "<sheetData/>")}) {
        QByteArray written = part;
        error.clear();
        EXPECT_FALSE(SheetData::Write(&written, CellStore(), &strings, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(written, part);
    }

    SharedStrings broken;
    EXPECT_FALSE(broken.load("<sst><si>", &error));
    EXPECT_FALSE(broken.load("<other/>", &error));
}
