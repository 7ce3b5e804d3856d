#include "app/CommonRoutines.h"

#include "app/Environment.h"
#include "app/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace plw {
namespace {

// A regular file (or a link to one) that opens for reading; it is closed again at once. Other
// kinds of entry are refused before opening, since opening a pipe would wait for a writer.
bool opensForReading(const QString& nativePath) {
    if (nativePath.isEmpty() || !QFileInfo(nativePath).isFile())
        return false;
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly);
}

// Names the platform reserves for devices, whatever their extension.
bool isDeviceName(const QString& name) {
    static const QStringList devices = [] {
        QStringList list = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                            QStringLiteral("CLOCK$"), QStringLiteral("NUL")};
        for (int i = 0; i <= 9; ++i) {
            list << QStringLiteral("COM%1").arg(i);
            list << QStringLiteral("LPT%1").arg(i);
        }
        return list;
    }();
    return devices.contains(name);
}

// A file can be created in the folder, or read when it is already there. Opening a file in a
// missing folder fails on Linux just like a missing file, so the folder itself is looked at.
bool canCreateOrRead(const QString& path) {
    const QString native = ToNativePath(path);
    QString folder;
    QString file;
    SplitPath(native, folder, file);
    if (file.isEmpty())
        return false;
    if (folder.isEmpty())
        folder = QStringLiteral(".");
    if (!QFileInfo(folder).isDir())
        return false;
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return false;
    const QFileInfo entry(native);
    if (entry.exists() || entry.isSymLink())
        return opensForReading(native);
    return true;
}

} // namespace

void SplitPath(const QString& path, QString& folder, QString& file) {
    const qsizetype last =
        qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    folder = path.first(last + 1);
    file = path.mid(last + 1);
}

void SplitPathExtension(const QString& path, QString& folder, QString& base, QString& extension) {
    QString file;
    SplitPath(path, folder, file);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        base = file;
        extension.clear();
    } else {
        base = file.first(dot);
        extension = file.mid(dot + 1);
    }
}

bool CanOpenFile(const QString& path) {
    return opensForReading(ToNativePath(path));
}

bool FileExists(const QString& path) {
    return CanOpenFile(path);
}

bool FileNameRulesHold(const QString& path) {
    if (path.count(QLatin1Char(':')) >= 2)
        return false;
    // "/" separates folders here, so unlike the other characters it is allowed.
    for (QChar c : QStringView(u",*?<>|"))
        if (path.contains(c))
            return false;
    QString folder;
    QString file;
    SplitPath(path, folder, file);
    if (isDeviceName(file.section(QLatin1Char('.'), 0, 0).toUpper()))
        return false;
    if (path.contains(QStringLiteral(":\\\\")))
        return false;
    // No Linux file name can hold a NUL.
    return !path.contains(QChar(0));
}

bool CheckFileName(const QString& path) {
    return FileNameRulesHold(path) && canCreateOrRead(path);
}

QString DirectMailConditionPath(const Environment& environment, const QString& code) {
    return environment.SystemFolder + QStringLiteral("DMFR\\") + QStringLiteral("DM") + code +
           QStringLiteral(".SYS");
}

QString MailConditionPath(const Environment& environment, const QString& code) {
    return environment.SystemFolder + QStringLiteral("ELFR\\") + QStringLiteral("EM") + code +
           QStringLiteral(".SYS");
}

QString DocumentsFolder(int folderId) {
    // The program asks only for the user's documents folder.
    if (folderId != 5)
        return QString();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace plw
