#pragma once

#include "extract/ConditionRecord.h"

#include <QString>
#include <QStringList>

#include <array>

namespace plw {

// The 28 conditions of the condition screen, each a frame with an option group of the four
// kinds; indexes of the per-condition arrays of ConditionScreenState.
namespace Cond {
enum Id : int {
    KihKai,
    KihSei,
    KihHjm,
    KihZip,
    KihAdr,
    MisBan,
    TosTan,
    TosTuk,
    TosNen,
    TosBar,
    PinGen,
    PinLif,
    PinUse,
    PinRai,
    PinGak,
    PinJun,
    DmkHas,
    DmkHKs,
    DmkOsr,
    EmlHas,
    EmlHKs,
    EmlOsr,
    EmlSbt,
    KhMemo,
    Bun1,
    Bun2,
    Bun3,
    Bun4,
};
constexpr int Count = 28;
constexpr Id Bun(int level) {
    return static_cast<Id>(Bun1 + level - 1);
}
} // namespace Cond

// What every condition is on the screen: its option group (elements Name_1 to Name_4 select
// kinds "1" to "4"), the record field of its kind, and its tab of SSTab1.
struct ConditionControl {
    const char16_t* OptionGroup;
    int KindField;
    int Tab;
};

inline constexpr std::array<ConditionControl, Cond::Count> ConditionControls = {{
    {u"optKihKai", ConditionRecord::KihKaiKind, 0}, {u"optKihSeI", ConditionRecord::KihSeiKind, 0},
    {u"optKihHjm", ConditionRecord::KihHjmKind, 0}, {u"optKihZip", ConditionRecord::KihZipKind, 0},
    {u"optKihAdr", ConditionRecord::KihAdrKind, 0}, {u"optMisBan", ConditionRecord::MisBanKind, 0},
    {u"optTosTan", ConditionRecord::TosTanKind, 1}, {u"optTosTuk", ConditionRecord::TosTukKind, 1},
    {u"optTosNen", ConditionRecord::TosNenKind, 1}, {u"optTosBar", ConditionRecord::TosBarKind, 1},
    {u"optPinGen", ConditionRecord::PinGenKind, 2}, {u"optPinLif", ConditionRecord::PinLifKind, 2},
    {u"optPinUse", ConditionRecord::PinUseKind, 2}, {u"optPinRai", ConditionRecord::PinRaiKind, 2},
    {u"optPinGak", ConditionRecord::PinGakKind, 2}, {u"optPinJun", ConditionRecord::PinJunKind, 2},
    {u"optDmkHas", ConditionRecord::DmkHasKind, 3}, {u"optDmkHKs", ConditionRecord::DmkHKsKind, 3},
    {u"optDmkOSR", ConditionRecord::DmkOsrKind, 3}, {u"optEmlHas", ConditionRecord::EmlHasKind, 4},
    {u"optEmlHKs", ConditionRecord::EmlHKsKind, 4}, {u"optEmlOSR", ConditionRecord::EmlOsrKind, 4},
    {u"optEmlSbt", ConditionRecord::EmlSbtKind, 4}, {u"optKhmemo", ConditionRecord::KhMemoKind, 5},
    {u"optBun1", ConditionRecord::BunKind(1), 6},   {u"optBun2", ConditionRecord::BunKind(2), 6},
    {u"optBun3", ConditionRecord::BunKind(3), 6},   {u"optBun4", ConditionRecord::BunKind(4), 6},
}};

// The values and states of the condition screen's controls, which the Qt screen binds to.
// Dates are "YYYYMMDD" or "" for an empty date box; texts are as typed. Array index i of a
// control array holds element i + 1 (TosTuk[11] is chkTosTuk_12, BunSelected[1] is lstZok2).
struct ConditionScreenState {
    template <typename T> static constexpr std::array<T, Cond::Count> every(T value) {
        std::array<T, Cond::Count> values{};
        values.fill(value);
        return values;
    }

    // The selected option of each condition's group: 1 to 4 for kinds "1" to "4".
    std::array<int, Cond::Count> Kinds = every(1);
    // Whether the option group can be clicked ("P1" locks optPinRai, "DM" optDmkOSR, "EL"
    // optEmlOSR).
    std::array<bool, Cond::Count> KindEnabled = every(true);
    // Whether the condition's value controls are enabled, as the refresh set it: text and date
    // boxes, up-downs, sliders, Min/Max, date and list buttons, value options, check boxes and
    // lists. Disabled text and date boxes take DisabledBackground, enabled ones EnabledBackground.
    std::array<bool, Cond::Count> ValuesEnabled = every(false);

