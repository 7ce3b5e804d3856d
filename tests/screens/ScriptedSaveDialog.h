#pragma once

#include "screens/SaveFileDialog.h"

#include <QList>
#include <QStringList>

namespace plw::test {

// Answers the save dialog from a script and records what it was asked.
class ScriptedSaveDialog final : public SaveFileDialog {
public:
    QString askSaveFileName(QWidget*, const QString& caption, const QString& folder,
                            const QString& file, const QString& filter,
                            const QString& defaultExtension) override {
        asked.append({caption, folder, file, filter, defaultExtension});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QList<QStringList> asked;
};

} // namespace plw::test
