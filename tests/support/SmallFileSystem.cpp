#include "tests/support/SmallFileSystem.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plw::test {

namespace {

constexpr int kNotPrepared = 77;

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

// Runs prepare and then work in a child process and answers the text work returned; nothing
// when prepare fails.
std::optional<QString> InChild(const std::function<bool()>& prepare,
                               const std::function<QString()>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!prepare())
            ::_exit(kNotPrepared);
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
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNotPrepared)
        return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(the child process failed with status %1)").arg(status);
    return QString::fromUtf8(text);
}

} // namespace

std::optional<QString> InSmallFileSystem(const QString& folder, SmallFileSystemKind kind,
                                         const std::function<QString()>& work) {
    return InChild(
        [&] {
            const unsigned long flags = kind == SmallFileSystemKind::ReadOnly ? MS_RDONLY : 0;
            return PrivateMounts() && ::mount("tmpfs", QFile::encodeName(folder).constData(),
                                              "tmpfs", flags, "size=16k") == 0;
        },
        work);
}

std::optional<QString> AsUnprivilegedUser(const std::function<QString()>& work) {
    return InChild(
        [] {
            if (::geteuid() != 0)
                return true;
            const gid_t group = UnprivilegedId;
            return ::setgroups(1, &group) == 0 && ::setresgid(group, group, group) == 0 &&
                   ::setresuid(UnprivilegedId, UnprivilegedId, UnprivilegedId) == 0 &&
                   ::geteuid() != 0;
        },
        work);
}

} // namespace plw::test
