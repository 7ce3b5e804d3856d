// The program on a PostgreSQL server: the same analysis as on the SQLite files gives the same key
// file, work rows and workbook; two shops analyse at once; the server's faults end the run with
// their cause.

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/Database.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"
#include "db/ServerConnectionFile.h"
#include "db/Sub_DataBaseFotDB.h"
#include "program/BatchRun.h"
#include "program/Session.h"
#include "rfm/GroupHistory.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestServer.h"
#include "tools/sample/SampleInstallation.h"
#include "tools/topostgres/CopyInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

using namespace plw;
using plw::test::ScriptedPrompter;

namespace {

QString Printed(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        bytes.append(buffer, qsizetype(n));
    return QString::fromUtf8(bytes);
}

// What one batch run leaves: its status and messages, the key file, the work table of the
// scoring and the workbook.
struct RunOutcome {
    int status = -1;
    QString messages;
    QByteArray keyFile;
    QStringList scored;
    QByteArray workbook;
    QString workbookPath;
};

// A sample installation of a few hundred customers, to be run on the files and on the server.
class ServerRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::TestServerConnection().isEmpty())
            GTEST_SKIP() << "no PostgreSQL test server (ctest starts one)";
        ASSERT_TRUE(mDir.isValid());
        mServer = std::make_unique<test::TestSchemas>();
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 300;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSummary))
            << error.toStdString();
    }

    bool copyToServer(bool refresh = false) {
        topostgres::CopyOptions options;
        options.LocationFile = mSummary.locationFile;
        options.Connection = test::TestServerConnection();
        options.BaseSchema = mServer->base();
        options.WorkSchema = mServer->work();
        options.Refresh = refresh;
        topostgres::CopyResult result;
        QString error;
        const bool copied = topostgres::CopyInstallation(options, &result, &error);
        mCopyError = error;
        return copied;
    }

    RunOutcome run(EventPump* events = nullptr) {
        RunOutcome outcome;
        ScriptedPrompter prompter;
        FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
        CountingEventPump counting;
        Session batch(prompter, clock, events ? *events : counting);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
        BatchOptions options;
        options.BaseDate = QStringLiteral("20261130");
        options.PeriodMonths = 12;
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        outcome.status = RunBatch(batch, options, out, err).status;
        outcome.messages = prompter.texts().join(u'|') + Printed(err);
        const QStringList printed = Printed(out).split(u'\n', Qt::SkipEmptyParts);
        std::fclose(out);
        std::fclose(err);
        if (outcome.status != 0)
            return outcome;
        outcome.workbookPath = printed.last();
        outcome.keyFile = test::ReadBytes(batch.Env.KeyFilePath);
        outcome.workbook = test::ReadBytes(printed.last());
        std::unique_ptr<db::Database> work =
            QFile::exists(batch.Env.ServerConnectionPath)
                ? mServer->transaction()
                : db::Database::open(batch.Env.TransactionDatabasePath);
        for (auto rows =
                 work->openRecordset(QStringLiteral("SELECT * FROM WorkRFM_1 ORDER BY M1KaiBan"));
             !rows->eof(); rows->moveNext()) {
            QStringList row;
            for (int c = 0; c < rows->fieldCount(); ++c)
                row << rows->value(c).toString();
            outcome.scored << row.join(u'\t');
        }
        return outcome;
    }

    QTemporaryDir mDir;
    std::unique_ptr<test::TestSchemas> mServer;
    sample::SampleSummary mSummary;
    QString mCopyError;
};

// Ends the program's connections to the server, as a server shut down would, at the given
// yield of the run (the scoring yields every tenth customer).
class ServerGoesAway final : public EventPump {
public:
    ServerGoesAway(db::PostgresDatabase& admin, QString application, int at)
        : mAdmin(admin), mApplication(std::move(application)), mAt(at) {}
    void yield() override {
        if (++mYields != mAt)
            return;
        mAdmin.connection().run(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                               "pg_stat_activity WHERE application_name = $1"),
                                {mApplication.toUtf8()});
    }

private:
    db::PostgresDatabase& mAdmin;
    QString mApplication;
    int mAt;
    int mYields = 0;
};

// A key file without the times its records carry (the key, a blank, the time of the run).
QByteArray WithoutTimes(QByteArray keys) {
    constexpr qsizetype Record = 48;
    for (qsizetype at = 0; at + 22 <= keys.size(); at += Record)
        keys.replace(at + 8, 14, QByteArray(14, '-'));
    return keys;
}

// The rows of a work schema's WorkRFM_1, in number order.
QStringList ScoredRows(db::Database& work) {
    QStringList scored;
    for (auto rows =
             work.openRecordset(QStringLiteral("SELECT * FROM WorkRFM_1 ORDER BY M1KaiBan"));
         !rows->eof(); rows->moveNext()) {
        QStringList row;
        for (int c = 0; c < rows->fieldCount(); ++c)
            row << rows->value(c).toString();
        scored << row.join(u'\t');
    }
    return scored;
}

} // namespace

