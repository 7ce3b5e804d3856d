#include "workbook/OoxmlPackage.h"
#include "workbook/PartNames.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

const QString kOfficeDocument = QStringLiteral(
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument");
const QString kWorksheet =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet");
const QString kDrawing =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing");
const QString kWorkbookType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
const QString kSheetType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
const QString kRelsType =
    QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");

const QByteArray kWorkbookXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"\xe6\x8a\xbd\xe5\x87\xba\xe6\x9d\xa1\xe4\xbb\xb6\" sheetId=\"1\" "
    "r:id=\"rId1\"/></sheets></workbook>";
const QByteArray kSheetXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<sheetData><row r=\"1\"><c r=\"A1\"><v>42</v></c></row></sheetData></worksheet>";

// A minimal workbook: content types, the package relationship, a workbook with one sheet.
OoxmlPackage MinimalWorkbook() {
    OoxmlPackage package;
    package.setPart(QStringLiteral("[Content_Types].xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    QString error;
    EXPECT_TRUE(package.setDefaultContentType(QStringLiteral("rels"), kRelsType, &error))
        << error.toStdString();
    package.setPart(QStringLiteral("xl/workbook.xml"), kWorkbookXml);
    package.setPart(QStringLiteral("xl/worksheets/sheet1.xml"), kSheetXml);
    EXPECT_TRUE(
        package.setContentTypeOverride(QStringLiteral("/xl/workbook.xml"), kWorkbookType, &error));
    EXPECT_TRUE(package.setContentTypeOverride(QStringLiteral("xl/worksheets/sheet1.xml"),
                                               kSheetType, &error));
    EXPECT_EQ(package.addRelationship(QString(), kOfficeDocument, QStringLiteral("xl/workbook.xml"),
                                      &error),
              u"rId1");
    EXPECT_EQ(package.addRelationship(QStringLiteral("xl/workbook.xml"), kWorksheet,
                                      QStringLiteral("worksheets/sheet1.xml"), &error),
              u"rId1");
    return package;
}

QList<Relationship> RelationshipsOf(const OoxmlPackage& package, const QString& source) {
    QList<Relationship> out;
    QString error;
    EXPECT_TRUE(package.relationships(source, &out, &error)) << error.toStdString();
    return out;
}

class OoxmlPackageTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return mDir.filePath(name); }
    QTemporaryDir mDir;
};

TEST_F(OoxmlPackageTest, SavedWorkbookReopensWithPartsContentTypesAndRelationships) {
    const OoxmlPackage written = MinimalWorkbook();
    QString error;
    ASSERT_TRUE(written.save(path(QStringLiteral("book.xlsx")), &error)) << error.toStdString();

    OoxmlPackage read;
    ASSERT_TRUE(read.open(path(QStringLiteral("book.xlsx")), &error)) << error.toStdString();
    // Readers expect the content types first in the zip.
    ASSERT_FALSE(read.partNames().isEmpty());
    EXPECT_EQ(read.partNames().first(), u"[Content_Types].xml");
    QStringList expectedNames = written.partNames();
    QStringList names = read.partNames();
    expectedNames.sort();
    names.sort();
    EXPECT_EQ(names, expectedNames);
    for (const QString& name : written.partNames())
        EXPECT_EQ(read.part(name), written.part(name)) << name.toStdString();

    EXPECT_EQ(read.contentType(QStringLiteral("xl/workbook.xml")), kWorkbookType);
    EXPECT_EQ(read.contentType(QStringLiteral("/xl/worksheets/sheet1.xml")), kSheetType);
    EXPECT_EQ(read.contentType(QStringLiteral("xl/_rels/workbook.xml.rels")), kRelsType);
    EXPECT_EQ(read.contentType(QStringLiteral("docProps/app.xml")), u"application/xml");
    EXPECT_EQ(read.contentType(QStringLiteral("xl/media/image1.png")), QString());

    // Following the relationships from the package root reaches the sheet's bytes.
    const QList<Relationship> root = RelationshipsOf(read, QString());
    ASSERT_EQ(root.size(), 1);
    EXPECT_EQ(root[0].type, kOfficeDocument);
    const QString workbook = OoxmlPackage::targetPartName(QString(), root[0]);
    EXPECT_EQ(workbook, u"xl/workbook.xml");
    const QList<Relationship> sheets = RelationshipsOf(read, workbook);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].id, u"rId1");
    EXPECT_EQ(read.part(OoxmlPackage::targetPartName(workbook, sheets[0])), kSheetXml);
}

