#include "settings/CampaignConditions.h"

#include "app/Environment.h"
#include "app/EventPump.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/MasterBrowse.h"
#include "db/MasterBrowser.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Files.h"
#include "tests/support/MasterBrowsing.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

using R = ConditionRecord;

// An installation's system folder with both masters (twenty campaigns each) and the condition
// files of direct mail 19 and mail 19; the operator picks the second line of the list.
class CampaignConditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mEnv.SystemFolder = mDir.path() + QStringLiteral("/PLW/");
        ASSERT_TRUE(QDir().mkpath(mEnv.SystemFolder + QStringLiteral("DATA")));
        mMaster = db::Database::create(mEnv.SystemFolder + QStringLiteral("DATA/PLW_MST.MDB"));
        db::CreateMasterBaseTables(*mMaster);
        test::InsertCampaigns(*mMaster, db::DirectMailMasterTable, 20);
        test::InsertCampaigns(*mMaster, db::MailMasterTable, 20);
        writeCampaign(QStringLiteral("DMFR\\DM00019.SYS"), QStringLiteral("2"));
        writeCampaign(QStringLiteral("ELFR\\EM00019.SYS"), QStringLiteral("1"));
        mDialog.setScript([](MasterBrowser& b) { return b.choose(1); });

        mScreen.LastVisitFrom = QStringLiteral("20250101");
        mScreen.LastVisitTo = QStringLiteral("20261130");
        mScreen.LastVisitMonths = QStringLiteral("23");
    }

    // A campaign's conditions: sex "and" value, and a last-visit window of its own.
    void writeCampaign(const QString& file, const QString& sex) {
        ConditionRecord record = ClearedConditionRecord();
        record[R::KihSeiKind] = ConditionKind::KindAnd;
        record[R::KihSeiValue] = sex;
        record[R::PinRaiKind] = ConditionKind::KindInclude;
        record[R::PinRaiFrom] = QStringLiteral("20200101");
        record[R::PinRaiTo] = QStringLiteral("20201231");
        QString error;
        ASSERT_TRUE(QDir().mkpath(mEnv.SystemFolder + file.left(4)));
        ASSERT_TRUE(WriteConditionFile(mEnv.SystemFolder + file, record, &error))
            << error.toStdString();
    }

    std::optional<CampaignConditions> take(CampaignSource source) {
        return TakeCampaignConditions(source, mScreen, mEnv, {*mMaster, mDialog, mPrompter, mPump});
    }

    QTemporaryDir mDir;
    Environment mEnv;
    std::unique_ptr<db::Database> mMaster;
    test::ScriptedBrowserDialog mDialog;
    test::ScriptedPrompter mPrompter;
    CountingEventPump mPump;
    ParameterScreenState mScreen;
};

TEST_F(CampaignConditionsTest, ThePickedCampaignsFileWithTheScreensLastVisitRange) {
    struct Case {
        CampaignSource source;
        const char16_t* caption;
        const char16_t* sex;
        const char16_t* title;
    };
    for (const Case& c : {Case{CampaignSource::DirectMail, u"ＤＭ", u"2", u"ＤＭ設定から取得"},
                          Case{CampaignSource::Mail, u"メール", u"1", u"メール設定から取得"}}) {
        const std::optional<CampaignConditions> taken = take(c.source);
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->ModeCaption, QString::fromUtf16(c.caption));
        const ConditionRecord& r = taken->Record;
        EXPECT_EQ(r[R::KihSeiValue], QString::fromUtf16(c.sex));
        EXPECT_EQ(r[R::KihSeiKind], ConditionKind::KindAnd);
        EXPECT_EQ(r[R::PinRaiKind], ConditionKind::KindAnd);
        EXPECT_EQ(r[R::PinRaiFrom], QStringLiteral("20250101"));
        EXPECT_EQ(r[R::PinRaiTo], QStringLiteral("20261130"));
        EXPECT_EQ(r[R::PinRaiMonths], QStringLiteral("23"));
        EXPECT_TRUE(mDialog.captions().last().endsWith(QString::fromUtf16(c.title)));
    }
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(CampaignConditionsTest, MissingOrDamagedFileIsReportedAndNothingTaken) {
    // Direct mail 19 damaged (no marker), mail 19 missing.
    test::WriteBytes(mEnv.SystemFolder + QStringLiteral("DMFR/DM00019.SYS"), "not a record");
    QFile::remove(mEnv.SystemFolder + QStringLiteral("ELFR/EM00019.SYS"));
    EXPECT_FALSE(take(CampaignSource::DirectMail));
    EXPECT_FALSE(take(CampaignSource::Mail));
    ASSERT_EQ(mPrompter.messages().size(), 2);
    for (const auto& m : mPrompter.messages())
        EXPECT_EQ(m.icon, MessageIcon::Critical);
    const QString damaged = mPrompter.messages()[0].text;
    EXPECT_TRUE(damaged.contains(QStringLiteral("ＤＭ 00019 の抽出条件ファイルが壊れている")))
        << damaged.toStdString();
    EXPECT_TRUE(damaged.contains(QDir::toNativeSeparators(mEnv.SystemFolder) +
                                 QStringLiteral("DMFR/DM00019.SYS")));
    EXPECT_TRUE(damaged.endsWith(QStringLiteral("抽出条件は変更していません。")));
    const QString missing = mPrompter.messages()[1].text;
    EXPECT_TRUE(missing.startsWith(QStringLiteral("メール 00019 の抽出条件ファイルがありません")))
        << missing.toStdString();
}

TEST_F(CampaignConditionsTest, ClosingTheListTakesNothing) {
    mDialog.setScript([](MasterBrowser&) { return std::nullopt; });
    EXPECT_FALSE(take(CampaignSource::DirectMail));
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

} // namespace
