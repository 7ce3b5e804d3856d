#include "report/PLWAN40X_XLScmn.h"

#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/Sleeper.h"
#include "app/TwCom_Excelomati.h"
#include "report/LibreOfficeConverter.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/TwCom_ExcelRunChk.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/workbook/WorkbookFixture.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

class Host final : public SpreadsheetHost {
public:
    bool installed = true;
    bool running = false;
    bool IsInstalled() override { return installed; }
    bool IsRunning() override { return running; }
    bool QuitRunning() override { return running; }
    bool Open(const QString&, QString*) override { return false; }
    QString watchedFile() const override { return {}; }
};

class AbandoningDialog final : public RunningSpreadsheetDialog {
public:
    Choice choose(const QString&) override { return Choice::Abandon; }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}
};

class NoSleep final : public Sleeper {
public:
    void sleep(int) override {}
};

struct Progress final : ProgressSink {
    void open() override {}
    void showStep(const QString& text) override { steps << text; }
    void showCount(const QString& text) override { counts << text; }
    void showPercent(int percent) override { percents << percent; }
    void setCounterVisible(bool visible) override { counterVisible = visible; }
    void close() override { ++closed; }
    QStringList steps;
    QStringList counts;
    QList<int> percents;
    bool counterVisible = false;
    int closed = 0;
};

// Writers that copy the one template sheet they know under each sheet's name, record the calls
// and may press cancel after a given sheet.
class RecordingWriters final : public SheetWriters {
public:
    QStringList calls;
    QString cancelAfter;

    // The index names every sheet the main may write.
    void WriteConditionSheet(ExcelRun& run) override {
        write(run, u"抽出条件"_qs);
        int row = 2;
        for (const char16_t* name :
             {u"RFM解析パラメータ", u"グループ値", u"RFM顧客一覧", u"Ｒ視点人数", u"Ｒ視点金額",
              u"Ｆ視点人数", u"Ｆ視点金額", u"Ｍ視点人数", u"Ｍ視点金額"})
            run.IndexEntries.append({++row, QString::fromUtf16(name)});
    }
    void WriteParameterSheet(ExcelRun& run) override { write(run, u"RFM解析パラメータ"_qs); }
    void WriteGroupValueSheet(ExcelRun& run) override { write(run, u"グループ値"_qs); }
    void WriteGroupMovementSheet(ExcelRun& run) override { write(run, u"グループ推移"_qs); }
    void WriteCustomerList(ExcelRun& run, const QString& table, qint64 count) override {
        write(run, u"RFM顧客一覧"_qs);
        calls.last() += QStringLiteral("(%1,%2)").arg(table).arg(count);
    }
    void WriteRSheet(ExcelRun& run, MatrixMode mode) override {
        write(run, u"Ｒ視点"_qs + word(mode));
    }
    void WriteFSheet(ExcelRun& run, MatrixMode mode) override {
        write(run, u"Ｆ視点"_qs + word(mode));
    }
    void WriteMSheet(ExcelRun& run, MatrixMode mode) override {
        write(run, u"Ｍ視点"_qs + word(mode));
    }
    void CompleteIndex(ExcelRun&) override { calls << u"索引"_qs; }

private:
    // The word a sheet's name ends with in the mode.
    static QString word(MatrixMode mode) {
        return mode == MatrixMode::Count ? u"人数"_qs : u"金額"_qs;
    }
    void write(ExcelRun& run, const QString& name) {
        calls << name;
        const QString source = name == u"抽出条件" ? name : u"元解析１"_qs;
        if (Worksheet* sheet = CopyTemplateSheet(run, source, name, u"元ブック に ないシート"_qs))
            sheet->cells().setText(2, 2, name);
        if (name != cancelAfter)
            return;
        run.Cancel.request();
        // The list stops at the customer the cancel came at.
        if (name == u"RFM顧客一覧") {
            run.CutShortSheet = name;
            run.CutShortPart = u"中断までの3人分"_qs;
        }
    }
};

