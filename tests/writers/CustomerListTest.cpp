#include "tests/writers/WriterShop.h"

#include "app/CommonRoutines.h"
#include "app/TwCom_Excelomati.h"
#include "db/Database.h"
#include "workbook/Worksheet.h"

#include <algorithm>
#include <tuple>
#include <vector>

using namespace plw;

namespace {

const QString ListName = QStringLiteral("RFM顧客一覧");
const QString WorkTable = QStringLiteral("WorkRFM_1");

// A cell as a test compares it: the text of a text cell, "#" and the value of a number, "" for
// an empty cell.
QString Shown(const CellValue& cell) {
    switch (cell.kind) {
    case CellKind::Blank:
        return {};
    case CellKind::Text:
        return cell.text;
    case CellKind::Number:
        return u'#' + QString::number(cell.number, 'f', 0);
    case CellKind::Currency:
        return u'#' + cell.currency.toString();
    }
    return {};
}

QStringList RowOf(const Worksheet& sheet, int row, int columns) {
    QStringList out;
    for (int column = 1; column <= columns; ++column)
        out << Shown(sheet.cells().cell(row, column));
    return out;
}

QStringList ColumnOf(const Worksheet& sheet, int column) {
    QStringList out;
    const int last = sheet.cells().usedRange().lastRow;
    for (int row = 2; row <= last; ++row)
        out << Shown(sheet.cells().cell(row, column));
    return out;
}

class CustomerListTest : public test::WriterShop {
protected:
    void SetUp() override {
        WriterShop::SetUp();
        if (HasFatalFailure())
            return;
        listGroups(QStringLiteral("ABCDEX"));
        mParameters.ListOrder = QStringLiteral("1");
        mParameters.ListItemCount = QStringLiteral("00");
    }

    void listGroups(const QString& letters) {
        QString* flags[] = {&mParameters.ListGroupA, &mParameters.ListGroupB,
                            &mParameters.ListGroupC, &mParameters.ListGroupD,
                            &mParameters.ListGroupE, &mParameters.ListGroupX};
        const QString all = QStringLiteral("ABCDEX");
        for (int i = 0; i < 6; ++i)
            *flags[i] = letters.contains(all[i]) ? QStringLiteral("1") : QStringLiteral("0");
    }

    void removeItems(const QStringList& items) {
        mParameters.ListItemCount = QString::number(items.size()).rightJustified(2, u'0');
        for (int i = 0; i < items.size(); ++i)
            mParameters.ListItems[size_t(i)] = items[i];
    }

    void execute(const QString& sql) { mDatabases.Transaction->execute(sql); }
    // Customers whose cell has no group go to A: every customer is then listed.
    void groupEveryone() {
        execute(QStringLiteral(
            "UPDATE WorkRFM_1 SET グループ = 'A' WHERE グループ IS NULL OR グループ = ''"));
    }

    // Writes the list and reads the saved workbook's sheet back.
    Worksheet& written(const QString& table = WorkTable) {
        sheetWriters().WriteCustomerList(*mRun, table, mExtracted);
        Worksheet* sheet = saved().sheet(ListName);
        EXPECT_NE(sheet, nullptr);
        return *sheet;
    }

    // Customer numbers of the work table, in no particular order, with their RFM value and group.
    std::vector<std::tuple<QString, QString, QString>> scoredCustomers() {
        std::vector<std::tuple<QString, QString, QString>> out;
        auto rs = mDatabases.Transaction->openRecordset(
            QStringLiteral("SELECT M1KaiBan, RFM値, グループ FROM WorkRFM_1"));
        for (; !rs->eof(); rs->moveNext())
            out.emplace_back(rs->text(u"M1KaiBan"), rs->text(u"RFM値"), rs->text(u"グループ"));
        return out;
    }

