#include "report/LibreOfficeConverter.h"

#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/RunTemporaries.h"
#include "workbook/EngineError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace plw {

namespace {

// Lines of LibreOffice's own report quoted in a failure.
constexpr int kReportedLines = 5;

struct Target {
    QString extension;
    QString filter; // the --convert-to argument: extension and export filter
};

Target TargetOf(WorkbookFormat format) {
    switch (format) {
    case WorkbookFormat::Xls:
        return {QStringLiteral("xls"), QStringLiteral("xls:MS Excel 97")};
    case WorkbookFormat::Xlsx:
        break;
    }
    return {QStringLiteral("xlsx"), QStringLiteral("xlsx:Calc MS Excel 2007 XML")};
}

// The last non-empty lines of what the program printed, errors first, else its output.
QString LastLines(QProcess& process) {
    QString text = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (text.isEmpty())
        text = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    if (lines.size() > kReportedLines)
        lines = lines.mid(lines.size() - kReportedLines);
    return lines.isEmpty() ? QStringLiteral("（報告なし）") : lines.join(u'\n');
}

// The file LibreOffice wrote into outDir: "<input base name>.<extension>", else the only file
// there; "" when there is none or it is empty.
QString ProducedFile(const QString& outDir, const QString& input, const QString& extension) {
    const QDir dir(outDir);
    QString path = dir.filePath(QFileInfo(input).completeBaseName() + u'.' + extension);
    if (!QFileInfo(path).isFile()) {
        const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (files.size() != 1)
            return {};
        path = dir.filePath(files.first());
    }
    return QFileInfo(path).size() > 0 ? path : QString();
}

// Stops the converter's process group when this program ends before the conversion does (killed,
// crashed): a shell waits on a pipe that only this program writes to, and the end of its input
// means the program is gone. Signals a terminal sends to this program's group leave it alone.
class ProcessGroupGuard {
public:
    explicit ProcessGroupGuard(qint64 group) {
        mShell.setProgram(QStringLiteral("/bin/sh"));
        mShell.setArguments({QStringLiteral("-c"),
                             QStringLiteral("trap '' INT HUP TERM QUIT; read _; "
                                            "kill -KILL \"-$1\" 2>/dev/null"),
                             QStringLiteral("plwan40-guard"), QString::number(group)});
        mShell.setStandardOutputFile(QProcess::nullDevice());
        mShell.setStandardErrorFile(QProcess::nullDevice());
        mShell.start();
    }
    // The conversion ended while the program lives: the guard goes without a word.
    ~ProcessGroupGuard() {
        mShell.kill();
        mShell.waitForFinished();
    }
    ProcessGroupGuard(const ProcessGroupGuard&) = delete;
    ProcessGroupGuard& operator=(const ProcessGroupGuard&) = delete;

private:
    QProcess mShell;
};

// The converter's arguments: a profile of its own, no window, the input converted by filter into
// outDir. The input is passed as an absolute path, so it can never read as an option.
QStringList ConverterArguments(const QString& profilePath, const QString& filter,
                               const QString& outDir, const QString& input) {
    const QString profileUrl =
        QString::fromLatin1(QUrl::fromLocalFile(profilePath).toEncoded(QUrl::FullyEncoded));
    return {QStringLiteral("-env:UserInstallation=") + profileUrl,
            QStringLiteral("--headless"),
            QStringLiteral("--norestore"),
            QStringLiteral("--nolockcheck"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nodefault"),
            QStringLiteral("--convert-to"),
            filter,
            QStringLiteral("--outdir"),
            outDir,
            input};
}

// Waits for the process in short steps, letting the window system repaint in between when a
// pump is given; false when the time limit (none for 0) passed first.
bool WaitWithinLimit(QProcess& process, const QElapsedTimer& clock, int timeLimitMs,
                     EventPump* pump) {
    bool finished = false;
    bool timedOut = false;
    while (!finished && !timedOut) {
        const qint64 left = timeLimitMs > 0 ? timeLimitMs - clock.elapsed() : 100;
        finished = process.waitForFinished(int(std::clamp<qint64>(left, 1, 100))) ||
                   process.state() == QProcess::NotRunning;
        timedOut = !finished && timeLimitMs > 0 && clock.elapsed() >= timeLimitMs;
        if (!finished && pump)
            pump->yield();
    }
    return !timedOut;
}

// Runs the converter on source to its end; false with the cause when it does not start, runs
// out of time (its whole process group is stopped) or ends in failure.
bool RunConverter(QProcess& process, const QString& program, const QStringList& arguments,
                  const QFileInfo& source, int timeLimitMs, QString* error, EventPump* pump) {
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own process group, so a time-out stops the office process the launcher started too.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    QElapsedTimer clock;
    clock.start();
    process.start();
    if (!process.waitForStarted()) {
        SetEngineError(error, EngineFault::ConverterNotStarted, {program, process.errorString()});
        return false;
    }
    const ProcessGroupGuard guard(process.processId());
    if (!WaitWithinLimit(process, clock, timeLimitMs, pump)) {
        ::kill(-pid_t(process.processId()), SIGKILL);
        process.waitForFinished(-1);
        SetEngineError(error, EngineFault::ConversionTimedOut,
                       {source.filePath(), QString::number(timeLimitMs / 1000.0)});
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString how = process.exitStatus() == QProcess::NormalExit
                                ? QStringLiteral("終了コード %1").arg(process.exitCode())
                                : QStringLiteral("異常終了");
        SetEngineError(error, EngineFault::ConversionFailed,
                       {source.filePath(), how, LastLines(process)});
        return false;
    }
    return true;
}

} // namespace

QString LibreOfficeConverter::ProgramPath() {
    for (const QString& name : {QStringLiteral("soffice"), QStringLiteral("libreoffice")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool LibreOfficeConverter::Convert(const QString& input, const QString& output,
                                   WorkbookFormat format, int timeLimitMs, QString* error,
                                   EventPump* pump) {
    const QString program = ProgramPath();
    if (program.isEmpty()) {
        SetEngineError(error, EngineFault::ConverterMissing);
        return false;
    }
    const QFileInfo source(ToNativePath(input));
    if (!source.isFile()) {
        SetEngineError(error, EngineFault::ConversionInputMissing, {source.filePath()});
        return false;
    }
    const QFileInfo target(ToNativePath(output));

    // Both folders go away with everything in them when this function returns; those of a run
    // that died go at the next conversion.
    RemoveStaleRunTemporaries(target.absolutePath());
    RemoveStaleRunTemporaries(QDir::tempPath());
    QTemporaryDir outDir(
        RunTemporaryTemplate(target.absolutePath(), QStringLiteral(".plwan40-convert-")));
    if (!outDir.isValid()) {
        SetEngineError(error, EngineFault::ConversionFolderRefused,
                       {target.absolutePath(), outDir.errorString()});
        return false;
    }
    QTemporaryDir profile(
        RunTemporaryTemplate(QDir::tempPath(), QStringLiteral("plwan40-office-")));
    if (!profile.isValid()) {
        SetEngineError(error, EngineFault::ConversionProfileRefused,
                       {QDir::tempPath(), profile.errorString()});
        return false;
    }

    const Target converted = TargetOf(format);
    QProcess process;
    if (!RunConverter(process, program,
                      ConverterArguments(profile.path(), converted.filter, outDir.path(),
                                         source.absoluteFilePath()),
                      source, timeLimitMs, error, pump))
        return false;

    const QString produced = ProducedFile(outDir.path(), source.filePath(), converted.extension);
    if (produced.isEmpty()) {
        SetEngineError(error, EngineFault::ConversionWithoutOutput,
                       {converted.extension, source.filePath(), LastLines(process)});
        return false;
    }
    // The target is replaced as every file of the program is: as a whole, keeping its mode.
    QString cause;
    if (!CopyFileAtomically(produced, target.absoluteFilePath(), &cause)) {
        SetEngineError(error, EngineFault::ConversionNotPlaced, {target.absoluteFilePath(), cause});
        return false;
    }
    return true;
}

} // namespace plw
