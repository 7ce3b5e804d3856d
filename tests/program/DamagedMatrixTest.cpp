// A bit flipped in a group letter of PLWAN40.PRM's matrix: the program writes nothing but A to E,
// X or an empty cell there, so anything else is damage of the file, named with its cell; the cell
// still counts as X.

#include "SampleBatch.h"

#include "db/Database.h"
#include "rfm/PLWAN4_hrhen.h"

#include <algorithm>

using namespace plw;

namespace {

using DamagedMatrix = test::SampleBatch;

// The standard output without its last line, the workbook's path.
QString Figures(const test::BatchRan& ran) {
    return ran.out.section(u'\n', 0, -3);
}

TEST_F(DamagedMatrix, ALetterOtherThanAToEAndXIsNamedAsDamageAndCountsAsX) {
    ASSERT_NO_FATAL_FAILURE(saveOutput(false));
    AnalysisParameters p;
    ASSERT_TRUE(ReadParameterFile(prm(), p).ok());
    const int b =
        int(std::find(p.GroupMatrix.begin(), p.GroupMatrix.end(), u"B") - p.GroupMatrix.begin()) +
        1;
    ASSERT_LE(b, 125);
    p.GroupMatrix[size_t(b - 1)] = QString(); // a cell saved without a group colour: no damage
    QString error;
    ASSERT_TRUE(WriteParameterFile(prm(), p, &error)) << error.toStdString();
    const test::BatchRan clean = run();
    ASSERT_EQ(clean.status, 0) << clean.err.toStdString();
    EXPECT_FALSE(clean.err.contains(QStringLiteral("グループマトリックス")));

    // The cell of group A that holds the most customers.
    int a = 0;
    {
        const auto work = db::Database::open(mSample.workFolder + QStringLiteral("PLW_TRN.MDB"));
        const auto rows = work->openRecordset(QStringLiteral(
            "SELECT RFM値, COUNT(*) AS n FROM WorkRFM_1 WHERE グループ = 'A' GROUP BY RFM値 "
            "ORDER BY COUNT(*) DESC, RFM値"));
        ASSERT_FALSE(rows->eof());
        a = CellIndex(rows->text(u"RFM値"));
    }
    ASSERT_GE(a, 1);

    // The letters as one flipped bit leaves them: 'A' ^ 0x10 and 'A' ^ 0x40.
    for (const QString& flipped : {QStringLiteral("Q"), QStringLiteral("\x01")}) {
        SCOPED_TRACE(flipped.toStdString());
        p.GroupMatrix[size_t(a - 1)] = flipped;
        ASSERT_TRUE(WriteParameterFile(prm(), p, &error)) << error.toStdString();
        const test::BatchRan damaged = run();
        EXPECT_EQ(damaged.status, 0) << damaged.err.toStdString();
        const QString shown = flipped == u"Q" ? flipped : QStringLiteral("U+0001");
        EXPECT_TRUE(
            damaged.err.contains(QStringLiteral("%1 が壊れています").arg(prm())) &&
            damaged.err.contains(
                QStringLiteral("セル %1（RFM値 %2）: 「%3」").arg(a).arg(CellCode(a), shown)))
            << damaged.err.toStdString();

        p.GroupMatrix[size_t(a - 1)] = QStringLiteral("X");
        ASSERT_TRUE(WriteParameterFile(prm(), p, &error)) << error.toStdString();
        const test::BatchRan asX = run();
        EXPECT_EQ(Figures(damaged), Figures(asX));
        EXPECT_NE(Figures(asX), Figures(clean));
    }
}

} // namespace
