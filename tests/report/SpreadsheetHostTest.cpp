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

    HostSystem system(QDateTime boot, bool programRunning = true) const {
        return HostSystem{{mDir.path()}, ThisHost, boot, [programRunning] {
                              return programRunning;
                          }};
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

TEST_F(SpreadsheetHostTest, OnlyALockOfThisMachineLeftBeforeItsBootOrByAProgramNowGoneIsStale) {
    const QDateTime before = mBoot.addSecs(-600);
    const QDateTime after = mBoot.addSecs(600);
    const struct {
        const char* name;
        QByteArray content; // empty: no lock file
        QDateTime modified;
        QDateTime boot;
        bool running;
        bool programRunning = true; // a spreadsheet process runs on this machine
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
        {"this host's program is gone", "Shop,shop,shop-pc,x,y;", after, mBoot, false, false},
        {"other host's program, none here", "Shop,shop,office-pc,x,y;", after, mBoot, true, false},
    };
    const QString workbook = path(QStringLiteral("分析.xls"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(LockFilePath(workbook));
        if (!c.content.isEmpty())
            writeLock(c.content, c.modified);
        LinuxSpreadsheetHost host(workbook, system(c.boot, c.programRunning));
        EXPECT_EQ(host.IsRunning(), c.running);
        // Asking it to quit closes nothing: it reports whether the lock still holds.
        EXPECT_EQ(host.QuitRunning(), c.running);
        EXPECT_EQ(QFile::exists(LockFilePath(workbook)), !c.content.isEmpty());
    }
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
}