    QStringList customerNumbers(const QString& where) {
        QStringList out;
        auto rs = mDatabases.Transaction->openRecordset(
            QStringLiteral("SELECT M1KaiBan FROM WorkRFM_1 ") + where +
            QStringLiteral(" ORDER BY M1KaiBan"));
        for (; !rs->eof(); rs->moveNext())
            out << rs->text(u"M1KaiBan");
        return out;
    }
};

// --- Order and groups ---------------------------------------------------------------------------

struct OrderCase {
    const char* order;
    const char16_t* groups;
};

class CustomerListOrderTest : public CustomerListTest,
                              public ::testing::WithParamInterface<OrderCase> {};

// The rows follow the chosen order, only customers of the listed groups, on consecutive rows.
TEST_P(CustomerListOrderTest, ListsTheSelectedGroupsInTheChosenOrder) {
    const OrderCase c = GetParam();
    mParameters.ListOrder = QString::fromLatin1(c.order);
    const QString groups = QString::fromUtf16(c.groups);
    listGroups(groups);
    // Every third customer in B: the shop's matrix alone may leave B empty.
    const QStringList numbers = customerNumbers({});
    QStringList inB;
    for (qsizetype i = 0; i < numbers.size(); i += 3)
        inB << u'\'' + numbers[i] + u'\'';
    execute(QStringLiteral("UPDATE WorkRFM_1 SET グループ = 'B' WHERE M1KaiBan IN (") +
            inB.join(u',') + u')');

    auto customers = scoredCustomers();
    std::erase_if(customers, [&](const auto& row) {
        const QString& group = std::get<2>(row);
        return group.size() != 1 || !groups.contains(group);
    });
    std::sort(customers.begin(), customers.end(), [&](const auto& a, const auto& b) {
        const auto& [kaiA, rfmA, groupA] = a;
        const auto& [kaiB, rfmB, groupB] = b;
        if (c.order[0] == '2' && rfmA != rfmB)
            return rfmA < rfmB;
        if (c.order[0] == '3' && groupA != groupB)
            return groupA < groupB;
        return kaiA < kaiB;
    });
    QStringList expected, expectedGroups;
    for (const auto& [kai, rfm, group] : customers) {
        expected << kai;
        expectedGroups << group;
    }
    ASSERT_GT(expected.size(), 2);

    const Worksheet& sheet = written();
    EXPECT_EQ(ColumnOf(sheet, 3), expected);
    EXPECT_EQ(ColumnOf(sheet, 5), expectedGroups);
    EXPECT_EQ(mRun->CurrentRow, expected.size() + 1);
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Orders, CustomerListOrderTest,
                         ::testing::Values(OrderCase{"1", u"ABCDEX"}, OrderCase{"2", u"ABCDEX"},
                                           OrderCase{"3", u"ABCDEX"}, OrderCase{"3", u"BCX"},
                                           OrderCase{"2", u"B"}));

// A customer whose cell has no group is never listed, whatever the flags.
TEST_F(CustomerListTest, CustomerWithoutGroupIsNotListed) {
    const QStringList numbers = customerNumbers({});
    ASSERT_GE(numbers.size(), 2);
    execute(QStringLiteral("UPDATE WorkRFM_1 SET グループ = '' WHERE M1KaiBan = '") + numbers[0] +
            u'\'');
    execute(QStringLiteral("UPDATE WorkRFM_1 SET グループ = NULL WHERE M1KaiBan = '") + numbers[1] +
            u'\'');
    const QStringList listed = ColumnOf(written(), 3);
    EXPECT_FALSE(listed.contains(numbers[0]));
    EXPECT_FALSE(listed.contains(numbers[1]));
}

// --- Cell contents ------------------------------------------------------------------------------

// One customer with every field set, compared cell by cell; without the purchase period K to N
// are gone, so O to AT appear as K to AP.
TEST_F(CustomerListTest, RowShowsTheCustomersFieldsAsTheColumnsWant) {
    const QString customer = customerNumbers({}).first();
    execute(QStringLiteral(
                "UPDATE WorkRFM_1 SET M1MisBan = '0012', M1KikBan = '03', RFM値 = '534', "
                "グループ = 'B', 日数 = '45', M1SakRgk = 123456, M1SakRik = 7, "
                "M1SakHby = '20261015', M1SakHbh = '183012', M1SakGak = 4500, M1SakPoG = 10, "
                "M1SakPoL = 20, M1SakPoZ = 3, M1SakPoK = 0, M1SakRak = '2', "
                "M1KhSraB = '20200401', M1KhSeib = '9', M1KhBart = '20210600', M1KhNenS = '30', "
                "M1KhNamH = 'ﾔﾏﾀﾞ ﾀﾛｳ  ', M1KhNamZ = '　山田　太郎　', M1KhZIPC = '1540024', "
                "M1KhADD1 = ' 東京都 ', M1KhADD2 = '世田谷区', M1KhADD3 = NULL, "
                "M1KhTEL1 = '03-1234-5678 ', M1KhTEL2 = '', M1KhMemo = 'メモ　', "
                "M1DmmOsr = '2', M1SakDmk = 12, M1SakDmH = '', M1EmaOsr = '', M1SakEka = 5, "
                "M1SakSfb = '20261101', M1EmaSbt = '3', M1EmaAdr = 'a@example.jp ', "
                "M1BunJC1 = '0', M1BunJC2 = '99', M1BunJC3 = '05', M1BunJC4 = NULL "
                "WHERE M1KaiBan = '") +
            customer + u'\'');

    const Worksheet& sheet = written();
    EXPECT_EQ(RowOf(sheet, 1, 42).mid(38),
              (QStringList{QStringLiteral("来店動機"), QStringLiteral("職業"),
                           QStringLiteral("趣味"), QStringLiteral("居住地区")}));
    EXPECT_EQ(RowOf(sheet, 2, 43),
              (QStringList{
                  // A to J
                  QStringLiteral("0012"), QStringLiteral("03"), customer, QStringLiteral("534"),
                  QStringLiteral("B"), QStringLiteral("45"), QStringLiteral("#123456"),
                  QStringLiteral("#7"), QStringLiteral("2026/10/15"), QStringLiteral("18:30"),
                  // O to S
                  QStringLiteral("#4500"), QStringLiteral("#10"), QStringLiteral("#20"),
                  QStringLiteral("#3"), QStringLiteral("#0"),
                  // T to Y: rank, first visit, sex, birth, age group, estimated age
                  QStringLiteral("2"), QStringLiteral("2020/04/01"), QStringLiteral("　"),
                  QStringLiteral("2021/06/00"), QStringLiteral("30"), QStringLiteral(" 5"),
                  // Z to AH, trimmed
                  QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"), QStringLiteral("山田　太郎"),
                  QStringLiteral("1540024"), QStringLiteral("東京都"), QStringLiteral("世田谷区"),
                  QString(), QStringLiteral("03-1234-5678"), QString(), QStringLiteral("メモ"),
                  // AI to AP: direct mail, mail
                  QStringLiteral("しない"), QStringLiteral("   12"), QString(10, u' '),
                  QStringLiteral("　　　"), QStringLiteral("    5"), QStringLiteral("2026/11/01"),
                  QString(), QStringLiteral("a@example.jp"),
                  // AQ to AT: zero code, unknown code, known code, Null; then nothing
                  QString(), QString(), QStringLiteral("05:旅行"), QString(), QString()}));
}

struct CodeCase {
    const char* set;      // the UPDATE's assignments
    QStringList expected; // V, AI, AL, AO, AQ, AR, AS, AT of the full layout
};

// The code columns: sex, consents, mail kind and the classifications by the codes of their item
// (a code must have a numeric value: "A1" is a code of item 1 but gives nothing).
TEST_F(CustomerListTest, CodesBecomeTheirDisplayTexts) {
    const CodeCase cases[] = {
        {"M1KhSeib = '1', M1DmmOsr = '1', M1EmaOsr = '1', M1EmaSbt = '1', M1BunJC1 = 'A1', "
         "M1BunJC2 = '11', M1BunJC3 = '20', M1BunJC4 = '06'",
         {QStringLiteral("男"), QStringLiteral("　する"), QStringLiteral("　する"),
          QStringLiteral("PC"), QString(), QStringLiteral("11:会社員"), QStringLiteral("20:その他"),
          QString()}},
        {"M1KhSeib = '2', M1DmmOsr = '2', M1EmaOsr = '2', M1EmaSbt = '2', M1BunJC1 = '01', "
         "M1BunJC2 = '20', M1BunJC3 = '1', M1BunJC4 = ''",
         {QStringLiteral("女"), QStringLiteral("しない"), QStringLiteral("しない"),
          QStringLiteral("携帯"), QString(), QStringLiteral("20:その他"), QString(), QString()}},
        {"M1KhSeib = NULL, M1DmmOsr = '3', M1EmaOsr = NULL, M1EmaSbt = '', M1BunJC1 = '00', "
         "M1BunJC2 = '  ', M1BunJC3 = '19', M1BunJC4 = 'T1'",
         {QStringLiteral("　"), QStringLiteral("　　　"), QStringLiteral("　　　"), QString(),
          QString(), QString(), QStringLiteral("19:茶道・華道"), QString()}},
    };
    // The period columns stay, so every column keeps its letter.
    mParameters.DetailPeriodOn = QStringLiteral("1");
    score();
    groupEveryone();
    const QStringList customers = customerNumbers({});
    for (size_t i = 0; i < std::size(cases); ++i)
        execute(QStringLiteral("UPDATE WorkRFM_1 SET ") + QString::fromUtf8(cases[i].set) +
                QStringLiteral(" WHERE M1KaiBan = '") + customers[qsizetype(i)] + u'\'');
    const Worksheet& sheet = written();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QStringList row = RowOf(sheet, int(i) + 2, 46);
        ASSERT_EQ(row[2], customers[qsizetype(i)]);
        EXPECT_EQ(
            (QStringList{row[21], row[34], row[37], row[40], row[42], row[43], row[44], row[45]}),
            cases[i].expected)
            << "case " << i;
    }
}

