#include "settings/ParameterSaver.h"

#include "app/Environment.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

class SaveParametersTest : public ::testing::Test {
protected:
    SaveParametersTest() {
        mEnv.WorkFolder = mDir.path() + QLatin1Char('/');
        mEnv.BuildPaths();
        mScreen.LastVisitFrom = QStringLiteral("20250101");
        mScreen.GroupMatrix.fill(QStringLiteral("B"));
        mOutput.WorkbookName = QStringLiteral("RFM.xls");
        mSaved = ClearedConditionRecord();
        mSaved[R::KihAdrText] = QStringLiteral("仙台");
    }

    bool save() {
        mError.clear();
        return SaveParameters(mEnv, mScreen, mOutput, mParameters, mSaved, &mError);
    }
    bool savedConditionsWritten() {
        ConditionRecord read;
        return ReadConditionFile(mEnv.SavedConditionPath, read) &&
               read[R::KihAdrText] == QStringLiteral("仙台");
    }

    QTemporaryDir mDir;
    Environment mEnv;
    ParameterScreenState mScreen;
    OutputScreenState mOutput;
    AnalysisParameters mParameters;
    ConditionRecord mSaved;
    QString mError;
};

} // namespace

TEST_F(SaveParametersTest, WritesBothFiles) {
    ASSERT_TRUE(save()) << mError.toStdString();
    AnalysisParameters read;
    ASSERT_TRUE(ReadParameterFile(mEnv.ParameterPath, read));
    EXPECT_EQ(read, mParameters);
    EXPECT_EQ(read.LastVisitFrom, QStringLiteral("20250101"));
    EXPECT_EQ(read.GroupMatrix[124], QStringLiteral("B"));
    EXPECT_EQ(read.WorkbookName, QStringLiteral("RFM.xls"));
    EXPECT_EQ(read.ListItemCount, QStringLiteral("00"));
    EXPECT_EQ(mSaved[R::Marker], ConditionMarker);
    EXPECT_TRUE(savedConditionsWritten());
}

TEST_F(SaveParametersTest, AFailedFileIsReportedAndTheOtherStillWritten) {
    ASSERT_TRUE(save());
    const QByteArray before = test::ReadBytes(mEnv.ParameterPath);
    QFile::remove(mEnv.SavedConditionPath);

    // A record that would not fit: PLWAN40.PRM stays as it was.
    mOutput.WorkbookName = QStringLiteral("/") + QString(2200, QLatin1Char('n'));
    EXPECT_FALSE(save());
    EXPECT_TRUE(mError.startsWith(mEnv.ParameterPath + QStringLiteral(" を保存できません: ")))
        << mError.toStdString();
    EXPECT_FALSE(mError.contains(QStringLiteral("PLWAN40.JKN")));
    EXPECT_EQ(test::ReadBytes(mEnv.ParameterPath), before);
    EXPECT_TRUE(savedConditionsWritten());

    // Neither file can be replaced: both are reported, one line each.
    mOutput.WorkbookName = QStringLiteral("RFM.xls");
    QFile::remove(mEnv.ParameterPath);
    QFile::remove(mEnv.SavedConditionPath);
    ASSERT_TRUE(QDir().mkpath(mEnv.ParameterPath + QStringLiteral("/x")));
    ASSERT_TRUE(QDir().mkpath(mEnv.SavedConditionPath + QStringLiteral("/x")));
    EXPECT_FALSE(save());
    const QStringList lines = mError.split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 2) << mError.toStdString();
    EXPECT_TRUE(lines[0].startsWith(mEnv.ParameterPath));
    EXPECT_TRUE(lines[1].startsWith(mEnv.SavedConditionPath));
}
