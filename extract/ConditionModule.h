#pragma once

#include "extract/Classifications.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionScreenState.h"
#include "extract/ConditionSummary.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace plw {

class Clock;
class Prompter;
struct Environment;
struct ExtractionContext;

// The detailed-condition module: the working and backup condition records behind the condition
// screen, and the modes through which the rest of the program reads and sets them. The Qt screen
// binds its controls to Screen(), reports every change through Changed() and its buttons
// through the handlers below; messages go through the Prompter.
class ConditionModule {
public:
    // "JB" reads the classification table; all references must outlive the module.
    ConditionModule(const Environment& environment, const ClassificationTable& classifications,
                    Prompter& prompter, const Clock& clock);

    // What Run does with the record (the suite's mode codes in brackets).
    enum class Mode {
        Prepare,     // "JB": read the classification names (once, before anything else)
        Clear,       // "CL": clear the record for the caller
        Get,         // "GT": the screen's conditions into the record
        Set,         // "SR": the record onto the screen
        SetAndShow,  // "YS": the record onto the screen, which is then shown
        LoadAndShow, // any other code: the screen's last conditions from CtyuGet.PRM, shown
    };
    void Run(Mode mode, ConditionCaller caller, ConditionRecord& record);

    // The lines of the condition summary list (List1), separator lines included, of the working
    // record.
    QStringList SummaryLines() const;
    // The summary rows of the working record, for the workbook's condition sheet.
    QList<ConditionSummaryRow> SummaryRows() const;

    ConditionScreenState& Screen() { return mScreen; }
    const ConditionScreenState& Screen() const { return mScreen; }
    const ConditionRecord& Working() const { return mWorking; }
    // The classification table the module was made with.
    const ClassificationTable& Classifications() const { return mClassifications; }
    const ConditionRecord& Backup() const { return mBackup; }
    ConditionCaller Caller() const { return mCaller; }
    // Set while the module fills the screen or refreshes it; changes reported meanwhile are its
    // own and do nothing.
    bool Busy() const { return mBusy; }
    // Whether the module has asked for the screen to be shown (and not hidden since).
    bool Visible() const { return mVisible; }

    // Requests to the windows; any may be left empty. Finished tells the parameter screen that
    // the condition screen closed: true after F12 (it fetches the conditions with "GT"), false
    // after ESC.
    std::function<void()> ShowScreen;
    std::function<void()> HideScreen;
    // The screen state changed before a message that follows in the same routine (the count
    // before it is told): the screen shows it behind the message.
    std::function<void()> ScreenChanged;
    std::function<void(bool confirmed)> Finished;

    // The change dispatcher: any option, check, list, date or text change of the screen empties
    // lblKen and refreshes, unless the module is busy.
    void Changed();
    // Leaving txtKihKai_F, txtKihKai_T (seven digits, a value of 0 stays) or txtMisBan_A (four
    // digits): a number gets its leading zeros.
    void LeaveField(const QString& controlName);
    // The Min (lower box) or Max (upper box) button of a range condition.
    void SetMinimum(Cond::Id condition);
    void SetMaximum(Cond::Id condition);
    // A preset button (cmdA0 ... cmdD0, cmdSetA ... cmdSetD): the lower date becomes the first
    // of the month n months back, the upper date today. False for an unknown name.
    bool DatePreset(const QString& buttonName);
    // "日付設定" of 初回来店日 (Cond::KihHjm) or 最終来店日 (Cond::PinRai): the upper date becomes
    // the lower date plus the months of the months box.
    void DateSetting(Cond::Id condition);
    void Today();       // "本日"
    void Tomorrow();    // "明日"
    void ClearMonths(); // "クリア"
    // "全チェック" / "全チェック解除" of classification level 1 to 4.
    void SelectAllEntries(int level);
    void DeselectAllEntries(int level);
    // "全て指定しないに", after the operator's confirmation.
    void AllToNone();

    // The checks of F1 and F12; a failure is shown, its tab selected and its control focused.
    bool Validate();
    // F1: validate, count the customers of the conditions (holding the work-folder lock), show
    // the count in lblKen and tell it. False when a check, the lock or the database failed; the
    // failure has been reported.
    bool Count(ExtractionContext& context);
    // F12: validate, hide, read the screen, write CtyuGet.PRM, tell the parameter screen.
    bool Confirm();
    // ESC: back to the record the module was entered with, hide, tell the parameter screen.
    void Cancel();

    // The template functions: the record to save, and a record loaded from a template, put on
    // the screen with the caller's own consent and last-visit settings kept.
    ConditionRecord TemplateRecord();
    void LoadTemplate(const ConditionRecord& fromTemplate);

    // "DEBUG_SQLクリップ": the clipboard text of both clauses built from the screen; once the
    // screen has put it on the clipboard, ReportClipped tells the operator.
    QString DebugSqlText();
    void ReportClipped();

private:
    void Prepare();
    void SetScreen();
    void Refresh();
    void ReadScreen();
    void Show();
    void Hide();

    const Environment& mEnvironment;
    const ClassificationTable& mClassifications;
    Prompter& mPrompter;
    const Clock& mClock;

    ConditionRecord mWorking;
    ConditionRecord mBackup;
    ConditionCaller mCaller = ConditionCaller::None;
    bool mBusy = false;
    bool mVisible = false;
    ClassificationNames mNames;
    ConditionScreenState mScreen;
};

// lblKen after a count: "該当 " + the count as "##,##0" in full-width characters + " 人".
QString CountLabelText(qint64 count);

} // namespace plw
