#include "tests/writers/WriterShop.h"

#include "extract/ConditionRecord.h"
#include "extract/ConditionSummary.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"

#include <QFile>

#include <memory>
#include <optional>
#include <vector>

using namespace plw;
using R = ConditionRecord;

namespace {

const QStringList AllSheets = {QStringLiteral("RFM解析パラメータ"), QStringLiteral("グループ値"),
                               QStringLiteral("RFM顧客一覧"),       QStringLiteral("Ｒ視点人数"),
                               QStringLiteral("Ｒ視点金額"),        QStringLiteral("Ｆ視点人数"),
                               QStringLiteral("Ｆ視点金額"),        QStringLiteral("Ｍ視点人数"),
                               QStringLiteral("Ｍ視点金額")};

class ConditionSheetTest : public test::WriterShop {
protected:
    void SetUp() override {
        WriterShop::SetUp();
        if (HasFatalFailure())
            return;
        select({});
        // The run compares with the sample's kept run; these tests write the index without it
        // unless they bring it back.
        mMovement = mContext->Movement;
        mContext->Movement.reset();
        mParameters.DetailPeriodOn = QStringLiteral("0");
        // No saved conditions unless a test writes some.
        QFile::remove(mEnv.SavedConditionPath);
    }

    // Sets the nine sheet flags: "1" for the named sheets, "0" for the others.
    void select(const QStringList& names) {
        QString* flags[] = {
            &mParameters.OutParameters, &mParameters.OutGroupValues, &mParameters.OutCustomerList,
            &mParameters.OutRCount,     &mParameters.OutRAmount,     &mParameters.OutFCount,
            &mParameters.OutFAmount,    &mParameters.OutMCount,      &mParameters.OutMAmount};
        for (int i = 0; i < AllSheets.size(); ++i)
            *flags[i] = names.contains(AllSheets[i]) ? QStringLiteral("1") : QStringLiteral("0");
    }

