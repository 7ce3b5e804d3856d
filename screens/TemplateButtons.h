#pragma once

namespace plw {

class ConditionModule;
class FRM_DMSentk1;
class FRM_PLWAN401;
class Prompter;
class TemplateDialog;

// The three template buttons: "テンプレート機能" of the condition screen (conditions, "T01") and
// the parameter screen's "テンプレート" of the group matrix ("F01") and of the thresholds
// ("F02"). Each opens the template dialog and hands its choice to its caller routine; a screen
// whose values were read from a template shows them.
class TemplateButtons {
public:
    TemplateButtons(TemplateDialog& dialog, Prompter& prompter, ConditionModule& conditions,
                    FRM_DMSentk1& conditionScreen, FRM_PLWAN401& parameterScreen);

private:
    void conditionTemplate();
    void parameterTemplate(bool thresholds);

    TemplateDialog& mDialog;
    Prompter& mPrompter;
    ConditionModule& mConditions;
    FRM_DMSentk1& mConditionScreen;
    FRM_PLWAN401& mParameterScreen;
};

} // namespace plw
