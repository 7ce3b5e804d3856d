#include "screens/QtSaveFileDialog.h"

#include "app/FileSystem.h"

#include <QFileDialog>

namespace plw {

QString QtSaveFileDialog::askSaveFileName(QWidget* parent, const QString& caption,
                                          const QString& folder, const QString& file,
                                          const QString& filter, const QString& defaultExtension) {
    QFileDialog dialog(parent, caption, folder.isEmpty() ? QString() : ToNativePath(folder),
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExtension);
    if (!file.isEmpty())
        dialog.selectFile(file);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace plw
