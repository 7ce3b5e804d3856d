#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/MF0SysCmPLW.h"
#include "app/ReturnProgram.h"
#include "app/WorkFolderLock.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "program/BatchRun.h"
#include "program/ExitPaths.h"
#include "program/Session.h"
#include "report/SpreadsheetHost.h"
#include "rfm/AnalysisRun.h"
#include "settings/AnalysisParameters.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/SmallFileSystem.h"
#include "tools/sample/SampleInstallation.h"
#include "workbook/Workbook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace plw;
using plw::test::ScriptedPrompter;

namespace {

// A dozen-customer installation, started from the menu, whose return program leaves a marker.
class ExitFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 12;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSummary))
            << error.toStdString();
        mSession.Env.LocationFileOverride = mSummary.locationFile;
        ASSERT_FALSE(LoadSystemDescription());
        ASSERT_FALSE(db::OpenDatabases(mSession.Env, mSession.Databases, mPrompter));
        test::WriteBytes(mSession.Env.MenuMarkerPath, "");
        mSession.SaveSettings = [this](Session&) {
            ++mSaves;
        };
    }

    MaybeEnd LoadSystemDescription();

    // The return table names program for this program; the program, when made, leaves a marker.
    void returnProgram(const QString& program, bool make) {
        const RecordWriter table =
            EncodeReturnTable({{QStringLiteral("001"), program, QStringLiteral("PLWAN40")}});
        test::WriteBytes(mSession.Env.ReturnTablePath, table.bytes());
        if (make) {
            const QString path = mSession.Env.SystemFolder + program;
            test::WriteBytes(path, "#!/bin/sh\ntouch \"$(dirname \"$0\")/RETURNED\"\n");
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        }
    }

    bool returned() const {
        QElapsedTimer timer;
        timer.start();
        const QString marker = mSession.Env.SystemFolder + QStringLiteral("RETURNED");
        while (timer.elapsed() < 10000) {
            if (QFile::exists(marker))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    void expectShutDown() {
        EXPECT_EQ(mSaves, 1);
        EXPECT_FALSE(mSession.Databases.Open);
        EXPECT_FALSE(QFile::exists(mSession.Env.MenuMarkerPath));
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSummary;
    ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    CountingEventPump mPump;
    Session mSession{mPrompter, mClock, mPump};
    int mSaves = 0;
};

MaybeEnd ExitFixture::LoadSystemDescription() {
    return plw::LoadSystemDescription(mSession.Env, mPrompter, MenuCheck::Skipped);
}

} // namespace

TEST_F(ExitFixture, ExitToMenuSavesClosesDeletesTheMarkerAndStartsTheReturnProgram) {
    returnProgram(QStringLiteral("PLWMENU"), true);
    const ProgramEnd end = ExitToMenu(mSession);
    EXPECT_EQ(end.status, 0);
    expectShutDown();
    EXPECT_TRUE(returned());
    EXPECT_TRUE(mPrompter.messages().isEmpty());
    EXPECT_EQ(mPump.count(), 2 + 1 + 4);
}

TEST_F(ExitFixture, AMissingReturnProgramIsReportedAndTheMarkerStillGoes) {
    returnProgram(QStringLiteral("PLWMENUX"), false);
    ExitToMenu(mSession);
    expectShutDown();
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("ｴﾗｰ53:PLWMENUXがありません")});
}

TEST_F(ExitFixture, NoEntryForThisProgramEndsWithoutStartingAnything) {
    returnProgram(QString(), false);
    EXPECT_EQ(ExitToMenu(mSession).status, 0);
    expectShutDown();
    EXPECT_TRUE(mPrompter.messages().isEmpty());
}

// Everything written to a temporary stream.
QString Printed(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        bytes.append(buffer, static_cast<qsizetype>(n));
    return QString::fromUtf8(bytes);
}

