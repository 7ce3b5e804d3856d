#include "AnalysisShop.h"

#include "app/CommonRoutines.h"
#include "app/WorkFolderLock.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/KeyFile.h"
#include "rfm/AnalysisRun.h"
#include "rfm/PLWAN40_sgn.h"
#include "rfm/WorkbookWriter.h"
#include "tests/support/Printers.h"

#include <QFile>

#include <functional>

namespace plw::test {
namespace {

using AnalysisRunTest = AnalysisShop;

TEST_F(AnalysisRunTest, ChecksTheOutputSettingsInOrderBeforeAnythingIsSaved) {
    QFile::remove(mEnv.SavedConditionPath);
    struct Case {
        const char* what;
        std::function<void(OutputScreenState&)> change;
        QString message;
        QString focus;
    };
    const auto noSheets = [](OutputScreenState& o) {
        o.OutParameters = o.OutGroupValues = o.OutCustomerList = o.OutRCount = o.OutRAmount =
            o.OutFCount = o.OutFAmount = o.OutMCount = o.OutMAmount = false;
    };
    const Case cases[] = {
        {"no sheet", noSheets, QStringLiteral("どれか１つは、出力物を選択してください"),
         QStringLiteral("chkP10")},
        {"list without groups", [](auto& o) { o.ListGroups.fill(false); },
         QStringLiteral("どれか１つは、出力グループを選択してください"),
         QStringLiteral("chkGrp_A")},
        {"parameters only, no groups",
         [&](auto& o) {
             noSheets(o);
             o.OutParameters = true;
             o.ListGroups.fill(false);
         },
         QStringLiteral("処理してもよろしいですか？"), QString()},
        {"no name", [](auto& o) { o.WorkbookName = QStringLiteral("  "); },
         QStringLiteral("指定して下さい"), QStringLiteral("txtOtFname")},
        {"csv", [&](auto& o) { o.WorkbookName = mDir.path() + QStringLiteral("/a.csv"); },
         QStringLiteral("エクセルファイル(XLS)以外は扱えません。"), QStringLiteral("txtOtFname")},
    };
    const OutputScreenState loaded = mOutputScreen;
    for (const Case& c : cases) {
        mOutputScreen = loaded;
        c.change(mOutputScreen);
        mPrompter = ScriptedPrompter();
        mPrompter.answerNext(MessageAnswer::Cancel); // the confirmation, when it comes
        const AnalysisResult result = ExecuteAnalysis(*mContext);
        EXPECT_EQ(result.Outcome, AnalysisOutcome::NotStarted) << c.what;
        EXPECT_EQ(result.Focus, c.focus) << c.what;
        EXPECT_EQ(mPrompter.texts(), QStringList{c.message}) << c.what;
    }
    EXPECT_FALSE(QFile::exists(mEnv.SavedConditionPath));
}

TEST_F(AnalysisRunTest, ARunSavesTheConditionsExtractsAndScoresEveryExtractedCustomer) {
    QFile::remove(mEnv.SavedConditionPath);
    mOutputScreen.ListOrder = 3;
    const AnalysisResult result = ExecuteAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored)
        << mPrompter.texts().join(u'|').toStdString();
    EXPECT_EQ(mParameters.ListOrder, QStringLiteral("3"));

    ConditionRecord saved;
    EXPECT_TRUE(ReadConditionFile(mEnv.SavedConditionPath, saved));
    EXPECT_EQ(saved[ConditionRecord::PinRaiFrom], mParameterScreen.LastVisitFrom);
    // Everybody whose last visit lies in the period, nobody else.
    const qint64 inPeriod =
        scalar(QStringLiteral("SELECT COUNT(*) FROM M1_お客様マスタ WHERE "
                              "M1SakHby >= '%1' AND M1SakHby <= '%2'")
                   .arg(mParameterScreen.LastVisitFrom, mParameterScreen.LastVisitTo));
    ASSERT_GT(inPeriod, 0);
    EXPECT_EQ(result.Extracted, inPeriod);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM WorkRFM_1 WHERE RFM値 <> ''")), inPeriod);

