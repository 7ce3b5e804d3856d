#pragma once

#include "app/ProgramEnd.h"
#include "app/RecordFile.h"

#include <QString>
#include <QStringList>

namespace plw {

struct Environment;
class Prompter;

// Finding the installation: the location file names the folder of the system description, whose
// record gives the work and system folders and the start-up flags.

inline const QString LocationFileIni = QStringLiteral("場所PLW.INI");
inline const QString LocationFileTws = QStringLiteral("場所PLW.TWS");
inline const QString FixedLocationFile = QStringLiteral("/opt/PLW/INI/場所PLW.TWS");
inline const QString SystemDescriptionFile = QStringLiteral("F0SysCmPLW.TWS");
constexpr qsizetype SystemDescriptionRecordLength = 4096;

// The location files tried in order: the program's folder + "場所PLW.INI", + "場所PLW.TWS", then
// the fixed path. A location file named on the command line replaces the search.
QStringList LocationFileCandidates(const Environment& environment);

// The folder that holds the system description, or "" after the failure message was shown.
QString LocateSystemDescription(const Environment& environment, Prompter& prompter);

// The fields of the system description record as the program uses them, each text trimmed.
struct SystemDescription {
    int DebugMode = 0;
    int StartMode = 0;
    QString PrinterDestination;
    QString WorkFolder;
    QString SystemFolder;
    QString ScreenSide;
};

// Decodes a record (bytes missing at its end read as empty).
SystemDescription DecodeSystemDescription(const QByteArray& record);
// The record as the suite writes it (for installations made by the sample generator and tests):
// the named fields at their offsets, every other byte blank.
RecordWriter EncodeSystemDescription(const SystemDescription& description);

enum class MenuCheck { Required, Skipped };

// Locates and reads the system description, sets the environment values and paths and, unless
// skipped (batch mode), requires the menu marker. Returns the program's end on any failure.
MaybeEnd LoadSystemDescription(Environment& environment, Prompter& prompter,
                               MenuCheck menuCheck = MenuCheck::Required);

} // namespace plw
