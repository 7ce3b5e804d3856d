#pragma once

#include "app/Clock.h"
#include "app/Environment.h"
#include "extract/ConditionModule.h"
#include "tests/support/ConditionCodes.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace plw::test {

// Two classification levels: "地区" with three entries, "趣味" with two.
inline ClassificationTable SmallClassifications() {
    ClassificationTable table(2);
    table[0].LevelName = QStringLiteral("地区");
    table[1].LevelName = QStringLiteral("趣味");
    const QStringList areas = {QStringLiteral("北"), QStringLiteral("南"), QStringLiteral("東")};
    for (int i = 0; i < 3; ++i) {
        table[0].Codes[i] = QStringLiteral("A%1").arg(i + 1);
        table[0].Names[i] = areas[i];
    }
    table[0].EntryCount = 3;
    table[1].Codes[0] = QStringLiteral("G1");
    table[1].Names[0] = QStringLiteral("釣り");
    table[1].Codes[1] = QStringLiteral("G2");
    table[1].Names[1] = QStringLiteral("登山");
    table[1].EntryCount = 2;
    return table;
}

// A condition module over a temporary work folder, on 31 March 2026, prepared with "JB".
class ConditionModuleFixture : public ::testing::Test {
protected:
    ConditionModuleFixture() {
        mEnvironment.WorkFolder = mDir.path() + QLatin1Char('/');
        mEnvironment.BuildPaths();
        mModule.ShowScreen = [this] {
            ++mShown;
        };
        mModule.HideScreen = [this] {
            ++mHidden;
        };
        mModule.Finished = [this](bool confirmed) {
            mFinished << confirmed;
        };
        ConditionRecord unused;
        mModule.Run(ConditionModule::Mode::Prepare, ConditionCaller::None, unused);
    }

    // Runs a mode on a copy of the record and returns the copy.
    ConditionRecord Run(const char* mode, const char* caller,
                        ConditionRecord record = ClearedConditionRecord()) {
        mModule.Run(test::ModeOf(mode), test::CallerOf(caller), record);
        return record;
    }

    ConditionScreenState& Screen() { return mModule.Screen(); }

    QTemporaryDir mDir;
    Environment mEnvironment;
    ClassificationTable mTable = SmallClassifications();
    ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 3, 31), QTime(9, 0))};
    ConditionModule mModule{mEnvironment, mTable, mPrompter, mClock};
    int mShown = 0;
    int mHidden = 0;
    QList<bool> mFinished;
};

} // namespace plw::test