    qint64 cells = 0;
    for (const CellStatistics& cell : mStatistics.Cells)
        cells += cell.Count;
    EXPECT_EQ(cells, inPeriod);
    static const char* Letters[] = {"A", "B", "C", "D", "E", "X"};
    for (int g = 0; g < 6; ++g)
        EXPECT_EQ(mStatistics.Groups[static_cast<size_t>(g)].Customers,
                  scalar(QStringLiteral("SELECT COUNT(*) FROM WorkRFM_1 WHERE グループ = '%1'")
                             .arg(QLatin1String(Letters[g]))))
            << Letters[g];
}

TEST_F(AnalysisRunTest, NobodyExtractedShowsTheTwoLineMessageAfterSavingTheConditions) {
    ConditionRecord nobody = mSaved;
    nobody[ConditionRecord::KihKaiKind] = ConditionKind::KindAnd;
    nobody[ConditionRecord::KihKaiFrom] = QStringLiteral("9999990");
    nobody[ConditionRecord::KihKaiTo] = QStringLiteral("9999999");
    mConditions->Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, nobody);
    mConditions->Run(ConditionModule::Mode::Get, ConditionCaller::Analysis, mSaved);
    QFile::remove(mEnv.SavedConditionPath);
    const AnalysisResult result = ExecuteAnalysis(*mContext);
    EXPECT_EQ(result.Outcome, AnalysisOutcome::NobodyExtracted);
    EXPECT_EQ(mPrompter.texts().last(),
              QStringLiteral("抽出件数が０件です\r抽出条件を見直してください"));
    ConditionRecord saved;
    EXPECT_TRUE(ReadConditionFile(mEnv.SavedConditionPath, saved));
    EXPECT_EQ(saved[ConditionRecord::KihKaiFrom], QStringLiteral("9999990"));
    EXPECT_FALSE(QFile::exists(mEnv.KeyFilePath));
}

TEST_F(AnalysisRunTest, AHeldWorkFolderStopsTheRunAtOnce) {
    const WorkFolderLock other(mEnv.WorkFolder);
    ASSERT_TRUE(other.held());
    const AnalysisResult result = RunAnalysis(*mContext);
    EXPECT_EQ(result.Outcome, AnalysisOutcome::LockHeld);
    EXPECT_TRUE(mPrompter.texts().last().startsWith(QStringLiteral("この作業フォルダでは")));
}

struct FakeWriter final : WorkbookWriter {
    WorkbookWriteEnd WriteWorkbook(AnalysisContext&, const QString& table, qint64 count,
                                   WorkbookWritten& written) override {
        calls << QStringLiteral("%1:%2").arg(table).arg(count);
        if (end == WorkbookWriteEnd::Saved)
            written.SavedPath = QStringLiteral("/tmp/book.xls");
        written.Error = QStringLiteral("disk full");
        written.UnfinishedSheets = unfinished;
        return end;
    }
    QStringList calls;
    QStringList unfinished;
    WorkbookWriteEnd end = WorkbookWriteEnd::Saved;
};

TEST_F(AnalysisRunTest, TheWorkbookWriterGetsTheScoredTableAndItsFailureIsShown) {
    FakeWriter writer;
    mContext->Workbook = &writer;
    AnalysisResult result = RunAnalysis(*mContext);
    EXPECT_EQ(result.Outcome, AnalysisOutcome::WorkbookSaved);
    EXPECT_EQ(result.WorkbookPath, QStringLiteral("/tmp/book.xls"));
    EXPECT_EQ(writer.calls, QStringList{QStringLiteral("WorkRFM_1:%1").arg(result.Extracted)});

    // A workbook saved with an incomplete sheet is kept, and the operator learns which and why.
    writer.unfinished = {QStringLiteral("RFM付き顧客一覧: no such column: M1KhADD1")};
    result = RunAnalysis(*mContext);
    EXPECT_EQ(result.Outcome, AnalysisOutcome::WorkbookSaved);
    EXPECT_EQ(result.UnfinishedSheets, writer.unfinished);
    EXPECT_EQ(
        mPrompter.texts().last(),
        QStringLiteral("次のシートは最後まで作成できませんでした。作成できた分を保存しました。"
                       "\rRFM付き顧客一覧: no such column: M1KhADD1\r/tmp/book.xls"));
    writer.unfinished.clear();

    // A failed save names its cause and leaves no path for a viewer to open.
    writer.end = WorkbookWriteEnd::Failed;
    result = RunAnalysis(*mContext);
    EXPECT_EQ(result.Outcome, AnalysisOutcome::Failed);
    EXPECT_TRUE(result.WorkbookPath.isEmpty());
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("Excelブックを保存できませんでした。\r") +
                                            mContext->Parameters.WorkbookName +
                                            QStringLiteral("\rdisk full"));

    const qsizetype shown = mPrompter.texts().size();
    writer.end = WorkbookWriteEnd::Abandoned;
    EXPECT_EQ(RunAnalysis(*mContext).Outcome, AnalysisOutcome::WorkbookAbandoned);
    EXPECT_EQ(mPrompter.texts().size(), shown);
}

