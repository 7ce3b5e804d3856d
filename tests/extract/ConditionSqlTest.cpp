#include "extract/ConditionSql.h"
#include "app/Clock.h"
#include "tests/support/Printers.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

const FixedClock Today(QDateTime(QDate(2026, 3, 31), QTime(10, 0)));

struct Setting {
    int field;
    const char16_t* value;
};

struct SqlCase {
    const char* name;
    std::vector<Setting> settings;
    const char16_t* selection;
    const char16_t* exclusion;
};

ConditionRecord Apply(const std::vector<Setting>& settings) {
    ConditionRecord record = ClearedConditionRecord();
    for (const Setting& s : settings)
        record[s.field] = QString::fromUtf16(s.value);
    return record;
}

} // namespace

TEST(ConditionSql, RangeClauseForms) {
    const QString f = QStringLiteral("F");
    EXPECT_EQ(RangeClause(f, true, QStringLiteral("1"), QString()), QStringLiteral("F >= '1'"));
    EXPECT_EQ(RangeClause(f, false, QStringLiteral("1"), QStringLiteral("9")),
              QStringLiteral("( F >= 1 AND F <= 9 )"));
    EXPECT_EQ(RangeClause(f, true, QString(), QStringLiteral("9")), QStringLiteral("F <= '9'"));
    EXPECT_EQ(RangeClause(f, true, QString(), QString()), QStringLiteral("F >= ''"));
    EXPECT_EQ(RangeClause(f, true, QStringLiteral("a'b"), QString()),
              QStringLiteral("F >= 'a''b'"));
    // A number bound that is not a plain number never reaches the statement as text.
    EXPECT_EQ(RangeClause(f, false, QStringLiteral("1 OR 1=1"), QString()),
              QStringLiteral("F >= 0"));
    EXPECT_EQ(RangeClause(f, false, QStringLiteral(" 12"), QStringLiteral("x")),
              QStringLiteral("( F >=  12 AND F <= 0 )"));
}

TEST(ConditionSql, BuildsClausesExactly) {
    const SqlCase cases[] = {
        {"nothing", {}, u"", u""},
        {"include only selects everyone",
         {{R::KihSeiKind, u"2"}, {R::MisBanKind, u"4"}, {R::MisBanValue, u"12"}},
         u"",
         u"M1MisBan =  '12'"},
        {"and then include",
         {{R::KihKaiKind, u"3"},
          {R::KihKaiFrom, u"0000010"},
          {R::KihKaiTo, u"0000020"},
          {R::KihSeiKind, u"3"},
          {R::KihSeiValue, u"2"},
          {R::KihAdrKind, u"2"},
          {R::KihAdrText, u"港区"}},
         u"( M1KaiBan >= '0000010' AND M1KaiBan <= '0000020' ) AND M1KhSeib = '2' OR "
         u"M1KhADD1 LIKE '*港区*'",
         u""},
        {"dates with zero bounds, zip and birthday",
         {{R::KihHjmKind, u"3"},
          {R::KihHjmFrom, u"0"},
          {R::KihHjmTo, u"20251231"},
          {R::KihZipKind, u"3"},
          {R::KihZip3, u"123"},
          {R::KihZip4, u" 45 "},
          {R::TosBarKind, u"3"},
          {R::TosBarMmdd, u"0704"},
          {R::PinRaiKind, u"4"},
          {R::PinRaiFrom, u"20250101"},
          {R::PinRaiTo, u"00000000"}},
         u"M1KhSraB <= '20251231' AND M1KhZIPC LIKE  '*12345*' AND "
         u" ( MID$(M1KhBart,5,4) = '0704'  ) ",
         u"M1SakHby >= '20250101'"},
        {"months, numbers and amounts",
         {{R::TosTukKind, u"3"},
          {R::TosTukMonth1, u"1"},
          {R::TosTukMonth1 + 10, u"1"},
          {R::PinGenKind, u"3"},
          {R::PinGenFrom, u"100"},
          {R::PinGakKind, u"3"},
          {R::PinGakFrom, u"5"},
          {R::PinGakTo, u"12"},
          {R::PinLifKind, u"4"},
          {R::PinLifTo, u"50"},
          {R::PinUseKind, u"4"},
          {R::PinUseFrom, u"2"},
          {R::PinUseTo, u"3"}},
         u" ( MID$(M1KhBart,5,2) = '01'  OR MID$(M1KhBart,5,2) = '11'  )  AND M1SakPoG >= 100 AND "
         u"( M1SakRgk >= 5000 AND M1SakRgk <= 12000 )",
         u"M1SakPoL <= 50 OR ( M1SakRik >= 2 AND M1SakRik <= 3 )"},
        {"no month set and one amount bound",
         {{R::TosTukKind, u"3"}, {R::PinGakKind, u"3"}, {R::PinGakFrom, u"5"}},
         u" (  )  AND M1SakRgk >= 5000",
         u""},
        {"direct mail and mail, in builder order",
         {{R::DmkHasKind, u"3"},
          {R::DmkHasMonths, u"1"},
          {R::DmkHKsKind, u"3"},
          {R::DmkHKsFrom, u"1"},
          {R::DmkOsrKind, u"3"},
          {R::EmlHasKind, u"3"},
          {R::EmlHasMonths, u"x"},
          {R::EmlOsrKind, u"3"},
          {R::EmlOsrValue, u"2"},
          {R::EmlHKsKind, u"2"},
          {R::EmlHKsTo, u"9"},
          {R::EmlSbtKind, u"4"},
          {R::EmlSbtPc, u"1"},
          {R::EmlSbtUnknown, u"1"}},
         u"M1SakDmk >= 1 AND M1DmmOsr = '1' AND TRIM$(M1KhADD1) <> '' AND M1EmaOsr = '2' AND "
         u"M1SakDmH <=  '20260228' AND M1SakSfb <=  '20260331' OR M1SakEka <= 9",
         u" ( M1EmaSbt = '1'  OR M1EmaSbt = ''  ) "},
        {"mail consent adds the address test; memo",
         {{R::EmlOsrKind, u"4"}, {R::KhMemoKind, u"4"}, {R::KhMemoText, u"常連"}},
         u"",
         u"M1EmaOsr = '1' AND TRIM$(M1EmaAdr) <> '' OR M1KhMemo LIKE '*常連*'"},
        {"classification levels run last",
         {{R::Bun2Kind, u"3"},
          {R::Bun2Item1, u"1"},
          {R::Bun2Item1 + 2, u"1"},
          {R::TosTanKind, u"3"},
          {R::TosTanFrom, u"19600101"},
          {R::TosTanTo, u"19691231"},
          {R::Bun4Kind, u"4"},
          {R::Bun4Item1 + 19, u"1"}},
         u"( M1KhBart >= '19600101' AND M1KhBart <= '19691231' ) AND "
         u" ( M1BunJC2 = '01'  OR M1BunJC2 = '03'  ) ",
         u" ( M1BunJC4 = '20'  ) "},
        {"age and rank give no SQL",
         {{R::TosNenKind, u"3"},
          {R::TosNenFrom, u"20"},
          {R::PinJunKind, u"4"},
          {R::PinJunTo, u"10"}},
         u"",
         u""},
    };
    for (const SqlCase& c : cases) {
        const ConditionSql sql = BuildConditionSql(Apply(c.settings), Today);
        EXPECT_EQ(sql.Selection, QString::fromUtf16(c.selection)) << c.name;
        EXPECT_EQ(sql.Exclusion, QString::fromUtf16(c.exclusion)) << c.name;
    }
}

