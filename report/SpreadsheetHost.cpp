#include "report/SpreadsheetHost.h"

#include "app/FileSystem.h"
#include "app/ProcessStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <utility>

namespace plw {

namespace {

// The spreadsheet programs that may stand for the one the operator works in, best first.
const QStringList SpreadsheetPrograms = {QStringLiteral("libreoffice"), QStringLiteral("soffice"),
                                         QStringLiteral("localc"), QStringLiteral("gnumeric")};

QString FindProgram(const QString& name, const QStringList& searchPaths) {
    return searchPaths.isEmpty() ? QStandardPaths::findExecutable(name)
                                 : QStandardPaths::findExecutable(name, searchPaths);
}

QDateTime ReadBootTime() {
    // /proc files report no size, so the file is read whole rather than up to its end.
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : stat.readAll().split('\n')) {
        if (line.startsWith("btime ")) {
            bool ok = false;
            const qint64 seconds = line.mid(6).trimmed().toLongLong(&ok);
            return ok ? QDateTime::fromSecsSinceEpoch(seconds) : QDateTime();
        }
    }
    return {};
}

// The fields of a lock file: "user,system user,host,time,profile;" where a backslash escapes
// the next character (a comma in a user name).
QStringList LockFields(const QString& text) {
    QStringList fields;
    QString field;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            field += text.at(++i);
        } else if (c == u',' || c == u';') {
            fields.append(field);
            field.clear();
            if (c == u';')
                return fields;
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

} // namespace

HostSystem CurrentHostSystem() {
    HostSystem system;
    system.hostName = QSysInfo::machineHostName();
    system.bootTime = ReadBootTime();
    system.fileOpenByProcess = FileOpenByProcess;
    system.desktopSession = !qEnvironmentVariableIsEmpty("XDG_CURRENT_DESKTOP") ||
                            !qEnvironmentVariableIsEmpty("DESKTOP_SESSION");
    return system;
}

bool FileOpenByProcess(const QString& file) {
    const QFileInfo target(ToNativePath(file));
    if (!target.exists())
        return false;
    const QString wanted = target.canonicalFilePath();
    const QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return true; // cannot tell: assume one does
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == wanted)
                return true;
    }
    return false;
}

QString FindSpreadsheetProgram(const HostSystem& system) {
    for (const QString& name : SpreadsheetPrograms) {
        const QString path = FindProgram(name, system.searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString ExcelAppPath(const QString& name) {
    if (name.compare(u"EXCEL.EXE", Qt::CaseInsensitive) == 0)
        return FindSpreadsheetProgram(CurrentHostSystem());
    return FindProgram(name, {});
}

QString LockFilePath(const QString& workbook) {
    const QFileInfo info(ToNativePath(workbook));
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + u'#';
}

LinuxSpreadsheetHost::LinuxSpreadsheetHost(const QString& workbook, HostSystem system)
    : mWorkbook(workbook), mSystem(std::move(system)) {}

std::optional<WorkbookLock> WorkbookLockHolder(const QString& workbook, const HostSystem& system) {
    const QFileInfo lock(LockFilePath(workbook));
    if (!lock.exists())
        return std::nullopt;
    WorkbookLock holder{lock.filePath(), {}, {}, lock.lastModified()};
    QFile file(lock.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return holder;
    // "user,system user,host,dd.MM.yyyy hh:mm,profile;"
    const QStringList fields = LockFields(QString::fromUtf8(file.read(4096)));
    holder.User = fields.value(0).isEmpty() ? fields.value(1) : fields.value(0);
    holder.Host = fields.value(2);
    const QDateTime written =
        QDateTime::fromString(fields.value(3).trimmed(), QStringLiteral("dd.MM.yyyy hh:mm"));
    if (written.isValid())
        holder.Time = written;
    if (fields.size() <= 2 || holder.Host.compare(system.hostName, Qt::CaseInsensitive) != 0)
        return holder;
    const bool beforeBoot = system.bootTime.isValid() && lock.lastModified() < system.bootTime;
    const bool nobodyHasIt = system.fileOpenByProcess && !system.fileOpenByProcess(workbook);
    if (beforeBoot || nobodyHasIt)
        return std::nullopt;
    return holder;
}

bool WorkbookLocked(const QString& workbook, const HostSystem& system) {
    return WorkbookLockHolder(workbook, system).has_value();
}

QString LockHolderText(const WorkbookLock& lock) {
    const QString unknown = QStringLiteral("（不明）");
    return QStringLiteral("ロックファイル: %1\r利用者: %2（ホスト: %3）\r日時: %4")
        .arg(lock.LockFile, lock.User.isEmpty() ? unknown : lock.User,
             lock.Host.isEmpty() ? unknown : lock.Host,
             lock.Time.isValid() ? lock.Time.toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                 : unknown);
}

QString LinuxSpreadsheetHost::holder() const {
    const std::optional<WorkbookLock> lock = WorkbookLockHolder(mWorkbook, mSystem);
    return lock ? LockHolderText(*lock) : QString();
}

bool LinuxSpreadsheetHost::IsInstalled() {
    return !openers().isEmpty();
}

bool LinuxSpreadsheetHost::IsRunning() {
    return WorkbookLocked(mWorkbook, mSystem);
}

bool LinuxSpreadsheetHost::QuitRunning() {
    // Closing the program is the operator's decision: only report whether it has let go.
    return IsRunning();
}

QStringList LinuxSpreadsheetHost::openers() const {
    QStringList programs;
    if (mSystem.desktopSession) {
        const QString opener = FindProgram(QStringLiteral("xdg-open"), mSystem.searchPaths);
        if (!opener.isEmpty())
            programs << opener;
    }
    const QString spreadsheet = FindSpreadsheetProgram(mSystem);
    if (!spreadsheet.isEmpty())
        programs << spreadsheet;
    return programs;
}

namespace {

// A LibreOffice installed without any window plug-in (Debian's "-nogui" packages) converts files
// but cannot show one: started on a workbook it ends with an error after a few seconds.
bool ShowsWindows(const QString& program) {
    const QDir folder = QFileInfo(QFileInfo(program).canonicalFilePath()).absoluteDir();
    if (!folder.exists(QStringLiteral("soffice.bin")))
        return true; // not LibreOffice's launcher: nothing to tell beforehand
    return !folder.entryList({QStringLiteral("libvclplug_*")}, QDir::Files).isEmpty();
}

} // namespace

bool LinuxSpreadsheetHost::Open(const QString& file, QString* error) {
    const QString native = ToNativePath(file);
    if (!QFileInfo::exists(native)) {
        *error = QStringLiteral("ファイルがありません: ") + native;
        return false;
    }
    const QStringList programs = openers();
    if (programs.isEmpty()) {
        *error = QStringLiteral("ブックを開くプログラム（表計算ソフト）が見つかりません。");
        return false;
    }
    QStringList causes;
    for (const QString& program : programs) {
        if (!ShowsWindows(program)) {
            causes << QStringLiteral("%1: 画面を表示できない LibreOffice（nogui 版）です。")
                          .arg(program);
            continue;
        }
        const ProgramStart start = StartProgram(program, {native}, OpenWatchMs);
        if (start.ok())
            return true;
        causes << QStringLiteral("%1: %2").arg(program, start.Cause);
    }
    *error =
        QStringLiteral("ブックを開くプログラムを起動できませんでした。\r") + causes.join(u'\r');
    return false;
}

} // namespace plw
