#pragma once

#include "screens/AnalysisScreen.h"
#include "screens/GroupMatrixWidget.h"

#include <array>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QPushButton;

namespace plw {

struct ParameterScreenState;

// The viewpoint screen: the group matrix three times, arranged around R (lblR54321), F
// (lblF54321) and M (lblM54321). Painting a cell in any of them paints the cell of the same code
// in the other two. It works on a copy: open() copies the matrix and the selected group option
// in, F12 copies them back into the state, the close box returns without copying.
class FRM_PLWAN402 final : public AnalysisScreen {
public:
    // Called when the screen goes back to the parameter screen, after it has hidden itself:
    // copiedBack is true after F12 (the state holds the matrix), false after the close box.
    using ReturnHandler = std::function<void(bool copiedBack)>;

    FRM_PLWAN402(const Environment& environment, Prompter& prompter, ParameterScreenState& state,
                 QWidget* parent = nullptr);

    void setReturnHandler(ReturnHandler handler) { mReturn = std::move(handler); }

    // Copies the 125 cells and the selected group option from the state and shows the screen.
    void open();

    GroupMatrixWidget* view(GroupMatrixWidget::Arrangement arrangement) const;
    // lblGrp_A .. lblGrp_E, lblGrp_X for options 1 to 6.
    QAbstractButton* groupOption(int option) const;
    int paintGroup() const { return mPaintGroup; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void selectPaintGroup(int option);
    void goBack();

    ParameterScreenState& mState;
    std::array<GroupMatrixWidget*, 3> mViews{};
    std::array<QAbstractButton*, 6> mOptions{};
    QButtonGroup* mOptionGroup = nullptr;
    int mPaintGroup = 0;
    QPushButton* mF12 = nullptr;
    ReturnHandler mReturn;
};

} // namespace plw
