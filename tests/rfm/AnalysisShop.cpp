#include "AnalysisShop.h"

#include "app/OutputItemList.h"
#include "db/Database.h"
#include "settings/ParameterLoader.h"
#include "tools/sample/SampleInstallation.h"

namespace plw::test {

void AnalysisShop::SetUp() {
    ASSERT_TRUE(mDir.isValid());
    sample::SampleOptions options;
    options.folder = mDir.path() + QStringLiteral("/shop");
    options.customers = mCustomers;
    options.seed = mSeed;
    sample::SampleSummary summary;
    QString error;
    ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &summary)) << error.toStdString();
    mEnv.WorkFolder = summary.workFolder;
    mEnv.SystemFolder = summary.systemFolder;
    mEnv.BuildPaths();
    mDatabases.Master = db::Database::open(mEnv.MasterDatabasePath);
    mDatabases.Transaction = db::Database::open(mEnv.TransactionDatabasePath);
    mDatabases.Open = true;

    mClassifications = LoadClassifications(mEnv.ClassificationPath);
    mConditions = std::make_unique<ConditionModule>(mEnv, mClassifications, mPrompter, mClock);
    mConditions->Run(ConditionModule::Mode::Prepare, ConditionCaller::None, mSaved);
    QStringList levels;
    for (int level = 1; level <= 4; ++level)
        levels << LevelName(mClassifications, level);
    LoadParameters(mEnv, BuildOutputItemList(levels), mParameters, mParameterScreen, mOutputScreen,
                   mSaved, *mConditions);
    mContext.reset(new AnalysisContext{mEnv,
                                       mDatabases,
                                       mPrompter,
                                       mClock,
                                       mPump,
                                       mWait,
                                       mProgress,
                                       *mConditions,
                                       mParameters,
                                       mParameterScreen,
                                       mOutputScreen,
                                       mSaved,
                                       mCancel,
                                       mStatistics,
                                       nullptr,
                                       {},
                                       {},
                                       false,
                                       false,
                                       std::nullopt});
}

void AnalysisShop::TearDown() {
    mContext.reset();
    mDatabases.Transaction.reset();
    mDatabases.Master.reset();
}

qint64 AnalysisShop::scalar(const QString& query) {
    auto rs = mDatabases.Transaction->openRecordset(query);
    return rs->eof() ? 0 : rs->value(0).toLongLong();
}

} // namespace plw::test
