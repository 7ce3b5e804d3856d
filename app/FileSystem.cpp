#include "app/FileSystem.h"

#include "app/RunTemporaries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
        parentExists =
            parentExists && QFileInfo::exists(resolved.isEmpty() ? QStringLiteral(".") : resolved);
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

QString SystemErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が足りません");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限を超えました");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスする権限がありません");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダがありません");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダでないものがあります");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが発生しました");
    default:
        return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

namespace {

// A name for the temporary file beside target, as RunTemporaryTemplate makes them:
// ".plwan40-" + this process's id + "-" + six letters or digits.
QByteArray TemporaryBeside(const QByteArray& target) {
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QString pattern = RunTemporaryTemplate(
        QFileInfo(QFile::decodeName(target)).absolutePath(), QStringLiteral(".plwan40-"));
    QByteArray name = QFile::encodeName(pattern);
    const qsizetype letters = name.lastIndexOf("XXXXXX");
    for (qsizetype i = letters; i < letters + 6; ++i)
        name[i] = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
    return name;
}

// Gives a new file what the file it replaces has: the owner and the group where this process
// may set them, then the mode. A group that could not be kept gets the permissions others have,
// so that the file is not opened to a group its owner never chose; a set-id bit goes with an
// owner or group that was not kept.
bool TakeOver(int descriptor, const struct stat& existing) {
    struct stat created;
    if (::fstat(descriptor, &created) != 0)
        return false;
    bool ownerKept = created.st_uid == existing.st_uid;
    bool groupKept = created.st_gid == existing.st_gid;
    if (!ownerKept && ::fchown(descriptor, existing.st_uid, existing.st_gid) == 0)
        ownerKept = groupKept = true;
    if (!groupKept && ::fchown(descriptor, uid_t(-1), existing.st_gid) == 0)
        groupKept = true;
    mode_t mode = existing.st_mode & 07777;
    if (!ownerKept)
        mode &= ~mode_t(S_ISUID);
    if (!groupKept)
        mode = (mode & ~mode_t(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3);
    return ::fchmod(descriptor, mode) == 0;
}

// A new file beside target under a temporary name, made with the permissions a new target gets
// (0666 less the umask), or with those of the existing target.
int CreateBeside(const QByteArray& target, QByteArray* created) {
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    // A file this process may not write stays as it is, as it would when written in place.
    if (exists && !S_ISDIR(existing.st_mode) && ::access(target.constData(), W_OK) != 0)
        return -1;
    for (;;) {
        *created = TemporaryBeside(target);
        const int descriptor =
            ::open(created->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor >= 0 && exists && !TakeOver(descriptor, existing)) {
            const int cause = errno;
            ::close(descriptor);
            ::unlink(created->constData());
            errno = cause;
            return -1;
        }
        return descriptor;
    }
}

} // namespace

FileReplacement::~FileReplacement() {
    discard();
}

bool FileReplacement::open(const QString& systemPath) {
    discard();
    mError.clear();
    // A link is followed, so that the file it names is replaced and the link stays.
    const QFileInfo info(ToNativePath(systemPath));
    mTarget = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : info.filePath());
    // What a process that died while replacing a file there left goes first.
    RemoveStaleRunTemporaries(QFileInfo(QFile::decodeName(mTarget)).absolutePath());
    mDescriptor = CreateBeside(mTarget, &mTemporary);
    return mDescriptor >= 0 || fail(errno);
}

bool FileReplacement::write(const QByteArray& bytes) {
    if (mDescriptor < 0)
        return false;
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(mDescriptor, next, size_t(left));
        if (written < 0 && errno != EINTR)
            return fail(errno);
        if (written > 0) {
            next += written;
            left -= written;
        }
    }
    return true;
}

bool FileReplacement::commit() {
    if (mDescriptor < 0)
        return false;
    // A full disk may show only when the data reaches it: at the sync or the close.
    if (::fsync(mDescriptor) != 0)
        return fail(errno);
    const int descriptor = std::exchange(mDescriptor, -1);
    if (::close(descriptor) != 0 || std::rename(mTemporary.constData(), mTarget.constData()) != 0)
        return fail(errno);
    mTemporary.clear();
    return true;
}

void FileReplacement::discard() {
    if (mDescriptor >= 0)
        ::close(std::exchange(mDescriptor, -1));
    if (!mTemporary.isEmpty())
        ::unlink(mTemporary.constData());
    mTemporary.clear();
}

bool FileReplacement::fail(int errorNumber) {
    mError = SystemErrorText(errorNumber);
    discard();
    return false;
}

bool WriteFileAtomically(const QString& systemPath, const QByteArray& bytes, QString* error) {
    FileReplacement file;
    if (file.open(systemPath) && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool CopyFileAtomically(const QString& sourcePath, const QString& systemPath, QString* error) {
    const int source =
        ::open(QFile::encodeName(ToNativePath(sourcePath)).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        if (error)
            *error = SystemErrorText(errno);
        return false;
    }
    FileReplacement file;
    bool copied = file.open(systemPath);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    int cause = 0;
    for (ssize_t n = 1; copied && n != 0;) {
        n = ::read(source, chunk.data(), size_t(chunk.size()));
        if (n < 0 && errno != EINTR) {
            cause = errno;
            copied = false;
        } else if (n > 0) {
            copied = file.write(QByteArray::fromRawData(chunk.constData(), n));
        }
    }
    ::close(source);
    copied = copied && file.commit();
    if (!copied && error)
        *error = cause ? SystemErrorText(cause) : file.errorString();
    return copied;
}

} // namespace plw
