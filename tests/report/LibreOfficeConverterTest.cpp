#include "report/LibreOfficeConverter.h"

#include "app/EventPump.h"
#include "workbook/CellStore.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/SharedStrings.h"
#include "workbook/SheetData.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

using namespace plw;

namespace {

const QString kRelationships =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QByteArray kOleMagic = QByteArray::fromHex("d0cf11e0a1b11ae1");
constexpr int kTimeLimitMs = 120000;

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value) : mName(name) {
        if (qEnvironmentVariableIsSet(name))
            mOld = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (mOld)
            qputenv(mName, *mOld);
        else
            qunsetenv(mName);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* mName;
    std::optional<QByteArray> mOld;
};

// A one-sheet workbook: A1 holds text, B1 a number.
void WriteWorkbook(const QString& path, const QString& text, double number) {
    CellStore cells;
    cells.setText(1, 1, text);
    cells.setNumber(1, 2, number);
    SharedStrings strings;
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                       "main\"><dimension ref=\"A1\"/><sheetData/></worksheet>";
    QString error;
    ASSERT_TRUE(SheetData::Write(&sheet, cells, &strings, &error)) << error.toStdString();

    OoxmlPackage package;
    package.setPart(QStringLiteral("[Content_Types].xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    package.setPart(QStringLiteral("xl/workbook.xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                    "</sheets></workbook>");
    package.setPart(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    package.setPart(QStringLiteral("xl/sharedStrings.xml"), strings.toXml());
    const QString ml =
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.");
    ASSERT_TRUE(package.setDefaultContentType(
        QStringLiteral("rels"),
        QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"), &error));
    ASSERT_TRUE(package.setContentTypeOverride(QStringLiteral("xl/workbook.xml"),
                                               ml + QStringLiteral("sheet.main+xml"), &error));
    ASSERT_TRUE(package.setContentTypeOverride(QStringLiteral("xl/worksheets/sheet1.xml"),
                                               ml + QStringLiteral("worksheet+xml"), &error));
    ASSERT_TRUE(package.setContentTypeOverride(QStringLiteral("xl/sharedStrings.xml"),
                                               ml + QStringLiteral("sharedStrings+xml"), &error));
    package.addRelationship(QString(), kRelationships + QStringLiteral("officeDocument"),
                            QStringLiteral("xl/workbook.xml"), &error);
    package.addRelationship(QStringLiteral("xl/workbook.xml"),
                            kRelationships + QStringLiteral("worksheet"),
                            QStringLiteral("worksheets/sheet1.xml"), &error);
    package.addRelationship(QStringLiteral("xl/workbook.xml"),
                            kRelationships + QStringLiteral("sharedStrings"),
                            QStringLiteral("sharedStrings.xml"), &error);
    ASSERT_TRUE(package.save(path, &error)) << error.toStdString();
}

// The target of the first relationship of source with the given type ("worksheet", ...).
QString RelatedPart(const OoxmlPackage& package, const QString& source, const QString& type) {
    QList<Relationship> relationships;
    QString error;
    EXPECT_TRUE(package.relationships(source, &relationships, &error)) << error.toStdString();
    for (const Relationship& relationship : relationships) {
        if (relationship.type == kRelationships + type)
            return OoxmlPackage::targetPartName(source, relationship);
    }
    return {};
}

// The cells of the first worksheet of an .xlsx, read with the engine's own reader.
CellStore ReadFirstSheet(const QString& path) {
    OoxmlPackage package;
    QString error;
    CellStore cells;
    EXPECT_TRUE(package.open(path, &error)) << error.toStdString();
    const QString workbook = RelatedPart(package, QString(), QStringLiteral("officeDocument"));
    const QString sheet = RelatedPart(package, workbook, QStringLiteral("worksheet"));
    const QString strings = RelatedPart(package, workbook, QStringLiteral("sharedStrings"));
    SharedStrings table;
    if (!strings.isEmpty()) {
        EXPECT_TRUE(table.load(package.part(strings), &error)) << error.toStdString();
    }
    EXPECT_TRUE(SheetData::Read(package.part(sheet), table, &cells, &error)) << error.toStdString();
    return cells;
}

// Every entry of a folder, hidden ones included: a left-over temporary folder shows here.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// True while some process has text in its command line, as a converter left running would.
bool ProcessMentions(const QString& text) {
    const QByteArray needle = text.toUtf8();
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        QFile cmdline(processes.next() + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(needle))
            return true;
    }
    return false;
}

// Killed processes take a moment to go: true when one still runs after a few seconds.
bool ProcessStaysMentioning(const QString& text) {
    for (int i = 0; i < 50 && ProcessMentions(text); ++i)
        QThread::msleep(100);
    return ProcessMentions(text);
}

class LibreOfficeConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (LibreOfficeConverter::ProgramPath().isEmpty())
            GTEST_SKIP() << "LibreOffice is not installed";
    }
    QString path(const QString& name) const { return mDir.filePath(name); }
    QTemporaryDir mDir;
};

} // namespace

