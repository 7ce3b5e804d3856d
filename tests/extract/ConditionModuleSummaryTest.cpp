#include "app/CommonRoutines.h"
#include "extract/ConditionSummary.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

struct Setting {
    int field;
    const char16_t* value;
};

ConditionRecord Apply(std::initializer_list<Setting> settings) {
    ConditionRecord record = ClearedConditionRecord();
    for (const Setting& s : settings)
        record[s.field] = QString::fromUtf16(s.value);
    return record;
}

const std::array<QString, 4> Levels = {QStringLiteral("地区"), QStringLiteral("趣味"), QString(),
                                       QString()};
// Level 1 "地区" with 北, 南 and 東; level 2 "趣味" with 釣り.
ClassificationNames Names() {
    ClassificationNames names;
    names.Levels = Levels;
    names.Entries[0][0] = QStringLiteral("北");
    names.Entries[0][1] = QStringLiteral("南");
    names.Entries[0][2] = QStringLiteral("東");
    names.Entries[1][0] = QStringLiteral("釣り");
    return names;
}

const QString And = QStringLiteral("指定（かつ）    ");
const QString Include = QStringLiteral("指定（含める）  ");
const QString Exclude = QStringLiteral("除外する        ");

} // namespace

TEST(ConditionSummary, KindTextsFillSixteenColumns) {
    EXPECT_EQ(SummaryKindText(QStringLiteral("3")), And);
    EXPECT_EQ(SummaryKindText(QStringLiteral("2")), Include);
    EXPECT_EQ(SummaryKindText(QStringLiteral("4")), Exclude);
    EXPECT_EQ(SummaryKindText(QStringLiteral("1")), QString());
    for (const QString& text : {And, Include, Exclude})
        EXPECT_EQ(AnsiByteLength(text), 16) << text.toStdString();
}

