#pragma once

#include "screens/AnalysisScreen.h"

#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace plw {

class ConditionModule;
class ConditionPages;

// The detailed-condition screen "抽出条件の設定": seven tabs of conditions, each with its kind and
// values, bound to the condition module's screen state. Every change goes to the module's one
// dispatcher, whose refresh (enabled values, the caller's locks, the summary) is shown back;
// the buttons call the module's routines. The module shows and hides the screen; what needs the
// program (the count's databases and busy state, templates, help) comes through handlers.
class FRM_DMSentk1 final : public AnalysisScreen {
public:
    FRM_DMSentk1(const Environment& environment, Prompter& prompter, ConditionModule& module,
                 QWidget* parent = nullptr);
    ~FRM_DMSentk1() override;

    // Puts the module's screen state on the controls; a control a message asked for gets the
    // focus, its tab shown.
    void showState();
    // The mode the parameter screen opened the screen in: "設定", "前条件", "ＤＭ", "メール".
    void setModeCaption(const QString& caption);

    // "F1: 件数確認", "テンプレート機能" and "説明"; each button is enabled once its handler is
    // set.
    void setCountHandler(std::function<void()> handler);
    void setTemplateHandler(std::function<void()> handler);
    void setHelpHandler(std::function<void()> handler);

    // While the count yields, the screen takes no input (its messages can still be answered).
    void setBusy(bool busy);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTopLine();
    QWidget* buildBottomLine();
    void bindConditions();
    void bindOptions();
    void bindChecksAndLists();
    void bindSliderBoxes();
    void bindTextFields();
    void bindDateFields();
    void bindButtons();
    // Runs a routine of the module and shows the state it left.
    void act(const std::function<void()>& routine);
    // A control changed a value of the state: the dispatcher, then the refreshed state.
    void changed();
    void applyEnabled();
    void press(QPushButton* button);
    void clipDebugSql();

    ConditionModule& mModule;
    std::unique_ptr<ConditionPages> mPages;
    QTabWidget* mTabs = nullptr;
    QListWidget* mSummary = nullptr;
    QLabel* mCount = nullptr;
    QLabel* mMode = nullptr;
    QWidget* mNotice = nullptr;
    QLabel* mNoticeText = nullptr;
    QLabel* mCalendarHint = nullptr;
    QPushButton* mF1 = nullptr;
    QPushButton* mF12 = nullptr;
    QPushButton* mEsc = nullptr;
    QPushButton* mAllNone = nullptr;
    QPushButton* mTemplate = nullptr;
    QPushButton* mHelp = nullptr;
    QPushButton* mDebug = nullptr;
    std::function<void()> mCountHandler;
    std::function<void()> mTemplateHandler;
    std::function<void()> mHelpHandler;
    // Set while the controls are filled from the state: their change signals are not changes.
    bool mShowing = false;
    QPointer<QWidget> mFocusBeforeBusy;
};

} // namespace plw
