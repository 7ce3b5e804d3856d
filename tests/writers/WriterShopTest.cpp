#include "tests/writers/WriterShop.h"

#include "workbook/Worksheet.h"

using namespace plw;

namespace {

using WriterShopTest = test::WriterShop;

// The shop scores: every writer then finds its template sheet and names its copy.
TEST_F(WriterShopTest, EveryWriterCopiesItsTemplateSheetUnderItsName) {
    EXPECT_GT(mExtracted, 0);
    AnalysisSheetWriters writers = sheetWriters();
    writers.WriteConditionSheet(*mRun);
    writers.WriteParameterSheet(*mRun);
    writers.WriteGroupValueSheet(*mRun);
    writers.WriteCustomerList(*mRun, QStringLiteral("WorkRFM_1"), mExtracted);
    for (const MatrixMode mode : {MatrixMode::Count, MatrixMode::Amount}) {
        writers.WriteRSheet(*mRun, mode);
        writers.WriteFSheet(*mRun, mode);
        writers.WriteMSheet(*mRun, mode);
    }
    EXPECT_EQ(saved().sheetNames(),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("RFM解析パラメータ"),
                           QStringLiteral("グループ値"), QStringLiteral("RFM顧客一覧"),
                           QStringLiteral("Ｒ視点人数"), QStringLiteral("Ｆ視点人数"),
                           QStringLiteral("Ｍ視点人数"), QStringLiteral("Ｒ視点金額"),
                           QStringLiteral("Ｆ視点金額"), QStringLiteral("Ｍ視点金額")}));
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

} // namespace