TEST_F(LibreOfficeConverterTest, XlsxToXlsAndBackKeepsTheCellsAndReplacesAnExistingOutput) {
    const QString text = QStringLiteral("顧客分析 RFM");
    // The finished workbook may sit in a temporary file with any extension.
    WriteWorkbook(path(QStringLiteral("finished.tmp")), text, 1234.5);
    test::WriteBytes(path(QStringLiteral("back.xlsx")), "stale output of an earlier run");
    // A new output gets the permissions the umask gives, a replaced one keeps its own.
    ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("back.xlsx")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const mode_t umask = ::umask(022);

    QString error;
    CountingEventPump pump; // the windows repaint while LibreOffice works
    ASSERT_TRUE(LibreOfficeConverter::Convert(path(QStringLiteral("finished.tmp")),
                                              path(QStringLiteral("out.xls")), WorkbookFormat::Xls,
                                              kTimeLimitMs, &error, &pump))
        << error.toStdString();
    EXPECT_GT(pump.count(), 0);
    EXPECT_TRUE(test::ReadBytes(path(QStringLiteral("out.xls"))).startsWith(kOleMagic));
    ASSERT_TRUE(LibreOfficeConverter::Convert(path(QStringLiteral("out.xls")),
                                              path(QStringLiteral("back.xlsx")),
                                              WorkbookFormat::Xlsx, kTimeLimitMs, &error))
        << error.toStdString();

    ::umask(umask);
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("out.xls"))),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                  QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("back.xlsx"))),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                  QFile::ReadGroup);

    const CellStore cells = ReadFirstSheet(path(QStringLiteral("back.xlsx")));
    EXPECT_EQ(cells.cell(1, 1).text, text);
    EXPECT_EQ(cells.cell(1, 2).number, 1234.5);
    EXPECT_EQ(Entries(mDir.path()),
              (QStringList{QStringLiteral("back.xlsx"), QStringLiteral("finished.tmp"),
                           QStringLiteral("out.xls")}));
}