TEST_F(ServerRun, TheSameAnalysisGivesTheSameKeyFileRowsAndWorkbook) {
    const RunOutcome files = run();
    ASSERT_EQ(files.status, 0) << files.messages.toStdString();
    ASSERT_TRUE(copyToServer()) << mCopyError.toStdString();
    // The group history moved with the work tables: the sample's earlier run and this one.
    const HistoryRead kept =
        ReadHistory(*db::Database::open(mSummary.workFolder + QStringLiteral("PLW_TRN.MDB")));
    ASSERT_EQ(kept.Outcome, HistoryRead::State::Read) << kept.Cause.toStdString();
    EXPECT_EQ(kept.Runs.size(), 2u);
    EXPECT_TRUE(ReadHistory(*mServer->transaction()).Runs == kept.Runs);
    const RunOutcome server = run();
    ASSERT_EQ(server.status, 0) << server.messages.toStdString();
    EXPECT_FALSE(files.scored.isEmpty());
    EXPECT_EQ(server.keyFile, files.keyFile);
    EXPECT_EQ(server.scored, files.scored);
    EXPECT_EQ(server.workbook, files.workbook);
}

// Two shops on one server: the same base tables, a work folder and a work schema each. Their
// analyses run at the same moment as two programs; each gives what the files give.
TEST_F(ServerRun, TwoShopsAnalyseAtOnceEachInItsOwnWorkSchema) {
    const RunOutcome files = run();
    ASSERT_EQ(files.status, 0) << files.messages.toStdString();
    ASSERT_TRUE(copyToServer()) << mCopyError.toStdString();

    // The second shop: an installation of its own whose connection file names the first one's
    // base schema and a work schema of its own.
    sample::SampleOptions options;
    options.folder = mDir.path() + QStringLiteral("/shop2");
    options.customers = 300;
    sample::SampleSummary second;
    QString error;
    ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &second)) << error.toStdString();
    const QString secondWork = mServer->work() + QStringLiteral("_2");
    mServer->admin().connection().run(
        QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(secondWork));
    const db::ServerConnection server{
        test::TestServerConnection(), mServer->base(), secondWork,
        db::DatabaseFileChanged(second.workFolder + QStringLiteral("PLW_TRN.MDB")),
        db::DatabaseFileChanged(second.systemFolder + QStringLiteral("DATA/PLW_MST.MDB"))};
    ASSERT_TRUE(db::WriteServerConnectionFile(second.systemFolder + db::ServerConnectionFileName,
                                              server, &error))
        << error.toStdString();

    QProcess shops[2];
    const QString locations[2] = {mSummary.locationFile, second.locationFile};
    for (int i = 0; i < 2; ++i)
        shops[i].start(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40"),
                       {QStringLiteral("--batch"), QStringLiteral("--location"), locations[i],
                        QStringLiteral("--base-date"), QStringLiteral("20261130"),
                        QStringLiteral("--period-months"), QStringLiteral("12")});
    for (QProcess& shop : shops) {
        ASSERT_TRUE(shop.waitForFinished(120000));
        EXPECT_EQ(shop.exitCode(), 0) << shop.readAllStandardError().toStdString();
    }
    // The key files as the run on the files wrote them, but for the time of the run.
    for (const QString& folder : {mSummary.workFolder, second.workFolder})
        EXPECT_EQ(WithoutTimes(test::ReadBytes(folder + QStringLiteral("PLWAN40.KEY"))),
                  WithoutTimes(files.keyFile));
    EXPECT_EQ(ScoredRows(*mServer->transaction()), files.scored);
    auto secondDatabase =
        db::PostgresDatabase::connect(test::TestServerConnection(), {secondWork, mServer->base()});
    EXPECT_EQ(ScoredRows(*secondDatabase), files.scored);
    secondDatabase.reset();
    mServer->admin().connection().run(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(secondWork));
}

TEST_F(ServerRun, ACopyIsRefusedOverTablesAndARefreshReplacesTheRows) {
    ASSERT_TRUE(copyToServer()) << mCopyError.toStdString();
    EXPECT_FALSE(copyToServer());
    EXPECT_TRUE(mCopyError.contains(QStringLiteral("--refresh"))) << mCopyError.toStdString();

    // Another program of the suite changes the files: the run warns until the next refresh.
    {
        auto file = db::Database::open(mSummary.workFolder + QStringLiteral("PLW_TRN.MDB"));
        file->execute(QStringLiteral("DELETE * FROM M1_お客様マスタ WHERE M1KaiBan <= '0000010'"));
    }
    const RunOutcome stale = run();
    EXPECT_EQ(stale.status, 0) << stale.messages.toStdString();
    EXPECT_TRUE(stale.messages.contains(QStringLiteral("--refresh")))
        << stale.messages.toStdString();

    ASSERT_TRUE(copyToServer(true)) << mCopyError.toStdString();
    auto server = mServer->master();
    EXPECT_EQ(server->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM M1_お客様マスタ"))
                  ->integer(u"n"),
              290);
    const RunOutcome fresh = run();
    EXPECT_EQ(fresh.status, 0) << fresh.messages.toStdString();
    EXPECT_FALSE(fresh.messages.contains(QStringLiteral("--refresh")))
        << fresh.messages.toStdString();
}

