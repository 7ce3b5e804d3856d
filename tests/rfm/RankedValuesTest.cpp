#include "AnalysisShop.h"

#include "app/WorkFolderLock.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "rfm/AnalysisRun.h"
#include "rfm/RankDistribution.h"
#include "rfm/ReadRankedValues.h"
#include "tests/support/Files.h"

#include <functional>
#include <map>

namespace plw::test {
namespace {

// A pump that does something on every yield of the reading.
struct ProbingPump final : EventPump {
    std::function<void()> onYield;
    void yield() override {
        if (onYield)
            onYield();
    }
};

// What a scored WorkRFM_1 holds, counted per RFM value and per group.
struct RunCounts {
    std::map<QString, qint64> Cells;  // RFM値 -> customers
    std::map<QString, qint64> Groups; // グループ -> customers
};

// Everything a run leaves behind that the reading must leave alone.
struct LeftBehind {
    QByteArray KeyFile, Conditions, Parameters;
    QStringList KeyTable, WorkTable;
    bool operator==(const LeftBehind&) const = default;
};

class RankedValuesTest : public AnalysisShop {
protected:
    RankedValuesTest() { mCustomers = 300; }

    // A context like the fixture's that yields through pump.
    std::unique_ptr<AnalysisContext> withPump(EventPump& pump) {
        AnalysisContext& c = *mContext;
        return std::unique_ptr<AnalysisContext>(new AnalysisContext{c.Env,
                                                                    c.Databases,
                                                                    c.Messages,
                                                                    c.Time,
                                                                    pump,
                                                                    c.Wait,
                                                                    c.Progress,
                                                                    c.Conditions,
                                                                    c.Parameters,
                                                                    c.ParameterScreen,
                                                                    c.OutputScreen,
                                                                    c.SavedConditions,
                                                                    c.Cancel,
                                                                    c.Statistics,
                                                                    nullptr,
                                                                    {},
                                                                    {},
                                                                    false,
                                                                    false,
                                                                    std::nullopt});
    }

public:
    void setConditions(const std::function<void(ConditionRecord&)>& change) {
        ConditionRecord conditions = mSaved;
        change(conditions);
        mConditions->Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, conditions);
    }

protected:
    RunCounts runCounts() {
        RunCounts counts;
        auto rows = mDatabases.Transaction->openRecordset(
            QStringLiteral("SELECT RFM値, グループ FROM WorkRFM_1"));
        for (; !rows->eof(); rows->moveNext()) {
            ++counts.Cells[rows->text(u"RFM値")];
            ++counts.Groups[rows->text(u"グループ")];
        }
        return counts;
    }

    QStringList rows(const QString& query) {
        QStringList all;
        auto rs = mDatabases.Transaction->openRecordset(query);
        for (; !rs->eof(); rs->moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->fieldCount(); ++i)
                fields << rs->value(i).toString();
            all << fields.join(u'|');
        }
        return all;
    }

    LeftBehind leftBehind() {
        return {ReadBytes(mEnv.KeyFilePath), ReadBytes(mEnv.SavedConditionPath),
                ReadBytes(mEnv.WorkFolder + QStringLiteral("PLWAN40.PRM")),
                rows(QStringLiteral("SELECT * FROM WorkPLWAN40X_1 ORDER BY TmpKaiBan")),
                rows(QStringLiteral("SELECT * FROM WorkRFM_1 ORDER BY M1KaiBan"))};
    }
};

// Thresholds and a matrix other than the sample's, so that every rank holds customers.
void UseOwnSettings(ParameterScreenState& screen) {
    screen.RThreshold = {QStringLiteral("400"), QStringLiteral("400"), QStringLiteral("200"),
                         QStringLiteral("90"), QStringLiteral("30")};
    screen.FThreshold = {QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("6"),
                         QStringLiteral("10"), QStringLiteral("15")};
    screen.MThreshold = {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("5"),
                         QStringLiteral("10"), QStringLiteral("20")};
    const QString letters[] = {QStringLiteral("A"),
                               QStringLiteral("B"),
                               QStringLiteral("C"),
                               QStringLiteral("D"),
                               QStringLiteral("E"),
                               QStringLiteral("X"),
                               QString()};
    for (size_t k = 0; k < screen.GroupMatrix.size(); ++k)
        screen.GroupMatrix[k] = letters[k % 7];
}

