#pragma once

#include <QString>
#include <QStringList>

namespace plw {

// The files installed with the program (the template workbook, the explanatory document) are
// looked for in the program's own folder (the build folder keeps them there), then in its data
// folder ../share/plwan40 (an installation under any prefix, or an unpacked package).
QStringList ProgramFileFolders(const QString& programFolder);

// The path of the first file called name in those folders ("" when there is none).
QString FindProgramFile(const QString& programFolder, const QString& name);

} // namespace plw
