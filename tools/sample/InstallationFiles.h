#pragma once

#include "app/RecordFile.h"

#include <QByteArray>
#include <QString>

namespace plw::sample {

// The folders of a sample installation under its root folder DIR:
//   DIR/場所PLW.TWS        location file, naming DIR/PLW/
//   DIR/PLW/               system folder: F0SysCmPLW.TWS, DATA/, INI/, DMFR/, ELFR/
//   DIR/PLW/WORK/          work folder: PLW_TRN.MDB, MODORI.DAT
// Folder values end with "/", as the system appends file names to them.
struct SampleFolders {
    QString root;
    QString systemFolder;
    QString workFolder;
};

// The folders for a root given as typed (made absolute). False with a reason when a folder does
// not fit its 128-byte field of the system description or holds a character CP932 lacks.
bool MakeSampleFolders(const QString& root, SampleFolders* folders, QString* error);

// The location file: three CR LF lines in CP932, the third naming the system folder.
QByteArray LocationFileBytes(const SampleFolders& folders);

// Record 1 of F0SysCmPLW.TWS, the full 4096 bytes: debug mode 0, start mode 2 (no menu marker
// needed), printer "LPT", the two folders and the screen side; every other field blank, the
// bytes after the last field NUL.
RecordWriter SystemDescriptionRecord(const SampleFolders& folders, const QString& screenSide);

// Record 1 of INI\KIKISYU.SYS: device type "2", subtype "1".
QByteArray DeviceDescriptionBytes();

// Record 1 of MODORI.DAT: a few of the suite's programs, this program ("PLWAN40") among them,
// each returning to "PLWMENU"; the other slots blank.
RecordWriter ReturnTableRecord();

} // namespace plw::sample