// --- Column removal
// -------------------------------------------------------------------------------

struct RemovalCase {
    bool period;
    QStringList removed;
    int columns;          // columns left
    QStringList headings; // of K, O, and the last column
};

class CustomerListRemovalTest : public CustomerListTest,
                                public ::testing::WithParamInterface<RemovalCase> {};

// The removed columns all go at once, the letters naming the full layout.
TEST_P(CustomerListRemovalTest, RemovesThePeriodAndTheRemovedItemsColumns) {
    const RemovalCase c = GetParam();
    mParameters.DetailPeriodOn = c.period ? QStringLiteral("1") : QStringLiteral("0");
    removeItems(c.removed);
    score();
    const Worksheet& sheet = written();
    EXPECT_EQ(sheet.cells().usedRange().lastColumn, c.columns);
    const QStringList headings = RowOf(sheet, 1, c.columns);
    EXPECT_EQ((QStringList{headings[10], headings[14], headings.last()}), c.headings);
    EXPECT_EQ(sheet.selectedCell(), QStringLiteral("A1"));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CustomerListRemovalTest,
    ::testing::Values(RemovalCase{false,
                                  {},
                                  42,
                                  {QStringLiteral("最終購買額"), QStringLiteral("最終交換ポイント"),
                                   QStringLiteral("居住地区")}},
                      RemovalCase{true,
                                  {},
                                  46,
                                  {QStringLiteral("期間購買額"), QStringLiteral("最終購買額"),
                                   QStringLiteral("居住地区")}},
                      RemovalCase{
                          true,
                          {QStringLiteral("000:最終購買額"), QStringLiteral("310:居住地区")},
                          44,
                          {QStringLiteral("期間購買額"), QStringLiteral("現在(累計)ポイント"),
                           QStringLiteral("趣味")}},
                      // Removed items in any order, one without a column of its own ignored.
                      RemovalCase{false,
                                  {QStringLiteral("270:メールアドレス"), QStringLiteral("999:なし"),
                                   QStringLiteral("010:現在(累計)ポイント")},
                                  40,
                                  {QStringLiteral("最終購買額"), QStringLiteral("ランク"),
                                   QStringLiteral("居住地区")}}));

