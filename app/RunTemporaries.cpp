#include "app/RunTemporaries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>

namespace plw {

QString RunTemporaryTemplate(const QString& folder, const QString& kind, const QString& suffix) {
    return QDir(folder).filePath(kind + QString::number(QCoreApplication::applicationPid()) +
                                 QStringLiteral("-XXXXXX") + suffix);
}

namespace {

bool ProcessRunning(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

void RemoveStaleRunTemporaries(const QString& folder) {
    // ".plwan40-PID-XXXXXX" (a file being replaced), ".plwan40-PID-XXXXXX.xlsx",
    // ".plwan40-convert-PID-XXXXXX", "plwan40-office-PID-XXXXXX".
    static const QRegularExpression name(
        QStringLiteral("^(?:\\.plwan40-|\\.plwan40-convert-|plwan40-office-)(\\d+)-[^/]{6}"));
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {QStringLiteral("*plwan40-*")},
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = name.match(entry.fileName());
        if (!match.hasMatch() || ProcessRunning(match.captured(1).toLongLong()))
            continue;
        if (entry.isDir())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace plw
