#include "tests/writers/WriterShop.h"

#include "app/Sleeper.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "tests/support/Files.h"
#include "tests/xls/BiffFile.h"
#include "workbook/Worksheet.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

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

// How the charts of the group-value sheet of a saved .xls show their figures, in chart order
// ("グラフ 1", then "右１" to "右７"): the number format of the value axis (the index of its
// IFMT record; -1 when the axis shows the figures as their cells do, -2 when the chart has no
// value axis) and whether its data labels show shares of the whole.
struct ChartNumbers {
    int axisFormat = -2;
    bool percentLabels = false;
};

std::vector<ChartNumbers> GroupValueChartNumbers(const QByteArray& stream) {
    std::vector<test::BiffRecord> records;
    QString error;
    EXPECT_TRUE(test::SplitRecords(stream, &records, &error)) << error.toStdString();
    std::vector<ChartNumbers> charts;
    bool inside = false;
    bool inValueAxis = false;
    for (const test::BiffRecord& record : records) {
        // The sheets before "グループ値" have no charts: its eight come first.
        if (record.id == 0x0809 && test::U16(record.data, 2) == 0x0020) {
            if (charts.size() == 8)
                break;
            charts.emplace_back();
            inside = true;
        }
        if (!inside)
            continue;
        if (record.id == 0x101D) { // AXIS: 1 is the value axis
            inValueAxis = test::U16(record.data, 0) == 1;
            if (inValueAxis)
                charts.back().axisFormat = -1;
        } else if (record.id == 0x104E && inValueAxis) { // IFMT
            charts.back().axisFormat = test::U16(record.data, 0);
        } else if (record.id == 0x100C && (test::U16(record.data, 0) & 0x02)) { // ATTACHEDLABEL
            charts.back().percentLabels = true;
        } else if (record.id == 0x000A) {
            inside = inValueAxis = false;
        }
    }
    return charts;
}

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
// every chart. Where a chart shows shares it shows percentages: the 100 % stacked columns on
// their value axis (0 % to 100 %, not 0 / 1 / 1), pies and doughnuts on their labels; the other
// charts show their figures.
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

        const std::vector<ChartNumbers> charts = GroupValueChartNumbers(stream);
        ASSERT_EQ(charts.size(), 8u);
        // "#,##0" (3) as the template has it; "0%" (9) for the 100 % stacked columns.
        EXPECT_EQ(charts[0].axisFormat, left == 3 ? 9 : 3);
        EXPECT_FALSE(charts[0].percentLabels);
        const bool round = right == 1 || right == 4;
        for (size_t i = 1; i < charts.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(charts[i].axisFormat, round ? -2 : -1);
            EXPECT_EQ(charts[i].percentLabels, round);
        }
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
