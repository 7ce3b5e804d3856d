// Opening and closing the program's two databases: every kind of file that is not a database
// ends the program with the specified message, and nothing is ever created.

#include "db/Sub_DataBaseFotDB.h"

#include "app/Environment.h"
#include "db/BaseTables.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plw::db {
namespace {

class OpenDatabasesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        mEnv.WorkFolder = mDir.path() + QStringLiteral("/WORK/");
        mEnv.SystemFolder = mDir.path() + QStringLiteral("/SYS/");
        mEnv.BuildPaths();
        QDir().mkpath(mEnv.WorkFolder);
        QDir().mkpath(mEnv.SystemFolder + QStringLiteral("DATA"));
        CreateMasterBaseTables(*Database::create(mEnv.MasterDatabasePath));
        CreateTransactionBaseTables(*Database::create(mEnv.TransactionDatabasePath));
    }

    QString message(const QString& description, const QString& path) const {
        return description + QLatin1Char('\r') + QStringLiteral("データベース OPEN ERR ") + path;
    }

    QTemporaryDir mDir;
    Environment mEnv;
    test::ScriptedPrompter mPrompter;
};

TEST_F(OpenDatabasesTest, OpensBothAndClosesThem) {
    Databases databases;
    EXPECT_FALSE(OpenDatabases(mEnv, databases, mPrompter).has_value());
    EXPECT_TRUE(databases.Open);
    EXPECT_TRUE(mPrompter.messages().isEmpty());
    EXPECT_TRUE(databases.Master->tableExists(PointHistoryTable));
    EXPECT_TRUE(databases.Transaction->tableExists(CustomerMasterTable));
    CloseDatabases(databases);
    EXPECT_FALSE(databases.Open);
    EXPECT_EQ(databases.Master, nullptr);
    EXPECT_EQ(databases.Transaction, nullptr);
    CloseDatabases(databases); // nothing open: nothing to do
}

TEST_F(OpenDatabasesTest, AFileThatIsNoDatabaseEndsTheProgram) {
    const QString missing = QStringLiteral("データベースファイルが見つかりません。");
    const QString foreign = QStringLiteral("データベースとして認識できないファイルです。");
    const struct {
        const char* label;
        QByteArray bytes; // what the master file holds; "-" = no file
        QString description;
    } cases[] = {
        {"missing", "-", missing},
        {"empty", "", foreign},
        {"short", QByteArray("SQLite for"), foreign},
        {"random", test::PseudoRandomBytes(8192, 7), foreign},
        {"text", QByteArray("M1KaiBan,M1KhNamZ\r\n0000001,x\r\n"), foreign},
        {"damaged", QByteArray("SQLite format 3", 16) + test::PseudoRandomBytes(4080, 3),
         QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(mEnv.MasterDatabasePath);
        if (c.bytes != "-")
            test::WriteBytes(mEnv.MasterDatabasePath, c.bytes);
        test::ScriptedPrompter prompter;
        Databases databases;
        const MaybeEnd end = OpenDatabases(mEnv, databases, prompter);
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(end->status, 1);
        EXPECT_FALSE(databases.Open);
        ASSERT_EQ(prompter.messages().size(), 1);
        const auto& shown = prompter.messages().front();
        if (c.description.isEmpty()) // SQLite's own finding, after the description's first words
            EXPECT_TRUE(shown.text.startsWith(QStringLiteral("データベースを開けません。")))
                << shown.text.toStdString();
        else
            EXPECT_EQ(shown.text, message(c.description, mEnv.MasterDatabasePath));
        EXPECT_TRUE(shown.text.endsWith(QStringLiteral("\rデータベース OPEN ERR ") +
                                        mEnv.MasterDatabasePath));
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        if (c.bytes == "-")
            EXPECT_FALSE(QFileInfo::exists(mEnv.MasterDatabasePath)); // never created
        else
            EXPECT_EQ(test::ReadBytes(mEnv.MasterDatabasePath), c.bytes); // never changed
    }
}

TEST_F(OpenDatabasesTest, TheTransactionDatabaseIsReportedWithItsPath) {
    QFile::remove(mEnv.TransactionDatabasePath);
    Databases databases;
    const MaybeEnd end = OpenDatabases(mEnv, databases, mPrompter);
    ASSERT_TRUE(end.has_value());
    EXPECT_FALSE(databases.Open);
    EXPECT_EQ(mPrompter.texts(),
              QStringList{message(QStringLiteral("データベースファイルが見つかりません。"),
                                  mEnv.TransactionDatabasePath)});
}

TEST_F(OpenDatabasesTest, APathWithoutAShiftJisFormIsJustAMissingFile) {
    for (const QString& folder :
         {QStringLiteral("顧客😀/"), QStringLiteral("bad") + QChar(0xD800) + QStringLiteral("/")}) {
        Environment env = mEnv;
        env.SystemFolder = mDir.path() + QLatin1Char('/') + folder;
        env.BuildPaths();
        test::ScriptedPrompter prompter;
        Databases databases;
        const MaybeEnd end = OpenDatabases(env, databases, prompter);
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(prompter.texts(),
                  QStringList{message(QStringLiteral("データベースファイルが見つかりません。"),
                                      env.MasterDatabasePath)});
    }
}

TEST_F(OpenDatabasesTest, SharedWithAnotherProgramWhileAWriteIsOpen) {
    auto writer = Database::open(mEnv.TransactionDatabasePath);
    auto reader = Database::open(mEnv.TransactionDatabasePath);
    auto mode = reader->openRecordset(QStringLiteral("PRAGMA journal_mode"));
    EXPECT_EQ(mode->text(u"journal_mode"), QStringLiteral("wal"));
    mode.reset();

    writer->begin();
    writer->execute(QStringLiteral("INSERT INTO M1_お客様マスタ (M1KaiBan) VALUES ('0000001')"));
    // The reader sees the last committed state at once; it neither waits nor fails.
    auto count = reader->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM M1_お客様マスタ"));
    EXPECT_EQ(count->integer(u"n"), 0);
    count.reset();
    writer->commit();
    count = reader->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM M1_お客様マスタ"));
    EXPECT_EQ(count->integer(u"n"), 1);
}

TEST_F(OpenDatabasesTest, CreateRefusesAnExistingFile) {
    EXPECT_THROW(Database::create(mEnv.MasterDatabasePath), DatabaseError);
}

} // namespace
} // namespace plw::db
