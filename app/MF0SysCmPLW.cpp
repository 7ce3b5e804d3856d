#include "app/MF0SysCmPLW.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/RecordFile.h"

namespace plw {
namespace {

const QString CarriageReturn = QStringLiteral("\r");

QString notFoundMessage(const QString& path) {
    return QStringLiteral("実行に必要な ") + path + QStringLiteral(" が見つかりません") +
           CarriageReturn + QStringLiteral("処理続行不可能");
}

} // namespace

QStringList LocationFileCandidates(const Environment& environment) {
    if (!environment.LocationFileOverride.isEmpty())
        return {environment.LocationFileOverride};
    return {environment.ProgramFolder + QStringLiteral("/") + LocationFileIni,
            environment.ProgramFolder + QStringLiteral("/") + LocationFileTws, FixedLocationFile};
}

QString LocateSystemDescription(const Environment& environment, Prompter& prompter) {
    const QStringList candidates = LocationFileCandidates(environment);
    QString chosen = candidates.last(); // used without a test when no other answers
    for (qsizetype i = 0; i + 1 < candidates.size(); ++i) {
        if (FileExists(candidates[i])) {
            chosen = candidates[i];
            break;
        }
    }

    QByteArray bytes;
    const QStringList lines =
        ReadWholeFile(chosen, &bytes, nullptr) ? AnsiCodec::decodeLines(bytes) : QStringList();
    if (lines.size() < 3) {
        prompter.show(notFoundMessage(chosen));
        return QString();
    }
    const QString folder = TrimBlanks(lines[2]);

    if (!CanOpenFile(folder + SystemDescriptionFile)) {
        prompter.show(QStringLiteral("下記システム緒言ファイルがありません") + CarriageReturn +
                          folder + SystemDescriptionFile,
                      MessageIcon::Critical);
        return QString();
    }
    return folder;
}

SystemDescription DecodeSystemDescription(const QByteArray& record) {
    RecordReader reader(record);
    SystemDescription d;
    d.DebugMode = reader.int16();
    d.StartMode = reader.int16();
    d.PrinterDestination = TrimAll(reader.fixedText(3));
    reader.skip(341 - reader.position());
    d.WorkFolder = TrimAll(reader.fixedText(128));
    d.SystemFolder = TrimAll(reader.fixedText(128));
    reader.skip(917 - reader.position());
    d.ScreenSide = TrimAll(reader.fixedText(5));
    return d;
}

RecordWriter EncodeSystemDescription(const SystemDescription& d) {
    RecordWriter writer(SystemDescriptionRecordLength);
    auto blanksUpTo = [&](qsizetype offset) {
        writer.fixedText(QString(), offset - writer.bytes().size());
    };
    writer.int16(static_cast<qint16>(d.DebugMode));
    writer.int16(static_cast<qint16>(d.StartMode));
    writer.fixedText(d.PrinterDestination, 3);
    blanksUpTo(341);
    writer.fixedText(d.WorkFolder, 128);
    writer.fixedText(d.SystemFolder, 128);
    blanksUpTo(917);
    writer.fixedText(d.ScreenSide, 5);
    blanksUpTo(4033);
    return writer;
}

MaybeEnd LoadSystemDescription(Environment& environment, Prompter& prompter, MenuCheck menuCheck) {
    const QString folder = LocateSystemDescription(environment, prompter);
    if (folder.isEmpty())
        return ProgramEnd{1};

    // An empty or short file reads as an empty record; only a file that cannot be read fails.
    const QString path = folder + SystemDescriptionFile;
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, nullptr)) {
        prompter.show(notFoundMessage(path));
        return ProgramEnd{1};
    }
    const SystemDescription d = DecodeSystemDescription(bytes.left(SystemDescriptionRecordLength));
    environment.DescriptionFolder = folder;
    environment.DebugMode = d.DebugMode;
    environment.StartMode = d.StartMode;
    environment.PrinterDestination = d.PrinterDestination;
    environment.WorkFolder = d.WorkFolder;
    environment.SystemFolder = d.SystemFolder;
    environment.ScreenSide = d.ScreenSide;
    environment.BuildPaths();

    if (menuCheck == MenuCheck::Required && environment.StartMode != 2 &&
        !FileExists(environment.MenuMarkerPath)) {
        prompter.show(QStringLiteral("メニューからしか起動できません"));
        return ProgramEnd{1};
    }
    return std::nullopt;
}

} // namespace plw