TEST_F(AnalysisRunTest, ThePreviewShowsTheSelectedCustomersAmountsRightAligned) {
    PreviewLabels labels;
    ASSERT_TRUE(PreviewStatistics(*mContext, labels)) << mPrompter.texts().join(u'|').toStdString();
    const QString period = QStringLiteral("FROM M1_お客様マスタ WHERE M1SakHby >= '%1' AND "
                                          "M1SakHby <= '%2'")
                               .arg(mParameterScreen.LastVisitFrom, mParameterScreen.LastVisitTo);
    const QString format = QStringLiteral("##,###,###,##0");
    EXPECT_EQ(labels.Count,
              FormatRight(scalar(QStringLiteral("SELECT COUNT(*) ") + period), format));
    EXPECT_EQ(labels.Max,
              FormatRight(scalar(QStringLiteral("SELECT MAX(M1SakRgk) ") + period), format));
    EXPECT_EQ(labels.Sum,
              FormatRight(scalar(QStringLiteral("SELECT SUM(M1SakRgk) ") + period), format));
    EXPECT_EQ(labels.Count.size(), 14);

    // One customer: every amount is that customer's.
    ConditionRecord one = mSaved;
    one[ConditionRecord::KihKaiKind] = ConditionKind::KindAnd;
    QString amount;
    {
        // Closed before the preview: an open cursor keeps the work tables from being dropped.
        auto first =
            mDatabases.Transaction->openRecordset(QStringLiteral("SELECT M1KaiBan, M1SakRgk ") +
                                                  period + QStringLiteral(" ORDER BY M1KaiBan"));
        ASSERT_FALSE(first->eof());
        one[ConditionRecord::KihKaiFrom] = one[ConditionRecord::KihKaiTo] =
            first->text(u"M1KaiBan");
        amount = FormatRight(first->value(u"M1SakRgk").toLongLong(), format);
    }
    mConditions->Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, one);
    ASSERT_TRUE(PreviewStatistics(*mContext, labels)) << mPrompter.texts().join(u'|').toStdString();
    EXPECT_EQ(labels.Count, QStringLiteral("             1"));
    for (const QString& value : {labels.Max, labels.Min, labels.Sum, labels.Average})
        EXPECT_EQ(value, amount);

    // Beyond 32 bits every amount is exact; a value the run would refuse is named, not shown.
    const QString customer = one[ConditionRecord::KihKaiFrom];
    const QString update =
        QStringLiteral("UPDATE M1_お客様マスタ SET M1SakRgk = %1 WHERE M1KaiBan = '%2'");
    mDatabases.Transaction->execute(update.arg(QStringLiteral("9007199254740992"), customer));
    ASSERT_TRUE(PreviewStatistics(*mContext, labels)) << mPrompter.texts().join(u'|').toStdString();
    for (const QString& value : {labels.Max, labels.Min, labels.Sum, labels.Average})
        EXPECT_EQ(value, QStringLiteral("9,007,199,254,740,992"));
    mDatabases.Transaction->execute(update.arg(QStringLiteral("1e20"), customer));
    EXPECT_FALSE(PreviewStatistics(*mContext, labels));
    EXPECT_TRUE(mPrompter.texts().last().contains(
        QStringLiteral("顧客 %1 の M1SakRgk の値 1e+20 は扱える範囲").arg(customer)))
        << mPrompter.texts().last().toStdString();
}

TEST_F(AnalysisRunTest, ThePreviewOfNobodyKeepsTheWaitingTexts) {
    ConditionRecord nobody = mSaved;
    nobody[ConditionRecord::KihKaiKind] = ConditionKind::KindAnd;
    nobody[ConditionRecord::KihKaiFrom] = nobody[ConditionRecord::KihKaiTo] =
        QStringLiteral("9999999");
    mConditions->Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, nobody);
    PreviewLabels labels;
    EXPECT_FALSE(PreviewStatistics(*mContext, labels));
    EXPECT_EQ(labels.Min, QStringLiteral("カウント中"));
    EXPECT_EQ(labels.Max, QStringLiteral("しばらく"));
    EXPECT_EQ(labels.Sum, QStringLiteral("お待ちください"));
    EXPECT_EQ(mPrompter.texts().last(),
              QStringLiteral("抽出件数が０件です\r抽出条件を見直してください"));
}

} // namespace
} // namespace plw::test
