#pragma once

#include "rfm/PLWAN40_sgn.h"
#include "screens/AnalysisScreen.h"
#include "settings/CampaignConditions.h"
#include "settings/ParameterScreenState.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLayout;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace plw {

class Clock;
class DateField;
class GroupMatrixWidget;
class TextField;

// The parameter screen: the customer selection (last-visit range, condition summary), the
// optional detailed purchase period, the base date, the R, F and M thresholds and the group
// matrix. Its controls bind to a ParameterScreenState; the checks, the sample settings and the
// statistics preview are the libraries'. What leaves the screen (the next screen, the menu, the
// preview, a changed last-visit range) is reported through handlers.
class FRM_PLWAN401 final : public AnalysisScreen {
public:
    FRM_PLWAN401(const Environment& environment, Prompter& prompter, const Clock& clock,
                 QWidget* parent = nullptr);
    ~FRM_PLWAN401() override;

    // Fills every control from the state (no handler is called).
    void loadState(const ParameterScreenState& state);
    // The controls' values; GroupMatrix holds the letter each cell's colour stands for.
    ParameterScreenState state() const;

    // F12 after the screen and threshold checks passed: go on to FRM_PLWAN403.
    void setNextHandler(std::function<void()> handler) { mNext = std::move(handler); }
    // "ESC:メニューへ" and Esc.
    void setMenuHandler(std::function<void()> handler) { mMenu = std::move(handler); }
    // "各値を得る": runs the statistics preview into the labels; true when they hold values.
    using PreviewHandler = std::function<bool(PreviewLabels& labels)>;
    void setPreviewHandler(PreviewHandler handler);
    // imdPinRai_F or imdPinRai_T changed: from, to and the month count, for the conditions
    // (last-visit kind "3"), after which the caller puts the new summary in with
    // setConditionSummary.
    using LastVisitHandler =
        std::function<void(const QString& from, const QString& to, const QString& months)>;
    void setLastVisitHandler(LastVisitHandler handler) { mLastVisit = std::move(handler); }
    // "便利画面" (the threshold screen) and "他の視点から" (the viewpoint screen); each button
    // is enabled once its handler is set.
    void setThresholdScreenHandler(std::function<void()> handler);
    void setViewpointHandler(std::function<void()> handler);
    // "F5:分布と閾値" and F5, once the screen check passed: the window of the customers'
    // distributions; enabled once the handler is set.
    void setDistributionHandler(std::function<void()> handler);

    // "設    定" and "前条件に戻す": open the condition screen once the screen check passed. Each
    // button is enabled once its handler is set.
    void setConditionHandlers(std::function<void()> edit, std::function<void()> previous);
    // "テンプレート" of the group matrix (F01) and of the thresholds (F02).
    void setTemplateHandlers(std::function<void()> group, std::function<void()> thresholds);
    // "ＤＭ設定から取得" and "メール設定から取得", once the screen check passed: the operator
    // picks a campaign and its conditions are prepared (TakeCampaignConditions); nothing when
    // that was cancelled or failed. Both buttons are enabled once the handler is set.
    using CampaignHandler = std::function<std::optional<CampaignConditions>(
        CampaignSource source, const ParameterScreenState& screen)>;
    void setCampaignHandler(CampaignHandler handler);
    // The end of the campaign flow: open the condition screen on these conditions with this
    // mode caption ("ＤＭ", "メール"; a caption only, the caller is "P1"). The handler hides this
    // screen and keeps the current conditions for the condition screen's ESC.
    using ConditionScreenHandler =
        std::function<void(const QString& modeCaption, const ConditionRecord& conditions)>;
    void setConditionScreenHandler(ConditionScreenHandler handler) {
        mConditionScreen = std::move(handler);
    }
    // "説明": the explanatory document; enabled once the handler is set.
    void setExplanationHandler(std::function<void()> handler);

