#include "ExtractionShop.h"
#include "tests/support/ConditionCodes.h"

#include "db/Database.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QFile>

namespace plw::test {
namespace {

using R = ConditionRecord;

struct SetCase {
    const char* name;
    std::initializer_list<Setting> settings;
    std::initializer_list<int> expected;
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.name;
}

const std::initializer_list<int> Everyone = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

class CustomerSet : public ExtractionShop, public ::testing::WithParamInterface<SetCase> {};

// The customers of the "and" conditions (everyone without one), plus the customers of the
// "include" conditions when there is an "and" condition, minus the "exclude" ones; the key file
// lists them in ascending number.
TEST_P(CustomerSet, FollowsTheKinds) {
    const SetCase& c = GetParam();
    const ExtractionResult result = extract(Conditions(c.settings));
    const QStringList expected = Numbers(c.expected);
    EXPECT_EQ(result.Count, expected.size());
    if (expected.isEmpty()) {
        EXPECT_FALSE(QFile::exists(keyFile()));
    } else {
        EXPECT_EQ(keyFileCustomers(), expected);
        EXPECT_EQ(result.KeyRecords, expected.size());
    }
    EXPECT_TRUE(result.KeyFileOk) << result.KeyFileError.toStdString();
}

// Sex "1": 1 3 5 7 9. Mail consent "2": 2 5. Direct-mail consent "2": 3 5. Purchase position =
// customer number. Ages: 1:45 2:35 3:26 4:46 5:40 6:0 7:99 8:26 9:15 10:56.
const SetCase kSetCases[] = {
    {"NoCondition", {}, Everyone},
    {"And", {{R::KihSeiKind, u"3"}, {R::KihSeiValue, u"1"}}, {1, 3, 5, 7, 9}},
    {"IncludeWithoutAndSelectsEveryone", {{R::KihSeiKind, u"2"}, {R::KihSeiValue, u"1"}}, Everyone},
    {"AndPlusInclude",
     {{R::KihSeiKind, u"3"}, {R::KihSeiValue, u"1"}, {R::EmlOsrKind, u"2"}, {R::EmlOsrValue, u"2"}},
     {1, 2, 3, 5, 7, 9}},
    {"Exclude", {{R::DmkOsrKind, u"4"}, {R::DmkOsrValue, u"2"}}, {1, 2, 4, 6, 7, 8, 9, 10}},
    {"AndIncludeExclude",
     {{R::KihSeiKind, u"3"},
      {R::KihSeiValue, u"1"},
      {R::EmlOsrKind, u"2"},
      {R::EmlOsrValue, u"2"},
      {R::DmkOsrKind, u"4"},
      {R::DmkOsrValue, u"2"}},
     {1, 2, 7, 9}},
    {"NoneKindIgnored",
     {{R::KihSeiKind, u"1"}, {R::PinJunFrom, u"1"}, {R::PinJunTo, u"2"}},
     Everyone},
    {"RankAnd", {{R::PinJunKind, u"3"}, {R::PinJunFrom, u"1"}, {R::PinJunTo, u"4"}}, {1, 2, 3, 4}},
    {"RankAndWithSqlAnd",
     {{R::KihSeiKind, u"3"},
      {R::KihSeiValue, u"1"},
      {R::PinJunKind, u"3"},
      {R::PinJunFrom, u"1"},
      {R::PinJunTo, u"4"}},
     {1, 3}},
    // Customer 1 is appended after the selected rows, yet the key file is in number order.
    {"RankIncludeAddsToAnd",
     {{R::KihSeiKind, u"3"},
      {R::KihSeiValue, u"2"},
      {R::PinJunKind, u"2"},
      {R::PinJunFrom, u"1"},
      {R::PinJunTo, u"1"}},
     {1, 2, 4, 6, 8, 10}},
    {"RankExclude",
     {{R::PinJunKind, u"4"}, {R::PinJunFrom, u"1"}, {R::PinJunTo, u"3"}},
     {4, 5, 6, 7, 8, 9, 10}},
    {"AgeAnd", {{R::TosNenKind, u"3"}, {R::TosNenFrom, u"20"}, {R::TosNenTo, u"40"}}, {2, 3, 5, 8}},
    {"AgeExclude", {{R::TosNenKind, u"4"}, {R::TosNenTo, u"20"}}, {1, 2, 3, 4, 5, 7, 8, 10}},
    {"RankAndAgeAnd",
     {{R::PinJunKind, u"3"},
      {R::PinJunFrom, u"1"},
      {R::PinJunTo, u"5"},
      {R::TosNenKind, u"3"},
      {R::TosNenFrom, u"20"},
      {R::TosNenTo, u"40"}},
     {2, 3, 5}},
    // The age merge seeks in the table the rank merge made current.
    {"AgeIncludeAfterRankAnd",
     {{R::PinJunKind, u"3"},
      {R::PinJunFrom, u"1"},
      {R::PinJunTo, u"2"},
      {R::TosNenKind, u"2"},
      {R::TosNenFrom, u"40"},
      {R::TosNenTo, u"50"}},
     {1, 2, 4, 5}},
    {"AgeExcludeAfterRankAnd",
     {{R::PinJunKind, u"3"},
      {R::PinJunFrom, u"1"},
      {R::PinJunTo, u"5"},
      {R::TosNenKind, u"4"},
      {R::TosNenFrom, u"40"},
      {R::TosNenTo, u"50"}},
     {2, 3}},
    // A condition every customer must match, which nobody matches, leaves nobody.
    {"RankAndFindingNobody", {{R::PinJunKind, u"3"}, {R::PinJunFrom, u"11"}}, {}},
    {"AgeAndFindingNobody",
     {{R::KihSeiKind, u"3"},
      {R::KihSeiValue, u"1"},
      {R::TosNenKind, u"3"},
      {R::TosNenFrom, u"60"},
      {R::TosNenTo, u"70"}},
     {}},
    // Adding or removing nobody changes nothing.
    {"RankIncludeFindingNobody",
     {{R::KihSeiKind, u"3"},
      {R::KihSeiValue, u"1"},
      {R::PinJunKind, u"2"},
      {R::PinJunFrom, u"11"},
      {R::PinJunTo, u"20"}},
     {1, 3, 5, 7, 9}},
    {"AgeExcludeFindingNobody",
     {{R::TosNenKind, u"4"}, {R::TosNenFrom, u"60"}, {R::TosNenTo, u"70"}},
     Everyone},
};

INSTANTIATE_TEST_SUITE_P(Kinds, CustomerSet, ::testing::ValuesIn(kSetCases),
                         [](const ::testing::TestParamInfo<SetCase>& param) {
                             return std::string(param.param.name);
                         });

// A customer added by an "include" rank holds only its number: the exclusion and the consent
// deletions compare Null and keep it, while selected customers are removed.
TEST_F(ExtractionShop, IncludedRowsHoldOnlyTheNumberAndSurviveDeletions) {
    // Direct-mail consent "2": customers 3 and 5 (both male, mail consent "1" and "2").
    const ConditionRecord conditions = Conditions({{R::DmkOsrKind, u"3"},
                                                   {R::DmkOsrValue, u"2"},
                                                   {R::PinJunKind, u"2"},
                                                   {R::PinJunFrom, u"1"},
                                                   {R::PinJunTo, u"2"},
                                                   {R::KihSeiKind, u"4"},
                                                   {R::KihSeiValue, u"2"}});
    const struct {
        const char* caller;
        std::initializer_list<int> expected;
    } cases[] = {{"P1", {1, 2, 3, 5}}, {"DM", {1, 2}}, {"EL", {1, 2, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caller);
        mContext->Caller = test::CallerOf(c.caller);
        const ExtractionResult result = extract(conditions);
        EXPECT_EQ(result.CurrentTable, QStringLiteral("Work抽出A"));
        EXPECT_EQ(keyFileCustomers(), Numbers(c.expected));
        EXPECT_EQ(column(QStringLiteral("SELECT M1KhSeib, M1DmmOsr, M1SakRgk FROM Work抽出A "
                                        "WHERE M1KaiBan <= '0000002' ORDER BY M1KaiBan"),
                         QStringLiteral("M1KhSeib")),
                  (QStringList{QStringLiteral("<null>"), QStringLiteral("<null>")}));
    }
}

// The table a kind "3" merge makes current carries the FRMKEY index that later seeks use.
TEST_F(ExtractionShop, KindAndMergeMakesTheJoinCurrentWithItsIndex) {
    const struct {
        const char* name;
        std::initializer_list<Setting> settings;
        const char16_t* current;
    } cases[] = {
        {"rank", {{R::PinJunKind, u"3"}, {R::PinJunFrom, u"2"}, {R::PinJunTo, u"5"}}, u"Work抽出3"},
        {"age",
         {{R::TosNenKind, u"3"}, {R::TosNenFrom, u"20"}, {R::TosNenTo, u"44"}},
         u"Work抽出5"},
        {"rank and age",
         {{R::PinJunKind, u"3"},
          {R::PinJunFrom, u"2"},
          {R::PinJunTo, u"5"},
          {R::TosNenKind, u"3"},
          {R::TosNenFrom, u"20"},
          {R::TosNenTo, u"44"}},
         u"Work抽出5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ExtractionResult result = extract(Conditions(c.settings));
        const QString current = QString::fromUtf16(c.current);
        ASSERT_EQ(result.CurrentTable, current);
        auto table = mTrn->openTable(current);
        ASSERT_NO_THROW(table->setIndex(QStringLiteral("FRMKEY")));
        table->seek(QStringLiteral("0000002"));
        ASSERT_FALSE(table->noMatch());
        EXPECT_EQ(table->text(u"M1KaiBan"), QStringLiteral("0000002"));
        table->seek(QStringLiteral("0000001"));
        EXPECT_TRUE(table->noMatch());
        EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) AS n FROM pragma_index_list('%1') "
                                        "WHERE [unique] = 1")
                             .arg(current),
                         QStringLiteral("n")),
                  QStringList{QStringLiteral("1")});
    }
}

