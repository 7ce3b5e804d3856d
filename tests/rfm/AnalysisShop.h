#pragma once

#include "app/Clock.h"
#include "app/Environment.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/Classifications.h"
#include "extract/ConditionModule.h"
#include "extract/WaitWindow.h"
#include "rfm/AnalysisContext.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/ScriptedPrompter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace plw::test {

struct QuietWaitWindow final : WaitWindow {
    void open(const QString&, const QString&) override {}
    void setStep(const QString&) override {}
    void close() override {}
};

struct QuietProgress final : ProgressSink {
    void open() override {}
    void showStep(const QString&) override {}
    void showCount(const QString&) override {}
    void showPercent(int) override {}
};

// A sample installation of a few dozen customers, started as the program starts: databases
// open, classifications, the condition module and the saved parameters loaded into the states.
class AnalysisShop : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Customers of the master, by a query's single value.
    qint64 scalar(const QString& query);

    // The sample installation SetUp writes; a fixture may choose another before SetUp.
    int mCustomers = 40;
    quint32 mSeed = 3;
    QTemporaryDir mDir;
    Environment mEnv;
    db::Databases mDatabases;
    ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 12, 1), QTime(9, 0))};
    CountingEventPump mPump;
    QuietWaitWindow mWait;
    QuietProgress mProgress;
    ClassificationTable mClassifications;
    std::unique_ptr<ConditionModule> mConditions;
    AnalysisParameters mParameters;
    ParameterScreenState mParameterScreen;
    OutputScreenState mOutputScreen;
    ConditionRecord mSaved;
    CancelToken mCancel;
    ScoringStatistics mStatistics;
    std::unique_ptr<AnalysisContext> mContext;
};

} // namespace plw::test
