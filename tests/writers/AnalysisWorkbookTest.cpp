#include "tests/writers/WriterShop.h"

#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "workbook/Worksheet.h"

#include <cstdio>

using namespace plw;

namespace {

struct FreeHost final : SpreadsheetHost {
    bool IsInstalled() override { return true; }
    bool IsRunning() override { return false; }
    bool QuitRunning() override { return false; }
    bool Open(const QString&, QString*) override { return false; }
    QString watchedFile() const override { return {}; }
};

struct NoDialog final : RunningSpreadsheetDialog {
    Choice choose() override { return Choice::Abandon; }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}
};

struct NoSleep final : Sleeper {
    void sleep(int) override {}
};

class AnalysisWorkbookTest : public test::WriterShop {
protected:
    // The workbook step of the scored shop with the given sheet flags (in the order of the
    // parameters: parameters, group values, list, R count, R amount, F count, F amount, M count,
    // M amount), saved as .xlsx under the workbook name; the saved sheets' names.
    QStringList sheetsWritten(const QString& flags) {
        QString* fields[] = {
            &mParameters.OutParameters, &mParameters.OutGroupValues, &mParameters.OutCustomerList,
            &mParameters.OutRCount,     &mParameters.OutRAmount,     &mParameters.OutFCount,
            &mParameters.OutFAmount,    &mParameters.OutMCount,      &mParameters.OutMAmount};
        for (int i = 0; i < 9; ++i)
            *fields[i] = flags.mid(i, 1) == u"1" ? QStringLiteral("1") : QStringLiteral("0");
        mParameters.WorkbookName = mDir.filePath(QStringLiteral("分析.xls"));
        mEnv.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);

        NoDialog dialog;
        NoSleep sleeper;
        ExcelWorkbookWriter writer(dialog, sleeper,
                                   [](const QString&) { return std::make_unique<FreeHost>(); });
        // The package as it is: reading it back needs no converter.
        writer.setClassicWriter(false);
        writer.setConversion([](const QString& xlsx, const QString& target, QString*) {
            return std::rename(QFile::encodeName(xlsx).constData(),
                               QFile::encodeName(target).constData()) == 0;
        });
        WorkbookWritten written;
        EXPECT_EQ(writer.WriteWorkbook(*mContext, QStringLiteral("WorkRFM_1"), mExtracted, written),
                  WorkbookWriteEnd::Saved)
            << written.Error.toStdString();
        EXPECT_TRUE(written.UnfinishedSheets.isEmpty())
            << written.UnfinishedSheets.join(u'|').toStdString();
        const QString saved = written.SavedPath;
        EXPECT_EQ(saved, mParameters.WorkbookName);
        QString error;
        Workbook book;
        EXPECT_TRUE(book.open(saved, &error)) << error.toStdString();
        return book.sheetNames();
    }
};

TEST_F(AnalysisWorkbookTest, TheSheetsFollowTheSelectionInTheirFixedOrder) {
    EXPECT_EQ(sheetsWritten(QStringLiteral("000000000")), QStringList{QStringLiteral("抽出条件")});
    EXPECT_EQ(sheetsWritten(QStringLiteral("001000000")),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("RFM顧客一覧")}));
    EXPECT_EQ(sheetsWritten(QStringLiteral("100001010")),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("RFM解析パラメータ"),
                           QStringLiteral("Ｆ視点人数"), QStringLiteral("Ｍ視点人数")}));
    EXPECT_EQ(sheetsWritten(QStringLiteral("111111111")),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("RFM解析パラメータ"),
                           QStringLiteral("グループ値"), QStringLiteral("RFM顧客一覧"),
                           QStringLiteral("Ｒ視点人数"), QStringLiteral("Ｒ視点金額"),
                           QStringLiteral("Ｆ視点人数"), QStringLiteral("Ｆ視点金額"),
                           QStringLiteral("Ｍ視点人数"), QStringLiteral("Ｍ視点金額")}));
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

} // namespace