TEST_F(ExtractionShop, ReportsTheStepsInTheWaitWindowAndYieldsAroundEach) {
    const ExtractionResult result = extract(Conditions({}));
    QStringList expected{QStringLiteral("open 抽出中|現在処理中です。")};
    for (int n = 1; n <= 8; ++n)
        expected << QStringLiteral("step Step  %1").arg(n);
    expected << QStringLiteral("close");
    EXPECT_EQ(mWait.calls, expected);
    EXPECT_EQ(mPump.count(), 16);
    // Neither step found anything, the age step's report is the last.
    EXPECT_FALSE(result.RankFound);
    EXPECT_FALSE(result.StepFound);
}

TEST_F(ExtractionShop, CountOnlyLeavesTheKeyFileAlone) {
    WriteBytes(keyFile(), QByteArrayLiteral("an earlier key file"));
    const ExtractionResult result =
        extract(Conditions({{R::TosNenKind, u"3"}, {R::TosNenFrom, u"20"}, {R::TosNenTo, u"40"}}),
                ExtractionMode::Count);
    EXPECT_EQ(result.Count, 4);
    EXPECT_TRUE(result.AgeFound);
    EXPECT_EQ(ReadBytes(keyFile()), QByteArrayLiteral("an earlier key file"));
    EXPECT_EQ(mWait.calls.size(), 9); // open, steps 1 to 7, close
    EXPECT_EQ(mWait.calls.constLast(), QStringLiteral("close"));
    EXPECT_EQ(mPump.count(), 14);
}

