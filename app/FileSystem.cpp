#include "app/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace plw {
namespace {

// The entry of folder whose name equals name without regard to letter case, or name itself.
QString matchEntry(const QString& folder, const QString& name) {
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

} // namespace

QString ToNativePath(const QString& systemPath) {
    QString path = systemPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;

    // Walk the components, resolving each one that is missing under its exact name.
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'));
    QString resolved = absolute ? QStringLiteral("/") : QString();
    bool parentExists = true;
    for (qsizetype i = absolute ? 1 : 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString next = part;
        if (parentExists && !part.isEmpty() && part != QLatin1String(".") &&
            part != QLatin1String("..")) {
            const QString candidate = resolved + part;
            if (!QFileInfo::exists(candidate))
                next = matchEntry(resolved, part);
        }
        resolved += next;
        if (i + 1 < parts.size())
            resolved += QLatin1Char('/');
        parentExists = parentExists && QFileInfo::exists(resolved.isEmpty() ? QStringLiteral(".")
                                                                            : resolved);
    }
    return resolved;
}

bool ReadWholeFile(const QString& systemPath, QByteArray* bytes, QString* error) {
    QFile file(ToNativePath(systemPath));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool WriteFileAtomically(const QString& systemPath, const QByteArray& bytes, QString* error) {
    QSaveFile file(ToNativePath(systemPath));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace plw