TEST(ConditionSummary, ValueTextOfEveryCondition) {
    const struct {
        std::initializer_list<Setting> settings;
        const char16_t* section;
        const char16_t* item;
        const char16_t* value;
    } cases[] = {
        {{{R::KihKaiKind, u"3"}, {R::KihKaiFrom, u"0000010"}, {R::KihKaiTo, u"0000020"}},
         u"基本情報",
         u"会員番号",
         u"0000010～0000020"},
        {{{R::KihSeiKind, u"3"}, {R::KihSeiValue, u"2"}}, u"基本情報", u"性別", u"女"},
        {{{R::KihSeiKind, u"3"}}, u"基本情報", u"性別", u"男"},
        {{{R::KihHjmKind, u"3"}, {R::KihHjmFrom, u"20250101"}, {R::KihHjmTo, u"0"}},
         u"基本情報",
         u"初回来店日",
         u"2025/01/01～          "},
        {{{R::KihZipKind, u"3"}, {R::KihZip3, u"105"}, {R::KihZip4, u"0011"}},
         u"基本情報",
         u"郵便番号",
         u"105-0011"},
        {{{R::KihAdrKind, u"3"}, {R::KihAdrText, u"港区"}}, u"基本情報", u"住所", u"港区"},
        {{{R::MisBanKind, u"3"}, {R::MisBanValue, u"0012"}}, u"基本情報", u"登録店番", u"0012"},
        {{{R::TosTanKind, u"3"}, {R::TosTanFrom, u"19800101"}, {R::TosTanTo, u"19891231"}},
         u"年齢情報",
         u"生年月日",
         u"1980/01/01～1989/12/31"},
        {{{R::TosTukKind, u"3"},
          {R::TosTukMonth(1), u"1"},
          {R::TosTukMonth(10), u"1"},
          {R::TosTukMonth(12), u"1"}},
         u"年齢情報",
         u"誕生月",
         u"1月,10月,12月"},
        {{{R::TosBarKind, u"3"}, {R::TosBarMmdd, u"0229"}}, u"年齢情報", u"誕生日", u"02月29日"},
        {{{R::TosNenKind, u"3"}, {R::TosNenFrom, u" 20 "}, {R::TosNenTo, u"30"}},
         u"年齢情報",
         u"年齢・推定年齢",
         u"20～30"},
        {{{R::PinGenKind, u"3"}, {R::PinGenFrom, u"100"}},
         u"ポイント情報",
         u"現在ポイント",
         u"100～"},
        {{{R::PinLifKind, u"3"}, {R::PinLifTo, u"500"}},
         u"ポイント情報",
         u"生涯ポイント",
         u"～500"},
        {{{R::PinUseKind, u"3"}, {R::PinUseFrom, u"2"}, {R::PinUseTo, u"9"}},
         u"ポイント情報",
         u"利用回数",
         u"2～9"},
        {{{R::PinJunKind, u"3"}, {R::PinJunFrom, u"1"}, {R::PinJunTo, u"50"}},
         u"ポイント情報",
         u"累計購買額順位",
         u"1～50"},
        {{{R::PinRaiKind, u"3"}, {R::PinRaiFrom, u"20250401"}, {R::PinRaiTo, u"20260331"}},
         u"ポイント情報",
         u"最終来店日",
         u"2025/04/01～2026/03/31"},
        {{{R::PinGakKind, u"3"}, {R::PinGakFrom, u"5"}, {R::PinGakTo, u"12"}},
         u"ポイント情報",
         u"累計購買額",
         u"5千円～12千円"},
        {{{R::DmkHasKind, u"3"}, {R::DmkHasMonths, u"6"}},
         u"ＤＭ情報",
         u"前回ＤＭ発送日から",
         u"6ヵ月以上経過"},
        {{{R::DmkHKsKind, u"3"}, {R::DmkHKsFrom, u"1"}, {R::DmkHKsTo, u"3"}},
         u"ＤＭ情報",
         u"ＤＭ送付回数",
         u"1～3"},
        {{{R::DmkOsrKind, u"3"}, {R::DmkOsrValue, u"2"}}, u"ＤＭ情報", u"ＤＭ送付許諾", u"2:拒否"},
        {{{R::EmlHasKind, u"3"}, {R::EmlHasMonths, u"3"}},
         u"メール情報",
         u"前回メール送信日から",
         u"3ヵ月以上経過"},
        {{{R::EmlHKsKind, u"3"}, {R::EmlHKsTo, u"4"}}, u"メール情報", u"メール送信回数", u"～4"},
        {{{R::EmlOsrKind, u"3"}}, u"メール情報", u"メール送信許諾", u"1:許諾"},
        {{{R::EmlOsrKind, u"3"}, {R::EmlOsrValue, u"3"}},
         u"メール情報",
         u"メール送信許諾",
         u"3:メールアドレス誤り"},
        {{{R::EmlSbtKind, u"3"}, {R::EmlSbtPc, u"1"}, {R::EmlSbtUnknown, u"1"}},
         u"メール情報",
         u"Ｅメール種別",
         u"ＰＣメール,不明メール"},
        {{{R::KhMemoKind, u"3"}, {R::KhMemoText, u"常連"}}, u"基本情報", u"メモ", u"常連"},
        {{{R::BunKind(1), u"3"}, {R::BunItem(1, 2), u"1"}, {R::BunItem(1, 3), u"1"}},
         u"分類情報",
         u"地区",
         u"101100000000000000000"},
        {{{R::BunKind(4), u"3"}, {R::BunItem(4, 20), u"1"}},
         u"分類情報",
         u"",
         u"400000000000000000001"},
    };
    for (const auto& c : cases) {
        const QList<ConditionSummaryRow> rows = BuildConditionSummary(Apply(c.settings), Levels);
        ASSERT_EQ(rows.size(), 1) << QString::fromUtf16(c.item).toStdString();
        EXPECT_EQ(rows[0],
                  (ConditionSummaryRow{QString::fromUtf16(c.section), QString::fromUtf16(c.item),
                                       And, QString::fromUtf16(c.value)}));
    }
}

