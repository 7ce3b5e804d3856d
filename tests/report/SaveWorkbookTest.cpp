#include "report/PLWAN40X_XLScmn.h"

#include "report/Workbook.h"
#include "tests/report/WorkbookFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
                *error = u"LibreOffice (soffice) is not installed"_qs;
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
                              writer(ClassicWrite::Unhandled, u"a theme colour"_qs)));
    EXPECT_TRUE(error.contains(u"a theme colour"_qs)) << error.toStdString();
    EXPECT_TRUE(error.contains(u"soffice"_qs)) << error.toStdString();
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
                              writer(ClassicWrite::Failed, u"disk full"_qs)));
    EXPECT_EQ(error, u"disk full"_qs);
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

} // namespace