    // 基本情報
    QString KihKaiFrom;   // txtKihKai_F
    QString KihKaiTo;     // txtKihKai_T
    int KihSei = 1;       // optKihSeI_A: 1 "男", 2 "女"
    QString KihHjmFrom;   // imdSeiFR
    QString KihHjmTo;     // imdSeiTO
    QString KihHjmMonths; // txtKihHjm_X
    QString KihZip3;      // txtKihZip_A
    QString KihZip4;      // txtKihZip_B
    QString KihAdr;       // txtKihAdr_A
    QString MisBan;       // txtMisBan_A
    // 年齢情報
    QString TosTanFrom;            // imdTosTan_F
    QString TosTanTo;              // imdTosTan_T
    QString TosNenFrom;            // txtTosNen_F
    QString TosNenTo;              // txtTosNen_T
    std::array<bool, 12> TosTuk{}; // chkTosTuk_1 to chkTosTuk_12
    QString TosBar;                // imdTosBar_A: a whole date, of which month and day count
    // ポイント情報
    QString PinGenFrom;   // txtPinGen_F
    QString PinGenTo;     // txtPinGen_T
    QString PinLifFrom;   // txtPinLif_F
    QString PinLifTo;     // txtPinLif_T
    QString PinUseFrom;   // txtPinUse_F
    QString PinUseTo;     // txtPinUse_T
    QString PinRaiFrom;   // imdPinRai_F
    QString PinRaiTo;     // imdPinRai_T
    QString PinRaiMonths; // txtPinRai_X
    QString PinGakFrom;   // txtPinGak_F
    QString PinGakTo;     // txtPinGak_T
    QString PinJunFrom;   // txtPinJun_F
    QString PinJunTo;     // txtPinJun_T
    // ＤＭ情報
    QString DmkHasMonths; // txtDmkHas_A
    QString DmkHKsFrom;   // txtDmkHKs_F
    QString DmkHKsTo;     // txtDmkHKs_T
    int DmkOsr = 1;       // optDmkYNo: 1 "許諾の者", 2 "拒否の者"
    // メール情報
    QString EmlHasMonths; // txtEmlHas_A
    QString EmlHKsFrom;   // txtEmlHKs_F
    QString EmlHKsTo;     // txtEmlHKs_T
    int EmlOsr = 1; // optEmlYNo: 1 "許諾の者", 2 "拒否の者", 3 "メールアドレス誤りの者"
    std::array<bool, 3> EmlSbt{}; // chkEmlSbt_1 to _3: PC, mobile, unknown
    // 基本情報メモ欄
    QString KhMemo; // txtKhmemo_A
    // 分類情報, levels 1 to 4
    std::array<QString, 4> BunCaptions;                // frmBun1 to frmBun4: the level names
    std::array<QStringList, 4> BunItems;               // lstZok1 to lstZok4: "code:name"
    std::array<std::array<bool, 20>, 4> BunSelected{}; // selected items, up to 20 per list

    int CurrentTab = 0; // SSTab1
    // The control a message asked to focus ("" for none); the screen focuses it and clears it.
    QString Focus;
    QString CountLabel = QStringLiteral("件数"); // lblKen
    bool NoticeVisible = false;                  // picHelp9
    QString NoticeText;                          // lblHelp9
    bool DebugVisible = false;                   // cmdDebug
    QStringList SummaryLines;                    // List1

    static constexpr quint32 DisabledBackground = 0x80000018; // system colour 24, info background
    static constexpr quint32 EnabledBackground = 0xFFFFFF;
};

// A text box and the record field it stands for. Trimmed boxes are read through TrimAll.
struct ConditionTextControl {
    const char16_t* Name;
    QString ConditionScreenState::*Value;
    int Field;
    Cond::Id Owner;
    bool Trimmed = false;
};

// A date box and its record field; the birthday box holds only month and day in the record.
struct ConditionDateControl {
    const char16_t* Name;
    QString ConditionScreenState::*Value;
    int Field;
    Cond::Id Owner;
    bool MonthDay = false;
};

// The text and date boxes of the screen.
const std::array<ConditionTextControl, 27>& ConditionTextControls();
const std::array<ConditionDateControl, 7>& ConditionDateControls();

// The range conditions whose Min and Max buttons (cmd + name + "_F" / "_T") put fixed values
// into the lower and upper box.
struct ConditionRangeControl {
    Cond::Id Owner;
    QString ConditionScreenState::*From;
    QString ConditionScreenState::*To;
    int Minimum;
    int Maximum;
};

const std::array<ConditionRangeControl, 8>& ConditionRangeControls();

// Puts the record on the screen: each kind selects its option (an unknown kind selects
// "指定しない"), flags tick boxes and list items (items the list does not have stay unselected),
// dates that are no calendar date leave the box empty, the birthday becomes "1996" + MMDD.
void RecordToScreen(const ConditionRecord& record, ConditionScreenState& state);

// Reads the screen into the record: kinds "1" to "4", sex "1" for "男" else "2", consents,
// flags "1"/"0", dates as "YYYYMMDD" ("0" for an empty box), the birthday's MMDD, address and
// memo through TrimAll, classification flags from the list selections. The marker stays.
void ScreenToRecord(const ConditionScreenState& state, ConditionRecord& record);

} // namespace plw
