#include "extract/ConditionValidation.h"
#include "tests/support/Printers.h"

#include <functional>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// Selects a kind and enables the value boxes as the refresh does.
void Use(ConditionScreenState& s, Cond::Id condition, int kind) {
    s.Kinds[condition] = kind;
    s.ValuesEnabled[condition] = kind != 1;
}

// A screen with two classification levels.
ConditionScreenState Screen(const std::function<void(ConditionScreenState&)>& setup) {
    ConditionScreenState s;
    s.BunCaptions = {QStringLiteral("地区"), QStringLiteral("趣味"), QString(), QString()};
    s.BunItems[0] = QStringList{QStringLiteral("A1:北"), QStringLiteral("A2:南")};
    s.BunItems[1] = QStringList{QStringLiteral("G1:釣り")};
    setup(s);
    return s;
}

const QString Missing = QStringLiteral("範囲を指定してください");
const QString Reversed = QStringLiteral("範囲の指定が間違っています。");
const QString Digits = QStringLiteral("数字以外は指定できません(マイナスも指定できません)");
const QString Required = QStringLiteral("指定してください");
const QString OneAtLeast = QStringLiteral("１つは指定してください");

} // namespace

TEST(ConditionValidation, FirstFailingCheckWithTabAndField) {
    using S = ConditionScreenState&;
    const struct {
        const char* name;
        std::function<void(ConditionScreenState&)> setup;
        QString message; // empty: passes
        int tab;
        const char* focus;
    } cases[] = {
        {"nothing specified", [](S) {}, QString(), -1, ""},
        {"unused conditions are not checked",
         [](S s) {
             s.KihKaiFrom = QStringLiteral("9");
             s.KihKaiTo = QStringLiteral("1");
             s.EmlSbt[1] = true;
         },
         QString(), -1, ""},
        {"number range missing", [](S s) { Use(s, Cond::KihKai, 3); }, Missing, 0, "txtKihKai_F"},
        {"number range both zero",
         [](S s) {
             Use(s, Cond::KihKai, 2);
             s.KihKaiFrom = QStringLiteral("0");
             s.KihKaiTo = QStringLiteral("000");
         },
         Missing, 0, "txtKihKai_F"},
        {"number range reversed",
         [](S s) {
             Use(s, Cond::KihKai, 4);
             s.KihKaiFrom = QStringLiteral("20");
             s.KihKaiTo = QStringLiteral("10");
         },
         Reversed, 0, "txtKihKai_F"},
        {"upper bound not digits",
         [](S s) {
             Use(s, Cond::KihKai, 3);
             s.KihKaiFrom = QStringLiteral("5");
             s.KihKaiTo = QStringLiteral("1a");
         },
         Digits, 0, "txtKihKai_T"},
        {"a minus sign",
         [](S s) {
             Use(s, Cond::KihKai, 3);
             s.KihKaiFrom = QStringLiteral("-1");
         },
         Digits, 0, "txtKihKai_F"},
        {"one bound is enough",
         [](S s) {
             Use(s, Cond::KihKai, 3);
             s.KihKaiTo = QStringLiteral(" 15 ");
         },
         QString(), -1, ""},
        {"first-visit dates missing", [](S s) { Use(s, Cond::KihHjm, 3); }, Missing, 0, "imdSeiFR"},
        {"postal code missing", [](S s) { Use(s, Cond::KihZip, 3); }, Required, 0, "txtKihZip_A"},
        {"postal code not digits",
         [](S s) {
             Use(s, Cond::KihZip, 3);
             s.KihZip3 = QStringLiteral("105");
             s.KihZip4 = QStringLiteral("00l1");
         },
         Digits, 0, "txtKihZip_B"},
        {"address blank",
         [](S s) {
             Use(s, Cond::KihAdr, 3);
             s.KihAdr = QStringLiteral("　 ");
         },
         Required, 0, "txtKihAdr_A"},
        {"shop missing", [](S s) { Use(s, Cond::MisBan, 2); }, Required, 0, "txtMisBan_A"},
        {"shop not digits",
         [](S s) {
             Use(s, Cond::MisBan, 2);
             s.MisBan = QStringLiteral("１２");
         },
         Digits, 0, "txtMisBan_A"},
        {"birth dates reversed",
         [](S s) {
             Use(s, Cond::TosTan, 3);
             s.TosTanFrom = QStringLiteral("19900101");
             s.TosTanTo = QStringLiteral("19800101");
         },
         Reversed, 1, "imdTosTan_F"},
        {"no birth month", [](S s) { Use(s, Cond::TosTuk, 3); }, OneAtLeast, 1, "chkTosTuk_1"},
        {"no birthday", [](S s) { Use(s, Cond::TosBar, 3); }, Required, 1, "imdTosBar_A"},
        {"age reversed",
         [](S s) {
             Use(s, Cond::TosNen, 3);
             s.TosNenFrom = QStringLiteral("30");
             s.TosNenTo = QStringLiteral("20");
         },
         Reversed, 1, "txtTosNen_F"},
        {"purchase amount missing", [](S s) { Use(s, Cond::PinGak, 3); }, Missing, 2,
         "txtPinGak_F"},
        {"rank not digits",
         [](S s) {
             Use(s, Cond::PinJun, 3);
             s.PinJunFrom = QStringLiteral("5");
             s.PinJunTo = QStringLiteral("9x");
         },
         Digits, 2, "txtPinJun_T"},
        {"a disabled box is not checked for digits",
         [](S s) {
             Use(s, Cond::PinJun, 3);
             s.PinJunFrom = QStringLiteral("5");
             s.PinJunTo = QStringLiteral("9x");
             s.ValuesEnabled[Cond::PinJun] = false;
         },
         QString(), -1, ""},
        {"last visit missing", [](S s) { Use(s, Cond::PinRai, 3); }, Missing, 2, "imdPinRai_F"},
        {"months since the last mailing missing", [](S s) { Use(s, Cond::DmkHas, 3); }, Required, 3,
         "txtDmkHas_A"},
        {"mailing count reversed",
         [](S s) {
             Use(s, Cond::DmkHKs, 3);
             s.DmkHKsFrom = QStringLiteral("5");
             s.DmkHKsTo = QStringLiteral("2");
         },
         Reversed, 3, "txtDmkHKs_F"},
        {"months since the last mail not digits",
         [](S s) {
             Use(s, Cond::EmlHas, 3);
             s.EmlHasMonths = QStringLiteral("1.5");
         },
         Digits, 4, "txtEmlHas_A"},
        {"no mail type", [](S s) { Use(s, Cond::EmlSbt, 3); }, OneAtLeast, 4, "chkEmlSbt_1"},
        {"mail type without a mail-consent condition",
         [](S s) {
             Use(s, Cond::EmlSbt, 3);
             s.EmlSbt[1] = true;
         },
         QStringLiteral("メール送信許諾が　指定しない　の場合は指定できません"), 4, "chkEmlSbt_2"},
        {"mail type with a mail-consent condition",
         [](S s) {
             Use(s, Cond::EmlSbt, 3);
             s.EmlSbt[1] = true;
             Use(s, Cond::EmlOsr, 3);
         },
         QString(), -1, ""},
        {"memo missing", [](S s) { Use(s, Cond::KhMemo, 4); }, Required, 5, "txtKhmemo_A"},
        {"classification without an entry",
         [](S s) {
             Use(s, Cond::Bun1, 3);
             s.BunSelected[0][1] = true;
             Use(s, Cond::Bun2, 3);
             s.BunSelected[1][5] = true; // the list has one item only
         },
         QStringLiteral("趣味の項目を１つ以上してください"), 6, "lstZok2"},
        {"the first failure in screen order wins",
         [](S s) {
             Use(s, Cond::KhMemo, 3);
             Use(s, Cond::PinUse, 3);
             s.PinUseFrom = QStringLiteral("x");
             s.PinUseTo = QStringLiteral("3");
             Use(s, Cond::TosTuk, 3);
             s.TosTuk[4] = true;
         },
         Digits, 2, "txtPinUse_F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ConditionCheck check = ValidateConditionScreen(Screen(c.setup));
        EXPECT_EQ(check.Message, c.message);
        EXPECT_EQ(check.Tab, c.tab);
        EXPECT_EQ(check.Focus, QLatin1String(c.focus));
        EXPECT_EQ(check.ok(), c.message.isEmpty());
    }
}