TEST(ConditionSummary, RowsGroupedAndThenInTableOrder) {
    const ConditionRecord record = Apply({{R::KihKaiKind, u"4"},
                                          {R::KihKaiFrom, u"0000001"},
                                          {R::KihSeiKind, u"2"},
                                          {R::KhMemoKind, u"3"},
                                          {R::KhMemoText, u"常連"},
                                          {R::PinGenKind, u"3"},
                                          {R::PinGenFrom, u"10"},
                                          {R::BunKind(2), u"3"},
                                          {R::BunItem(2, 1), u"1"},
                                          {R::KihAdrKind, u"3"},
                                          {R::KihAdrText, u"港区"},
                                          {R::PinJunKind, u"4"},
                                          {R::PinJunTo, u"100"},
                                          {R::TosNenKind, u"9"}});
    const QList<ConditionSummaryRow> rows = BuildConditionSummary(record, Levels);
    QStringList items;
    for (const ConditionSummaryRow& row : rows)
        items << row.Item + QLatin1Char('/') + row.KindText.trimmed();
    EXPECT_EQ(items,
              QStringList(
                  {QStringLiteral("住所/指定（かつ）"), QStringLiteral("現在ポイント/指定（かつ）"),
                   QStringLiteral("メモ/指定（かつ）"), QStringLiteral("趣味/指定（かつ）"),
                   QStringLiteral("性別/指定（含める）"), QStringLiteral("会員番号/除外する"),
                   QStringLiteral("累計購買額順位/除外する")}));

    const ClassificationNames names = Names();
    const QString hyphens(94, QLatin1Char('-'));
    EXPECT_EQ(
        ConditionSummaryLines(rows, names),
        QStringList({
            QStringLiteral("基本情報:住所 ") + And + QStringLiteral(" 港区"),
            QStringLiteral("ポイント情報:現在ポイント ") + And + QStringLiteral(" 10～"),
            QStringLiteral("基本情報:メモ ") + And + QStringLiteral(" 常連"),
            QStringLiteral("分類情報:趣味 ") + And + QStringLiteral(" 01:釣り "),
            hyphens + QStringLiteral("下記で指定の人を付加") + QString(38, QLatin1Char('-')),
            QStringLiteral("基本情報:性別 ") + Include + QStringLiteral(" 男"),
            hyphens + QStringLiteral("下記で指定の人を除外") + QString(39, QLatin1Char('-')),
            QStringLiteral("基本情報:会員番号 ") + Exclude + QStringLiteral(" 0000001～"),
            QStringLiteral("ポイント情報:累計購買額順位 ") + Exclude + QStringLiteral(" ～100"),
        }));
}

TEST(ConditionSummary, SeparatorsOpenTheIncludeAndExcludeGroupsOnly) {
    const ClassificationNames names = Names();
    const auto lines = [&](std::initializer_list<Setting> settings) {
        return ConditionSummaryLines(BuildConditionSummary(Apply(settings), names.Levels), names);
    };
    EXPECT_EQ(lines({}), QStringList());
    EXPECT_EQ(lines({{R::KihSeiKind, u"3"}, {R::KihAdrKind, u"3"}}).size(), 2);
    const QStringList includeOnly = lines({{R::KihSeiKind, u"2"}});
    ASSERT_EQ(includeOnly.size(), 2);
    EXPECT_TRUE(includeOnly[0].endsWith(QStringLiteral("下記で指定の人を付加") +
                                        QString(38, QLatin1Char('-'))));
    const QStringList excludeOnly = lines({{R::KihSeiKind, u"4"}, {R::KihAdrKind, u"4"}});
    ASSERT_EQ(excludeOnly.size(), 3);
    EXPECT_EQ(excludeOnly[0].size(), 94 + 10 + 39);
    // Level 1 with its second and third entry: their positions and names.
    const QStringList bun =
        lines({{R::BunKind(1), u"4"}, {R::BunItem(1, 2), u"1"}, {R::BunItem(1, 3), u"1"}});
    EXPECT_EQ(bun.last(),
              QStringLiteral("分類情報:地区 ") + Exclude + QStringLiteral(" 02:南 03:東 "));
}
