#pragma once

#include "app/RecordFile.h"

#include <QList>
#include <QString>

namespace plw {

struct Environment;

// The return table MODORI.DAT tells which program to start when a program of the suite ends.
constexpr qsizetype ReturnTableRecordLength = 4864;
constexpr int ReturnTableSlots = 256;

// The return program for a caller identifier, trimmed; "" when the table has no entry for it or
// cannot be read.
QString FindReturnProgram(const Environment& environment, const QString& callerId);
QString FindReturnProgramInRecord(const QByteArray& record, const QString& callerId);

struct ReturnEntry {
    QString Code;    // up to 3 characters
    QString Program; // up to 8
    QString Caller;  // up to 8
};
// The record as the suite writes it, entries in slots 1, 2, ...; unused slots blank.
RecordWriter EncodeReturnTable(const QList<ReturnEntry>& entries);

enum class StartResult { Started, NotFound, Failed };

// Starts the return program as a new process of its own, never through a shell. A bare name is
// looked for in the program's folder, the system folder and then the PATH, each without regard
// to letter case in the folders.
StartResult StartReturnProgram(const Environment& environment, const QString& program);

} // namespace plw
