#pragma once

#include "rfm/AnalysisRun.h"
#include "rfm/GroupHistory.h"
#include "screens/AnalysisScreen.h"
#include "settings/OutputScreenState.h"

#include <QDate>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLayout;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace plw {

class SaveFileDialog;
class TextField;

// The output-settings screen: the sheets of the workbook, the chart types of the group-value
// sheet, the columns, order and groups of the customer list, the workbook name, the kept run to
// compare with ("前回との比較") and the mailing list ("宛名リストを出力"). Its controls
// are bound to an OutputScreenState; "F12:Excel出力" stores them there and calls the execute
// handler (the program's ExecuteAnalysis), "ESC:前画面" stores them and goes back.
class FRM_PLWAN403 final : public AnalysisScreen {
public:
    using ExecuteHandler = std::function<AnalysisResult()>;
    using BackHandler = std::function<void()>;

    // outputItems: the master list of customer-list columns, in order. The controls are loaded
    // from state at once.
    FRM_PLWAN403(const Environment& environment, Prompter& prompter, OutputScreenState& state,
                 const QStringList& outputItems, SaveFileDialog& saveDialog,
                 QWidget* parent = nullptr);

    // Called by F12 after the controls are stored; the result's Focus names the control to
    // focus after a failed check. The workbook name is shown again from the state afterwards,
    // since the check completes it in place.
    void setExecuteHandler(ExecuteHandler handler) { mExecute = std::move(handler); }
    // Called by Esc (and the close box) after the screen has hidden itself: show the parameter
    // screen.
    void setBackHandler(BackHandler handler) { mBack = std::move(handler); }

    // The group history as read (its kept runs, newest base date first, or why there are none)
    // for a run of baseDate; loadState shows the choices it gives.
    void setHistory(HistoryRead history, const QDate& baseDate);

    // Controls := state, and state := controls.
    void loadState();
    void storeState();
    OutputScreenState& state() const { return mState; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildOutputChoices(QWidget* area);
    QLayout* buildChartChoices(QWidget* area);
    QWidget* buildCustomerList(QWidget* area);
    QWidget* buildListOrder(QWidget* listBox);
    QWidget* buildListGroups(QWidget* listBox);
    QWidget* buildWorkbookName(QWidget* area);
    QLayout* buildBottomLine(QWidget* area);
    void tickAllOutputs(bool on);
    void tickAllGroups(bool on);
    void chooseChart(QRadioButton* option);
    void moveToUnneeded();
    void moveToOutput();
    void unneedAll();
    void outputAll();
    void rebuildOutputList();
    void showLists(const QStringList& unneeded);
    void browseWorkbook();
    QWidget* buildComparison(QWidget* area);
    QWidget* buildMailing(QWidget* area);
    void showComparisonChoices();
    void browseMailingList();
    void execute();
    void goBack();

    OutputScreenState& mState;
    QStringList mOutputItems;
    SaveFileDialog& mSaveDialog;
    ExecuteHandler mExecute;
    BackHandler mBack;

    std::array<QCheckBox*, 9> mOutputs{}; // chkP10 .. chkP51
    std::array<QRadioButton*, 3> mLeftCharts{};
    std::array<QRadioButton*, 6> mRightCharts{};
    std::array<QRadioButton*, 3> mOrders{};
    std::array<QCheckBox*, 6> mGroups{}; // chkGrp_A .. chkGrp_E, chkGrp_X
    QButtonGroup* mLeftChartGroup = nullptr;
    QButtonGroup* mRightChartGroup = nullptr;
    QButtonGroup* mOrderGroup = nullptr;
    QListWidget* mList2 = nullptr;
    QListWidget* mList3 = nullptr;
    TextField* mWorkbookName = nullptr;
    QPushButton* mF9 = nullptr;
    QPushButton* mF12 = nullptr;
    QPushButton* mEsc = nullptr;

    HistoryRead mKept;
    QDate mBaseDate;
    std::vector<ComparisonChoice> mChoices;  // the combo's items in order
    QComboBox* mHistory = nullptr;           // cboHistory
    QGroupBox* mMailing = nullptr;           // chkMailList, checkable
    std::array<QCheckBox*, 6> mMailGroups{}; // chkMail_A .. chkMail_E, chkMail_X
    QRadioButton* mMailDirect = nullptr;     // optMailDM
    QRadioButton* mMailMail = nullptr;       // optMailMail
    TextField* mMailFile = nullptr;          // txtMailFname
    QPushButton* mMailBrowse = nullptr;      // cmdMailRef
};

} // namespace plw
