#include "report/SpreadsheetHost.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace plw;

namespace {

const QString ThisHost = QStringLiteral("shop-pc");

class SpreadsheetHostTest : public ::testing::Test {
protected:
    QTemporaryDir mDir;
    QDateTime mBoot = QDateTime::currentDateTime().addSecs(-3600);

    QString path(const QString& name) const { return mDir.filePath(name); }

    // This machine, whose processes have the workbook open or not.
    HostSystem system(QDateTime boot, bool workbookOpen = true, bool desktop = false) const {
        HostSystem s;
        s.searchPaths = {mDir.path()};
        s.hostName = ThisHost;
        s.bootTime = boot;
        s.fileOpenByProcess = [workbookOpen](const QString&) {
            return workbookOpen;
        };
        s.desktopSession = desktop;
        return s;
    }

    void writeLock(const QByteArray& content, const QDateTime& modified) {
        const QString lock = LockFilePath(path(QStringLiteral("分析.xls")));
        test::WriteBytes(lock, content);
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }

    void makeProgram(const QString& name, const QByteArray& script) {
        test::WriteBytes(path(name), script);
        QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

} // namespace

TEST_F(SpreadsheetHostTest, LockFileSitsBesideTheWorkbook) {
    EXPECT_EQ(LockFilePath(QStringLiteral("/home/shop/out.xls")), u"/home/shop/.~lock.out.xls#");
    EXPECT_EQ(LockFilePath(QStringLiteral("/home/shop\\sub\\a b.xls")),
              u"/home/shop/sub/.~lock.a b.xls#");
}

TEST_F(SpreadsheetHostTest,
       OnlyALockOfThisMachineLeftBeforeItsBootOrWithTheWorkbookNotOpenIsStale) {
    const QDateTime before = mBoot.addSecs(-600);
    const QDateTime after = mBoot.addSecs(600);
    const struct {
        const char* name;
        QByteArray content; // empty: no lock file
        QDateTime modified;
        QDateTime boot;
        bool running;
        bool workbookOpen = true; // a process of this machine has the workbook open
    } cases[] = {
        {"no lock", {}, {}, mBoot, false},
        {"live lock of this host", "Shop,shop,shop-pc,10.12.2026 07:00,file:///h;", after, mBoot,
         true},
        {"left before boot", "Shop,shop,shop-pc,10.12.2026 07:00,file:///h;", before, mBoot, false},
        {"host written in other letter case", "Shop,shop,SHOP-PC,x,y;", before, mBoot, false},
        {"user name with an escaped comma", "Sato\\, Ken,shop,shop-pc,x,y;", before, mBoot, false},
        {"other host, old lock", "Shop,shop,office-pc,x,y;", before, mBoot, true},
        {"boot time unknown", "Shop,shop,shop-pc,x,y;", before, QDateTime(), true},
        {"unreadable fields", "garbage", before, mBoot, true},
        {"nothing here has the workbook open", "Shop,shop,shop-pc,x,y;", after, mBoot, false,
         false},
        {"other host's lock, nothing here has it open", "Shop,shop,office-pc,x,y;", after, mBoot,
         true, false},
    };
    const QString workbook = path(QStringLiteral("分析.xls"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(LockFilePath(workbook));
        if (!c.content.isEmpty())
            writeLock(c.content, c.modified);
        LinuxSpreadsheetHost host(workbook, system(c.boot, c.workbookOpen));
        EXPECT_EQ(host.IsRunning(), c.running);
        EXPECT_EQ(WorkbookLocked(workbook, system(c.boot, c.workbookOpen)), c.running);
        // Asking it to quit closes nothing: it reports whether the lock still holds.
        EXPECT_EQ(host.QuitRunning(), c.running);
        EXPECT_EQ(QFile::exists(LockFilePath(workbook)), !c.content.isEmpty());
    }
}

// A lock that counts is told as the operator can check it: the lock file, who took it on which
// machine, and when (the lock file's own time when it does not say).
TEST_F(SpreadsheetHostTest, TheLockThatCountsIsNamedWithItsUserHostDateAndFile) {
    const QString workbook = path(QStringLiteral("分析.xls"));
    const QString lockFile = QStringLiteral("ロックファイル: ") + LockFilePath(workbook);
    LinuxSpreadsheetHost host(workbook, system(mBoot));
    EXPECT_EQ(host.holder(), QString());

    writeLock("Sato\\, Ken,sato,office-pc,01.02.2020 09:30,file:///h;", mBoot.addSecs(-600));
    const std::optional<WorkbookLock> lock = WorkbookLockHolder(workbook, system(mBoot));
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->Host, QStringLiteral("office-pc"));
    EXPECT_EQ(LockHolderText(*lock),
              lockFile + QStringLiteral("\r利用者: Sato, Ken（ホスト: office-pc）\r日時: "
                                        "2020/02/01 09:30"));
    EXPECT_EQ(host.holder(), LockHolderText(*lock));

    const QDateTime taken(QDate(2026, 3, 4), QTime(5, 6));
    writeLock(",shop,office-pc,;", taken);
    EXPECT_EQ(host.holder(), lockFile + QStringLiteral("\r利用者: shop（ホスト: office-pc）\r日時: "
                                                       "2026/03/04 05:06"));
    writeLock("garbage", taken);
    EXPECT_EQ(host.holder(),
              lockFile + QStringLiteral("\r利用者: garbage（ホスト: （不明））\r日時: "
                                        "2026/03/04 05:06"));
    // A lock this machine left behind does not count, and names nobody.
    writeLock("Shop,shop,shop-pc,x,y;", mBoot.addSecs(-600));
    EXPECT_FALSE(WorkbookLockHolder(workbook, system(mBoot)));
    EXPECT_EQ(host.holder(), QString());
}

TEST_F(SpreadsheetHostTest, InstalledMeansASpreadsheetProgramOnTheSearchPath) {
    LinuxSpreadsheetHost host(path(QStringLiteral("a.xls")), system(mBoot));
    EXPECT_FALSE(host.IsInstalled());
    EXPECT_EQ(FindSpreadsheetProgram(system(mBoot)), QString());

    makeProgram(QStringLiteral("localc"), "#!/bin/sh\n");
    EXPECT_TRUE(host.IsInstalled());
    EXPECT_EQ(FindSpreadsheetProgram(system(mBoot)), path(QStringLiteral("localc")));
    makeProgram(QStringLiteral("soffice"), "#!/bin/sh\n");
    EXPECT_EQ(FindSpreadsheetProgram(system(mBoot)), path(QStringLiteral("soffice")));
}

TEST_F(SpreadsheetHostTest, OpenStartsTheProgramOnTheFileWithoutAShell) {
    const QString workbook = path(QStringLiteral("a $(touch pwned) 'b'.xls"));
    LinuxSpreadsheetHost host(workbook, system(mBoot));
    QString error;
    EXPECT_FALSE(host.Open(workbook, &error)); // no file yet
    test::WriteBytes(workbook, "x");
    EXPECT_FALSE(host.Open(workbook, &error)); // no program
    EXPECT_FALSE(error.isEmpty());

    const QString seen = path(QStringLiteral("seen"));
    makeProgram(QStringLiteral("soffice"),
                "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/seen.tmp\"\n"
                "mv \"$(dirname \"$0\")/seen.tmp\" \"$(dirname \"$0\")/seen\"\n");
    ASSERT_TRUE(host.Open(workbook, &error)) << error.toStdString();
    // The program runs detached: wait for its trace, a few seconds at most.
    QDeadlineTimer deadline(5000);
    while (!QFile::exists(seen) && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_EQ(QString::fromUtf8(test::ReadBytes(seen)), workbook);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pwned"))));

    // A LibreOffice without any window plug-in cannot show the workbook: said, not started.
    QFile::remove(seen);
    test::WriteBytes(path(QStringLiteral("soffice.bin")), "");
    EXPECT_FALSE(host.Open(workbook, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nogui"))) << error.toStdString();
    test::WriteBytes(path(QStringLiteral("libvclplug_genlo.so")), "");
    EXPECT_TRUE(host.Open(workbook, &error)) << error.toStdString();
}

TEST_F(SpreadsheetHostTest, ADesktopSessionOpensWithItsOpenerFirstAndAFailureAtOnceIsReported) {
    const QString workbook = path(QStringLiteral("分析.xls"));
    test::WriteBytes(workbook, "x");
    // The desktop's opener fails at once; the spreadsheet program then takes the file.
    makeProgram(QStringLiteral("xdg-open"), "#!/bin/sh\necho no handler >&2\nexit 3\n");
    makeProgram(QStringLiteral("localc"),
                "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened\"\n");
    LinuxSpreadsheetHost desktop(workbook, system(mBoot, true, true));
    EXPECT_TRUE(desktop.IsInstalled());
    QString error;
    EXPECT_TRUE(desktop.Open(workbook, &error)) << error.toStdString();
    EXPECT_EQ(QString::fromUtf8(test::ReadBytes(path(QStringLiteral("opened")))), workbook);

    // Both fail at once: the operator learns which programs and why.
    makeProgram(QStringLiteral("localc"), "#!/bin/sh\nexit 1\n");
    EXPECT_FALSE(desktop.Open(workbook, &error));
    EXPECT_TRUE(error.contains(path(QStringLiteral("xdg-open")) + QStringLiteral(": 終了コード 3")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(path(QStringLiteral("localc")) + QStringLiteral(": 終了コード 1")))
        << error.toStdString();

    // Without a desktop session the opener is not asked; a program that stays counts as opened.
    makeProgram(QStringLiteral("localc"), "#!/bin/sh\nsleep 5\n");
    LinuxSpreadsheetHost plain(workbook, system(mBoot));
    EXPECT_TRUE(plain.Open(workbook, &error)) << error.toStdString();
}

TEST_F(SpreadsheetHostTest, ThisMachinesFactsAreRead) {
    const HostSystem here = CurrentHostSystem();
    EXPECT_TRUE(here.bootTime.isValid());
    EXPECT_LT(here.bootTime, QDateTime::currentDateTime());
    EXPECT_FALSE(here.hostName.isEmpty());
    // A file this process holds open is seen as open; once closed it is not.
    const QString file = path(QStringLiteral("held.xls"));
    test::WriteBytes(file, "x");
    QFile held(file);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    EXPECT_TRUE(here.fileOpenByProcess(file));
    held.close();
    EXPECT_FALSE(here.fileOpenByProcess(file));
}
