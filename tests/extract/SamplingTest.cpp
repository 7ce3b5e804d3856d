#include "ExtractionShop.h"

#include "tests/support/Printers.h"

#include <algorithm>

namespace plw::test {
namespace {

// A sample of four of the ten customers, in number order; the seed decides which.
TEST_F(ExtractionShop, RandomSampleOfTheSizeAskedRepeatableBySeed) {
    const ConditionRecord everyone = Conditions({});
    auto sample = [&](quint64 seed) {
        mContext->RandomSeed = seed;
        const ExtractionResult result =
            extract(everyone, ExtractionMode::WriteKeyFile, Sampling::Random, 4);
        EXPECT_EQ(result.Count, 10); // the count is before sampling
        EXPECT_EQ(result.KeyRecords, 4);
        return keyFileCustomers();
    };
    const QStringList first = sample(7);
    ASSERT_EQ(first.size(), 4);
    QStringList sorted = first;
    sorted.sort();
    EXPECT_EQ(first, sorted);
    EXPECT_EQ(customers(QStringLiteral("Sort前")), first);
    EXPECT_EQ(sample(7), first);
    EXPECT_NE(sample(8), first);
    const QStringList ranks =
        column(QStringLiteral("SELECT RANS FROM Work抽出A"), QStringLiteral("RANS"));
    for (const QString& rank : ranks)
        EXPECT_TRUE(rank.toInt() >= 1 && rank.toInt() <= 5000001) << rank.toStdString();
}

TEST_F(ExtractionShop, NoSamplingWhenTheSampleWouldHoldEveryone) {
    const ExtractionResult result =
        extract(Conditions({}), ExtractionMode::WriteKeyFile, Sampling::Random, 10);
    EXPECT_EQ(result.KeyRecords, 10);
    EXPECT_EQ(mTrn->openTable(QStringLiteral("Work抽出A"))->fieldIndex(u"RANS"), -1);
}

// Rows tied on RANS with the last one of the sample are written too. With 200 customers and the
// seed 663, the 142nd and 143rd lowest RANS are equal.
TEST_F(ExtractionShop, SampleTakesTheRowsTiedAtTheBoundary) {
    for (int n = 11; n <= 200; ++n)
        AddCustomer(*mTrn, {{QStringLiteral("M1KaiBan"), Numbers({n}).front()}});
    mContext->RandomSeed = 663;
    const ExtractionResult result =
        extract(Conditions({}), ExtractionMode::WriteKeyFile, Sampling::Random, 142);

    QList<int> ranks;
    for (const QString& rank :
         column(QStringLiteral("SELECT RANS FROM Work抽出A ORDER BY RANS"), QStringLiteral("RANS")))
        ranks << rank.toInt();
    ASSERT_EQ(ranks.size(), 200);
    ASSERT_EQ(ranks[141], ranks[142]); // the tie this seed gives
    ASSERT_NE(ranks[142], ranks[143]);

    EXPECT_EQ(result.Count, 200);
    EXPECT_EQ(result.KeyRecords, 143);
    const QStringList written = keyFileCustomers();
    EXPECT_EQ(written.size(), 143);
    EXPECT_TRUE(std::is_sorted(written.begin(), written.end()));
    const QStringList tied =
        column(QStringLiteral("SELECT M1KaiBan FROM Work抽出A WHERE RANS = %1").arg(ranks[142]),
               QStringLiteral("M1KaiBan"));
    ASSERT_EQ(tied.size(), 2);
    EXPECT_TRUE(written.contains(tied[0]) && written.contains(tied[1]));
}

} // namespace
} // namespace plw::test
