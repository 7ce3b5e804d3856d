#pragma once

#include "screens/TemplateDialog.h"

namespace plw {

struct Environment;
class Prompter;

// The template dialog as the program shows it: FRM_TEMPLATE, modal over the caller's window,
// centred and placed on a wide display as the installation says.
class QtTemplateDialog final : public TemplateDialog {
public:
    // Both must outlive this object; the templates are in the environment's work folder.
    QtTemplateDialog(const Environment& environment, Prompter& prompter)
        : mEnvironment(environment), mPrompter(prompter) {}

    Choice SetTemPlate_Main(QWidget* owner, const QString& kind,
                            const std::function<QString()>& saveCheck = {}) override;

private:
    const Environment& mEnvironment;
    Prompter& mPrompter;
};

} // namespace plw
