#include "screens/QtTemplateDialog.h"

#include "screens/FRM_TEMPLATE.h"

namespace plw {

TemplateDialog::Choice
QtTemplateDialog::SetTemPlate_Main(QWidget* owner, const QString& kind,
                                   const std::function<QString()>& saveCheck) {
    FRM_TEMPLATE dialog(mWorkFolder, kind, mPrompter, owner);
    dialog.chooser().setSaveCheck(saveCheck);
    dialog.scanFolder();
    dialog.exec();
    return dialog.choice();
}

} // namespace plw