    // List1: the summary lines of the current extraction conditions.
    void setConditionSummary(const QStringList& lines);
    // The five result labels of "参考：上部抽出条件での各値".
    void showPreviewLabels(const PreviewLabels& labels);

    // Threshold fields R, F, M (index 0 is field 1), for the threshold screen's copy.
    void setThresholds(const std::array<QString, 5>& r, const std::array<QString, 5>& f,
                       const std::array<QString, 5>& m);

private:
    // The application-wide focus watch, let go before the screen's members are.
    QMetaObject::Connection mFocusWatch;
    QWidget* buildExtraction();
    QWidget* buildLastVisit();
    QWidget* buildDetailPeriod();
    QWidget* buildParameters();
    QLayout* buildBaseDate(QWidget* box);
    QLayout* buildThresholds(QWidget* box);
    QLayout* buildThresholdButtons(QWidget* box);
    QWidget* buildMatrix();
    QWidget* buildPreview();
    QWidget* buildBottomLine();
    void connectControls();

    void setQuickRange(int months, DateField* from, DateField* to);
    void setMonthCount(int months);
    void applyDetailEnabled(bool enabled);
    void selectPaintGroup(int option);
    void reportLastVisit();
    // Tells the operator about the first date field whose entry is no date; true when one was.
    bool refuseInvalidDates();
    // The screen check; a failure is shown and its field focused.
    bool checkScreen();
    void takeCampaign(CampaignSource source);
    void goNext();
    void preview();
    void failWith(const QString& message, const QString& focus);

    const Clock& mClock;
    std::function<void()> mNext;
    std::function<void()> mMenu;
    PreviewHandler mPreview;
    LastVisitHandler mLastVisit;
    std::function<void()> mThresholdScreen;
    std::function<void()> mViewpoint;
    std::function<void()> mDistribution;
    std::function<void()> mEditConditions;
    std::function<void()> mPreviousConditions;
    std::function<void()> mGroupTemplate;
    std::function<void()> mThresholdTemplate;
    CampaignHandler mCampaign;
    ConditionScreenHandler mConditionScreen;
    std::function<void()> mExplanation;
    bool mLoading = false;

    QListWidget* mList1 = nullptr;
    DateField* mLastVisitFrom = nullptr;
    DateField* mLastVisitTo = nullptr;
    TextField* mMonths = nullptr;
    QSlider* mMonthSlider = nullptr;
    QPushButton* mSetDate = nullptr;
    QCheckBox* mDetailOn = nullptr;
    QCheckBox* mFromDetail = nullptr;
    DateField* mDetailFrom = nullptr;
    DateField* mDetailTo = nullptr;
    std::array<QPushButton*, 5> mDetailButtons{};
    DateField* mBaseDate = nullptr;
    std::array<TextField*, 5> mR{};
    std::array<TextField*, 5> mF{};
    std::array<TextField*, 5> mM{};
    GroupMatrixWidget* mMatrix = nullptr;
    std::array<QRadioButton*, 6> mGroupOptions{};
    QPushButton* mNewButton = nullptr;
    QPushButton* mPreviousButton = nullptr;
    QPushButton* mGroupTemplateButton = nullptr;
    QPushButton* mThresholdTemplateButton = nullptr;
    QPushButton* mThresholdButton = nullptr;
    QPushButton* mViewpointButton = nullptr;
    QPushButton* mDistributionButton = nullptr;
    QPushButton* mDirectMailButton = nullptr;
    QPushButton* mMailButton = nullptr;
    QPushButton* mExplanationButton = nullptr;
    QPushButton* mPreviewButton = nullptr;
    QLabel* mSgnCnt = nullptr;
    QLabel* mSgnMax = nullptr;
    QLabel* mSgnMin = nullptr;
    QLabel* mSgnSum = nullptr;
    QLabel* mSgnAvg = nullptr;
    QLabel* mCalendarHint = nullptr;
    QPushButton* mEsc = nullptr;
    QPushButton* mF12 = nullptr;
};

} // namespace plw
