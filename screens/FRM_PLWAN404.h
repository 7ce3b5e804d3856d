#pragma once

#include "screens/AnalysisScreen.h"

#include <array>
#include <functional>

class QGridLayout;
class QPushButton;

namespace plw {

struct ParameterScreenState;
class TextField;

// The threshold screen "RFＭ分析パラメータ": the fifteen thresholds of the parameter screen with
// step buttons that move fields 5 to 2 of a dimension by 1 or 10 (a decreasing step stops at 0);
// field 1 always shows field 2. It works on a copy: open() copies the thresholds in, F12 copies
// them back into the state, the close box returns without copying.
class FRM_PLWAN404 final : public AnalysisScreen {
public:
    // Called when the screen goes back to the parameter screen, after it has hidden itself:
    // copiedBack is true after F12 (the state holds the thresholds), false after the close box.
    using ReturnHandler = std::function<void(bool copiedBack)>;

    FRM_PLWAN404(const Environment& environment, Prompter& prompter, ParameterScreenState& state,
                 QWidget* parent = nullptr);

    void setReturnHandler(ReturnHandler handler) { mReturn = std::move(handler); }

    // Copies the fifteen thresholds from the state into the fields and shows the screen.
    void open();

    // txtPrmR/F/M(index), index 1 to 5; dimension 'R', 'F' or 'M'.
    TextField* thresholdField(char dimension, int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using Fields = std::array<TextField*, 5>;

    QWidget* buildThresholds();
    void addDimension(QGridLayout* grid, int d, int column);
    void chainEnterOrder(QWidget* frame);
    Fields& fieldsOf(char dimension);
    // Fields 5 to 2 take their numeric value plus the step; with a negative step a value below
    // 0 becomes 0. Field 1 then follows field 2.
    void step(char dimension, int amount);
    void goBack();

    ParameterScreenState& mState;
    Fields mR{};
    Fields mF{};
    Fields mM{};
    QPushButton* mF12 = nullptr;
    ReturnHandler mReturn;
};

} // namespace plw