TEST_F(OoxmlPackageTest, EditsPartsOverridesAndRelationships) {
    OoxmlPackage package = MinimalWorkbook();
    QString error;
    const QString workbook = QStringLiteral("xl/workbook.xml");

    // Ids stay unique after a removal and past foreign ids: one more than the highest number.
    EXPECT_EQ(package.addRelationship(workbook, kWorksheet, QStringLiteral("worksheets/sheet2.xml"),
                                      &error),
              u"rId2");
    EXPECT_TRUE(package.removeRelationship(workbook, QStringLiteral("rId1"), &error));
    EXPECT_EQ(package.addRelationship(workbook, QStringLiteral("hyperlink"),
                                      QStringLiteral("https://example.com/"), &error, true),
              u"rId3");
    QList<Relationship> rels = RelationshipsOf(package, workbook);
    ASSERT_EQ(rels.size(), 2);
    EXPECT_EQ(rels[0].target, u"worksheets/sheet2.xml");
    EXPECT_TRUE(rels[1].external);
    EXPECT_EQ(OoxmlPackage::targetPartName(workbook, rels[1]), QString());
    EXPECT_FALSE(package.removeRelationship(workbook, QStringLiteral("rId1"), &error));
    EXPECT_TRUE(error.contains(u"rId1"));
    EXPECT_FALSE(package.removeRelationship(QStringLiteral("xl/styles.xml"), QStringLiteral("rId1"),
                                            &error));

    // Replacing an override keeps one entry; removing it falls back to the default.
    const QString sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(package.setContentTypeOverride(sheet, QStringLiteral("text/x-other"), &error));
    EXPECT_EQ(package.contentType(sheet), u"text/x-other");
    EXPECT_EQ(package.part(QStringLiteral("[Content_Types].xml")).count("sheet1.xml"), 1);
    EXPECT_TRUE(package.removeContentTypeOverride(sheet, &error));
    EXPECT_EQ(package.contentType(sheet), u"application/xml");

    // Removing a part takes its relationships and its override with it.
    package.setPart(workbook, "<workbook/>");
    EXPECT_EQ(package.part(workbook), "<workbook/>");
    EXPECT_TRUE(package.removePart(QStringLiteral("/xl/workbook.xml")));
    EXPECT_FALSE(package.removePart(workbook));
    EXPECT_FALSE(package.hasPart(QStringLiteral("xl/_rels/workbook.xml.rels")));
    EXPECT_FALSE(package.partNames().contains(workbook));
    EXPECT_EQ(package.contentType(workbook), u"application/xml");
    EXPECT_FALSE(package.part(QStringLiteral("[Content_Types].xml")).contains("workbook.xml"));
}

TEST_F(OoxmlPackageTest, MalformedXmlPartsAreReportedWithTheirName) {
    OoxmlPackage package = MinimalWorkbook();
    package.setPart(QStringLiteral("xl/_rels/workbook.xml.rels"), "<Relationships><Relat");
    QString error;
    QList<Relationship> rels;
    EXPECT_FALSE(package.relationships(QStringLiteral("xl/workbook.xml"), &rels, &error));
    EXPECT_TRUE(error.contains(u"xl/_rels/workbook.xml.rels")) << error.toStdString();
    EXPECT_EQ(package.addRelationship(QStringLiteral("xl/workbook.xml"), kWorksheet,
                                      QStringLiteral("x.xml"), &error),
              QString());

    package.setPart(QStringLiteral("[Content_Types].xml"), "not xml <");
    error.clear();
    EXPECT_FALSE(package.setContentTypeOverride(QStringLiteral("a.xml"), kSheetType, &error));
    EXPECT_TRUE(error.contains(u"[Content_Types].xml")) << error.toStdString();
}

