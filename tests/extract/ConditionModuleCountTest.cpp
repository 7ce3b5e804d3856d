#include "ExtractionShop.h"

#include "app/Environment.h"
#include "app/WorkFolderLock.h"
#include "extract/ConditionModule.h"
#include "tests/extract/ConditionModuleFixture.h"
#include "tests/support/Printers.h"

#include <optional>

namespace plw::test {
namespace {

// The condition screen over the ten-customer shop, shown for the analysis.
class ConditionCount : public ExtractionShop {
protected:
    void SetUp() override {
        ExtractionShop::SetUp();
        mEnvironment.WorkFolder = mDir.path() + QLatin1Char('/');
        mEnvironment.BuildPaths();
        mModule.emplace(mEnvironment, mTable, mPrompter, mClock);
        ConditionRecord record = ClearedConditionRecord();
        mModule->Run(QStringLiteral("JB"), QString(), record);
        mModule->Run(QStringLiteral("YS"), QStringLiteral("P1"), record);
    }

    // Women only.
    void SelectWomen() {
        mModule->Screen().Kinds[Cond::KihSei] = 3;
        mModule->Screen().KihSei = 2;
        mModule->Changed();
    }

    Environment mEnvironment;
    ClassificationTable mTable = SmallClassifications();
    ScriptedPrompter mPrompter;
    std::optional<ConditionModule> mModule;
};

TEST_F(ConditionCount, CountsTheScreensConditionsAndTellsTheOperator) {
    SelectWomen();
    // The screen shows the count before the operator is told it.
    QStringList shown;
    mModule->ScreenChanged = [&] {
        shown << mModule->Screen().CountLabel + u'/' + QString::number(mPrompter.messages().size());
    };
    ASSERT_TRUE(mModule->Count(*mContext));
    EXPECT_EQ(shown, QStringList{QStringLiteral("該当 ５ 人/0")});
    EXPECT_EQ(mModule->Screen().CountLabel, QStringLiteral("該当 ５ 人"));
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_EQ(mPrompter.texts()[0], QStringLiteral("該当お客様数は、\r該当 ５ 人\rです。"));
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Information);
    EXPECT_FALSE(QFile::exists(keyFile()));
    // Any change empties the count again.
    mModule->Screen().KihSei = 1;
    mModule->Changed();
    EXPECT_EQ(mModule->Screen().CountLabel, QString());
}

TEST_F(ConditionCount, NothingIsCountedWhenACheckTheLockOrTheDatabaseFails) {
    mModule->Screen().Kinds[Cond::PinGak] = 3;
    mModule->Changed();
    EXPECT_FALSE(mModule->Count(*mContext));
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("範囲を指定してください")});
    EXPECT_EQ(mModule->Screen().CurrentTab, 2);
    EXPECT_TRUE(mWait.calls.isEmpty());

    mModule->Screen().Kinds[Cond::PinGak] = 1;
    SelectWomen();
    {
        const WorkFolderLock analysis(mEnvironment.WorkFolder);
        ASSERT_TRUE(analysis.held());
        EXPECT_FALSE(mModule->Count(*mContext));
        EXPECT_TRUE(mPrompter.texts().last().startsWith(
            QStringLiteral("この作業フォルダでは他の分析を実行中です。")));
        EXPECT_EQ(mPrompter.messages().size(), 2);
        EXPECT_TRUE(mWait.calls.isEmpty());
    }

    mTrn->execute(QStringLiteral("DROP TABLE M1_お客様マスタ"));
    EXPECT_FALSE(mModule->Count(*mContext));
    EXPECT_EQ(mPrompter.messages().size(), 3);
    EXPECT_EQ(mPrompter.messages().last().icon, MessageIcon::Critical);
    EXPECT_EQ(mModule->Screen().CountLabel, QString());
}

TEST(ConditionCountLabel, FullWidthGroupedDigits) {
    EXPECT_EQ(CountLabelText(0), QStringLiteral("該当 ０ 人"));
    EXPECT_EQ(CountLabelText(999), QStringLiteral("該当 ９９９ 人"));
    EXPECT_EQ(CountLabelText(1234567), QStringLiteral("該当 １，２３４，５６７ 人"));
}

} // namespace
} // namespace plw::test
