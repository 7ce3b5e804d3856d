#include "tests/writers/WriterShop.h"

#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "tests/xls/BiffFile.h"
#include "workbook/Worksheet.h"

#include <QTemporaryDir>

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
        const QString saved = save(flags, false);
        QString error;
        Workbook book;
        EXPECT_TRUE(book.open(saved, &error)) << error.toStdString();
        return book.sheetNames();
    }

    // Saves the workbook step's workbook under the workbook name: through the engine's .xls
    // writer when classic, else as the package itself (.xlsx in an .xls name, which reading it
    // back needs no converter for). *converted tells whether the conversion was asked for.
    QString save(const QString& flags, bool classic, bool* converted = nullptr) {
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
        writer.setClassicWriter(classic);
        writer.setConversion([converted](const QString& xlsx, const QString& target, QString*) {
            if (converted)
                *converted = true;
            return std::rename(QFile::encodeName(xlsx).constData(),
                               QFile::encodeName(target).constData()) == 0;
        });
        WorkbookWritten written;
        EXPECT_EQ(writer.WriteWorkbook(*mContext, QStringLiteral("WorkRFM_1"), mExtracted, written),
                  WorkbookWriteEnd::Saved)
            << written.Error.toStdString();
        EXPECT_TRUE(written.UnfinishedSheets.isEmpty())
            << written.UnfinishedSheets.join(u'|').toStdString();
        EXPECT_EQ(written.SavedPath, mParameters.WorkbookName);
        return written.SavedPath;
    }
};

TEST_F(AnalysisWorkbookTest, TheSheetsFollowTheSelectionInTheirFixedOrder) {
    // The run is compared with the sample's kept run: "グループ推移" follows "グループ値".
    EXPECT_EQ(sheetsWritten(QStringLiteral("010000000")),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("グループ値"),
                           QStringLiteral("グループ推移")}));
    mContext->Movement.reset(); // a run compared with nothing
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

// The analysis of the sample with every sheet, for each chart type of the group-value sheet's
// left and right charts: saved by the engine's own .xls writer, no conversion, a sound file with
// every chart.
TEST_F(AnalysisWorkbookTest, EverySheetWithEachGroupValueChartTypeIsSavedWithoutConversion) {
    for (int right = 1; right <= 6; ++right) {
        const int left = right % 3 + 1;
        SCOPED_TRACE(std::to_string(left) + "/" + std::to_string(right));
        mParameters.LeftChartType = QString::number(left);
        mParameters.RightChartType = QString::number(right);
        bool converted = false;
        const QString saved = save(QStringLiteral("111111111"), true, &converted);
        EXPECT_FALSE(converted);
        QByteArray stream;
        QString error;
        ASSERT_TRUE(test::ReadWorkbookStream(saved, &stream, &error)) << error.toStdString();
        const QStringList problems = test::StructuralProblems(stream);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
        // The group-value sheet's eight charts, the group movement's one and the five of each of
        // the six matrix sheets.
        EXPECT_EQ(stream.count(QByteArray("\x09\x08\x10\x00\x00\x06\x20\x00", 8)), 8 + 1 + 6 * 5);
    }
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

// A template restyled before "グループ推移" existed: the run says so, leaves the sheet out and
// links it nowhere.
TEST_F(AnalysisWorkbookTest, ATemplateWithoutTheMovementOriginalLeavesTheSheetOut) {
    ASSERT_TRUE(mContext->Movement.has_value());
    QTemporaryDir program;
    {
        Workbook restyled;
        QString error;
        ASSERT_TRUE(restyled.open(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL"), &error));
        ASSERT_TRUE(restyled.deleteSheet(QStringLiteral("元グループ推移"), &error))
            << error.toStdString();
        ASSERT_TRUE(restyled.save(program.filePath(QStringLiteral("PLWAN40X.EXL")), &error));
    }
    QString* fields[] = {
        &mParameters.OutParameters, &mParameters.OutGroupValues, &mParameters.OutCustomerList,
        &mParameters.OutRCount,     &mParameters.OutRAmount,     &mParameters.OutFCount,
        &mParameters.OutFAmount,    &mParameters.OutMCount,      &mParameters.OutMAmount};
    for (QString* field : fields)
        *field = QStringLiteral("0");
    mParameters.OutGroupValues = QStringLiteral("1");
    mParameters.WorkbookName = mDir.filePath(QStringLiteral("分析.xls"));
    mEnv.ProgramFolder = program.path();
    NoDialog dialog;
    NoSleep sleeper;
    ExcelWorkbookWriter writer(dialog, sleeper,
                               [](const QString&) { return std::make_unique<FreeHost>(); });
    // Saved as the package itself, which reading it back needs no converter for.
    writer.setClassicWriter(false);
    writer.setConversion([](const QString& xlsx, const QString& target, QString*) {
        return std::rename(QFile::encodeName(xlsx).constData(),
                           QFile::encodeName(target).constData()) == 0;
    });
    WorkbookWritten written;
    ASSERT_EQ(writer.WriteWorkbook(*mContext, QStringLiteral("WorkRFM_1"), mExtracted, written),
              WorkbookWriteEnd::Saved);
    EXPECT_TRUE(written.UnfinishedSheets.isEmpty());
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_EQ(mPrompter.messages().first().icon, MessageIcon::Information);
    EXPECT_TRUE(
        mPrompter.texts().first().contains(QStringLiteral("シート「元グループ推移」がない")));

    Workbook book;
    QString error;
    ASSERT_TRUE(book.open(written.SavedPath, &error)) << error.toStdString();
    EXPECT_EQ(book.sheetNames(),
              (QStringList{QStringLiteral("抽出条件"), QStringLiteral("グループ値")}));
    QStringList links;
    for (const SheetLink& link : book.sheet(QStringLiteral("抽出条件"))->hyperlinks())
        links << link.display;
    EXPECT_EQ(links, QStringList{QStringLiteral("グループ値")});
}

} // namespace
