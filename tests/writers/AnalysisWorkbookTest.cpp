#include "tests/writers/WriterShop.h"

#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "tests/support/Files.h"
#include "tests/xls/BiffFile.h"
#include "workbook/Worksheet.h"

#include <QFileInfo>

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
    Choice choose(const QString&) override { return Choice::Abandon; }
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
        mParameters.WorkbookName = mDir.filePath(mName);
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
        EXPECT_EQ(written.SavedPath, mDir.filePath(mFileWritten.isEmpty() ? mName : mFileWritten));
        return written.SavedPath;
    }

    QString mName = QStringLiteral("分析.xls"); // the workbook name of the parameters
    QString mFileWritten;                       // the file the save writes, when named otherwise
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

// Names are matched to existing files without regard to letter case: the path given back, which
// batch mode prints and the desktop opens, is that of the file actually written.
TEST_F(AnalysisWorkbookTest, TheSavedPathIsTheFileActuallyWritten) {
    test::WriteBytes(mDir.filePath(QStringLiteral("Out.xls")), "old");
    mName = QStringLiteral("OUT.XLS");
    mFileWritten = QStringLiteral("Out.xls");
    const QString saved = save(QStringLiteral("000000000"), false);
    EXPECT_NE(test::ReadBytes(saved), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(mDir.filePath(mName)));
}

// A text longer than a .xls cell holds leaves the workbook to the conversion, which cuts it: the
// run names each such cell.
TEST_F(AnalysisWorkbookTest, ATextNoXlsCellHoldsIsNamedWithItsCell) {
    mDatabases.Transaction->execute(
        QStringLiteral("UPDATE WorkRFM_1 SET M1KhMemo = '%1' WHERE M1KaiBan IN "
                       "(SELECT MIN(M1KaiBan) FROM WorkRFM_1 GROUP BY グループ)")
            .arg(QString(40000, u'メ')));
    bool converted = false;
    save(QStringLiteral("001000000"), true, &converted);
    EXPECT_TRUE(converted);
    ASSERT_EQ(mPrompter.messages().size(), 1) << mPrompter.texts().join(u'|').toStdString();
    const QStringList lines = mPrompter.texts().first().split(u'\r');
    EXPECT_EQ(lines.first(),
              QStringLiteral("次のセルの文字列は XLS のセルに入る 32,767 "
                             "文字を超えるため、32,767 文字までに切り詰めて保存します。"));
    ASSERT_GE(lines.size(), 2);
    for (const QString& cell : lines.mid(1))
        EXPECT_TRUE(cell.startsWith(QStringLiteral("シート「RFM顧客一覧」のセル ")) &&
                    cell.endsWith(QStringLiteral("（40,000 文字）")))
            << cell.toStdString();
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
        // The group-value sheet's eight charts and the five of each of the six matrix sheets.
        EXPECT_EQ(stream.count(QByteArray("\x09\x08\x10\x00\x00\x06\x20\x00", 8)), 8 + 6 * 5);
    }
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

} // namespace