TEST(ConditionSql, ClassificationEntriesOneAndThreeOfLevelTwo) {
    ConditionRecord record = ClearedConditionRecord();
    record[R::BunKind(2)] = ConditionKind::KindAnd;
    record[R::BunItem(2, 1)] = QStringLiteral("1");
    record[R::BunItem(2, 3)] = QStringLiteral("1");
    EXPECT_EQ(BuildConditionSql(record, Today).Selection,
              QStringLiteral(" ( M1BunJC2 = '01'  OR M1BunJC2 = '03'  ) "));
}

TEST(ConditionSql, TypedTextIsQuotedAndMatchedLiterally) {
    ConditionRecord record = ClearedConditionRecord();
    record[R::KihAdrKind] = ConditionKind::KindAnd;
    record[R::KihAdrText] = QStringLiteral("O'Hara [1]*?#");
    record[R::KihKaiKind] = ConditionKind::KindAnd;
    record[R::KihKaiFrom] = QStringLiteral("1'");
    record[R::MisBanKind] = ConditionKind::KindAnd;
    record[R::MisBanValue] = QStringLiteral("'; DROP");
    record[R::KihZipKind] = ConditionKind::KindExclude;
    record[R::KihZip3] = QStringLiteral("1#");
    record[R::KihZip4] = QStringLiteral("?'");
    record[R::KhMemoKind] = ConditionKind::KindExclude;
    record[R::KhMemoText] = QStringLiteral("100%_*");
    const ConditionSql sql = BuildConditionSql(record, Today);
    EXPECT_EQ(sql.Selection, QStringLiteral("M1KaiBan >= '1''' AND "
                                            "M1KhADD1 LIKE '*O''Hara [[]1][*][?][#]*' AND "
                                            "M1MisBan =  '''; DROP'"));
    EXPECT_EQ(sql.Exclusion, QStringLiteral("M1KhZIPC LIKE  '*1[#][?]''*' OR "
                                            "M1KhMemo LIKE '*100%_[*]*'"));
}

TEST(ConditionSql, MonthsBackFromToday) {
    ConditionRecord record = ClearedConditionRecord();
    record[R::DmkHasKind] = ConditionKind::KindAnd;
    record[R::DmkHasMonths] = QStringLiteral("13");
    const FixedClock january(QDateTime(QDate(2026, 1, 15), QTime(9, 0)));
    EXPECT_EQ(BuildConditionSql(record, january).Selection,
              QStringLiteral("M1SakDmH <=  '20241215'"));
    record[R::DmkHasMonths] = QStringLiteral("1");
    const FixedClock may(QDateTime(QDate(2026, 5, 31), QTime(9, 0)));
    EXPECT_EQ(BuildConditionSql(record, may).Selection, QStringLiteral("M1SakDmH <=  '20260431'"));
}