class WriteWorkbookTest : public ::testing::Test {
protected:
    // The program in bin/ of an installation of its own, so that its data folder
    // ../share/plwan40 is inside it too.
    void SetUp() override {
        ASSERT_TRUE(QDir(mRoot.path()).mkpath(u"bin"_qs));
        ASSERT_TRUE(test::WriteTemplateFixture(mProgram + u"/PLWAN40X.EXL"_qs));
    }

    WorkbookRunResult run(const SheetSelection& selection, const QString& output,
                          WorkbookConversion convert = {}, ClassicWriter writeXls = {}) {
        ExcelFrame frame{mHost, mDialog, mSleep,   mPrompter,          mProgress,
                         mPump, mCancel, mProgram, std::move(convert), std::move(writeXls)};
        return WriteWorkbook(frame, mWriters, selection, u"WorkRFM_1"_qs, 1234, output);
    }

    QStringList savedSheets(const QString& path) {
        Workbook book;
        QString error;
        EXPECT_TRUE(book.open(path, &error)) << error.toStdString();
        return book.sheetNames();
    }

    QTemporaryDir mRoot;
    const QString mProgram = mRoot.filePath(u"bin"_qs);
    QTemporaryDir mOut;
    Host mHost;
    AbandoningDialog mDialog;
    NoSleep mSleep;
    test::ScriptedPrompter mPrompter;
    Progress mProgress;
    CountingEventPump mPump;
    CancelToken mCancel{true}; // left over from an earlier run: the main clears it
    RecordingWriters mWriters;
};

SheetSelection Everything() {
    return {true, true, true, true, true, true, true, true, true};
}

TEST_F(WriteWorkbookTest, WritesTheConditionSheetAlwaysAndTheSelectedSheetsInOrder) {
    const QString output = mOut.filePath(u"RFM分析結果.xls"_qs);
    WorkbookRunResult result = run(Everything(), output);
    ASSERT_EQ(result.End, WorkbookEnd::Saved) << result.Error.toStdString();
    const QStringList all{u"抽出条件"_qs,    u"RFM解析パラメータ"_qs, u"グループ値"_qs,
                          u"RFM顧客一覧"_qs, u"Ｒ視点人数"_qs,        u"Ｒ視点金額"_qs,
                          u"Ｆ視点人数"_qs,  u"Ｆ視点金額"_qs,        u"Ｍ視点人数"_qs,
                          u"Ｍ視点金額"_qs};
    EXPECT_EQ(savedSheets(output), all);
    EXPECT_EQ(mWriters.calls[3], u"RFM顧客一覧(WorkRFM_1,1234)");
    EXPECT_EQ(mProgress.steps.first(), u"準備中");
    EXPECT_EQ(mProgress.closed, 1);
    EXPECT_FALSE(mCancel.requested());

    // Nothing selected: the condition sheet alone; the earlier file is overwritten unasked.
    mWriters.calls.clear();
    result = run({}, output);
    ASSERT_EQ(result.End, WorkbookEnd::Saved);
    EXPECT_EQ(savedSheets(output), QStringList{u"抽出条件"_qs});
    EXPECT_TRUE(mPrompter.messages().isEmpty());
}

