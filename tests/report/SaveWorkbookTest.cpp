#include "report/PLWAN40X_XLScmn.h"

#include "tests/support/SmallFileSystem.h"
#include "tests/workbook/WorkbookFixture.h"
#include "workbook/EngineError.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace plw;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The routes of the save step: the classic writer for a workbook named .xls, the conversion
// when the writer names a construct it does not translate, and what the operator is told.
class SaveWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString templatePath = mDir.filePath(u"template.xlsx"_qs);
        ASSERT_TRUE(test::WriteTemplateFixture(templatePath));
        QString error;
        ASSERT_TRUE(mBook.openTemplate(templatePath, &error)) << error.toStdString();
        ASSERT_TRUE(mBook.copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error)) << error.toStdString();
    }

    ClassicWriting writer(ClassicWrite answer, const QString& reason) {
        return {
            [=, this](Workbook&, const QString& path, const SaveProgress& progress, QString* why) {
                ++mWrites;
                if (answer == ClassicWrite::Written) {
                    QFile file(path);
                    file.open(QIODevice::WriteOnly);
                    file.write("classic");
                    progress(10, 10);
                }
                *why = reason;
                return answer;
            },
            [this](qint64 rows, qint64 total) { mProgress << rows << total; },
            [this](const QString& construct) {
                mNotices << construct;
            }};
    }

    WorkbookConversion converter(bool works) {
        return [=, this](const QString& xlsx, const QString& target, QString* error) {
            ++mConversions;
            if (!works) {
                SetEngineError(error, EngineFault::ConverterMissing);
                return false;
            }
            return QFile::rename(xlsx, target);
        };
    }

    QStringList leftovers() const {
        return QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(u".plwan40-"_qs);
    }

    QTemporaryDir mDir;
    Workbook mBook;
    int mWrites = 0;
    int mConversions = 0;
    QList<qint64> mProgress;
    QStringList mNotices;
};

TEST_F(SaveWorkbookTest, AnXlsWorkbookIsWrittenByTheClassicWriterAndReplacesTheTarget) {
    const QString target = mDir.filePath(u"結果.XLS"_qs);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QString error;
    EXPECT_TRUE(
        SaveWorkbook(mBook, target, converter(true), &error, writer(ClassicWrite::Written, {})))
        << error.toStdString();
    EXPECT_EQ(Contents(target), QByteArray("classic"));
    EXPECT_EQ(mConversions, 0);
    EXPECT_EQ(mProgress, (QList<qint64>{10, 10}));
    EXPECT_TRUE(mNotices.isEmpty());
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
}

TEST_F(SaveWorkbookTest, AnUnhandledConstructIsToldAndTheConversionTakesOver) {
    const QString target = mDir.filePath(u"結果.xls"_qs);
    QString error;
    EXPECT_TRUE(SaveWorkbook(mBook, target, converter(true), &error,
                             writer(ClassicWrite::Unhandled, u"conditionalFormatting"_qs)))
        << error.toStdString();
    EXPECT_EQ(mNotices, QStringList{u"conditionalFormatting"_qs});
    EXPECT_EQ(mConversions, 1);
    EXPECT_TRUE(Contents(target).startsWith("PK")); // what the stand-in converter was given
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
}

TEST_F(SaveWorkbookTest, WithoutAWorkingConversionTheFailureNamesTheConstruct) {
    const QString target = mDir.filePath(u"結果.xls"_qs);
    QString error;
    EXPECT_FALSE(SaveWorkbook(mBook, target, converter(false), &error,
                              writer(ClassicWrite::Unhandled, u"テーマの色 (theme)"_qs)));
    EXPECT_TRUE(
        error.startsWith(u"1703 ブックに .xls 形式へ書き出せない テーマの色 (theme) があり、"_qs))
        << error.toStdString();
    EXPECT_TRUE(error.contains(u": 1601 LibreOffice がインストールされていません"_qs))
        << error.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
}

