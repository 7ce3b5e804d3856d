#include "screens/TemplateButtons.h"

#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/TemplateDialog.h"
#include "settings/TemplateCallers.h"

namespace plw {

TemplateButtons::TemplateButtons(TemplateDialog& dialog, Prompter& prompter,
                                 ConditionModule& conditions, FRM_DMSentk1& conditionScreen,
                                 FRM_PLWAN401& parameterScreen)
    : mDialog(dialog), mPrompter(prompter), mConditions(conditions),
      mConditionScreen(conditionScreen), mParameterScreen(parameterScreen) {
    mConditionScreen.setTemplateHandler([this] { conditionTemplate(); });
    mParameterScreen.setTemplateHandlers([this] { parameterTemplate(false); },
                                         [this] { parameterTemplate(true); });
}

void TemplateButtons::conditionTemplate() {
    const TemplateDialog::Choice choice =
        mDialog.SetTemPlate_Main(&mConditionScreen, QStringLiteral("T01"));
    ConditionTemplate(choice.Action, choice.Path, mConditions, mPrompter);
}

void TemplateButtons::parameterTemplate(bool thresholds) {
    ParameterScreenState state = mParameterScreen.state();
    const TemplateDialog::Choice choice =
        thresholds ? mDialog.SetTemPlate_Main(&mParameterScreen, QStringLiteral("F02"),
                                              [&state] { return ThresholdTemplateCheck(state); })
                   : mDialog.SetTemPlate_Main(&mParameterScreen, QStringLiteral("F01"));
    const bool read = choice.Action == TemplateAction::Load;
    if ((thresholds ? ThresholdTemplate(choice.Action, choice.Path, state, mPrompter)
                    : GroupTemplate(choice.Action, choice.Path, state, mPrompter)) &&
        read) {
        if (thresholds)
            mParameterScreen.setThresholds(state.RThreshold, state.FThreshold, state.MThreshold);
        else
            mParameterScreen.loadState(state);
    }
}

} // namespace plw