// The saved workbook holds the sheets written before the cancel; the result says it was
// interrupted, what it holds (the sheet cut short with how far it got) and what it does not.
TEST_F(WriteWorkbookTest, ACancelSavesWhatWasWrittenAndWritesNothingMore) {
    mWriters.cancelAfter = u"RFM顧客一覧"_qs;
    const QString output = mOut.filePath(u"book.xls"_qs);
    const WorkbookRunResult result = run(Everything(), output);
    ASSERT_EQ(result.End, WorkbookEnd::Saved);
    EXPECT_EQ(savedSheets(output), (QStringList{u"抽出条件"_qs, u"RFM解析パラメータ"_qs,
                                                u"グループ値"_qs, u"RFM顧客一覧"_qs}));
    EXPECT_EQ(mWriters.calls.last(), u"索引"_qs);
    EXPECT_TRUE(result.Interrupted);
    EXPECT_EQ(result.Sheets, (QStringList{u"抽出条件"_qs, u"RFM解析パラメータ"_qs, u"グループ値"_qs,
                                          u"RFM顧客一覧（中断までの3人分）"_qs}));
    EXPECT_EQ(result.NotWritten,
              (QStringList{u"Ｒ視点人数"_qs, u"Ｒ視点金額"_qs, u"Ｆ視点人数"_qs, u"Ｆ視点金額"_qs,
                           u"Ｍ視点人数"_qs, u"Ｍ視点金額"_qs}));

    // A cancel once every sheet is complete (as the save starts) leaves nothing out.
    mWriters.cancelAfter = u"Ｍ視点金額"_qs;
    const WorkbookRunResult whole = run(Everything(), output);
    EXPECT_FALSE(whole.Interrupted);
    EXPECT_EQ(whole.Sheets.size(), 10);
    EXPECT_TRUE(whole.NotWritten.isEmpty());
}

TEST_F(WriteWorkbookTest, NoTemplateNoProgramOrAnAbandonEndWithoutAWorkbook) {
    const QString output = mOut.filePath(u"book.xls"_qs);
    QFile::remove(mProgram + u"/PLWAN40X.EXL"_qs);
    EXPECT_EQ(run(Everything(), output).End, WorkbookEnd::Abandoned);
    // Both places it is looked for are named.
    EXPECT_EQ(mPrompter.texts(),
              QStringList{u"必要な下記ファイルがありません。\r"_qs + mProgram +
                          u"/PLWAN40X.EXL\r"_qs + mRoot.path() +
                          u"/share/plwan40/PLWAN40X.EXL\r処理は続行できません。"_qs});
    EXPECT_TRUE(mWriters.calls.isEmpty());

    mHost.running = true; // the workbook is open and the operator abandons
    EXPECT_EQ(run(Everything(), output).End, WorkbookEnd::Abandoned);
    mHost.installed = false;
    EXPECT_EQ(run(Everything(), output).End, WorkbookEnd::Abandoned);
    EXPECT_TRUE(mWriters.calls.isEmpty());
    EXPECT_FALSE(QFile::exists(output));
}

TEST_F(WriteWorkbookTest, TheTemplateIsFoundInTheDataFolderOfAnInstallation) {
    const QString data = mRoot.filePath(u"share/plwan40"_qs);
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QFile::rename(mProgram + u"/PLWAN40X.EXL"_qs, data + u"/PLWAN40X.EXL"_qs));
    const QString output = mOut.filePath(u"book.xls"_qs);
    ASSERT_EQ(run({}, output).End, WorkbookEnd::Saved);
    EXPECT_EQ(savedSheets(output), QStringList{u"抽出条件"_qs});

    // One beside the program comes first, even when it cannot be read.
    test::WriteBytes(mProgram + u"/PLWAN40X.EXL"_qs, "not a workbook");
    EXPECT_EQ(run({}, output).End, WorkbookEnd::Abandoned);
    ASSERT_EQ(mPrompter.texts().size(), 1);
    EXPECT_TRUE(mPrompter.texts()[0].startsWith(u"必要な下記ファイルを読めません。\r"_qs +
                                                mProgram + u"/PLWAN40X.EXL\r"_qs));
}

TEST_F(WriteWorkbookTest, AFailedSaveIsReportedAndLeavesTheEarlierFileAndNoLeftovers) {
    // A folder that is not there.
    WorkbookRunResult result = run({}, mOut.filePath(u"none/book.xls"_qs));
    EXPECT_EQ(result.End, WorkbookEnd::Failed);
    EXPECT_EQ(result.Error, u"1702 フォルダ "_qs + mOut.filePath(u"none"_qs) +
                                u" に書き込めません: ファイルまたはフォルダがありません"_qs);
    // The documents folder is the one folder made when it is missing.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(mOut.filePath(u"home"_qs)));
    const QString documents = DocumentsFolder();
    ASSERT_TRUE(documents.startsWith(mOut.path())) << documents.toStdString();
    EXPECT_EQ(run({}, documents + u"/book.xls"_qs).End, WorkbookEnd::Saved);
    qputenv("HOME", home);
    EXPECT_TRUE(QFile::exists(documents + u"/book.xls"_qs));

    // A conversion that fails keeps the earlier workbook as it was.
    const QString output = mOut.filePath(u"book.xls"_qs);
    QFile earlier(output);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    result = run({}, output, [](const QString&, const QString&, QString* error) {
        *error = u"converter failed"_qs;
        return false;
    });
    EXPECT_EQ(result.End, WorkbookEnd::Failed);
    EXPECT_EQ(result.Error, u"converter failed");
    QFile check(output);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "earlier");
    EXPECT_EQ(QDir(mOut.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"book.xls"_qs});
}

