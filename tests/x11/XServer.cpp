#include "tests/x11/XServer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace plw::test {

namespace {

// Openbox with its usual theme and the room of a task bar below.
constexpr char OpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name></theme>
  <margins><top>0</top><bottom>48</bottom><left>0</left><right>0</right></margins>
  <focus><focusNew>yes</focusNew></focus>
</openbox_config>
)";

// Starts a program with its arguments (no shell). The child ends when the test program ends,
// also when it is killed. Standard output goes to outFd when it is not -1, else to /dev/null
// with standard error; keepFd stays open in the child.
pid_t spawn(const QStringList& arguments, int outFd, int keepFd = -1) {
    std::vector<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    const int null = open("/dev/null", O_RDWR);
    dup2(outFd != -1 ? outFd : null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    dup2(null, STDIN_FILENO);
    if (keepFd != -1)
        fcntl(keepFd, F_SETFD, 0);
    execvp(argv[0], argv.data());
    _exit(127);
}

// Reads what the pipe delivers until it closes or the time is up.
QByteArray readAll(int fd, std::chrono::milliseconds limit, bool untilLine) {
    QByteArray text;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, int(left.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, n);
        if (untilLine && text.contains('\n'))
            break;
    }
    return text;
}

// Ends a process: asked first, killed when it does not end within two seconds.
void end(pid_t& pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

QList<int> numbers(const QString& text) {
    QList<int> values;
    static const QRegularExpression number(QStringLiteral("-?\\d+"));
    for (const QRegularExpressionMatch& m : number.globalMatch(text))
        values << m.captured().toInt();
    return values;
}

int field(const QString& text, const QString& name) {
    const QRegularExpression line(QRegularExpression::escape(name) +
                                  QStringLiteral(":\\s*(-?\\d+)"));
    return line.match(text).captured(1).toInt();
}

} // namespace

XServer::~XServer() {
    stop();
}

bool XServer::start(QString* error) {
    char folder[] = "/tmp/plwan40-x11-XXXXXX";
    if (!mkdtemp(folder)) {
        *error = QStringLiteral("no temporary folder: ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    mFolder = QString::fromLocal8Bit(folder);
    const QString config = mFolder + QStringLiteral("/rc.xml");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(OpenboxConfig) < 0) {
        *error = config + QStringLiteral(": ") + file.errorString();
        return false;
    }
    file.close();

    // Xvfb names the display it found free on a pipe of ours.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = QStringLiteral("no pipe");
        return false;
    }
    mServer = spawn({QStringLiteral("Xvfb"), QStringLiteral("-displayfd"), QString::number(fds[1]),
                     QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1366x768x24"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                    -1, fds[1]);
    close(fds[1]);
    const QByteArray number = readAll(fds[0], std::chrono::seconds(20), true).trimmed();
    close(fds[0]);
    bool ok = false;
    const int display = number.toInt(&ok);
    if (mServer <= 0 || !ok) {
        *error = QStringLiteral("Xvfb did not start (is it installed?)");
        stop();
        return false;
    }
    qputenv("DISPLAY", ":" + QByteArray::number(display));

    mWindowManager =
        spawn({QStringLiteral("openbox"), QStringLiteral("--config-file"), config}, -1);
    // The window manager is there once it has set the work area without the task bar's room.
    for (int i = 0; i < 200; ++i) {
        if (WorkArea() == QRect(0, 0, 1366, 720)) {
            // Its configuration is read: nothing of the test stays behind, however it ends.
            QDir(mFolder).removeRecursively();
            mFolder.clear();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    *error = QStringLiteral("openbox did not start on :%1 (is it installed?)").arg(display);
    stop();
    return false;
}

void XServer::stop() {
    end(mWindowManager);
    end(mServer);
    if (!mFolder.isEmpty())
        QDir(mFolder).removeRecursively();
    mFolder.clear();
}

QString RunTool(const QStringList& arguments) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    pid_t pid = spawn(arguments, fds[1]);
    close(fds[1]);
    const QByteArray output = readAll(fds[0], std::chrono::seconds(10), false);
    close(fds[0]);
    end(pid);
    return QString::fromLocal8Bit(output);
}

std::optional<FramedWindow> ReadFramedWindow(unsigned long window) {
    const QString id = QStringLiteral("0x%1").arg(window, 0, 16);
    const QString info = RunTool({QStringLiteral("xwininfo"), QStringLiteral("-id"), id});
    if (!info.contains(QStringLiteral("Absolute upper-left X")))
        return std::nullopt;
    FramedWindow framed;
    framed.Inner =
        QRect(field(info, QStringLiteral("Absolute upper-left X")),
              field(info, QStringLiteral("Absolute upper-left Y")),
              field(info, QStringLiteral("Width")), field(info, QStringLiteral("Height")));
    framed.Viewable = info.contains(QStringLiteral("IsViewable"));
    // left, right, top, bottom
    const QString extents = RunTool(
        {QStringLiteral("xprop"), QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QList<int> e = numbers(extents.section(u'=', 1));
    if (extents.contains(u'=') && e.size() == 4)
        framed.Frame = framed.Inner.marginsAdded(QMargins(e[0], e[2], e[1], e[3]));
    return framed;
}

QRect WorkArea() {
    const QList<int> area = numbers(
        RunTool({QStringLiteral("xprop"), QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")})
            .section(u'=', 1));
    return area.size() >= 4 ? QRect(area[0], area[1], area[2], area[3]) : QRect();
}

} // namespace plw::test
