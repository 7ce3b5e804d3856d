#include "extract/ConditionValidation.h"

#include "app/CommonRoutines.h"

namespace plw {
namespace {

const QString Required = QStringLiteral("指定してください");
const QString AtLeastOne = QStringLiteral("１つは指定してください");
const QString DigitsOnly = QStringLiteral("数字以外は指定できません(マイナスも指定できません)");
const QString MailTypeWithoutConsent =
    QStringLiteral("メール送信許諾が　指定しない　の場合は指定できません");

bool DigitsOrEmpty(const QString& text) {
    for (QChar c : TrimBlanks(text))
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Runs the checks condition by condition; the first failure is kept and the rest skipped.
class Checker {
public:
    explicit Checker(const ConditionScreenState& state) : mState(state) {}

    const ConditionCheck& result() const { return mResult; }

    // Whether the condition takes part (kind not "1") and nothing has failed yet.
    bool on(Cond::Id condition) {
        mCondition = condition;
        return mResult.ok() && mState.Kinds[condition] != 1;
    }

    void fail(const QString& message, const QString& focus) {
        if (!mResult.ok())
            return;
        mResult.Message = message;
        mResult.Tab = ConditionControls[mCondition].Tab;
        mResult.Focus = focus;
    }

    void range(const QString& from, const QString& to, const char16_t* focus) {
        const QString message = CheckRange(from, to);
        if (!message.isEmpty())
            fail(message, QString::fromUtf16(focus));
    }

    // A box that is disabled passes, as does an empty one.
    void digits(const QString& text, const char16_t* focus) {
        if (mState.ValuesEnabled[mCondition] && !DigitsOrEmpty(text))
            fail(DigitsOnly, QString::fromUtf16(focus));
    }

    void required(const QString& text, const char16_t* focus) {
        if (TrimBlanks(text).isEmpty())
            fail(Required, QString::fromUtf16(focus));
    }

    // Range, then each bound digits only: txt + name + "_F" / "_T".
    void numberRange(Cond::Id condition, const QString& from, const QString& to,
                     const char16_t* fromName, const char16_t* toName) {
        if (!on(condition))
            return;
        range(from, to, fromName);
        digits(from, fromName);
        digits(to, toName);
    }

private:
    const ConditionScreenState& mState;
    ConditionCheck mResult;
    Cond::Id mCondition = Cond::KihKai;
};

int FirstTicked(const auto& boxes) {
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i])
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace

ConditionCheck ValidateConditionScreen(const ConditionScreenState& s) {
    Checker c(s);
    c.numberRange(Cond::KihKai, s.KihKaiFrom, s.KihKaiTo, u"txtKihKai_F", u"txtKihKai_T");
    if (c.on(Cond::KihHjm))
        c.range(s.KihHjmFrom, s.KihHjmTo, u"imdSeiFR");
    if (c.on(Cond::KihZip)) {
        if (TrimBlanks(s.KihZip3).isEmpty() && TrimBlanks(s.KihZip4).isEmpty())
            c.fail(Required, QStringLiteral("txtKihZip_A"));
        c.digits(s.KihZip3, u"txtKihZip_A");
        c.digits(s.KihZip4, u"txtKihZip_B");
    }
    if (c.on(Cond::KihAdr) && TrimAll(s.KihAdr).isEmpty())
        c.fail(Required, QStringLiteral("txtKihAdr_A"));
    if (c.on(Cond::MisBan)) {
        c.required(s.MisBan, u"txtMisBan_A");
        c.digits(s.MisBan, u"txtMisBan_A");
    }
    if (c.on(Cond::TosTan))
        c.range(s.TosTanFrom, s.TosTanTo, u"imdTosTan_F");
    if (c.on(Cond::TosTuk) && FirstTicked(s.TosTuk) == 0)
        c.fail(AtLeastOne, QStringLiteral("chkTosTuk_1"));
    if (c.on(Cond::TosBar))
        c.required(s.TosBar, u"imdTosBar_A");
    c.numberRange(Cond::TosNen, s.TosNenFrom, s.TosNenTo, u"txtTosNen_F", u"txtTosNen_T");
    c.numberRange(Cond::PinGen, s.PinGenFrom, s.PinGenTo, u"txtPinGen_F", u"txtPinGen_T");
    c.numberRange(Cond::PinLif, s.PinLifFrom, s.PinLifTo, u"txtPinLif_F", u"txtPinLif_T");
    c.numberRange(Cond::PinUse, s.PinUseFrom, s.PinUseTo, u"txtPinUse_F", u"txtPinUse_T");
    if (c.on(Cond::PinRai))
        c.range(s.PinRaiFrom, s.PinRaiTo, u"imdPinRai_F");
    c.numberRange(Cond::PinGak, s.PinGakFrom, s.PinGakTo, u"txtPinGak_F", u"txtPinGak_T");
    c.numberRange(Cond::PinJun, s.PinJunFrom, s.PinJunTo, u"txtPinJun_F", u"txtPinJun_T");
    if (c.on(Cond::DmkHas)) {
        c.required(s.DmkHasMonths, u"txtDmkHas_A");
        c.digits(s.DmkHasMonths, u"txtDmkHas_A");
    }
    c.numberRange(Cond::DmkHKs, s.DmkHKsFrom, s.DmkHKsTo, u"txtDmkHKs_F", u"txtDmkHKs_T");
    if (c.on(Cond::EmlHas)) {
        c.required(s.EmlHasMonths, u"txtEmlHas_A");
        c.digits(s.EmlHasMonths, u"txtEmlHas_A");
    }
    c.numberRange(Cond::EmlHKs, s.EmlHKsFrom, s.EmlHKsTo, u"txtEmlHKs_F", u"txtEmlHKs_T");
    if (c.on(Cond::EmlSbt)) {
        const int first = FirstTicked(s.EmlSbt);
        if (first == 0)
            c.fail(AtLeastOne, QStringLiteral("chkEmlSbt_1"));
        else if (s.Kinds[Cond::EmlOsr] == 1)
            c.fail(MailTypeWithoutConsent, QStringLiteral("chkEmlSbt_%1").arg(first));
    }
    if (c.on(Cond::KhMemo) && TrimAll(s.KhMemo).isEmpty())
        c.fail(Required, QStringLiteral("txtKhmemo_A"));
    for (int level = 1; level <= 4; ++level) {
        const auto& selected = s.BunSelected[level - 1];
        const qsizetype items = s.BunItems[level - 1].size();
        bool any = false;
        for (qsizetype i = 0; i < items && i < static_cast<qsizetype>(selected.size()); ++i)
            any = any || selected[static_cast<size_t>(i)];
        if (c.on(Cond::Bun(level)) && !any)
            c.fail(s.BunCaptions[level - 1] + QStringLiteral("の") +
                       QStringLiteral("項目を１つ以上してください"),
                   QStringLiteral("lstZok%1").arg(level));
    }
    return c.result();
}

} // namespace plw
