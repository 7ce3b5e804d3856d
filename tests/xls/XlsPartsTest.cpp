#include "report/LibreOfficeConverter.h"
#include "tests/support/Printers.h"
#include "tests/xls/BiffFile.h"
#include "tests/xls/OutsideReaders.h"
#include "tests/xls/XlsFixture.h"
#include "workbook/ChartXml.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/Palette.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"
#include "workbook/xls/XlsWriter.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using namespace plw::test;

namespace {

const QString kIndexPart = u"xl/worksheets/sheet1.xml"_qs;
const QString kListPart = u"xl/worksheets/sheet4.xml"_qs;
const QString kStylesPart = u"xl/styles.xml"_qs;
const QString kWorkbookPart = u"xl/workbook.xml"_qs;

class XlsPartsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return mDir.filePath(name); }

    // The construct the writer names in the sample workbook of an edited template; the file is
    // refused.
    QString unhandledIn(const std::function<void(OoxmlPackage&)>& edit) {
        QTemporaryDir folder;
        return UnhandledIn(*SampleWorkbook(EditedTemplate(folder.path(), edit), 2),
                           path(u"refused.xls"_qs));
    }

    // Writes the sample workbook of a template as .xls; the file's path.
    QString writeSample(const QString& templatePath, int customers = 8) {
        std::unique_ptr<Workbook> book = SampleWorkbook(templatePath, customers);
        const QString file = path(u"sample.xls"_qs);
        WriteXls(*book, file);
        return file;
    }

    QTemporaryDir mDir;
};

