#include "app/RecordFile.h"
#include "app/FileSystem.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace plw;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST(RecordFile, EncodesEachFieldKind) {
    RecordWriter w(64);
    w.unsetFixedText(2);
    w.text(QStringLiteral("20260101"));
    w.text(QString());
    w.text(QStringLiteral("山田"));
    w.fixedText(QStringLiteral("ｱ"), 3);
    w.int16(-2);
    ASSERT_TRUE(w.ok()) << w.error().toStdString();
    EXPECT_EQ(w.bytes().toHex(), QByteArray("0000"
                                            "0800"
                                            "3230323630313031"
                                            "0000"
                                            "0400"
                                            "8e52"
                                            "9363"
                                            "b12020"
                                            "feff"));

    RecordReader r(w.bytes());
    EXPECT_EQ(r.rawBytes(2), QByteArray(2, '\0'));
    EXPECT_EQ(r.text(), QStringLiteral("20260101"));
    EXPECT_EQ(r.text(), QString());
    EXPECT_EQ(r.text(), QStringLiteral("山田"));
    EXPECT_EQ(r.fixedText(3), QStringLiteral("ｱ  "));
    EXPECT_EQ(r.int16(), -2);
    // Past the end every field is empty.
    EXPECT_EQ(r.text(), QString());
    EXPECT_EQ(r.int16(), 0);
}

TEST(RecordFile, RefusesWhatDoesNotFitOrCannotBeEncoded) {
    RecordWriter fits(6);
    fits.text(QStringLiteral("abcd"));
    EXPECT_TRUE(fits.ok());

    RecordWriter overflow(6);
    overflow.text(QStringLiteral("abcde")); // 2 + 5 bytes
    overflow.text(QStringLiteral("x"));
    EXPECT_FALSE(overflow.ok());
    EXPECT_TRUE(overflow.error().contains(QStringLiteral("項目 1")));

    RecordWriter fixed(10);
    fixed.fixedText(QStringLiteral("山田"), 3);
    EXPECT_FALSE(fixed.ok());

    RecordWriter emoji(100);
    emoji.text(QStringLiteral("a😀b"));
    EXPECT_FALSE(emoji.ok());
    EXPECT_TRUE(emoji.error().contains(QStringLiteral("😀")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("X.PRM"));
    QString error;
    EXPECT_FALSE(WriteRecord(path, 1, overflow, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path)); // nothing half-written
}

TEST(RecordFile, WritesRecordNKeepingTheRestOfTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("K.DAT"));
    QString error;

    RecordWriter second(8);
    second.fixedText(QStringLiteral("BB"), 2);
    ASSERT_TRUE(WriteRecord(path, 2, second, &error)) << error.toStdString();
    // A new file: record 1 is NUL, record 2 ends right after its fields.
    EXPECT_EQ(fileBytes(path), QByteArray(8, '\0') + "BB");

    RecordWriter first(8);
    first.fixedText(QStringLiteral("AAAAAAA"), 7);
    ASSERT_TRUE(WriteRecord(path, 1, first, &error));
    EXPECT_EQ(fileBytes(path), QByteArray("AAAAAAA") + '\0' + "BB");

    RecordWriter shorter(8);
    shorter.fixedText(QStringLiteral("C"), 1);
    ASSERT_TRUE(WriteRecord(path, 1, shorter, &error));
    EXPECT_EQ(fileBytes(path), QByteArray("CAAAAAA") + '\0' + "BB");
}

TEST(RecordFile, ReadsAFileThatEndsEarly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("S.DAT"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromHex("0500616263")); // count 5, only three bytes follow
    }
    QByteArray record;
    QString error;
    ASSERT_TRUE(ReadRecord(path, 16, 1, &record, &error));
    EXPECT_EQ(record.size(), 5);
    RecordReader r(record);
    EXPECT_EQ(r.text(), QStringLiteral("abc"));
    EXPECT_EQ(r.text(), QString());

    EXPECT_FALSE(ReadRecord(path, 16, 2, &record, &error));
    EXPECT_FALSE(ReadRecord(dir.filePath(QStringLiteral("missing")), 16, 1, &record, &error));
}

TEST(FileSystem, MatchesSuiteFileNamesWithoutRegardToCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Data")));
    QFile f(dir.filePath(QStringLiteral("Data/plw_mst.mdb")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    const QString system = dir.path() + QStringLiteral("/DATA\\PLW_MST.MDB");
    EXPECT_EQ(ToNativePath(system), dir.path() + QStringLiteral("/Data/plw_mst.mdb"));
    // A file that exists under no spelling keeps its name, in the matched folder.
    EXPECT_EQ(ToNativePath(dir.path() + QStringLiteral("/DATA\\NEW.DAT")),
              dir.path() + QStringLiteral("/Data/NEW.DAT"));
}

// A replaced file keeps its permissions and the link that names it; a failure leaves the target
// as it was, no temporary file, and the system's cause in the operator's words.
TEST(FileSystem, ReplacingAFileKeepsItsPermissionsAndLinkAndAFailureSaysWhy) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("PLWAN40.PRM"));
    ASSERT_TRUE(WriteFileAtomically(target, "old", nullptr));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::WriteGroup));
    const QString link = dir.filePath(QStringLiteral("link.prm"));
    ASSERT_TRUE(QFile::link(target, link));
    QString error;
    ASSERT_TRUE(WriteFileAtomically(link, "new", &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(target), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                              QFile::WriteUser | QFile::ReadGroup |
                                              QFile::WriteGroup);

    // An unfinished replacement goes with its object.
    {
        FileReplacement unfinished;
        ASSERT_TRUE(unfinished.open(target));
        ASSERT_TRUE(unfinished.write("half"));
    }
    EXPECT_EQ(fileBytes(target), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("PLWAN40.PRM"), QStringLiteral("link.prm")}));

    EXPECT_FALSE(
        WriteFileAtomically(dir.filePath(QStringLiteral("none/PLWAN40.PRM")), "x", &error));
    EXPECT_EQ(error, QStringLiteral("ファイルまたはフォルダがありません"));

    const struct {
        int number;
        const char* text;
    } causes[] = {{ENOSPC, "ディスクの空き容量が足りません"},
                  {EACCES, "アクセスする権限がありません"},
                  {EROFS, "読み取り専用の場所です"}};
    for (const auto& c : causes)
        EXPECT_EQ(SystemErrorText(c.number), QString::fromUtf8(c.text)) << c.number;
    // Any other cause in the system's own words.
    EXPECT_EQ(SystemErrorText(EMFILE), QString::fromLocal8Bit(std::strerror(EMFILE)));
}
