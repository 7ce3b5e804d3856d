// Batch mode with the group history and the mailing list: --compare-with, --mailing-list.

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/Database.h"
#include "program/BatchRun.h"
#include "program/Session.h"
#include "rfm/GroupHistory.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/xls/BiffFile.h"
#include "tools/sample/SampleInstallation.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

using namespace plw;
using plw::test::ScriptedPrompter;

namespace {

class BatchHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 60;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSummary))
            << error.toStdString();
    }

    struct Ended {
        int status;
        QStringList out;
    };

    Ended run(const BatchOptions& options) {
        mPrompter = ScriptedPrompter();
        Session batch(mPrompter, mClock, mPump);
        batch.Env.LocationFileOverride = mSummary.locationFile;
        batch.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
        std::FILE* out = std::tmpfile();
        const int status = RunBatch(batch, options, out, stderr).status;
        std::rewind(out);
        QByteArray bytes;
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, out))
            bytes.append(buffer, qsizetype(n));
        std::fclose(out);
        return {status, QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)};
    }

    // The sheet names of a saved .xls, from its BOUNDSHEET records.
    QStringList sheets(const QString& path) {
        QByteArray stream;
        std::vector<test::BiffRecord> records;
        QString error;
        EXPECT_TRUE(test::ReadWorkbookStream(path, &stream, &error) &&
                    test::SplitRecords(stream, &records, &error))
            << error.toStdString();
        QStringList names;
        for (const test::BiffRecord& record : records) {
            if (record.id != 0x0085)
                continue;
            const int length = std::uint8_t(record.data[6]);
            const bool wide = record.data[7] & 1;
            const QByteArray chars = record.data.mid(8, wide ? 2 * length : length);
            names << (wide ? QString::fromUtf16(
                                 reinterpret_cast<const char16_t*>(chars.constData()), length)
                           : QString::fromLatin1(chars));
        }
        return names;
    }

    std::unique_ptr<db::Database> database() {
        return db::Database::open(mSummary.workFolder + QStringLiteral("PLW_TRN.MDB"));
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSummary;
    ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 12, 1), QTime(9, 0))};
    CountingEventPump mPump;
};

TEST_F(BatchHistoryTest, ComparesOnlyWhenAskedAndAKeptRunMustBeThere) {
    // Without the option nothing is compared, although the sample keeps an earlier run.
    Ended ended = run({});
    ASSERT_EQ(ended.status, 0) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_FALSE(sheets(ended.out.last()).contains(QStringLiteral("グループ推移")));

    BatchOptions options;
    options.CompareWith = ComparisonChoice();
    ended = run(options);
    ASSERT_EQ(ended.status, 0) << mPrompter.texts().join(u'|').toStdString();
    const QStringList written = sheets(ended.out.last());
    EXPECT_EQ(written.indexOf(QStringLiteral("グループ推移")),
              written.indexOf(QStringLiteral("グループ値")) + 1);

    // A base date no run was kept for stops the run before it starts.
    options.CompareWith = ComparisonChoice{ComparisonChoice::Kind::BaseDate, QDate(2026, 7, 31)};
    ended = run(options);
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(mPrompter.texts().last(),
              QStringLiteral("比較する基準日 2026/07/31 の実行はグループ履歴に残っていません。"));
    EXPECT_TRUE(ended.out.isEmpty());

    // The kept runs: the sample's and this base date's, replaced by each run of it.
    const HistoryRead history = ReadHistory(*database());
    ASSERT_EQ(history.Outcome, HistoryRead::State::Read);
    ASSERT_EQ(history.Runs.size(), 2u);
    EXPECT_EQ(history.Runs[0].BaseDate, QDate(2026, 11, 30));
    EXPECT_EQ(history.Runs[1].BaseDate, QDate(2026, 8, 30));
}

TEST_F(BatchHistoryTest, WritesADirectMailListOfTheChosenGroupsWithNobodyWithoutConsent) {
    BatchOptions options;
    const QString csv = mDir.filePath(QStringLiteral("dm.csv"));
    options.MailingList = MailingRequest{csv, {true, true}, MailingConsent::DirectMail};
    const Ended ended = run(options);
    ASSERT_EQ(ended.status, 0) << mPrompter.texts().join(u'|').toStdString();
    // The mailing list's line comes before the sheets' and the workbook's path.
    ASSERT_GE(ended.out.size(), 3);
    EXPECT_TRUE(ended.out[ended.out.size() - 3].startsWith(QStringLiteral("宛名リスト: ") + csv))
        << ended.out.join(u'|').toStdString();
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(csv).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    auto db = database();
    int listed = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QByteArray number = lines[i].mid(1, 7); // "0000123",...
        auto rows = db->openRecordset(
            QStringLiteral("SELECT M.M1DmmOsr, M.M1KhADD1, W.グループ FROM M1_お客様マスタ AS M "
                           "INNER JOIN WorkRFM_1 AS W ON W.M1KaiBan = M.M1KaiBan WHERE "
                           "M.M1KaiBan = '%1'")
                .arg(QString::fromLatin1(number)));
        ASSERT_FALSE(rows->eof()) << number.constData();
        EXPECT_EQ(rows->text(u"M1DmmOsr"), QStringLiteral("1")) << number.constData();
        EXPECT_FALSE(rows->text(u"M1KhADD1").trimmed().isEmpty()) << number.constData();
        const QString group = rows->text(u"グループ");
        EXPECT_TRUE(group == u"A" || group == u"B") << lines[i].constData();
        ++listed;
    }
    EXPECT_GT(listed, 0);
}

TEST_F(BatchHistoryTest, AHistoryThatCannotBeKeptEndsWithStatusThreeAfterTheWorkbook) {
    // The database refuses to fill slot 2, the run's, as a full disk would refuse it.
    {
        auto db = database();
        const QString table = QString::fromUtf16(GroupHistoryTable);
        db->execute(QStringLiteral("SELECT * INTO Kept FROM ") + table);
        db->execute(QStringLiteral("DROP TABLE ") + table);
        db->execute(QStringLiteral("CREATE TABLE %1 (HKaiBan CHAR(7) NOT NULL CONSTRAINT %1Key "
                                   "PRIMARY KEY, HSlots CHAR(24) NOT NULL CHECK (MID$(HSlots, 2, "
                                   "1) = '.'))")
                        .arg(table));
        db->execute(QStringLiteral("INSERT INTO %1 SELECT * FROM Kept").arg(table));
    }
    const Ended ended = run({});
    EXPECT_EQ(ended.status, 3);
    ASSERT_FALSE(ended.out.isEmpty());
    EXPECT_TRUE(QFile::exists(ended.out.last())); // the workbook is saved
    EXPECT_TRUE(
        mPrompter.texts().last().startsWith(QStringLiteral("今回の実行をグループ履歴に残せま")))
        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_EQ(ReadHistory(*database()).Runs.size(), 1u);
}

} // namespace