TEST_F(WriteWorkbookTest, TheSaveShowsTheRowsWrittenAndAFallBackNamesItsConstruct) {
    const QString output = mOut.filePath(u"book.xls"_qs);
    const auto writer = [](ClassicWrite answer) {
        return [answer](Workbook&, const QString& path, const SaveProgress& progress,
                        QString* reason) {
            if (answer == ClassicWrite::Unhandled) {
                *reason = u"シート「抽出条件」の条件付き書式 (conditionalFormatting)"_qs;
                return answer;
            }
            progress(1000, 2000);
            progress(2000, 2000);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write("xls");
            return answer;
        };
    };
    ASSERT_EQ(run({}, output, {}, writer(ClassicWrite::Written)).End, WorkbookEnd::Saved);
    // After the counter's reset at the start of the step.
    EXPECT_EQ(mProgress.counts, (QStringList{u""_qs, u"1,000/2,000"_qs, u"2,000/2,000"_qs}));
    EXPECT_EQ(mProgress.percents, (QList<int>{0, 50, 100}));
    EXPECT_TRUE(mProgress.counterVisible);
    EXPECT_EQ(mProgress.steps.last(), u"保存中"_qs);

    ASSERT_EQ(run({}, output, {}, writer(ClassicWrite::Unhandled)).End, WorkbookEnd::Saved);
    EXPECT_TRUE(mProgress.steps.last().startsWith(u"保存中"_qs));
    EXPECT_TRUE(mProgress.steps.last().contains(
        u"シート「抽出条件」の条件付き書式 (conditionalFormatting)"_qs))
        << mProgress.steps.last().toStdString();
    EXPECT_TRUE(savedSheets(output).contains(u"抽出条件"_qs)); // the package, as converted
}

TEST_F(WriteWorkbookTest, TheClassicWorkbookReadsBackThroughLibreOffice) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString output = mOut.filePath(u"RFM分析結果.xls"_qs);
    const WorkbookRunResult result = run(
        {true, false, false, true, false, false, false, false, false}, output,
        [](const QString& xlsx, const QString& target, QString* error) {
            return LibreOfficeConverter::Convert(xlsx, target, WorkbookFormat::Xls, 120000, error);
        });
    ASSERT_EQ(result.End, WorkbookEnd::Saved) << result.Error.toStdString();
    const QString back = mOut.filePath(u"back.xlsx"_qs);
    QString error;
    ASSERT_TRUE(LibreOfficeConverter::Convert(output, back, WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    Workbook book;
    ASSERT_TRUE(book.open(back, &error)) << error.toStdString();
    EXPECT_EQ(book.sheetNames(),
              (QStringList{u"抽出条件"_qs, u"RFM解析パラメータ"_qs, u"Ｒ視点人数"_qs}));
    Worksheet* sheet = book.sheet(u"Ｒ視点人数"_qs, &error);
    ASSERT_TRUE(sheet) << error.toStdString();
    EXPECT_EQ(sheet->cells().cell(2, 2).text, u"Ｒ視点人数");
    EXPECT_EQ(sheet->cells().cell(4, 3).number, 7);
    EXPECT_EQ(sheet->chartNames().size(), 1);
    EXPECT_TRUE(book.sheet(u"抽出条件"_qs)->isTabSelected());
}

} // namespace