TEST_F(ExtractionShop, CountZeroLeavesNoKeyFile) {
    WriteBytes(keyFile(), QByteArray(96, ' '));
    const ExtractionResult result =
        extract(Conditions({{R::KihKaiKind, u"3"}, {R::KihKaiFrom, u"0000011"}}));
    EXPECT_EQ(result.Count, 0);
    EXPECT_TRUE(result.KeyFileOk);
    EXPECT_FALSE(QFile::exists(keyFile()));
    EXPECT_EQ(mWait.calls.size(), 9);
}

TEST_F(ExtractionShop, KeyFileThatCannotBeWrittenIsReported) {
    const ExtractionResult result =
        ExtractCustomers(*mContext, ExtractionMode::WriteKeyFile, Conditions({}),
                         mDir.filePath(QStringLiteral("missing/PLWAN40.KEY")));
    EXPECT_EQ(result.Count, 10);
    EXPECT_FALSE(result.KeyFileOk);
    EXPECT_FALSE(result.KeyFileError.isEmpty());
    EXPECT_EQ(result.KeyRecords, 0);
}

TEST_F(ExtractionShop, DatabaseErrorsReachTheCallerWithTheWindowClosed) {
    mTrn->execute(QStringLiteral("DROP TABLE M1_お客様マスタ"));
    EXPECT_THROW(extract(Conditions({})), db::DatabaseError);
    EXPECT_EQ(mWait.calls.constLast(), QStringLiteral("close"));
}

} // namespace
} // namespace plw::test