// With the purchase period K to N hold the master's own figures kept by the scoring.
TEST_F(CustomerListTest, PeriodColumnsShowTheMastersOwnFigures) {
    mParameters.DetailPeriodOn = QStringLiteral("1");
    score();
    groupEveryone();
    const QString customer = customerNumbers({}).first();
    execute(
        QStringLiteral("UPDATE WorkRFM_1 SET SaveM1SakRgk = 98765, SaveM1SakRik = 4, "
                       "SaveM1SakHby = '20250203', SaveM1SakHbh = '091500' WHERE M1KaiBan = '") +
        customer + u'\'');
    const Worksheet& sheet = written();
    ASSERT_EQ(Shown(sheet.cells().cell(2, 3)), customer);
    EXPECT_EQ(RowOf(sheet, 2, 14).mid(10),
              (QStringList{QStringLiteral("#98765"), QStringLiteral("#4"),
                           QStringLiteral("2025/02/03"), QStringLiteral("09:15")}));
}

// --- Limits, cancel, failures
// ---------------------------------------------------------------------

// 65,003 qualifying customers: rows 2 to 65001 are written, the message comes once, and every
// row is still reported.
TEST_F(CustomerListTest, StopsAt65000CustomersAndKeepsReporting) {
    constexpr int Rows = 65003;
    execute(QStringLiteral("CREATE TABLE BigList AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                           "SELECT i + 1 FROM n WHERE i < 10000) SELECT w.* FROM WorkRFM_1 AS w, "
                           "n LIMIT %1")
                .arg(Rows));
    execute(QStringLiteral("UPDATE BigList SET M1KaiBan = printf('%07d', rowid), グループ = 'A'"));
    ASSERT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BigList")), Rows);

    sheetWriters().WriteCustomerList(*mRun, QStringLiteral("BigList"), Rows);
    const Worksheet* sheet = mBook->sheet(ListName);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->cells().usedRange().lastRow, 65001);
    EXPECT_EQ(Shown(sheet->cells().cell(65001, 3)), QStringLiteral("0065000"));
    EXPECT_EQ(mRun->CurrentRow, 65001);
    EXPECT_EQ(mPrompter.texts(),
              QStringList{QStringLiteral("65000 件を超えました。顧客一覧は65000人までです。")});
    ASSERT_EQ(mRecorded.counts.size(), Rows);
    EXPECT_EQ(mRecorded.counts.first(), QStringLiteral("1/65,003"));
    EXPECT_EQ(mRecorded.counts.last(), QStringLiteral("65,001/65,003"));
    EXPECT_TRUE(mRecorded.counterVisible);
    EXPECT_GE(mPump.count(), Rows);
}