TEST_F(LibreOfficeConverterTest, JapaneseNamesConvertEvenUnderANonUtf8Locale) {
    const ScopedEnvironment locale("LC_ALL", "C");
    const QString folder = path(QStringLiteral("分析結果"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteWorkbook(folder + QStringLiteral("/作業中.xlsx"), QStringLiteral("元"), 1);

    QString error;
    ASSERT_TRUE(LibreOfficeConverter::Convert(folder + QStringLiteral("/作業中.xlsx"),
                                              folder + QStringLiteral("/RFM分析結果.xls"),
                                              WorkbookFormat::Xls, kTimeLimitMs, &error))
        << error.toStdString();
    EXPECT_TRUE(test::ReadBytes(folder + QStringLiteral("/RFM分析結果.xls")).startsWith(kOleMagic));
    EXPECT_EQ(Entries(folder),
              (QStringList{QStringLiteral("RFM分析結果.xls"), QStringLiteral("作業中.xlsx")}));
}

TEST_F(LibreOfficeConverterTest, FailedConversionKeepsTheExistingOutputAndSaysWhy) {
    const QByteArray previous = "the previous workbook";
    test::WriteBytes(path(QStringLiteral("garbage.xlsx")),
                     test::PseudoRandomBytes(4096, 7)); // not a workbook, whatever its name says
    struct Case {
        QString input;
        QString reason;
    };
    const Case cases[] = {
        {QStringLiteral("garbage.xlsx"), QStringLiteral("1608 LibreOffice が ")},
        {QStringLiteral("missing.xlsx"), QStringLiteral("1602 変換するブックがありません: ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        test::WriteBytes(path(QStringLiteral("RFM分析結果.xls")), previous);
        QString error;
        EXPECT_FALSE(LibreOfficeConverter::Convert(path(c.input),
                                                   path(QStringLiteral("RFM分析結果.xls")),
                                                   WorkbookFormat::Xls, kTimeLimitMs, &error));
        EXPECT_TRUE(error.startsWith(c.reason)) << error.toStdString();
        EXPECT_TRUE(error.contains(path(c.input))) << error.toStdString();
        EXPECT_EQ(test::ReadBytes(path(QStringLiteral("RFM分析結果.xls"))), previous);
        EXPECT_EQ(Entries(mDir.path()),
                  (QStringList{QStringLiteral("RFM分析結果.xls"), QStringLiteral("garbage.xlsx")}));
    }
}

// A search path holding only the programs a test writes, standing in for LibreOffice.
class LibreOfficeConverterPathTest : public ::testing::Test {
protected:
    LibreOfficeConverterPathTest()
        : mPath("PATH", QFile::encodeName(mDir.filePath(QStringLiteral("bin")))) {
        EXPECT_TRUE(QDir().mkpath(mDir.filePath(QStringLiteral("bin"))));
        test::WriteBytes(path(QStringLiteral("in.xlsx")), "workbook");
        test::WriteBytes(path(QStringLiteral("out.xls")), "previous");
    }
    QString path(const QString& name) const { return mDir.filePath(name); }
    // Installs a shell script as the converter program.
    void InstallConverter(const QByteArray& script) {
        const QString program = path(QStringLiteral("bin/soffice"));
        test::WriteBytes(program, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + script);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Convert(int timeLimitMs) {
        QString error;
        EXPECT_FALSE(LibreOfficeConverter::Convert(path(QStringLiteral("in.xlsx")),
                                                   path(QStringLiteral("out.xls")),
                                                   WorkbookFormat::Xls, timeLimitMs, &error));
        return error;
    }
    // The output kept and nothing added beside it.
    void ExpectUntouched() const {
        EXPECT_EQ(test::ReadBytes(path(QStringLiteral("out.xls"))), QByteArray("previous"));
        EXPECT_EQ(Entries(mDir.path()),
                  (QStringList{QStringLiteral("bin"), QStringLiteral("in.xlsx"),
                               QStringLiteral("out.xls")}));
    }

    QTemporaryDir mDir;
    ScopedEnvironment mPath;
};

TEST_F(LibreOfficeConverterPathTest, MissingConverterIsReportedAsNotInstalled) {
    EXPECT_EQ(LibreOfficeConverter::ProgramPath(), QString());
    EXPECT_TRUE(Convert(1000).startsWith(u"1601 LibreOffice がインストールされていません"));
    ExpectUntouched();
}

TEST_F(LibreOfficeConverterPathTest, FailingConverterIsReportedWithItsExitCodeAndLastLines) {
    InstallConverter("echo 'Warning: noise' >&2\necho 'Error: the real cause' >&2\nexit 3\n");
    const QString error = Convert(kTimeLimitMs);
    EXPECT_TRUE(error.startsWith(u"1607 LibreOffice が ")) << error.toStdString();
    EXPECT_TRUE(error.contains(u"（終了コード 3）:\n")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(u"Warning: noise\nError: the real cause")) << error.toStdString();
    ExpectUntouched();
}

TEST_F(LibreOfficeConverterPathTest, ConverterOverTimeIsStoppedWithEverythingItStarted) {
    // Like LibreOffice's launcher, the program starts a second process and waits for it.
    InstallConverter("if [ \"$1\" != child ]; then \"$0\" child \"$@\" & fi\n"
                     "while :; do sleep 1; done\n");
    const QString error = Convert(500);
    EXPECT_TRUE(error.startsWith(u"1606 LibreOffice が ")) << error.toStdString();
    EXPECT_TRUE(error.contains(u"0.5 秒以内に終えなかった")) << error.toStdString();
    EXPECT_FALSE(ProcessStaysMentioning(path(QStringLiteral("bin/soffice"))));
    ExpectUntouched();
}
