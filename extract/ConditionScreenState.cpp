#include "extract/ConditionScreenState.h"

#include "app/CommonRoutines.h"

#include <QDate>

namespace plw {
namespace {

using S = ConditionScreenState;
using R = ConditionRecord;

constexpr std::array<ConditionTextControl, 27> TextControls = {{
    {u"txtKihKai_F", &S::KihKaiFrom, R::KihKaiFrom, Cond::KihKai},
    {u"txtKihKai_T", &S::KihKaiTo, R::KihKaiTo, Cond::KihKai},
    {u"txtKihHjm_X", &S::KihHjmMonths, R::KihHjmMonths, Cond::KihHjm},
    {u"txtKihZip_A", &S::KihZip3, R::KihZip3, Cond::KihZip},
    {u"txtKihZip_B", &S::KihZip4, R::KihZip4, Cond::KihZip},
    {u"txtKihAdr_A", &S::KihAdr, R::KihAdrText, Cond::KihAdr, true},
    {u"txtMisBan_A", &S::MisBan, R::MisBanValue, Cond::MisBan},
    {u"txtTosNen_F", &S::TosNenFrom, R::TosNenFrom, Cond::TosNen},
    {u"txtTosNen_T", &S::TosNenTo, R::TosNenTo, Cond::TosNen},
    {u"txtPinGen_F", &S::PinGenFrom, R::PinGenFrom, Cond::PinGen},
    {u"txtPinGen_T", &S::PinGenTo, R::PinGenTo, Cond::PinGen},
    {u"txtPinLif_F", &S::PinLifFrom, R::PinLifFrom, Cond::PinLif},
    {u"txtPinLif_T", &S::PinLifTo, R::PinLifTo, Cond::PinLif},
    {u"txtPinUse_F", &S::PinUseFrom, R::PinUseFrom, Cond::PinUse},
    {u"txtPinUse_T", &S::PinUseTo, R::PinUseTo, Cond::PinUse},
    {u"txtPinRai_X", &S::PinRaiMonths, R::PinRaiMonths, Cond::PinRai},
    {u"txtPinGak_F", &S::PinGakFrom, R::PinGakFrom, Cond::PinGak},
    {u"txtPinGak_T", &S::PinGakTo, R::PinGakTo, Cond::PinGak},
    {u"txtPinJun_F", &S::PinJunFrom, R::PinJunFrom, Cond::PinJun},
    {u"txtPinJun_T", &S::PinJunTo, R::PinJunTo, Cond::PinJun},
    {u"txtDmkHas_A", &S::DmkHasMonths, R::DmkHasMonths, Cond::DmkHas},
    {u"txtDmkHKs_F", &S::DmkHKsFrom, R::DmkHKsFrom, Cond::DmkHKs},
    {u"txtDmkHKs_T", &S::DmkHKsTo, R::DmkHKsTo, Cond::DmkHKs},
    {u"txtEmlHas_A", &S::EmlHasMonths, R::EmlHasMonths, Cond::EmlHas},
    {u"txtEmlHKs_F", &S::EmlHKsFrom, R::EmlHKsFrom, Cond::EmlHKs},
    {u"txtEmlHKs_T", &S::EmlHKsTo, R::EmlHKsTo, Cond::EmlHKs},
    {u"txtKhmemo_A", &S::KhMemo, R::KhMemoText, Cond::KhMemo, true},
}};

constexpr std::array<ConditionDateControl, 7> DateControls = {{
    {u"imdSeiFR", &S::KihHjmFrom, R::KihHjmFrom, Cond::KihHjm},
    {u"imdSeiTO", &S::KihHjmTo, R::KihHjmTo, Cond::KihHjm},
    {u"imdTosTan_F", &S::TosTanFrom, R::TosTanFrom, Cond::TosTan},
    {u"imdTosTan_T", &S::TosTanTo, R::TosTanTo, Cond::TosTan},
    {u"imdTosBar_A", &S::TosBar, R::TosBarMmdd, Cond::TosBar, true},
    {u"imdPinRai_F", &S::PinRaiFrom, R::PinRaiFrom, Cond::PinRai},
    {u"imdPinRai_T", &S::PinRaiTo, R::PinRaiTo, Cond::PinRai},
}};

constexpr std::array<ConditionRangeControl, 8> RangeControls = {{
    {Cond::TosNen, &S::TosNenFrom, &S::TosNenTo, 1, 99},
    {Cond::PinUse, &S::PinUseFrom, &S::PinUseTo, 0, 99999},
    {Cond::PinGen, &S::PinGenFrom, &S::PinGenTo, 0, 99999},
    {Cond::PinGak, &S::PinGakFrom, &S::PinGakTo, 0, 99999},
    {Cond::PinJun, &S::PinJunFrom, &S::PinJunTo, 0, 99999},
    {Cond::PinLif, &S::PinLifFrom, &S::PinLifTo, 0, 999999},
    {Cond::DmkHKs, &S::DmkHKsFrom, &S::DmkHKsTo, 0, 999},
    {Cond::EmlHKs, &S::EmlHKsFrom, &S::EmlHKsTo, 0, 999},
}};

// The date a date box accepts: a real calendar date as eight digits, else an empty box.
QString DateBox(const QString& date) {
    const QString text = TrimAll(date);
    if (text.size() != 8 || !QDate::fromString(text, u"yyyyMMdd").isValid())
        return QString();
    return text;
}

bool Flag(const QString& value) {
    return TrimAll(value) == QLatin1String("1");
}

QString FlagText(bool set) {
    return set ? QStringLiteral("1") : QStringLiteral("0");
}

// The option 1..count whose number the value is, else option 1.
int Option(const QString& value, int count) {
    const QString text = TrimAll(value);
    for (int i = 1; i <= count; ++i)
        if (text == QString::number(i))
            return i;
    return 1;
}

} // namespace

const std::array<ConditionTextControl, 27>& ConditionTextControls() {
    return TextControls;
}
const std::array<ConditionDateControl, 7>& ConditionDateControls() {
    return DateControls;
}
const std::array<ConditionRangeControl, 8>& ConditionRangeControls() {
    return RangeControls;
}

void RecordToScreen(const ConditionRecord& record, ConditionScreenState& state) {
    for (int c = 0; c < Cond::Count; ++c)
        state.Kinds[c] = Option(record[ConditionControls[c].KindField], 4);
    for (const ConditionTextControl& control : TextControls)
        state.*control.Value = record[control.Field];
    for (const ConditionDateControl& control : DateControls) {
        const QString& value = record[control.Field];
        state.*control.Value =
            control.MonthDay
                ? (TrimAll(value).isEmpty() ? QString() : DateBox(QStringLiteral("1996") + value))
                : DateBox(value);
    }
    state.KihSei = Option(record[R::KihSeiValue], 2);
    state.DmkOsr = Option(record[R::DmkOsrValue], 2);
    state.EmlOsr = Option(record[R::EmlOsrValue], 3);
    for (int m = 1; m <= 12; ++m)
        state.TosTuk[m - 1] = Flag(record[R::TosTukMonth(m)]);
    for (int t = 0; t < 3; ++t)
        state.EmlSbt[t] = Flag(record[R::EmlSbtPc + t]);
    for (int level = 1; level <= 4; ++level) {
        const qsizetype items = state.BunItems[level - 1].size();
        for (int i = 0; i < ConditionRecord::BunItems; ++i)
            state.BunSelected[level - 1][i] = i < items && Flag(record[R::BunItem(level, i + 1)]);
    }
}

void ScreenToRecord(const ConditionScreenState& state, ConditionRecord& record) {
    for (int c = 0; c < Cond::Count; ++c)
        record[ConditionControls[c].KindField] = QString::number(state.Kinds[c]);
    for (const ConditionTextControl& control : TextControls) {
        const QString& value = state.*control.Value;
        record[control.Field] = control.Trimmed ? TrimAll(value) : value;
    }
    for (const ConditionDateControl& control : DateControls) {
        const QString& value = state.*control.Value;
        const QString number = value.isEmpty() ? QStringLiteral("0") : value;
        record[control.Field] = control.MonthDay ? number.mid(4, 4) : number;
    }
    record[R::KihSeiValue] = state.KihSei == 1 ? QStringLiteral("1") : QStringLiteral("2");
    record[R::DmkOsrValue] = QString::number(state.DmkOsr);
    record[R::EmlOsrValue] = QString::number(state.EmlOsr);
    for (int m = 1; m <= 12; ++m)
        record[R::TosTukMonth(m)] = FlagText(state.TosTuk[m - 1]);
    for (int t = 0; t < 3; ++t)
        record[R::EmlSbtPc + t] = FlagText(state.EmlSbt[t]);
    for (int level = 1; level <= 4; ++level) {
        const qsizetype items = state.BunItems[level - 1].size();
        for (int i = 0; i < ConditionRecord::BunItems; ++i)
            record[R::BunItem(level, i + 1)] =
                FlagText(i < items && state.BunSelected[level - 1][i]);
    }
}

} // namespace plw
