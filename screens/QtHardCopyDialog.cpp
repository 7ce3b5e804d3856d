#include "screens/QtHardCopyDialog.h"

#include "screens/FRM_HDCOPY.h"
#include "screens/ScreenRoutines.h"

namespace plw {

HardCopyChoice QtHardCopyDialog::choose(const QImage& picture, const QString& dateTime,
                                        QWidget* parent) {
    FRM_HDCOPY window(mPrinter, mPrompter, parent);
    window.adjustSize();
    CentreScreen(&window);
    return window.choose(picture, dateTime);
}

} // namespace plw
