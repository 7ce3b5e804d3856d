#include "tests/rfm/AnalysisShop.h"

#include "rfm/AnalysisRun.h"
#include "tools/sample/SampleInstallation.h"

#include <ostream>

namespace plw {
namespace {

struct SampleSize {
    int customers;
    quint32 seed;
};

void PrintTo(const SampleSize& size, std::ostream* out) {
    *out << size.customers << " customers, seed " << size.seed;
}

// A sample installation analysed with the settings it was saved with.
class SampleAnalysisTest : public test::AnalysisShop,
                           public ::testing::WithParamInterface<SampleSize> {
protected:
    SampleAnalysisTest() {
        mCustomers = GetParam().customers;
        mSeed = GetParam().seed;
    }
};

// Every group of the saved matrix, from the best (A) to the unassigned (X), holds customers: a
// newcomer's first run shows what each group means.
TEST_P(SampleAnalysisTest, EveryGroupHoldsCustomers) {
    const AnalysisResult result = ExecuteAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    const char letters[] = "ABCDEX";
    for (size_t g = 0; g < 6; ++g)
        EXPECT_GT(mStatistics.Groups[g].Customers, 0) << letters[g];
}

// The sample keeps a run three months before its base date: the first analysis compares with it,
// with the same settings, and finds most customers in both.
TEST_P(SampleAnalysisTest, TheFirstRunComparesWithTheKeptEarlierRun) {
    ASSERT_EQ(ExecuteAnalysis(*mContext).Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    ASSERT_TRUE(mContext->Movement.has_value()) << mPrompter.texts().join(u'|').toStdString();
    const GroupMovement& movement = *mContext->Movement;
    EXPECT_EQ(movement.Earlier.BaseDate, QDate(2026, 8, 30));
    EXPECT_TRUE(movement.Differences.isEmpty()) << movement.Differences.join(u'|').toStdString();
    qint64 both = 0, now = 0;
    for (size_t row = 0; row < 7; ++row)
        for (size_t column = 0; column < 6; ++column) {
            now += movement.Customers[row][column];
            if (row < 6)
                both += movement.Customers[row][column];
        }
    EXPECT_GT(both * 2, now);
}

// The installation ./run.sh writes, and the sizes the other tests build.
INSTANTIATE_TEST_SUITE_P(Sizes, SampleAnalysisTest,
                         ::testing::Values(SampleSize{sample::SampleOptions().customers,
                                                      sample::SampleOptions().seed},
                                           SampleSize{40, 3}, SampleSize{12, 1}));

} // namespace
} // namespace plw
