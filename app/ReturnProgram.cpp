#include "app/ReturnProgram.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/FileSystem.h"
#include "app/RecordFile.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace plw {
namespace {

constexpr qsizetype ReturnProgramOffset = 768;
constexpr qsizetype CallerOffset = 2816;
constexpr qsizetype SlotWidth = 8;

// The executable file for the program name, or "" when there is none.
QString locateProgram(const Environment& environment, const QString& program) {
    const bool hasFolder =
        program.contains(QLatin1Char('/')) || program.contains(QLatin1Char('\\'));
    QStringList candidates;
    if (hasFolder) {
        candidates << program;
    } else {
        for (const QString& folder :
             {environment.ProgramFolder + QStringLiteral("/"), environment.SystemFolder}) {
            if (!folder.isEmpty() && folder != QLatin1String("/"))
                candidates << folder + program;
        }
    }
    for (const QString& candidate : candidates) {
        const QFileInfo info(ToNativePath(candidate));
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    if (!hasFolder)
        return QStandardPaths::findExecutable(program);
    return QString();
}

} // namespace

QString FindReturnProgramInRecord(const QByteArray& record, const QString& callerId) {
    const QString key = (callerId + QString(SlotWidth, QLatin1Char(' '))).left(SlotWidth);
    RecordReader callers(record);
    callers.skip(CallerOffset);
    for (int slot = 0; slot < ReturnTableSlots; ++slot) {
        if (callers.fixedText(SlotWidth) != key)
            continue;
        RecordReader programs(record);
        programs.skip(ReturnProgramOffset + slot * SlotWidth);
        return TrimAll(programs.fixedText(SlotWidth));
    }
    return QString();
}

RecordWriter EncodeReturnTable(const QList<ReturnEntry>& entries) {
    RecordWriter writer(ReturnTableRecordLength);
    auto column = [&](qsizetype width, auto field) {
        for (int slot = 0; slot < ReturnTableSlots; ++slot)
            writer.fixedText(slot < entries.size() ? field(entries[slot]) : QString(), width);
    };
    column(3, [](const ReturnEntry& e) { return e.Code; });
    column(SlotWidth, [](const ReturnEntry& e) { return e.Program; });
    column(SlotWidth, [](const ReturnEntry& e) { return e.Caller; });
    return writer;
}

QString FindReturnProgram(const Environment& environment, const QString& callerId) {
    QByteArray record;
    if (!ReadRecord(environment.ReturnTablePath, ReturnTableRecordLength, 1, &record, nullptr))
        return QString();
    return FindReturnProgramInRecord(record, callerId);
}

StartResult StartReturnProgram(const Environment& environment, const QString& program) {
    if (program.isEmpty())
        return StartResult::Failed;
    const QString executable = locateProgram(environment, program);
    if (executable.isEmpty())
        return StartResult::NotFound;
    QProcess process;
    process.setProgram(executable);
    process.setWorkingDirectory(QFileInfo(executable).absolutePath());
    return process.startDetached() ? StartResult::Started : StartResult::Failed;
}

} // namespace plw
