#include "app/FileSystem.h"
#include "tests/support/Files.h"
#include "tests/support/SmallFileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace plw;

namespace {

// The umask of this process for the life of the object.
class Umask {
public:
    explicit Umask(mode_t mask) : mWas(::umask(mask)) {}
    ~Umask() { ::umask(mWas); }

private:
    mode_t mWas;
};

struct stat Status(const QString& path) {
    struct stat status = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
    return status;
}

mode_t Mode(const QString& path) {
    return Status(path).st_mode & 07777;
}

// The folder's entries, hidden ones too: what a replacement leaves behind.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A folder every user may write in, as a shared folder is.
QString SharedFolder(const QTemporaryDir& dir, const QString& name) {
    const QString folder = dir.filePath(name);
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    EXPECT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    return folder;
}

// The outcome of replacing path with bytes, told from a child process: "ok" or the cause, then
// the file's content ("" when there is none).
QString Replace(const QString& path, const QByteArray& bytes) {
    QString error;
    const bool written = WriteFileAtomically(path, bytes, &error);
    return (written ? QStringLiteral("ok") : error) + u'|' +
           QString::fromUtf8(test::ReadBytes(path));
}

} // namespace

// A new file gets the permissions the umask gives, whether written or copied; a replaced one
// keeps its own whatever the umask.
TEST(FileReplacement, ANewFileFollowsTheUmaskAndAReplacedOneKeepsItsMode) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("made by another program"));
    test::WriteBytes(source, "converted");
    const struct {
        mode_t umask;
        mode_t mode;
    } cases[] = {{022, 0644}, {027, 0640}, {077, 0600}, {002, 0664}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.umask);
        const Umask umask(c.umask);
        const QString written = dir.filePath(QStringLiteral("written%1").arg(c.umask));
        const QString copied = dir.filePath(QStringLiteral("copied%1").arg(c.umask));
        ASSERT_TRUE(WriteFileAtomically(written, "new", nullptr));
        ASSERT_TRUE(CopyFileAtomically(source, copied, nullptr));
        EXPECT_EQ(Mode(written), c.mode);
        EXPECT_EQ(Mode(copied), c.mode);
        EXPECT_EQ(test::ReadBytes(copied), QByteArray("converted"));
    }

    const Umask umask(077);
    const QString kept = dir.filePath(QStringLiteral("PLWAN40.PRM"));
    test::WriteBytes(kept, "old");
    for (const mode_t mode : {mode_t(0640), mode_t(0664), mode_t(0604)}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(kept, "new", nullptr));
        EXPECT_EQ(Mode(kept), mode);
        ASSERT_TRUE(CopyFileAtomically(source, kept, nullptr));
        EXPECT_EQ(Mode(kept), mode);
    }
}

// Root may give the new file the owner and group of the one it replaces; a user who may not
// keeps the mode but opens the file to no group its owner did not choose.
TEST(FileReplacement, AReplacedFileKeepsItsOwnerAndGroupWhereTheProcessMay) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file another owner";
    QTemporaryDir dir;
    const QString folder = SharedFolder(dir, QStringLiteral("shared"));
    const QString path = folder + QStringLiteral("/PLWAN40.PRM");
    test::WriteBytes(path, "old");
    ASSERT_EQ(
        ::chown(QFile::encodeName(path).constData(), test::UnprivilegedId, test::UnprivilegedId),
        0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new", nullptr));
    const struct stat replaced = Status(path);
    EXPECT_EQ(replaced.st_uid, test::UnprivilegedId);
    EXPECT_EQ(replaced.st_gid, test::UnprivilegedId);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);

    // The operator's file in root's group: the operator cannot keep that group, so the group's
    // rights become those of others.
    const QString shared = folder + QStringLiteral("/RFM分析結果.xls");
    test::WriteBytes(shared, "old");
    ASSERT_EQ(::chown(QFile::encodeName(shared).constData(), test::UnprivilegedId, 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0664), 0);
    const std::optional<QString> outcome =
        test::AsUnprivilegedUser([&] { return Replace(shared, "new"); });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, QStringLiteral("ok|new"));
    const struct stat taken = Status(shared);
    EXPECT_EQ(taken.st_uid, test::UnprivilegedId);
    EXPECT_EQ(taken.st_gid, test::UnprivilegedId);
    EXPECT_EQ(taken.st_mode & 07777, 0644u);
}

// What the operator is told when a file cannot be replaced: a folder without the right to write,
// a file that may not be written, a full disk, a read-only place. The file stays as it was and
// nothing is left beside it.
TEST(FileReplacement, FailuresNameTheirCauseAndLeaveTheFileAsItWas) {
    QTemporaryDir dir;
    const QString locked = SharedFolder(dir, QStringLiteral("locked"));
    const QString inLocked = locked + QStringLiteral("/PLWAN40.PRM");
    test::WriteBytes(inLocked, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(inLocked).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    const QString open = SharedFolder(dir, QStringLiteral("open"));
    const QString readOnlyFile = open + QStringLiteral("/PLWAN40.JKN");
    test::WriteBytes(readOnlyFile, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnlyFile).constData(), 0444), 0);

    const QString denied = QStringLiteral("アクセスする権限がありません|old");
    std::optional<QString> outcome =
        test::AsUnprivilegedUser([&] { return Replace(inLocked, "new"); });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, denied);
    outcome = test::AsUnprivilegedUser([&] { return Replace(readOnlyFile, "new"); });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, denied);
    EXPECT_EQ(Entries(locked), QStringList{QStringLiteral("PLWAN40.PRM")});
    EXPECT_EQ(Entries(open), QStringList{QStringLiteral("PLWAN40.JKN")});
    ::chmod(QFile::encodeName(locked).constData(), 0755);

    const QString small = SharedFolder(dir, QStringLiteral("small"));
    const struct {
        test::SmallFileSystemKind kind;
        QString outcome;
    } disks[] = {
        {test::SmallFileSystemKind::Full,
         QStringLiteral("ディスクの空き容量が足りません|old|PLWAN40.KEY")},
        {test::SmallFileSystemKind::ReadOnly, QStringLiteral("読み取り専用の場所です||")},
    };
    for (const auto& disk : disks) {
        outcome = test::InSmallFileSystem(small, disk.kind, [&] {
            const QString path = small + QStringLiteral("/PLWAN40.KEY");
            QFile old(path);
            if (old.open(QIODevice::WriteOnly))
                old.write("old");
            old.close();
            // Far more than the file system holds.
            return Replace(path, test::PseudoRandomBytes(100 * 1024, 7)) + u'|' +
                   Entries(small).join(u' ');
        });
        if (!outcome)
            GTEST_SKIP() << "this system gives no process a file system of its own";
        EXPECT_EQ(*outcome, disk.outcome);
    }
}

// A temporary file a process that died left beside a file goes at the next replacement there;
// that of a process still at work stays.
TEST(FileReplacement, LeftoversOfAProcessThatDiedGoAtTheNextReplacement) {
    QTemporaryDir dir;
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const QString dead = QStringLiteral(".plwan40-%1-a1B2c3").arg(gone);
    const QString alive = QStringLiteral(".plwan40-%1-d4E5f6").arg(::getpid());
    test::WriteBytes(dir.filePath(dead), "half a settings file");
    test::WriteBytes(dir.filePath(alive), "being written");
    ASSERT_TRUE(WriteFileAtomically(dir.filePath(QStringLiteral("PLWAN40.PRM")), "new", nullptr));
    EXPECT_EQ(Entries(dir.path()), (QStringList{alive, QStringLiteral("PLWAN40.PRM")}));
}
