#include "report/SpreadsheetHost.h"

#include "app/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    while (!stat.atEnd()) {
        const QByteArray line = stat.readLine().trimmed();
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
    return HostSystem{{}, QSysInfo::machineHostName(), ReadBootTime(), SpreadsheetProcessRunning};
}

bool SpreadsheetProcessRunning() {
    static const QByteArrayList names = {"soffice.bin", "soffice", "oosplash", "libreoffice",
                                         "gnumeric"};
    const QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return true; // cannot tell: assume one does
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && names.contains(comm.readAll().trimmed()))
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

bool LinuxSpreadsheetHost::IsInstalled() {
    return !FindSpreadsheetProgram(mSystem).isEmpty();
}

bool LinuxSpreadsheetHost::IsRunning() {
    const QFileInfo lock(LockFilePath(mWorkbook));
    if (!lock.exists())
        return false;
    // A lock this machine wrote before it last started cannot belong to a running program.
    QFile file(lock.filePath());
    if (!file.open(QIODevice::ReadOnly) || !mSystem.bootTime.isValid())
        return true;
    const QStringList fields = LockFields(QString::fromUtf8(file.read(4096)));
    const bool thisHost =
        fields.size() > 2 && fields.at(2).compare(mSystem.hostName, Qt::CaseInsensitive) == 0;
    const bool beforeBoot = lock.lastModified() < mSystem.bootTime;
    const bool nothingRuns =
        mSystem.spreadsheetProcessRunning && !mSystem.spreadsheetProcessRunning();
    return !(thisHost && (beforeBoot || nothingRuns));
}

bool LinuxSpreadsheetHost::QuitRunning() {
    // Closing the program is the operator's decision: only report whether it has let go.
    return IsRunning();
}

bool LinuxSpreadsheetHost::Open(const QString& file, QString* error) {
    const QString native = ToNativePath(file);
    if (!QFileInfo::exists(native)) {
        *error = QStringLiteral("ファイルがありません: ") + native;
        return false;
    }
    const QString program = FindSpreadsheetProgram(mSystem);
    if (program.isEmpty()) {
        *error = QStringLiteral("表計算ソフトが見つかりません。");
        return false;
    }
    if (!QProcess::startDetached(program, {native})) {
        *error = QStringLiteral("表計算ソフトを起動できません: ") + program;
        return false;
    }
    return true;
}

} // namespace plw
