#include "screens/QtTemplateDialog.h"

#include "app/Environment.h"
#include "screens/FRM_TEMPLATE.h"
#include "screens/ScreenRoutines.h"

namespace plw {

TemplateDialog::Choice
QtTemplateDialog::SetTemPlate_Main(QWidget* owner, const QString& kind,
                                   const std::function<QString()>& saveCheck) {
    FRM_TEMPLATE dialog(mEnvironment.WorkFolder, kind, mPrompter, owner);
    dialog.chooser().setSaveCheck(saveCheck);
    dialog.scanFolder();
    dialog.adjustSize();
    CentreScreen(&dialog);
    PlaceScreen(&dialog, mEnvironment);
    dialog.exec();
    return dialog.choice();
}

} // namespace plw