TEST_F(SaveWorkbookTest, AFailedClassicWriteKeepsTheOldFileAndSaysWhy) {
    const QString target = mDir.filePath(u"結果.xls"_qs);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QString error;
    EXPECT_FALSE(SaveWorkbook(mBook, target, converter(true), &error,
                              writer(ClassicWrite::Failed, u"the writer's cause"_qs)));
    EXPECT_EQ(error, u"1704 ブック "_qs + target +
                         u" を .xls 形式で書き出せません: the writer's cause"_qs);
    EXPECT_EQ(Contents(target), QByteArray("old"));
    EXPECT_EQ(mConversions, 0);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
}

TEST_F(SaveWorkbookTest, AnotherExtensionNeverReachesTheClassicWriter) {
    const QString target = mDir.filePath(u"結果.xlsx"_qs);
    QString error;
    EXPECT_TRUE(SaveWorkbook(mBook, target, {}, &error, writer(ClassicWrite::Written, {})))
        << error.toStdString();
    EXPECT_EQ(mWrites, 0);
    EXPECT_TRUE(Contents(target).startsWith("PK"));
}

// The workbook is for others too (a shared folder, another user): a new one gets the permissions
// the umask gives, not the owner's alone; a replaced one keeps its own.
TEST_F(SaveWorkbookTest, ANewWorkbookFollowsTheUmaskAndAReplacedOneKeepsItsMode) {
    const QString target = mDir.filePath(u"結果.xlsx"_qs);
    const auto mode = [&] {
        struct stat status = {};
        EXPECT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
        return status.st_mode & 07777;
    };
    const mode_t was = ::umask(022);
    QString error;
    EXPECT_TRUE(SaveWorkbook(mBook, target, {}, &error)) << error.toStdString();
    EXPECT_EQ(mode(), 0644u);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    EXPECT_TRUE(SaveWorkbook(mBook, target, {}, &error)) << error.toStdString();
    EXPECT_EQ(mode(), 0640u);
    ::umask(was);
}

// A real full disk and a real read-only folder: the operator learns the system's cause and the
// file, and nothing is left behind.
TEST_F(SaveWorkbookTest, AFullDiskOrAReadOnlyFolderIsReportedWithTheSystemsCause) {
    // Some 100 KB of cells, far more than the small file system holds.
    QString error;
    Worksheet* sheet = mBook.sheet(u"抽出条件"_qs, &error);
    ASSERT_TRUE(sheet) << error.toStdString();
    for (int row = 1; row <= 2000; ++row)
        sheet->cells().setText(row, 1, u"顧客 %1 の住所と名前"_qs.arg(row * 7919));

    const QString folder = mDir.filePath(u"small"_qs);
    ASSERT_TRUE(QDir().mkpath(folder));
    const struct {
        test::SmallFileSystemKind kind;
        QString start;
        QString cause;
    } cases[] = {
        {test::SmallFileSystemKind::Full, u"1008 ブック "_qs + folder + u"/結果.xlsx "_qs,
         u"を保存できません: ディスクの空き容量が足りません"_qs},
        {test::SmallFileSystemKind::ReadOnly, u"1702 フォルダ "_qs + folder,
         u"に書き込めません: 読み取り専用の場所です"_qs},
    };
    for (const auto& c : cases) {
        const std::optional<QString> outcome = test::InSmallFileSystem(folder, c.kind, [&] {
            QString why;
            const bool saved = SaveWorkbook(mBook, folder + u"/結果.xlsx"_qs, {}, &why);
            const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            return (saved ? u"saved"_qs : why) + u'|' + left.join(u' ');
        });
        if (!outcome)
            GTEST_SKIP() << "this system gives no process a file system of its own";
        EXPECT_TRUE(outcome->startsWith(c.start)) << outcome->toStdString();
        EXPECT_TRUE(outcome->endsWith(c.cause + u'|')) << outcome->toStdString();
    }
}

} // namespace