TEST_F(ExitFixture, BatchRunsTheSavedAnalysisLeavingTheParametersAndTheMenuMarkerAlone) {
    db::CloseDatabases(mSession.Databases);
    const QByteArray parameters = test::ReadBytes(mSession.Env.ParameterPath);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Session batch(mPrompter, mClock, mPump);
    batch.Env.LocationFileOverride = mSummary.locationFile;
    batch.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    BatchOptions options;
    options.BaseDate = QStringLiteral("20261130");
    options.PeriodMonths = 3;
    const mode_t umask = ::umask(022);
    EXPECT_EQ(RunBatch(batch, options, out, err).status, 0)
        << mPrompter.texts().join(u'|').toStdString();
    // The scoring's summary, the sheets of the workbook, then the saved workbook's path.
    const QStringList printed = Printed(out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(printed.size(), 2);
    EXPECT_TRUE(printed.first().startsWith(QStringLiteral("抽出件数: ")))
        << printed.join(u'|').toStdString();
    EXPECT_TRUE(printed[printed.size() - 2].startsWith(QStringLiteral("シート: 抽出条件、")))
        << printed.join(u'|').toStdString();
    const QString workbook = printed.last();
    EXPECT_TRUE(workbook.endsWith(u".xls")) << workbook.toStdString();
    EXPECT_TRUE(QFile::exists(workbook));
    EXPECT_TRUE(Printed(err).contains(QStringLiteral("抽出中 Step  8")));
    std::fclose(out);
    std::fclose(err);
    // Nobody is asked: the run says what it does.
    for (const ScriptedPrompter::Message& message : mPrompter.messages())
        EXPECT_NE(message.icon, MessageIcon::Question) << message.text.toStdString();
    EXPECT_TRUE(mPrompter.texts().contains(
        QStringLiteral("処理を開始します（確認なし）。出力先: ") + workbook))
        << mPrompter.texts().join(u'|').toStdString();
    // The workbook is for others too: a new one as the umask gives, a replaced one as it was.
    const auto mode = [&] {
        struct stat status = {};
        EXPECT_EQ(::stat(QFile::encodeName(workbook).constData(), &status), 0);
        return status.st_mode & 07777;
    };
    EXPECT_EQ(mode(), 0644u);
    ASSERT_EQ(::chmod(QFile::encodeName(workbook).constData(), 0640), 0);
    Session again(mPrompter, mClock, mPump);
    again.Env.LocationFileOverride = mSummary.locationFile;
    again.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    EXPECT_EQ(RunBatch(again, options, stdout, stderr).status, 0);
    EXPECT_EQ(mode(), 0640u);
    ::umask(umask);

    EXPECT_EQ(test::ReadBytes(mSession.Env.ParameterPath), parameters);
    EXPECT_TRUE(QFile::exists(batch.Env.MenuMarkerPath));
    EXPECT_TRUE(QFile::exists(batch.Env.KeyFilePath));
    ConditionRecord saved;
    ASSERT_TRUE(ReadConditionFile(batch.Env.SavedConditionPath, saved));
    EXPECT_EQ(saved[ConditionRecord::PinRaiFrom], QStringLiteral("20260801"));
    EXPECT_EQ(saved[ConditionRecord::PinRaiTo], QStringLiteral("20261130"));
    EXPECT_FALSE(batch.Databases.Open);
}

TEST_F(ExitFixture, BatchStatusTellsNobodyUnusableSettingsAndAHeldLockApart) {
    db::CloseDatabases(mSession.Databases);
    struct Case {
        const char* what;
        QString baseDate;
        std::optional<int> months;
        int status;
        QString message;
    };
    const Case cases[] = {
        {"before the shop opened", QStringLiteral("20100131"), 0, 1,
         QStringLiteral("抽出件数が０件です\r抽出条件を見直してください")},
        {"not a date", QStringLiteral("20261331"), std::nullopt, 2,
         QStringLiteral("--base-date には YYYYMMDD の日付か today を指定してください: 20261331")},
        {"after today", QStringLiteral("20261211"), 1, 2,
         QStringLiteral("基準日: 基準日には、本日より後の日付は指定できません")},
        {"before the saved period's end", QStringLiteral("20261001"), std::nullopt, 2,
         QStringLiteral("基準日: 基準日は最終来店日以降としてください")},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        Session batch(prompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        EXPECT_EQ(RunBatch(batch, {c.baseDate, c.months}, stdout, stderr).status, c.status)
            << c.what;
        EXPECT_EQ(prompter.texts().value(prompter.texts().size() - 1), c.message) << c.what;
    }

    {
        // No template in the program folder: no workbook, the reason shown, status 3.
        ScriptedPrompter prompter;
        Session batch(prompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = mDir.path();
        EXPECT_EQ(RunBatch(batch, {}, stdout, stderr).status, 3);
        EXPECT_TRUE(prompter.texts().last().startsWith(u"必要な下記ファイルがありません。"))
            << prompter.texts().join(u'|').toStdString();
    }

    const WorkFolderLock other(mSession.Env.WorkFolder);
    ScriptedPrompter prompter;
    Session batch(prompter, mClock, mPump);
    batch.Env.LocationFileOverride = mSummary.locationFile;
    EXPECT_EQ(RunBatch(batch, {}, stdout, stderr).status, 2);
    EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("この作業フォルダでは")));
}

// --suggest-thresholds after a run with the same settings: each group's customers and amount as
// the run printed them, every rank line, and the run's files and tables as the run left them.
TEST_F(ExitFixture, BatchSuggestionCountsAsTheRunAndLeavesItsResultAlone) {
    db::CloseDatabases(mSession.Databases);
    const auto runBatch = [&](const BatchOptions& options, int expected) {
        std::FILE* out = std::tmpfile();
        ScriptedPrompter prompter;
        Session batch(prompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
        EXPECT_EQ(RunBatch(batch, options, out, stderr).status, expected)
            << prompter.texts().join(u'|').toStdString();
        const QStringList lines = Printed(out).split(u'\n', Qt::SkipEmptyParts);
        std::fclose(out);
        return lines;
    };
    const QStringList run = runBatch({}, 0);
    const auto snapshot = [&] {
        auto transaction = db::Database::open(mSession.Env.TransactionDatabasePath);
        QStringList rows;
        auto rs = transaction->openRecordset(
            QStringLiteral("SELECT M1KaiBan, RFM値, グループ FROM WorkRFM_1 ORDER BY M1KaiBan"));
        for (; !rs->eof(); rs->moveNext())
            rows << rs->text(u"M1KaiBan") + rs->text(u"RFM値") + rs->text(u"グループ");
        return QStringList{
                   QString::fromLatin1(test::ReadBytes(mSession.Env.KeyFilePath).toHex()),
                   QString::fromLatin1(test::ReadBytes(mSession.Env.ParameterPath).toHex()),
                   QString::fromLatin1(test::ReadBytes(mSession.Env.SavedConditionPath).toHex())} +
               rows;
    };
    const QStringList before = snapshot();

    BatchOptions suggest;
    suggest.SuggestThresholds = true;
    const QStringList lines = runBatch(suggest, 0);
    ASSERT_EQ(lines.size(), 1 + 15 + 6) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.first(),
              QStringLiteral("次元,ランク,現在のしきい値,現在の人数,提案のしきい値,提案での人数"));
    const QRegularExpression rank(QStringLiteral("^[RFM],[1-5],[0-9]+,[0-9]+,[0-9]+,[0-9]+$"));
    for (int i = 1; i <= 15; ++i)
        EXPECT_TRUE(rank.match(lines.at(i)).hasMatch()) << lines.at(i).toStdString();
    // Rank 1 repeats rank 2's thresholds.
    const QStringList r2 = lines.at(4).split(u','), r1 = lines.at(5).split(u',');
    EXPECT_EQ(r1.at(2), r2.at(2));
    EXPECT_EQ(r1.at(4), r2.at(4));
    // The groups as the run counted them ("グループA: 3人、12,345円").
    for (int g = 0; g < 6; ++g) {
        const QStringList group = lines.at(16 + g).split(u',');
        ASSERT_EQ(group.size(), 3);
        const QString letter = QString(QStringLiteral("ABCDEX").at(g));
        EXPECT_EQ(group.at(0), letter);
        const QString printed =
            QStringLiteral("グループ%1: %2人、%3円")
                .arg(letter, group.at(1),
                     FormatNumber(group.at(2).toLongLong(), QStringLiteral("#,##0")));
        EXPECT_TRUE(run.contains(printed))
            << printed.toStdString() << " in " << run.join(u'|').toStdString();
    }
    EXPECT_EQ(snapshot(), before);

    // Nobody selected, a check that fails, a held lock: the statuses of a run, nothing printed.
    EXPECT_TRUE(runBatch({QStringLiteral("20100131"), 0, true}, 1).isEmpty());
    EXPECT_TRUE(runBatch({QStringLiteral("20261001"), std::nullopt, true}, 2).isEmpty());
    const WorkFolderLock other(mSession.Env.WorkFolder);
    EXPECT_TRUE(runBatch(suggest, 2).isEmpty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ExitFixture, BatchRefusesAWorkbookOpenInASpreadsheetProgramButNotAStaleLock) {
    db::CloseDatabases(mSession.Databases);
    AnalysisParameters saved;
    QString error;
    ASSERT_TRUE(ReadParameterFile(mSession.Env.ParameterPath, saved));
    const QString workbook = saved.WorkbookName;
    const QString lock = LockFilePath(workbook);
    const QByteArray thisHost =
        "Shop,shop," + QSysInfo::machineHostName().toUtf8() + ",10.12.2026 07:00,file:///h;";
    const auto run = [&] {
        ScriptedPrompter prompter;
        Session batch(prompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
        const int status = RunBatch(batch, {}, stdout, stderr).status;
        return std::make_pair(status, prompter.texts().join(u'|'));
    };

    // Open in a program of this machine: refused before anything is extracted.
    test::WriteBytes(workbook, "earlier workbook");
    QFile held(workbook);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    test::WriteBytes(lock, thisHost);
    const auto [openStatus, openMessages] = run();
    EXPECT_EQ(openStatus, 3);
    EXPECT_TRUE(openMessages.contains(
        QStringLiteral("出力先のブックが表計算ソフトで開かれています。\r%1\rロックファイル: %2\r"
                       "利用者: Shop（ホスト: %3）\r日時: 2026/12/10 07:00\r")
            .arg(workbook, lock, QSysInfo::machineHostName())))
        << openMessages.toStdString();
    EXPECT_FALSE(QFile::exists(mSession.Env.KeyFilePath));
    held.close();

    // A lock of another machine is honoured however old: that machine may have the file open.
    // The message names it, so that the operator can remove a stale one.
    test::WriteBytes(lock, "Tanaka,tanaka,office-pc,01.06.2020 10:15,file:///h;");
    {
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(86400),
                                     QFileDevice::FileModificationTime));
    }
    const auto [otherStatus, otherMessages] = run();
    EXPECT_EQ(otherStatus, 3);
    EXPECT_TRUE(otherMessages.contains(QStringLiteral("ロックファイル: %1\r利用者: Tanaka（ホスト: "
                                                      "office-pc）\r日時: 2020/06/01 10:15")
                                           .arg(lock)))
        << otherMessages.toStdString();
    EXPECT_FALSE(QFile::exists(mSession.Env.KeyFilePath));

    // The same lock with nothing holding the workbook, and a lock from before the boot, are
    // leftovers: the run goes on and replaces the workbook.
    for (const bool beforeBoot : {false, true}) {
        test::WriteBytes(lock, thisHost);
        if (beforeBoot) {
            QFile file(lock);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(86400),
                                         QFileDevice::FileModificationTime));
            ASSERT_TRUE(held.open(QIODevice::ReadOnly));
        }
        const auto [status, messages] = run();
        EXPECT_EQ(status, 0) << beforeBoot << messages.toStdString();
        held.close();
    }
    EXPECT_NE(test::ReadBytes(workbook), QByteArray("earlier workbook"));
}

