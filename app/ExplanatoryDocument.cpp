#include "app/ExplanatoryDocument.h"

#include "app/DocumentOpener.h"
#include "app/ProgramFiles.h"
#include "app/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace plw {

namespace {

QStringList places(const QString& programFolder) {
    return ProgramFileFolders(programFolder) << QDir::currentPath();
}

} // namespace

QString FindExplanatoryDocument(const QString& programFolder) {
    for (const QString& folder : places(programFolder)) {
        const QFileInfo file(QDir(folder).filePath(ExplanatoryDocumentName));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return QString();
}

void OpenExplanatoryDocument(const QString& programFolder, DocumentOpener& opener,
                             Prompter& prompter) {
    const QString path = FindExplanatoryDocument(programFolder);
    if (path.isEmpty()) {
        QString text = ExplanatoryDocumentName + QStringLiteral(" が見つかりません。") +
                       QChar(u'\r') + QStringLiteral("探した場所：");
        for (const QString& folder : places(programFolder))
            text += QChar(u'\r') + QDir::toNativeSeparators(folder);
        prompter.show(text, MessageIcon::Critical);
        return;
    }
    opener.open(path);
}

} // namespace plw
