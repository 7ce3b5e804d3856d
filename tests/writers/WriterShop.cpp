#include "tests/writers/WriterShop.h"

#include "rfm/AnalysisRun.h"

namespace plw::test {

void WriterShop::SetUp() {
    AnalysisShop::SetUp();
    if (HasFatalFailure())
        return;
    score();
    mBook = std::make_unique<Workbook>();
    QString error;
    ASSERT_TRUE(mBook->openTemplate(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL"), &error))
        << error.toStdString();
    mRun.reset(new ExcelRun{*mBook, mRecorded, mPrompter, mPump, mCancel});
}

void WriterShop::TearDown() {
    mRun.reset();
    mBook.reset();
    AnalysisShop::TearDown();
}

void WriterShop::score() {
    const AnalysisResult result = RunAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    mExtracted = result.Extracted;
}

Workbook& WriterShop::saved() {
    const QString path = mDir.filePath(QStringLiteral("book.xlsx"));
    QString error;
    EXPECT_TRUE(mBook->save(path, &error)) << error.toStdString();
    EXPECT_TRUE(mRead.open(path, &error)) << error.toStdString();
    return mRead;
}

} // namespace plw::test