// The causes an operator can meet while a run writes its workbook reach them in Japanese, with
// the engine's number where it has one and the thing concerned named: a template without one of
// its sheets, a damaged template, a disk that fills up, a database another program holds.
TEST_F(ExitFixture, BatchTellsEachCauseInJapaneseNamingWhatItConcerns) {
    db::CloseDatabases(mSession.Databases);
    // A template without the customer list's sheet, and one that is no workbook at all.
    const QString withoutSheet = mDir.filePath(QStringLiteral("without-sheet"));
    const QString damaged = mDir.filePath(QStringLiteral("damaged"));
    const QString installed = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    for (const QString& folder : {withoutSheet, damaged})
        ASSERT_TRUE(QDir().mkpath(folder));
    {
        Workbook book;
        QString error;
        ASSERT_TRUE(book.open(installed + QStringLiteral("/PLWAN40X.EXL"), &error))
            << error.toStdString();
        ASSERT_TRUE(book.deleteSheet(QStringLiteral("元シート"), &error)) << error.toStdString();
        ASSERT_TRUE(book.save(withoutSheet + QStringLiteral("/PLWAN40X.EXL"), &error))
            << error.toStdString();
    }
    const QString damagedTemplate = damaged + QStringLiteral("/PLWAN40X.EXL");
    test::WriteBytes(damagedTemplate, QByteArray("PK\x03\x04 no workbook"));
    // The workbook goes to a folder of its own, which one case fills up.
    const QString small = mDir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(small));
    AnalysisParameters parameters;
    ASSERT_TRUE(ReadParameterFile(mSession.Env.ParameterPath, parameters).ok());
    parameters.WorkbookName = small + QStringLiteral("/RFM分析結果.xls");
    QString error;
    ASSERT_TRUE(WriteParameterFile(mSession.Env.ParameterPath, parameters, &error));
    const QString work = mSession.Env.TransactionDatabasePath; // holds the run's work tables

    const auto run = [&](const QString& programFolder) {
        ScriptedPrompter prompter;
        Session batch(prompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = programFolder;
        const int status = RunBatch(batch, {}, stdout, stderr).status;
        return QString::number(status) + u'|' + prompter.texts().join(u'|');
    };
    struct Case {
        const char* what;
        QString programFolder;
        bool fullDisk;
        bool lockedDatabase;
        QStringList shown; // one message holds these, in this order
    };
    const Case cases[] = {
        {"a template sheet missing",
         withoutSheet,
         false,
         false,
         {QStringLiteral("|1204 コピー元のシート「元シート」がブックにありません\r"
                         "元ブック に 元シートがない|")}},
        {"a damaged template",
         damaged,
         false,
         false,
         {QStringLiteral("|必要な下記ファイルを読めません。\r") + damagedTemplate +
          QStringLiteral("\r1002 ") + damagedTemplate +
          QStringLiteral(" はブックのファイル（zip形式）ではありません: ")}},
        {"a full disk",
         installed,
         true,
         false,
         {QStringLiteral("|Excelブックを保存できませんでした。\r") + parameters.WorkbookName +
              QStringLiteral("\r17"),
          // The engine's .xls writer (charts included) names the workbook and the file it wrote.
          QStringLiteral("ブック ") + small,
          QStringLiteral("に書き込めません: ディスクの空き容量が足りません")}},
        {"a locked database",
         installed,
         false,
         true,
         {QStringLiteral("|データベースの処理でエラーが発生しました。\rデータベース ") + work +
          QStringLiteral(" は他のプログラムが使用中です（ロックされています）。")}},
    };
    // Two words or more of English in a row: a sentence the operator should not meet.
    const QRegularExpression english(QStringLiteral("[A-Za-z]{2,}(?: [A-Za-z]{2,}){2,}"));
    bool skipped = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<db::Database> holder;
        if (c.lockedDatabase) {
            holder = db::Database::open(work);
            holder->begin(); // another program writing to it
        }
        std::optional<QString> outcome;
        if (c.fullDisk)
            outcome = test::InSmallFileSystem(small, test::SmallFileSystemKind::Full,
                                              [&] { return run(c.programFolder); });
        else
            outcome = run(c.programFolder);
        if (!outcome) {
            skipped = true;
            continue;
        }
        EXPECT_TRUE(outcome->startsWith(u"3|")) << outcome->toStdString();
        QString pattern;
        for (const QString& part : c.shown)
            pattern += (pattern.isEmpty() ? QString() : QStringLiteral("[^|]*")) +
                       QRegularExpression::escape(part);
        EXPECT_TRUE(outcome->contains(QRegularExpression(pattern))) << outcome->toStdString();
        EXPECT_FALSE(outcome->contains(english)) << outcome->toStdString();
    }
    if (skipped)
        GTEST_SKIP() << "this system gives no process a file system of its own: no full disk";
}

