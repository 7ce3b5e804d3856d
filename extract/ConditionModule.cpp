#include "extract/ConditionModule.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/Prompter.h"
#include "app/ScreenDates.h"
#include "db/Database.h"
#include "db/WorkTablesLock.h"
#include "extract/ConditionSql.h"
#include "extract/ConditionValidation.h"
#include "extract/ExtractCustomers.h"

namespace plw {
namespace {

using R = ConditionRecord;

struct DatePresetButton {
    const char16_t* Name;
    Cond::Id Owner;
    int MonthsBack;
};

constexpr std::array<DatePresetButton, 10> DatePresets = {{
    {u"cmdA0", Cond::KihHjm, 0},
    {u"cmdAA", Cond::KihHjm, 1},
    {u"cmdB0", Cond::KihHjm, 2},
    {u"cmdC0", Cond::KihHjm, 6},
    {u"cmdD0", Cond::KihHjm, 12},
    {u"cmdSetA", Cond::PinRai, 0},
    {u"cmdSetA1", Cond::PinRai, 1},
    {u"cmdSetB", Cond::PinRai, 2},
    {u"cmdSetD", Cond::PinRai, 6},
    {u"cmdSetC", Cond::PinRai, 12},
}};

} // namespace

ConditionModule::ConditionModule(const Environment& environment,
                                 const ClassificationTable& classifications, Prompter& prompter,
                                 const Clock& clock)
    : mEnvironment(environment), mClassifications(classifications), mPrompter(prompter),
      mClock(clock), mWorking(ClearedConditionRecord()), mBackup(mWorking) {
    SetScreen();
    Refresh();
}

void ConditionModule::Run(Mode mode, ConditionCaller caller, ConditionRecord& record) {
    if (mode == Mode::Prepare) {
        Prepare();
        return;
    }
    mBackup = mWorking;
    mCaller = caller;
    mScreen.CountLabel.clear();
    mScreen.DebugVisible = mEnvironment.DebugMode == 1;
    mScreen.NoticeVisible =
        caller == ConditionCaller::DirectMail || caller == ConditionCaller::Mail;
    mScreen.NoticeText = caller == ConditionCaller::DirectMail
                             ? QStringLiteral("ＤＭを拒否している人は対象になりません")
                         : caller == ConditionCaller::Mail
                             ? QStringLiteral("メールを拒否している人は対象になりません")
                             : QString();

    if (mode == Mode::Clear) {
        ClearConditionRecord(record, caller);
    } else if (mode == Mode::Get) {
        ReadScreen();
        record = mWorking;
    } else if (mode == Mode::Set) {
        mWorking = record;
        SetScreen();
    } else if (mode == Mode::SetAndShow) {
        mScreen.SummaryLines.clear();
        mWorking = record;
        SetScreen();
        Refresh();
        Show();
    } else {
        mScreen.SummaryLines.clear();
        const StoredFileRead read = ReadConditionFile(mEnvironment.ConditionScreenPath, mWorking);
        if (!read)
            ClearConditionRecord(mWorking, caller);
        if (read.damaged())
            mPrompter.show(KeepDamagedFile(mEnvironment.ConditionScreenPath,
                                           QStringLiteral("抽出条件の設定画面の保存内容"), read,
                                           QStringLiteral("条件を指定しない状態で始めます。")),
                           MessageIcon::Exclamation);
        SetScreen();
        Refresh();
        Show();
    }
}

QList<ConditionSummaryRow> ConditionModule::SummaryRows() const {
    return BuildConditionSummary(mWorking, mNames.Levels);
}

QStringList ConditionModule::SummaryLines() const {
    return ConditionSummaryLines(SummaryRows(), mNames);
}

void ConditionModule::Prepare() {
    mNames = ClassificationNames::FromTable(mClassifications);
    for (int level = 1; level <= ClassificationLevels; ++level) {
        mScreen.BunCaptions[level - 1] = LevelName(mClassifications, level);
        mScreen.BunItems[level - 1] = level <= mClassifications.size()
                                          ? mClassifications[level - 1].ListItems()
                                          : QStringList();
        mScreen.BunSelected[level - 1].fill(false);
    }
}

void ConditionModule::SetScreen() {
    const bool wasBusy = std::exchange(mBusy, true);
    RepairConditionRecord(mWorking, mCaller);
    RecordToScreen(mWorking, mScreen);
    mBusy = wasBusy;
}

void ConditionModule::Refresh() {
    const bool wasBusy = std::exchange(mBusy, true);
    for (int c = 0; c < Cond::Count; ++c) {
        mScreen.KindEnabled[c] = true;
        mScreen.ValuesEnabled[c] = mScreen.Kinds[c] != 1;
    }
    auto lock = [this](Cond::Id c) {
        mScreen.KindEnabled[c] = false;
        mScreen.ValuesEnabled[c] = false;
    };
    // The caller owns these conditions: the consent of its own campaign, or, for the analysis,
    // the last-visit period the parameter screen sets.
    if (mCaller == ConditionCaller::DirectMail)
        lock(Cond::DmkOsr);
    else if (mCaller == ConditionCaller::Mail)
        lock(Cond::EmlOsr);
    else if (mCaller == ConditionCaller::Analysis)
        lock(Cond::PinRai);
    ReadScreen();
    mScreen.SummaryLines = SummaryLines();
    mBusy = wasBusy;
}

void ConditionModule::ReadScreen() {
    ScreenToRecord(mScreen, mWorking);
}

void ConditionModule::Show() {
    mVisible = true;
    if (ShowScreen)
        ShowScreen();
}

void ConditionModule::Hide() {
    mVisible = false;
    if (HideScreen)
        HideScreen();
}

void ConditionModule::Changed() {
    if (mBusy)
        return;
    mScreen.CountLabel.clear();
    Refresh();
}

void ConditionModule::LeaveField(const QString& controlName) {
    QString* text = nullptr;
    int width = 0;
    bool zeroStays = true;
    if (controlName == QLatin1String("txtKihKai_F")) {
        text = &mScreen.KihKaiFrom;
        width = 7;
    } else if (controlName == QLatin1String("txtKihKai_T")) {
        text = &mScreen.KihKaiTo;
        width = 7;
    } else if (controlName == QLatin1String("txtMisBan_A")) {
        text = &mScreen.MisBan;
        width = 4;
        zeroStays = false;
    } else {
        return;
    }
    // Only a number is formatted; other text stays for the validation to refuse.
    QString digits = TrimBlanks(*text);
    if (digits.isEmpty())
        return;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return;
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    if (digits == QLatin1String("0") && zeroStays)
        return;
    const QString formatted = digits.rightJustified(width, QLatin1Char('0'));
    if (formatted == *text)
        return;
    *text = formatted;
    Changed();
}

void ConditionModule::SetMinimum(Cond::Id condition) {
    for (const ConditionRangeControl& range : ConditionRangeControls())
        if (range.Owner == condition && mScreen.ValuesEnabled[condition]) {
            mScreen.*range.From = QString::number(range.Minimum);
            Changed();
        }
}

void ConditionModule::SetMaximum(Cond::Id condition) {
    for (const ConditionRangeControl& range : ConditionRangeControls())
        if (range.Owner == condition && mScreen.ValuesEnabled[condition]) {
            mScreen.*range.To = QString::number(range.Maximum);
            Changed();
        }
}

bool ConditionModule::DatePreset(const QString& buttonName) {
    for (const DatePresetButton& preset : DatePresets) {
        if (buttonName != QString::fromUtf16(preset.Name))
            continue;
        if (!mScreen.ValuesEnabled[preset.Owner])
            return true;
        const bool first = preset.Owner == Cond::KihHjm;
        PeriodFromMonths(-preset.MonthsBack, mClock,
                         first ? mScreen.KihHjmFrom : mScreen.PinRaiFrom,
                         first ? mScreen.KihHjmTo : mScreen.PinRaiTo);
        Changed();
        return true;
    }
    return false;
}

void ConditionModule::DateSetting(Cond::Id condition) {
    if ((condition != Cond::KihHjm && condition != Cond::PinRai) ||
        !mScreen.ValuesEnabled[condition])
        return;
    const bool first = condition == Cond::KihHjm;
    const QString& from = first ? mScreen.KihHjmFrom : mScreen.PinRaiFrom;
    const QString& months = first ? mScreen.KihHjmMonths : mScreen.PinRaiMonths;
    const QString required = QStringLiteral("指定してください");
    if (from.isEmpty()) {
        mPrompter.show(required, MessageIcon::Critical);
        mScreen.Focus = first ? QStringLiteral("imdSeiFR") : QStringLiteral("imdPinRai_F");
        return;
    }
    const int n = ToInteger(months);
    if (n < 1) {
        mPrompter.show(required, MessageIcon::Critical);
        mScreen.Focus = first ? QStringLiteral("txtKihHjm_X") : QStringLiteral("txtPinRai_X");
        return;
    }
    (first ? mScreen.KihHjmTo : mScreen.PinRaiTo) = DatePlusMonths(from, n);
    Changed();
}

void ConditionModule::Today() {
    if (!mScreen.ValuesEnabled[Cond::TosBar])
        return;
    mScreen.TosBar = mClock.today().toString(u"yyyyMMdd");
    Changed();
}

void ConditionModule::Tomorrow() {
    if (!mScreen.ValuesEnabled[Cond::TosBar])
        return;
    mScreen.TosBar = mClock.today().addDays(1).toString(u"yyyyMMdd");
    Changed();
}

void ConditionModule::ClearMonths() {
    if (!mScreen.ValuesEnabled[Cond::TosTuk])
        return;
    mScreen.TosTuk.fill(false);
    Changed();
}

void ConditionModule::SelectAllEntries(int level) {
    if (level < 1 || level > ClassificationLevels || !mScreen.ValuesEnabled[Cond::Bun(level)])
        return;
    auto& selected = mScreen.BunSelected[level - 1];
    for (qsizetype i = 0; i < mScreen.BunItems[level - 1].size() && i < R::BunItems; ++i)
        selected[static_cast<size_t>(i)] = true;
    Changed();
}

void ConditionModule::DeselectAllEntries(int level) {
    if (level < 1 || level > ClassificationLevels || !mScreen.ValuesEnabled[Cond::Bun(level)])
        return;
    mScreen.BunSelected[level - 1].fill(false);
    Changed();
}

void ConditionModule::AllToNone() {
    if (mPrompter.show(QStringLiteral("すべてを指定しないにしてもよろしいですか？"),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    for (int c = 0; c < Cond::Count; ++c)
        if (c != Cond::PinRai || mCaller != ConditionCaller::Analysis)
            mScreen.Kinds[c] = 1;
    if (mCaller == ConditionCaller::DirectMail)
        mScreen.Kinds[Cond::DmkOsr] = 3;
    else if (mCaller == ConditionCaller::Mail)
        mScreen.Kinds[Cond::EmlOsr] = 3;
    Changed();
}

bool ConditionModule::Validate() {
    const ConditionCheck check = ValidateConditionScreen(mScreen);
    if (check.ok())
        return true;
    mPrompter.show(check.Message, MessageIcon::Critical);
    mScreen.CurrentTab = check.Tab;
    mScreen.Focus = check.Focus;
    return false;
}

bool ConditionModule::Count(ExtractionContext& context) {
    if (!Validate())
        return false;
    // Counting fills the work tables, which a running analysis must not share.
    const db::WorkTablesLock lock(mEnvironment.WorkFolder, context.Transaction);
    if (!lock.held()) {
        mPrompter.show(lock.message(), MessageIcon::Critical);
        return false;
    }
    ReadScreen();
    ExtractionContext run = context;
    if (mCaller != ConditionCaller::None)
        run.Caller = mCaller;
    ExtractionResult result;
    try {
        result = ExtractCustomers(run, ExtractionMode::Count, mWorking, QString());
    } catch (const db::DatabaseError& error) {
        mPrompter.show(error.message(), MessageIcon::Critical);
        return false;
    }
    mScreen.CountLabel = CountLabelText(result.Count);
    if (ScreenChanged)
        ScreenChanged();
    mPrompter.show(QStringLiteral("該当お客様数は、\r") + mScreen.CountLabel +
                       QStringLiteral("\rです。"),
                   MessageIcon::Information);
    return true;
}

bool ConditionModule::Confirm() {
    if (!Validate())
        return false;
    Hide();
    ReadScreen();
    QString error;
    if (!WriteConditionFile(mEnvironment.ConditionScreenPath, mWorking, &error))
        mPrompter.show(QStringLiteral("抽出条件を CtyuGet.PRM に保存できませんでした。\r") + error,
                       MessageIcon::Critical);
    if (Finished)
        Finished(true);
    return true;
}

void ConditionModule::Cancel() {
    mWorking = mBackup;
    SetScreen();
    mScreen.CountLabel.clear();
    Hide();
    if (Finished)
        Finished(false);
}

ConditionRecord ConditionModule::TemplateRecord() {
    ReadScreen();
    return mWorking;
}

void ConditionModule::LoadTemplate(const ConditionRecord& fromTemplate) {
    mWorking = fromTemplate;
    // Repaired first, so that a template the screen cannot show still leaves the caller's own
    // conditions in place.
    RepairConditionRecord(mWorking, mCaller);
    if (mCaller == ConditionCaller::DirectMail) {
        mWorking[R::DmkOsrKind] = ConditionKind::KindAnd;
        mWorking[R::DmkOsrValue] = QStringLiteral("1");
    } else if (mCaller == ConditionCaller::Mail) {
        mWorking[R::EmlOsrKind] = ConditionKind::KindAnd;
        mWorking[R::EmlOsrValue] = QStringLiteral("1");
    } else if (mCaller == ConditionCaller::Analysis) {
        // The analysis keeps the template's mail-consent kind: an "and" forced here would
        // narrow it to the customers who accepted mail, which nobody asked for.
        for (int field = R::PinRaiKind; field <= R::PinRaiMonths; ++field)
            mWorking[field] = mBackup[field];
    }
    SetScreen();
    Changed();
    Hide();
    Show();
}

QString ConditionModule::DebugSqlText() {
    ReadScreen();
    const ConditionSql sql = BuildConditionSql(mWorking, mClock);
    return QStringLiteral("抽出１\n") + sql.Selection + QStringLiteral("\n抽出2(FOR DELETE)\n") +
           sql.Exclusion;
}

void ConditionModule::ReportClipped() {
    mPrompter.show(QStringLiteral("クリップしました"));
}

QString CountLabelText(qint64 count) {
    return QStringLiteral("該当 ") + ToFullWidth(FormatNumber(count, QStringLiteral("##,##0"))) +
           QStringLiteral(" 人");
}

} // namespace plw
