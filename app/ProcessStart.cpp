#include "app/ProcessStart.h"

#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace plw {

ProgramStart StartProgram(const QString& program, const QStringList& arguments, int watchMs) {
    std::vector<QByteArray> texts;
    texts.push_back(program.toLocal8Bit());
    for (const QString& argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    // The child reports a failed exec through a pipe that closes on a successful one.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return {ProgramStart::Result::NotStarted, QString::fromLocal8Bit(std::strerror(errno))};
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return {ProgramStart::Result::NotStarted, QString::fromLocal8Bit(std::strerror(error))};
    }
    if (child == 0) {
        close(report[0]);
        setsid();
        execv(argv[0], argv.data());
        const int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int execError = 0;
    const ssize_t got = read(report[0], &execError, sizeof execError);
    close(report[0]);
    if (got == sizeof execError) {
        waitpid(child, nullptr, 0);
        return {ProgramStart::Result::NotStarted, QString::fromLocal8Bit(std::strerror(execError))};
    }

    QElapsedTimer watch;
    watch.start();
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return {ProgramStart::Result::Finished, QString()};
            return {ProgramStart::Result::Failed,
                    WIFEXITED(status)
                        ? QStringLiteral("終了コード %1 で終了しました").arg(WEXITSTATUS(status))
                        : QStringLiteral("シグナル %1 で終了しました").arg(WTERMSIG(status))};
        }
        if (watch.elapsed() >= watchMs)
            return {ProgramStart::Result::Running, QString()};
        QThread::msleep(20);
    }
}

} // namespace plw