TEST_F(ExitFixture, BatchStartUpFailuresEndWithStatusTwoBeforeWritingAnything) {
    db::CloseDatabases(mSession.Databases);
    QFile::remove(mSession.Env.MasterDatabasePath);
    ScriptedPrompter prompter;
    Session batch(prompter, mClock, mPump);
    batch.Env.LocationFileOverride = mSummary.locationFile;
    EXPECT_EQ(RunBatch(batch, {}, stdout, stderr).status, 2);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.texts()[0].endsWith(QStringLiteral("\rデータベース OPEN ERR ") +
                                             batch.Env.MasterDatabasePath));
    EXPECT_FALSE(QFile::exists(batch.Env.TransactionDatabasePath + QStringLiteral("-wal")));

    Session missing(prompter, mClock, mPump);
    missing.Env.LocationFileOverride = mDir.path() + QStringLiteral("/none.TWS");
    EXPECT_EQ(RunBatch(missing, {}, stdout, stderr).status, 2);
}

TEST_F(ExitFixture, ACancelAnAbandonedOrASavedWorkbookEndsTheProgramAfterARun) {
    returnProgram(QStringLiteral("PLWMENU"), true);
    for (const AnalysisOutcome outcome :
         {AnalysisOutcome::NotStarted, AnalysisOutcome::LockHeld, AnalysisOutcome::NobodyExtracted,
          AnalysisOutcome::Scored, AnalysisOutcome::Failed})
        EXPECT_FALSE(EndAfterRun(mSession, AnalysisResult{outcome, {}, 0, {}}));
    EXPECT_EQ(mSaves, 0);
    QStringList opened;
    mSession.OpenWorkbook = [&](const QString& path) {
        opened << path;
    };
    const MaybeEnd end =
        EndAfterRun(mSession, AnalysisResult{AnalysisOutcome::Cancelled, {}, 9, {}});
    ASSERT_TRUE(end);
    EXPECT_EQ(end->status, 0);
    expectShutDown();
    EXPECT_TRUE(returned());
    // Only a saved workbook is opened, after the settings are saved and the databases closed.
    EXPECT_TRUE(
        EndAfterRun(mSession, AnalysisResult{AnalysisOutcome::WorkbookAbandoned, {}, 9, {}}));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(EndAfterRun(mSession,
                            AnalysisResult{AnalysisOutcome::WorkbookSaved, {}, 9, u"/w/a.xls"_qs}));
    EXPECT_EQ(opened, QStringList{u"/w/a.xls"_qs});
    EXPECT_FALSE(mSession.Databases.Open);
}