    // Writes the condition sheet into a new copy of the template, then the sheets named in made
    // (copies of a template sheet, as the other writers make them), completes the index, saves
    // the workbook and reads the sheet back; every call has its own workbook, so one test can try
    // several settings.
    Worksheet* written(const QStringList& made = {}) {
        auto book = std::make_unique<Workbook>();
        QString error;
        EXPECT_TRUE(
            book->openTemplate(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL"), &error))
            << error.toStdString();
        ExcelRun run{*book, mRecorded, mPrompter, mPump, mCancel};
        AnalysisSheetWriters writers = sheetWriters();
        writers.WriteConditionSheet(run);
        for (const QString& name : made)
            EXPECT_NE(book->copySheet(QStringLiteral("元解析１"), name, &error), nullptr)
                << error.toStdString();
        writers.CompleteIndex(run);
        EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
        const QString path = mDir.filePath(QStringLiteral("conditions%1.xlsx").arg(mReads.size()));
        EXPECT_TRUE(book->save(path, &error)) << error.toStdString();
        mReads.push_back(std::make_unique<Workbook>());
        EXPECT_TRUE(mReads.back()->open(path, &error)) << error.toStdString();
        Worksheet* sheet = mReads.back()->sheet(QStringLiteral("抽出条件"));
        EXPECT_NE(sheet, nullptr);
        return sheet;
    }
    Styles& readStyles() { return mReads.back()->styles(); }

    static QString text(const Worksheet* sheet, int row, int column) {
        return sheet->cells().cell(row, column).text;
    }
    static QStringList rowTexts(const Worksheet* sheet, int row) {
        QStringList texts;
        for (int column = 2; column <= 5; ++column)
            texts << text(sheet, row, column);
        return texts;
    }

    std::vector<std::unique_ptr<Workbook>> mReads;
    std::optional<GroupMovement> mMovement;
};

// The index lists the selected sheets in their fixed order from B3, each a link to B1 of its
// sheet in the link font of 11 points; "抽出条件" follows two rows below the last link.
TEST_F(ConditionSheetTest, IndexLinksEverySelectedSheetInItsOrder) {
    const QList<QStringList> selections = {
        {},
        {QStringLiteral("RFM顧客一覧")},
        {QStringLiteral("Ｍ視点金額"), QStringLiteral("RFM解析パラメータ")},
        AllSheets,
    };
    for (const QStringList& selection : selections) {
        SCOPED_TRACE(selection.join(u',').toStdString());
        select(selection);
        Worksheet* sheet = written(selection);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(mRecorded.steps.value(mRecorded.steps.size() - 1),
                  QStringLiteral("RFM分析１(抽出条件）"));
        EXPECT_EQ(text(sheet, 1, 2), QStringLiteral("RFM分析"));
        EXPECT_EQ(text(sheet, 2, 2), QStringLiteral("シート一覧(クリックでジャンプ）"));

        QStringList expected;
        for (const QString& name : AllSheets)
            if (selection.contains(name))
                expected << name;
        const QList<SheetLink> links = sheet->hyperlinks();
        ASSERT_EQ(links.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QString cell = QStringLiteral("B%1").arg(3 + i);
            EXPECT_EQ(links[i].cell, cell);
            EXPECT_EQ(links[i].location, u'\'' + expected[i] + QStringLiteral("'!B1"));
            EXPECT_EQ(links[i].display, expected[i]);
            EXPECT_EQ(text(sheet, 3 + i, 2), expected[i]);
            const int style = sheet->styleOf(3 + i, 2);
            EXPECT_TRUE(readStyles().isHyperlinkFont(style)) << cell.toStdString();
            EXPECT_EQ(readStyles().fontSize(style), 11.0) << cell.toStdString();
        }
        const int n = int(expected.size());
        EXPECT_EQ(text(sheet, n + 5, 2), QStringLiteral("抽出条件"));
        // Without a condition file nothing follows.
        EXPECT_TRUE(sheet->cells().cell(n + 6, 2).isEmpty());
        EXPECT_EQ(sheet->cells().usedRange().lastRow, n + 5);
        EXPECT_EQ(sheet->selectedCell(), QStringLiteral("A1"));
    }
}

// After a cancel the workbook holds only the sheets written before it: the index links those
// alone; the others keep their place and name, unlinked, saying they were not made.
TEST_F(ConditionSheetTest, IndexLinksOnlyTheSheetsThatWereWritten) {
    select(AllSheets);
    const QStringList made = AllSheets.mid(0, 3);
    Worksheet* sheet = written(made);
    ASSERT_NE(sheet, nullptr);
    const QList<SheetLink> links = sheet->hyperlinks();
    ASSERT_EQ(links.size(), made.size());
    for (int i = 0; i < AllSheets.size(); ++i) {
        SCOPED_TRACE(AllSheets[i].toStdString());
        const int style = sheet->styleOf(3 + i, 2);
        EXPECT_EQ(readStyles().fontSize(style), 11.0);
        if (i < made.size()) {
            EXPECT_EQ(links[i].cell, QStringLiteral("B%1").arg(3 + i));
            EXPECT_EQ(links[i].location, u'\'' + AllSheets[i] + QStringLiteral("'!B1"));
            EXPECT_EQ(text(sheet, 3 + i, 2), AllSheets[i]);
        } else {
            EXPECT_EQ(text(sheet, 3 + i, 2), AllSheets[i] + QStringLiteral("（未作成）"));
            EXPECT_FALSE(readStyles().isHyperlinkFont(style));
        }
    }
    EXPECT_EQ(text(sheet, int(AllSheets.size()) + 5, 2), QStringLiteral("抽出条件"));
}

// A run compared with a kept one links "グループ推移" right after "グループ値".
TEST_F(ConditionSheetTest, TheGroupMovementIsLinkedAfterTheGroupValues) {
    ASSERT_TRUE(mMovement.has_value());
    mContext->Movement = mMovement;
    select({QStringLiteral("RFM顧客一覧"), QStringLiteral("グループ値")});
    Worksheet* sheet = written({QStringLiteral("グループ値"), QStringLiteral("グループ推移"),
                                QStringLiteral("RFM顧客一覧")});
    ASSERT_NE(sheet, nullptr);
    QStringList shown;
    for (const SheetLink& link : sheet->hyperlinks())
        shown << link.display;
    EXPECT_EQ(shown, (QStringList{QStringLiteral("グループ値"), QStringLiteral("グループ推移"),
                                  QStringLiteral("RFM顧客一覧")}));
}

// The conditions saved in PLWAN40.JKN are printed below "抽出条件" as the summary builds them:
// section, item, kind and value in B to E, a classification under its level's name.
TEST_F(ConditionSheetTest, SavedConditionsFollowTheHeading) {
    ASSERT_FALSE(LevelName(mClassifications, 1).isEmpty());
    ConditionRecord record = ClearedConditionRecord();
    record[R::KihSeiKind] = QStringLiteral("3");
    record[R::KihSeiValue] = QStringLiteral("2");
    record[R::KihAdrKind] = QStringLiteral("4");
    record[R::KihAdrText] = QStringLiteral("港区");
    record[R::BunKind(1)] = QStringLiteral("2");
    record[R::BunItem(1, 2)] = QStringLiteral("1");
    QString error;
    ASSERT_TRUE(WriteConditionFile(mEnv.SavedConditionPath, record, &error)) << error.toStdString();
    select({QStringLiteral("グループ値")});

    Worksheet* sheet = written();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(text(sheet, 6, 2), QStringLiteral("抽出条件"));
    const QList<ConditionSummaryRow> rows =
        BuildConditionSummary(record, ClassificationNames::FromTable(mClassifications).Levels);
    ASSERT_EQ(rows.size(), 3);
    for (int i = 0; i < rows.size(); ++i) {
        const ConditionSummaryRow& row = rows[i];
        EXPECT_EQ(rowTexts(sheet, 7 + i),
                  (QStringList{row.Section, row.Item, row.KindText, row.ValueText}));
    }
    EXPECT_EQ(rowTexts(sheet, 7),
              (QStringList{QStringLiteral("基本情報"), QStringLiteral("性別"),
                           SummaryKindText(QStringLiteral("3")), QStringLiteral("女")}));
    EXPECT_EQ(text(sheet, 8, 3), LevelName(mClassifications, 1));
    EXPECT_EQ(sheet->cells().usedRange().lastRow, 9);
    // Auto-fit makes room for the longest value of a column.
    EXPECT_GT(sheet->columnWidth(5), 0);
}

// The purchase period follows the conditions after a blank row; the last-visit sentence only when
// that switch is on too.
TEST_F(ConditionSheetTest, PurchasePeriodRows) {
    for (const bool lastVisit : {false, true}) {
        SCOPED_TRACE(lastVisit);
        mParameters.DetailPeriodOn = QStringLiteral("1");
        mParameters.LastVisitFromDetail = lastVisit ? QStringLiteral("1") : QStringLiteral("0");
        mParameters.DetailFrom = QStringLiteral("20260105");
        mParameters.DetailTo = QStringLiteral("20261130");
        Worksheet* sheet = written();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(text(sheet, 5, 2), QStringLiteral("抽出条件"));
        EXPECT_TRUE(rowTexts(sheet, 6).join(QString()).isEmpty());
        EXPECT_EQ(rowTexts(sheet, 7), (QStringList{QStringLiteral("購買日付詳細指定"), QString(),
                                                   QString(), QString()}));
        EXPECT_EQ(rowTexts(sheet, 8),
                  (QStringList{QString(), QStringLiteral("購買日付詳細"), QString(),
                               QStringLiteral("2026/01/05～2026/11/30")}));
        if (lastVisit) {
            EXPECT_EQ(text(sheet, 9, 3),
                      QStringLiteral("最終来店日を購買日付詳細範囲の日付とする。"));
        }
        EXPECT_EQ(sheet->cells().usedRange().lastRow, lastVisit ? 9 : 8);
    }
}

// Without its template sheet the writer shows the sheet's message and writes nothing.
TEST_F(ConditionSheetTest, MissingTemplateSheetIsReportedAndSkipped) {
    QString error;
    Worksheet* first =
        mBook->copySheet(QStringLiteral("抽出条件"), QStringLiteral("抽出条件"), &error);
    ASSERT_NE(first, nullptr) << error.toStdString();
    select(AllSheets);
    sheetWriters().WriteConditionSheet(*mRun);
    ASSERT_FALSE(mPrompter.messages().isEmpty());
    EXPECT_TRUE(mPrompter.messages().last().text.endsWith(
        QStringLiteral("元ブック に 抽出条件という名前のシートがない")));
    EXPECT_EQ(mRun->Current, nullptr);
    EXPECT_TRUE(first->hyperlinks().isEmpty());
}

} // namespace