TEST_F(ServerRun, AServerGoneInTheMiddleEndsTheRunAndTheNextOneSucceeds) {
    const QString application =
        QStringLiteral("plwan40_fault_%1").arg(QCoreApplication::applicationPid());
    const QString connection = test::TestServerConnection();
    {
        topostgres::CopyOptions options;
        options.LocationFile = mSummary.locationFile;
        options.Connection = connection + QStringLiteral(" application_name=") + application;
        options.BaseSchema = mServer->base();
        options.WorkSchema = mServer->work();
        topostgres::CopyResult result;
        QString error;
        ASSERT_TRUE(topostgres::CopyInstallation(options, &result, &error)) << error.toStdString();
    }
    const RunOutcome first = run();
    ASSERT_EQ(first.status, 0) << first.messages.toStdString();
    ASSERT_TRUE(QFile::remove(first.workbookPath));
    // Gone during the extraction, at its third step.
    ServerGoesAway away(mServer->admin(), application, 3);
    const RunOutcome failed = run(&away);
    EXPECT_EQ(failed.status, 3) << failed.messages.toStdString();
    EXPECT_TRUE(failed.messages.contains(QStringLiteral("接続が切れました")))
        << failed.messages.toStdString();
    EXPECT_FALSE(QFile::exists(first.workbookPath));
    EXPECT_EQ(run().status, 0);
}

TEST_F(ServerRun, ServerFaultsEndTheRunWithTheirCause) {
    ASSERT_TRUE(copyToServer()) << mCopyError.toStdString();
    const QString file = mSummary.systemFolder + db::ServerConnectionFileName;
    std::optional<db::ServerConnection> connection;
    QString error;
    ASSERT_TRUE(db::ReadServerConnectionFile(file, &connection, &error)) << error.toStdString();
    ASSERT_TRUE(connection);

    // No server at the start: the server and the database named, exit 2, nothing written.
    db::ServerConnection nowhere = *connection;
    nowhere.Connection = QStringLiteral("host=/nonexistent port=5 dbname=plw");
    ASSERT_TRUE(db::WriteServerConnectionFile(file, nowhere, &error));
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(
        outcome.messages.contains(QStringLiteral("サーバー /nonexistent:5、データベース plw")))
        << outcome.messages.toStdString();

    // A password in the file is refused before any connection.
    nowhere.Connection = test::TestServerConnection() + QStringLiteral(" password=secret");
    ASSERT_TRUE(db::WriteServerConnectionFile(file, nowhere, &error));
    outcome = run();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.messages.contains(QStringLiteral("パスワード")))
        << outcome.messages.toStdString();

    // A schema without the tables.
    db::ServerConnection empty = *connection;
    empty.BaseSchema = mServer->work();
    ASSERT_TRUE(db::WriteServerConnectionFile(file, empty, &error));
    outcome = run();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.messages.contains(QStringLiteral("M1_お客様マスタ")))
        << outcome.messages.toStdString();

    // A role that may read the base tables but not create work tables: named, exit 2.
    const QString role = mServer->work() + QStringLiteral("_shop");
    mServer->admin().connection().run(
        QStringLiteral("DROP ROLE IF EXISTS %1; CREATE ROLE %1 LOGIN; GRANT USAGE ON SCHEMA %2, %3 "
                       "TO %1; GRANT SELECT ON ALL TABLES IN SCHEMA %2 TO %1")
            .arg(role, mServer->base(), mServer->work()));
    db::ServerConnection readOnly = *connection;
    readOnly.Connection = test::TestServerConnection() + QStringLiteral(" user=") + role;
    ASSERT_TRUE(db::WriteServerConnectionFile(file, readOnly, &error));
    outcome = run();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.messages.contains(QStringLiteral("作業表を作る権限がありません")))
        << outcome.messages.toStdString();
    mServer->admin().connection().run(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(role));

    // Another PC holds the work schema: refused with a message.
    ASSERT_TRUE(db::WriteServerConnectionFile(file, *connection, &error));
    auto other = mServer->transaction();
    QString held;
    ASSERT_TRUE(other->lockWorkTables(&held));
    outcome = run();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.messages.contains(QStringLiteral("他の PC")))
        << outcome.messages.toStdString();
    other->unlockWorkTables();
    EXPECT_EQ(run().status, 0);
}
