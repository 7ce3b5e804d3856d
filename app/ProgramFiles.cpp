#include "app/ProgramFiles.h"

#include "app/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace plw {

QStringList ProgramFileFolders(const QString& programFolder) {
    if (programFolder.isEmpty())
        return {};
    const QDir program(programFolder);
    return {program.absolutePath(),
            QDir::cleanPath(program.absoluteFilePath(QStringLiteral("../share/plwan40")))};
}

QString FindProgramFile(const QString& programFolder, const QString& name) {
    for (const QString& folder : ProgramFileFolders(programFolder)) {
        const QString path = ToNativePath(folder + u'/' + name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace plw
