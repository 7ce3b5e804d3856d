#pragma once

#include "screens/TemplateDialog.h"

namespace plw {

class Prompter;

// The template dialog as the program shows it: FRM_TEMPLATE, modal over the caller's window.
class QtTemplateDialog final : public TemplateDialog {
public:
    // workFolder as Environment::WorkFolder; both must outlive this object.
    QtTemplateDialog(const QString& workFolder, Prompter& prompter)
        : mWorkFolder(workFolder), mPrompter(prompter) {}

    Choice SetTemPlate_Main(QWidget* owner, const QString& kind,
                            const std::function<QString()>& saveCheck = {}) override;

private:
    const QString& mWorkFolder;
    Prompter& mPrompter;
};

} // namespace plw
