#include "tools/sample/InstallationFiles.h"

#include "app/AnsiCodec.h"
#include "app/MF0SysCmPLW.h"
#include "app/ReturnProgram.h"
#include "app/ScreenFrame.h"

#include <QDir>

namespace plw::sample {
namespace {

constexpr qsizetype FolderFieldBytes = 128;

bool checkFolder(const QString& what, const QString& folder, QString* error) {
    const QString bad = AnsiCodec::firstUnencodable(folder);
    if (!bad.isEmpty()) {
        *error =
            QStringLiteral("%1 %2 に CP932 で表せない文字「%3」があります").arg(what, folder, bad);
        return false;
    }
    const qsizetype bytes = AnsiCodec::byteLength(folder);
    if (bytes > FolderFieldBytes) {
        *error = QStringLiteral("%1 %2 は %3 バイトあり、システム緒言の %4 バイトの欄に入りません")
                     .arg(what, folder)
                     .arg(bytes)
                     .arg(FolderFieldBytes);
        return false;
    }
    return true;
}

} // namespace

bool MakeSampleFolders(const QString& root, SampleFolders* folders, QString* error) {
    QString absolute = QDir::cleanPath(QDir(root).absolutePath());
    if (!absolute.endsWith(QLatin1Char('/')))
        absolute += QLatin1Char('/');
    SampleFolders f;
    f.root = absolute;
    f.systemFolder = absolute + QStringLiteral("PLW/");
    f.workFolder = f.systemFolder + QStringLiteral("WORK/");
    if (!checkFolder(QStringLiteral("システムフォルダ"), f.systemFolder, error) ||
        !checkFolder(QStringLiteral("作業フォルダ"), f.workFolder, error))
        return false;
    *folders = f;
    return true;
}

QByteArray LocationFileBytes(const SampleFolders& folders) {
    const QString text = QStringLiteral("Twsystem Lumen v1 PLW\r\n"
                                        "システム緒言ファイルの場所\r\n") +
                         folders.systemFolder + QStringLiteral("\r\n");
    return AnsiCodec::encode(text).value_or(QByteArray());
}

RecordWriter SystemDescriptionRecord(const SampleFolders& folders, const QString& screenSide) {
    SystemDescription d;
    d.DebugMode = 0;
    d.StartMode = 2;
    d.PrinterDestination = QStringLiteral("LPT");
    d.WorkFolder = folders.workFolder;
    d.SystemFolder = folders.systemFolder;
    d.ScreenSide = screenSide;
    RecordWriter record = EncodeSystemDescription(d);
    record.unsetFixedText(SystemDescriptionRecordLength - record.bytes().size());
    return record;
}

QByteArray DeviceDescriptionBytes() {
    return EncodeDeviceType('2', '1');
}

RecordWriter ReturnTableRecord() {
    // The neighbour "PLWAN41" shares this program's prefix, so only an exact match finds it.
    return EncodeReturnTable({
        {QStringLiteral("010"), QStringLiteral("PLWMENU"), QStringLiteral("PLWCS10")},
        {QStringLiteral("020"), QStringLiteral("PLWMENU"), QStringLiteral("PLWDM10")},
        {QStringLiteral("030"), QStringLiteral("PLWMENU"), QStringLiteral("PLWEM10")},
        {QStringLiteral("041"), QStringLiteral("PLWMENU"), QStringLiteral("PLWAN41")},
        {QStringLiteral("040"), QStringLiteral("PLWMENU"), QStringLiteral("PLWAN40")},
    });
}

} // namespace plw::sample
