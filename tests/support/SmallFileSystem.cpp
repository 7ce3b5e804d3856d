#include "tests/support/SmallFileSystem.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plw::test {

namespace {

constexpr int kNoNamespace = 77;

bool WriteProcFile(const char* path, const QByteArray& text) {
    const int descriptor = ::open(path, O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool written = ::write(descriptor, text.constData(), size_t(text.size())) == text.size();
    ::close(descriptor);
    return written;
}

// A mount namespace of this process's own: directly with the right to mount, else inside a user
// namespace where this process is root. Mounts made in it never reach the rest of the system.
bool PrivateMounts() {
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray gid = QByteArray::number(::getgid());
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        WriteProcFile("/proc/self/setgroups", "deny");
        if (!WriteProcFile("/proc/self/uid_map", "0 " + uid + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

} // namespace

std::optional<QString> InSmallFileSystem(const QString& folder, SmallFileSystemKind kind,
                                         const std::function<QString()>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const unsigned long flags = kind == SmallFileSystemKind::ReadOnly ? MS_RDONLY : 0;
        if (!PrivateMounts() || ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs",
                                        flags, "size=16k") != 0)
            ::_exit(kNoNamespace);
        const QByteArray text = work().toUtf8();
        const bool sent = ::write(channel[1], text.constData(), size_t(text.size())) == text.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; child > 0 && (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            text.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return QStringLiteral("(the child process could not be run)");
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace)
        return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(the child process failed with status %1)").arg(status);
    return QString::fromUtf8(text);
}

} // namespace plw::test
