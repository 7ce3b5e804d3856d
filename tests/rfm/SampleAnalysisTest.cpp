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

// The installation ./run.sh writes, and the sizes the other tests build.
INSTANTIATE_TEST_SUITE_P(Sizes, SampleAnalysisTest,
                         ::testing::Values(SampleSize{sample::SampleOptions().customers,
                                                      sample::SampleOptions().seed},
                                           SampleSize{40, 3}, SampleSize{12, 1}));

} // namespace
} // namespace plw
