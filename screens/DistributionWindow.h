#pragma once

#include "rfm/RankDistribution.h"
#include "screens/AnalysisScreen.h"

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace plw {

struct ParameterScreenState;
class GroupMatrixWidget;
class HistogramWidget;
class TextField;

// The window "分布と閾値": the selected customers' figures of R, F and M as histograms with the
// four rank boundaries, each rank's customers and share beside its threshold, the group matrix
// with the customers of every cell and each group's customers and amount. Typing a threshold or
// painting a cell counts everything again at once. "均等に分ける" suggests thresholds for one
// dimension or all three. It works on a copy of the parameter screen's thresholds and matrix:
// "この閾値を使う" checks the thresholds as the parameter screen does and copies them and the
// matrix into the state; ESC and the close box go back without copying. Nothing is saved here.
class DistributionWindow final : public AnalysisScreen {
public:
    // Called once the window has hidden itself: copiedBack after "この閾値を使う".
    using ReturnHandler = std::function<void(bool copiedBack)>;

    DistributionWindow(const Environment& environment, Prompter& prompter,
                       ParameterScreenState& state, QWidget* parent = nullptr);
    ~DistributionWindow() override;

    void setReturnHandler(ReturnHandler handler) { mReturn = std::move(handler); }

    // Shows the customers' distribution with the state's thresholds, matrix and paint group.
    void open(RankDistribution distribution);

    // txtPrmR/F/M_index of this window, index 1 to 5; dimension 'R', 'F' or 'M'.
    TextField* thresholdField(char dimension, int index) const;
    GroupMatrixWidget* matrix() const { return mMatrix; }
    // The counts shown now.
    const RankCounts& counts() const { return mCounts; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Panel {
        QGroupBox* Box = nullptr;
        HistogramWidget* Histogram = nullptr;
        std::array<TextField*, 5> Fields{}; // index 0 is rank 1
        std::array<QLabel*, 5> Customers{}; // index 0 is rank 1
        std::array<QLabel*, 5> Shares{};
        QLabel* Note = nullptr;
    };

    QWidget* buildPanel(Dimension dimension);
    QWidget* buildMatrix();
    QWidget* buildBottomLine();
    Panel& panelOf(Dimension dimension) { return mPanels[static_cast<size_t>(dimension)]; }
    Thresholds thresholds(Dimension dimension) const;
    void setThresholds(Dimension dimension, const Thresholds& values);
    // Counts ranks and cells again and shows them with the groups.
    void recount();
    void showGroups();
    void splitEqually(Dimension dimension);
    void useThresholds();
    void goBack(bool copy);

    ParameterScreenState& mState;
    RankDistribution mDistribution;
    RankCounts mCounts;
    std::array<Panel, 3> mPanels;
    GroupMatrixWidget* mMatrix = nullptr;
    std::array<QRadioButton*, 6> mGroupOptions{};
    std::array<QLabel*, 6> mGroupCustomers{};
    std::array<QLabel*, 6> mGroupAmounts{};
    QLabel* mTotal = nullptr;
    QPushButton* mUse = nullptr;
    QPushButton* mEsc = nullptr;
    ReturnHandler mReturn;
    bool mLoading = false;
};

} // namespace plw
