#pragma once

#include "screens/SaveFileDialog.h"

namespace plw {

// The desktop's save-file dialog: a modal QFileDialog that asks before overwriting a file.
class QtSaveFileDialog final : public SaveFileDialog {
public:
    QString askSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& file, const QString& filter,
                            const QString& defaultExtension) override;
};

} // namespace plw
