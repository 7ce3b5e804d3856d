#include "app/StoredFile.h"

#include "app/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace plw {

StoredFileRead ReadStoredRecord(const QString& systemPath, qsizetype recordLength,
                                QByteArray* record) {
    const QString native = ToNativePath(systemPath);
    const QFileInfo info(native);
    if (!info.exists() && !info.isSymLink())
        return {StoredFileRead::State::Missing, QString()};
    if (info.isDir())
        return StoredFileRead::Damage(QStringLiteral("ファイルではなくフォルダです"));
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        return StoredFileRead::Damage(QStringLiteral("読めません（%1）").arg(file.errorString()));
    QByteArray bytes = file.read(recordLength);
    if (file.error() != QFileDevice::NoError)
        return StoredFileRead::Damage(QStringLiteral("読めません（%1）").arg(file.errorString()));
    if (bytes.isEmpty())
        return {StoredFileRead::State::Empty, QString()};
    *record = std::move(bytes);
    return {};
}

bool KeepAside(const QString& systemPath, QString* keptAs, QString* error) {
    const QString native = ToNativePath(systemPath);
    QString aside = native + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = native + QStringLiteral(".damaged%1").arg(n);
    if (std::rename(QFile::encodeName(native).constData(), QFile::encodeName(aside).constData()) !=
        0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (keptAs)
        *keptAs = aside;
    return true;
}

QString KeepDamagedFile(const QString& systemPath, const QString& what, const StoredFileRead& read,
                        const QString& goingOn) {
    QString message = QStringLiteral("%1（%2）を読めませんでした: %3\r%4")
                          .arg(what, ToNativePath(systemPath), read.Cause, goingOn);
    QString keptAs, error;
    if (KeepAside(systemPath, &keptAs, &error))
        message += QStringLiteral("\r読めなかったファイルは %1 として残しました。").arg(keptAs);
    else
        message +=
            QStringLiteral("\r読めなかったファイルを別の名前で残せませんでした: %1").arg(error);
    return message;
}

} // namespace plw