struct Settings {
    const char* name;
    std::function<void(RankedValuesTest&, ParameterScreenState&)> change;
};

void PrintTo(const Settings& settings, std::ostream* out) {
    *out << settings.name;
}

class RankedValuesAgainstRun : public RankedValuesTest,
                               public ::testing::WithParamInterface<Settings> {};

// The counts of the reading equal a real run's with the same settings: every rank of R, F and M,
// the 125 cells and the six groups with their amounts; and the reading leaves the run's key
// file, settings files, key table and work table as the run left them.
TEST_P(RankedValuesAgainstRun, CountsEqualTheRunsAndLeaveItsResultAlone) {
    UseOwnSettings(mParameterScreen);
    GetParam().change(*this, mParameterScreen);
    const AnalysisResult run = ExecuteAnalysis(*mContext);
    ASSERT_EQ(run.Outcome, AnalysisOutcome::Scored) << mPrompter.texts().join(u'|').toStdString();
    RunCounts expected = runCounts();
    const LeftBehind before = leftBehind();

    RankedValues values;
    ASSERT_EQ(ReadRankedValues(*mContext, values), ReadingOutcome::Read)
        << mPrompter.texts().join(u'|').toStdString();
    ASSERT_EQ(values.size(), run.Extracted);
    const RankDistribution distribution(std::move(values));
    const RankCounts counts = distribution.count(
        mParameterScreen.RThreshold, mParameterScreen.FThreshold, mParameterScreen.MThreshold);

    for (int k = 1; k <= 125; ++k) {
        const auto found = expected.Cells.find(CellCode(k));
        EXPECT_EQ(counts.Cells[size_t(k - 1)].Customers,
                  found == expected.Cells.end() ? 0 : found->second)
            << CellCode(k).toStdString();
        EXPECT_EQ(counts.Cells[size_t(k - 1)].Customers, mStatistics.Cells[size_t(k - 1)].Count);
    }
    for (const Dimension d : {Dimension::R, Dimension::F, Dimension::M}) {
        for (int rank = 1; rank <= 5; ++rank) {
            qint64 inRank = 0;
            for (const auto& [code, customers] : expected.Cells)
                if (code.at(int(d)).digitValue() == rank)
                    inRank += customers;
            EXPECT_EQ(counts.ofRank(d, rank), inRank) << int(d) << " rank " << rank;
        }
    }
    const std::array<CustomerTotal, 6> groups = CountGroups(counts, mParameterScreen.GroupMatrix);
    const char* letters[] = {"A", "B", "C", "D", "E", "X"};
    for (size_t g = 0; g < 6; ++g) {
        EXPECT_EQ(groups[g].Customers, expected.Groups[QString::fromLatin1(letters[g])])
            << letters[g];
        EXPECT_EQ(groups[g].AmountYen, mStatistics.Groups[g].AmountYen) << letters[g];
        EXPECT_GT(groups[g].Customers, 0) << letters[g];
    }
    EXPECT_TRUE(leftBehind() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RankedValuesAgainstRun,
    ::testing::Values(Settings{"saved period",
                               [](RankedValuesTest&, ParameterScreenState&) {
                               }},
                      Settings{"detailed period, last visit from it",
                               [](RankedValuesTest&, ParameterScreenState& screen) {
                                   screen.DetailPeriodOn = true;
                                   screen.LastVisitFromDetail = true;
                                   screen.DetailFrom = QStringLiteral("20250601");
                                   screen.DetailTo = QStringLiteral("20261031");
                               }},
                      Settings{"detailed period, master's last visit",
                               [](RankedValuesTest&, ParameterScreenState& screen) {
                                   screen.DetailPeriodOn = true;
                                   screen.DetailFrom = QStringLiteral("20260101");
                                   screen.DetailTo = QStringLiteral("20261130");
                               }},
                      // Customers added by a purchase-rank condition hold only their number in the
                      // extraction's table: their figures come from the master, as the run's do.
                      Settings{"purchase ranks added to a short period",
                               [](RankedValuesTest& test, ParameterScreenState& screen) {
                                   screen.LastVisitFrom = QStringLiteral("20261101");
                                   test.setConditions([](ConditionRecord& c) {
                                       c[ConditionRecord::PinRaiFrom] = QStringLiteral("20261101");
                                       c[ConditionRecord::PinJunKind] = ConditionKind::KindInclude;
                                       c[ConditionRecord::PinJunFrom] = QStringLiteral("1");
                                       c[ConditionRecord::PinJunTo] = QStringLiteral("100");
                                   });
                               }}));

TEST_F(RankedValuesTest, AnotherAnalysisHoldingTheFolderStopsTheReadingBeforeItExtracts) {
    mDatabases.Transaction->tryExecute(QStringLiteral("DROP TABLE Work抽出A"));
    const WorkFolderLock other(mEnv.WorkFolder);
    ASSERT_TRUE(other.held());
    const QString held = WorkFolderLock(mEnv.WorkFolder).message();
    RankedValues values;
    EXPECT_EQ(ReadRankedValues(*mContext, values), ReadingOutcome::Refused);
    EXPECT_EQ(mPrompter.texts(), QStringList{held});
    EXPECT_EQ(values.size(), 0);
    EXPECT_FALSE(mDatabases.Transaction->tableExists(QStringLiteral("Work抽出A")));
}

TEST_F(RankedValuesTest, TheReadingHoldsTheLockAndStopsAtTheOperatorsCancel) {
    ProbingPump pump;
    int yields = 0;
    bool lockFree = false;
    pump.onYield = [&] {
        ++yields;
        lockFree = lockFree || WorkFolderLock(mEnv.WorkFolder).held();
        if (yields == 3)
            mCancel.request();
    };
    const auto context = withPump(pump);
    RankedValues values;
    EXPECT_EQ(ReadRankedValues(*context, values), ReadingOutcome::Cancelled);
    EXPECT_EQ(values.size(), 0);
    EXPECT_FALSE(lockFree);
    EXPECT_TRUE(mPrompter.texts().isEmpty());
    EXPECT_TRUE(WorkFolderLock(mEnv.WorkFolder).held()); // let go afterwards

    // The next reading starts afresh and reads every selected customer.
    pump.onYield = {};
    EXPECT_EQ(ReadRankedValues(*context, values), ReadingOutcome::Read);
    EXPECT_GT(values.size(), 0);
}

TEST_F(RankedValuesTest, APeriodWithoutCustomersReadsNoneAndAFailureNamesItsCause) {
    mParameterScreen.LastVisitFrom = QStringLiteral("19000101");
    mParameterScreen.LastVisitTo = QStringLiteral("19000131");
    setConditions([&](ConditionRecord& c) {
        c[ConditionRecord::PinRaiFrom] = mParameterScreen.LastVisitFrom;
        c[ConditionRecord::PinRaiTo] = mParameterScreen.LastVisitTo;
    });
    RankedValues values;
    EXPECT_EQ(ReadRankedValues(*mContext, values), ReadingOutcome::Read);
    EXPECT_EQ(values.size(), 0);
    EXPECT_TRUE(mPrompter.texts().isEmpty());

    // A master the reading cannot read: the cause is shown, nothing is read.
    mDatabases.Transaction->execute(QStringLiteral("DROP TABLE M1_お客様マスタ"));
    EXPECT_EQ(ReadRankedValues(*mContext, values), ReadingOutcome::Failed);
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_TRUE(mPrompter.texts().first().contains(QStringLiteral("M1_お客様マスタ")))
        << mPrompter.texts().first().toStdString();
    EXPECT_EQ(values.size(), 0);
}

// The column store keeps 32 bytes a customer: four columns of 8 bytes, reserved at the count
// the extraction gave.
TEST_F(RankedValuesTest, TheStoreTakesFewerThanFortyBytesACustomer) {
    RankedValues values;
    ASSERT_EQ(ReadRankedValues(*mContext, values), ReadingOutcome::Read);
    ASSERT_GT(values.size(), 100);
    EXPECT_LE(values.bytes(), values.size() * 32);
}

} // namespace
} // namespace plw::test