TEST_F(OoxmlPackageTest, FilesThatAreNoPackageAreRefusedWithAReason) {
    QString error;
    OoxmlPackage noTypes;
    noTypes.setPart(QStringLiteral("xl/workbook.xml"), kWorkbookXml);
    ASSERT_TRUE(noTypes.save(path(QStringLiteral("notypes.xlsx")), &error));
    ASSERT_TRUE(MinimalWorkbook().save(path(QStringLiteral("good.xlsx")), &error));
    const QByteArray good = test::ReadBytes(path(QStringLiteral("good.xlsx")));
    test::WriteBytes(path(QStringLiteral("truncated.xlsx")), good.left(good.size() / 2));
    test::WriteBytes(path(QStringLiteral("text.xlsx")), "ID,NAME\r\n1,abc\r\n");
    test::WriteBytes(path(QStringLiteral("empty.xlsx")), QByteArray());

    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"missing.xlsx", "1001 ブックのファイル "},
        {"text.xlsx", "1002 "},
        {"truncated.xlsx", "1002 "},
        {"empty.xlsx", "1005 "},
        {"notypes.xlsx", "1005 "},
    };
    for (const auto& c : cases) {
        OoxmlPackage package;
        ASSERT_TRUE(package.open(path(QStringLiteral("good.xlsx")), &error));
        error.clear();
        const QString file = path(QString::fromUtf8(c.file));
        EXPECT_FALSE(package.open(file, &error)) << c.file;
        EXPECT_TRUE(error.contains(file)) << error.toStdString();
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.reason))) << error.toStdString();
        EXPECT_TRUE(package.partNames().isEmpty()) << c.file;
    }
}

TEST_F(OoxmlPackageTest, FailedSaveReportsItsCauseAndLeavesTheTargetAlone) {
    const OoxmlPackage package = MinimalWorkbook();
    QString error;
    const QString intoMissingFolder = path(QStringLiteral("no/such/folder/book.xlsx"));
    EXPECT_FALSE(package.save(intoMissingFolder, &error));
    EXPECT_TRUE(error.contains(intoMissingFolder)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(intoMissingFolder));

    const QString folder = path(QStringLiteral("occupied.xlsx"));
    ASSERT_TRUE(QDir().mkpath(folder));
    error.clear();
    EXPECT_FALSE(package.save(folder, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A save over an existing workbook replaces it and leaves no temporary file behind.
    const QString target = path(QStringLiteral("book.xlsx"));
    test::WriteBytes(target, "old bytes");
    ASSERT_TRUE(package.save(target, &error)) << error.toStdString();
    OoxmlPackage reread;
    EXPECT_TRUE(reread.open(target, &error)) << error.toStdString();
    EXPECT_EQ(QDir(mDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("book.xlsx")});
}

TEST(PartNamesTest, RelativeTargetsResolveFromTheSourcesFolder) {
    const struct {
        const char* source;
        const char* target;
        const char* part;
    } cases[] = {
        {"xl/worksheets/sheet1.xml", "../drawings/drawing1.xml", "xl/drawings/drawing1.xml"},
        {"xl/drawings/drawing1.xml", "../charts/chart1.xml", "xl/charts/chart1.xml"},
        {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"/xl/charts/chart1.xml", "./colors1.xml", "xl/charts/colors1.xml"},
        {"xl/workbook.xml", "/xl/styles.xml", "xl/styles.xml"},
        {"", "xl/workbook.xml", "xl/workbook.xml"},
        {"", "/docProps/app.xml", "docProps/app.xml"},
        {"xl/workbook.xml", "../../outside.xml", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            PartNames::ResolveTarget(QString::fromUtf8(c.source), QString::fromUtf8(c.target)),
            QString::fromUtf8(c.part))
            << c.source << " -> " << c.target;

    EXPECT_EQ(PartNames::RelationshipsPartName(QString()), u"_rels/.rels");
    EXPECT_EQ(PartNames::RelationshipsPartName(QStringLiteral("/xl/worksheets/sheet1.xml")),
              u"xl/worksheets/_rels/sheet1.xml.rels");
}

} // namespace
