#pragma once

#include <QString>

class QWidget;

namespace plw {

// The save-file dialog a screen browses with; tests answer it from a script.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // Asks for the name of a file to save, starting in folder with file preselected. The chosen
    // path, or "" when the operator cancelled.
    virtual QString askSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& file, const QString& filter,
                                    const QString& defaultExtension) = 0;
};

} // namespace plw