TEST_F(XlsPartsTest, EachConstructTheWriterDoesNotTranslateIsNamedAndNothingIsWritten) {
    struct Case {
        const char* what;
        QString part;
        QByteArray before;
        QByteArray after;
        QString named;
    };
    const Case cases[] = {
        {"conditional format", kIndexPart, "<pageMargins",
         "<conditionalFormatting sqref=\"B1\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
         "operator=\"equal\"><formula>1</formula></cfRule></conditionalFormatting><pageMargins",
         u"シート「抽出条件」の条件付き書式 (conditionalFormatting)"_qs},
        {"data validation", kIndexPart, "<pageMargins",
         "<dataValidations count=\"1\"><dataValidation type=\"whole\" sqref=\"B2\"/>"
         "</dataValidations><pageMargins",
         u"dataValidations"_qs},
        {"tab colour", kIndexPart, "<dimension",
         "<sheetPr><tabColor rgb=\"FFFF0000\"/></sheetPr><dimension", u"tabColor"_qs},
        {"split window", kListPart, "state=\"frozen\"", "state=\"split\"", u"pane@state=split"_qs},
        {"theme colour", kStylesPart, "<sz val=\"11\"/>", "<sz val=\"11\"/><color theme=\"1\"/>",
         u"theme"_qs},
        {"colour outside the palette", kStylesPart, "<fgColor indexed=\"41\"/>",
         "<fgColor rgb=\"FF123456\"/>", u"123456"_qs},
        {"gradient fill", kStylesPart,
         "<fill><patternFill patternType=\"solid\"><fgColor indexed=\"41\"/><bgColor "
         "indexed=\"64\"/></patternFill></fill>",
         "<fill><gradientFill degree=\"90\"><stop position=\"0\"><color indexed=\"41\"/></stop>"
         "</gradientFill></fill>",
         u"gradientFill"_qs},
        {"a formula name", kWorkbookPart, "<definedNames>",
         "<definedNames><definedName name=\"Total\">SUM('抽出条件'!$B$1:$B$3)</definedName>",
         u"Total"_qs},
        {"header too long for the format", kListPart, "</worksheet>",
         "<headerFooter><oddHeader>" + QByteArray(256, 'x') +
             "</oddHeader></headerFooter>"
             "</worksheet>",
         u"header"_qs},
        {"link to an outside address", kIndexPart, "<pageMargins",
         "<hyperlinks><hyperlink ref=\"B9\" r:id=\"rId9\"/></hyperlinks><pageMargins",
         u"hyperlink@id"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString named = unhandledIn(
            [&](OoxmlPackage& package) { ReplaceInPart(package, c.part, c.before, c.after); });
        EXPECT_TRUE(named.contains(c.named)) << named.toStdString();
    }
}

TEST_F(XlsPartsTest, ACommentOrAPictureOfASheetIsNamed) {
    struct Case {
        const char* type;
        QString named;
    };
    for (const Case& c :
         {Case{"comments", u"コメント (comments)"_qs}, Case{"image", u"画像 (image)"_qs}}) {
        SCOPED_TRACE(c.type);
        const QString named = unhandledIn([&](OoxmlPackage& package) {
            QString error;
            package.setPart(u"xl/extra.bin"_qs, "x");
            ASSERT_FALSE(package
                             .addRelationship(kIndexPart,
                                              u"http://schemas.openxmlformats.org/officeDocument/"
                                              "2006/relationships/"_qs +
                                                  QString::fromLatin1(c.type),
                                              u"../extra.bin"_qs, &error)
                             .isEmpty());
        });
        EXPECT_TRUE(named.contains(c.named)) << named.toStdString();
    }
}

TEST_F(XlsPartsTest, PrintTitlesAreasHeadersAndBreaksReachLibreOffice) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString edited = EditedTemplate(mDir.path(), [](OoxmlPackage& package) {
        ReplaceInPart(package, kWorkbookPart, "'元シート'!$1:$1",
                      "'元シート'!$A:$E,'元シート'!$1:$1");
        ReplaceInPart(package, kWorkbookPart, "</definedNames>",
                      "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">"
                      "'元解析パラメータ'!$A$1:$AI$38</definedName></definedNames>");
        ReplaceInPart(package, kListPart, "</worksheet>",
                      "<headerFooter><oddHeader>&amp;L&amp;A</oddHeader>"
                      "<oddFooter>&amp;C&amp;P / &amp;N</oddFooter></headerFooter>"
                      "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"20\" max=\"16383\" "
                      "man=\"1\"/></rowBreaks></worksheet>");
    });
    const QString file = writeSample(edited, 30);
    ExpectSound(file);
    QString error;
    const QString back = path(u"back.xlsx"_qs);
    ASSERT_TRUE(LibreOfficeConverter::Convert(file, back, WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    Workbook read;
    ASSERT_TRUE(read.open(back, &error)) << error.toStdString();
    // LibreOffice leaves out the quotes a sheet name without blanks does not need.
    const QString names = QString::fromUtf8(read.package().part(kWorkbookPart)).remove(u'\'');
    EXPECT_TRUE(names.contains(
        u"Print_Titles\" vbProcedure=\"false\">RFM顧客一覧!$A:$E,RFM顧客一覧!$1:$1<"_qs))
        << names.toStdString();
    EXPECT_TRUE(
        names.contains(u"Print_Area\" vbProcedure=\"false\">RFM解析パラメータ!$A$1:$AI$38<"_qs))
        << names.toStdString();

    const QByteArray list = read.package().part(u"xl/worksheets/sheet3.xml"_qs);
    EXPECT_TRUE(list.contains("&amp;L&amp;A")) << list.toStdString();
    EXPECT_TRUE(list.contains("&amp;C&amp;P / &amp;N")) << list.toStdString();
    EXPECT_TRUE(list.contains("<brk id=\"20\"")) << list.toStdString();
    EXPECT_TRUE(list.contains("orientation=\"landscape\"")) << list.toStdString();
    EXPECT_TRUE(list.contains("state=\"frozen\"")) << list.toStdString();
    const QByteArray parameters = read.package().part(u"xl/worksheets/sheet2.xml"_qs);
    EXPECT_TRUE(parameters.contains("fitToPage=\"true\"") || parameters.contains("fitToPage=\"1\""))
        << parameters.toStdString();
    EXPECT_TRUE(parameters.contains("zoomScale=\"85\"")) << parameters.toStdString();
}

TEST_F(XlsPartsTest, NoRecordKindOfLibreOfficesOwnFileIsMissingExceptTheListedOnes) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    // The sheets without charts, and the charts: every chart type the group-value sheet takes.
    std::vector<std::unique_ptr<Workbook>> books;
    books.push_back(SampleWorkbook(TemplatePath(), 8));
    books.push_back(
        ChartWorkbook(TemplatePath(), {{0, 0},
                                       {ChartXml::ColumnStacked100, ChartXml::BarClustered},
                                       {0, ChartXml::Doughnut},
                                       {0, ChartXml::LineMarkers}}));
    QSet<QString> ours, theirs;
    QString dumps;
    for (size_t i = 0; i < books.size(); ++i) {
        const QString name = QString::number(i);
        const QString file = path(name + u".xls"_qs);
        WriteXls(*books[i], file);
        ours += RecordKinds(ReadRecords(file));
        QString error;
        const QString xlsx = path(name + u".xlsx"_qs);
        ASSERT_TRUE(books[i]->save(xlsx, &error)) << error.toStdString();
        const QString converted = path(name + u"-theirs.xls"_qs);
        ASSERT_TRUE(
            LibreOfficeConverter::Convert(xlsx, converted, WorkbookFormat::Xls, 120000, &error))
            << error.toStdString();
        const std::vector<BiffRecord> theirRecords = ReadRecords(converted);
        theirs += RecordKinds(theirRecords);
        dumps += Dump(theirRecords);
    }
    // LibreOffice changes unused palette colours into the chart colours outside the palette (the
    // left chart's pink and purple, its light grey), where the writer keeps the default palette
    // and gives those the closest palette colour beside their exact RGB value; and its data
    // labels carry a separator in a later version's records (a chart-frt info, blocks and the
    // label contents), which labels showing one figure each do not use.
    const QSet<QString> notNeeded = {u"PALETTE"_qs, u"CHARTFRTINFO"_qs, u"STARTBLOCK"_qs,
                                     u"ENDBLOCK"_qs, u"DATALABEXTCONTENTS"_qs};
    const QSet<QString> missing = theirs - ours - notNeeded;
    EXPECT_TRUE(missing.isEmpty())
        << QStringList(missing.begin(), missing.end()).join(u", "_qs).toStdString() << "\n"
        << dumps.toStdString();
}

TEST_F(XlsPartsTest, ATemplateRestyledAndSavedByAnotherProgramIsWrittenWithItsPalette) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString resaved = TemplateSavedByLibreOffice(mDir.path());
    ASSERT_FALSE(resaved.isEmpty());
    QString error;
    // The shop also changed a palette colour: the caption fill (palette 34) becomes pale pink.
    OoxmlPackage package;
    ASSERT_TRUE(package.open(resaved, &error)) << error.toStdString();
    QByteArray styles = package.part(kStylesPart);
    QByteArray palette = "<colors><indexedColors>";
    for (int i = 0; i < 64; ++i) {
        const QString rgb = i == 41 ? u"FFE0E0"_qs : Palette::RgbHex(i < 8 ? i + 1 : i - 7);
        palette += "<rgbColor rgb=\"FF" + rgb.toLatin1() + "\"/>";
    }
    palette += "</indexedColors></colors>";
    const qsizetype colors = styles.indexOf("<colors>");
    if (colors >= 0) {
        styles.remove(colors, styles.indexOf("</colors>") + 9 - colors);
        styles.insert(colors, palette);
    } else {
        const qsizetype dxfs = styles.indexOf("<dxfs");
        styles.insert(dxfs >= 0 ? dxfs : styles.indexOf("</styleSheet>"), palette);
    }
    package.setPart(kStylesPart, styles);
    ASSERT_TRUE(package.save(resaved, &error)) << error.toStdString();

    const QString file = writeSample(resaved, 20);
    ExpectSound(file);
    const std::vector<BiffRecord> records = ReadRecords(file);
    const auto paletteRecord = std::find_if(records.begin(), records.end(),
                                            [](const BiffRecord& r) { return r.id == 0x0092; });
    ASSERT_NE(paletteRecord, records.end());
    // Colour index 41 is the 34th entry.
    EXPECT_EQ(paletteRecord->data.mid(2 + 4 * 33, 3), QByteArray("\xFF\xE0\xE0", 3));
    if (!HasXlrd())
        return;
    QJsonObject read;
    ASSERT_TRUE(ReadWithXlrd(file, &read, &error)) << error.toStdString();
    EXPECT_EQ(read[u"sheets"_qs].toArray().size(), 3);
}

} // namespace