// A progress display whose cancel button is pressed while row n is reported.
struct CancellingProgress final : ProgressSink {
    CancellingProgress(CancelToken& cancel, int at) : mCancel(cancel), mAt(at) {}
    void open() override {}
    void showStep(const QString&) override {}
    void showCount(const QString&) override {
        if (++mReports == mAt)
            mCancel.request();
    }
    void showPercent(int) override {}
    CancelToken& mCancel;
    int mAt;
    int mReports = 0;
};

// A cancel ends the list before the next customer, saying how far it got; the columns are still
// removed.
TEST_F(CustomerListTest, CancelStopsTheListAndStillRemovesColumns) {
    removeItems({QStringLiteral("000:最終購買額")});
    groupEveryone();
    CancellingProgress progress(mCancel, 5);
    ExcelRun run{*mBook, progress, mPrompter, mPump, mCancel};
    sheetWriters().WriteCustomerList(run, WorkTable, mExtracted);
    EXPECT_EQ(progress.mReports, 5);
    EXPECT_EQ(run.CurrentRow, 6);
    EXPECT_EQ(run.CutShortSheet, ListName);
    EXPECT_EQ(run.CutShortPart, QStringLiteral("中断までの5人分"));
    const Worksheet* sheet = saved().sheet(ListName);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(ColumnOf(*sheet, 3), customerNumbers({}).mid(0, 5));
    EXPECT_EQ(Shown(sheet->cells().cell(1, 11)), QStringLiteral("現在(累計)ポイント"));
}

// A work table that cannot be read: the operator learns why, and the sheet is finished empty.
TEST_F(CustomerListTest, UnreadableWorkTableIsReported) {
    const Worksheet& sheet = written(QStringLiteral("NoSuchTable"));
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_TRUE(mPrompter.texts().first().startsWith(
        QStringLiteral("データベースの処理でエラーが発生しました。")));
    EXPECT_EQ(sheet.cells().usedRange().lastRow, 1);
    EXPECT_EQ(Shown(sheet.cells().cell(1, 11)), QStringLiteral("最終購買額"));
    EXPECT_EQ(mRun->CurrentRow, 1);
}

} // namespace
