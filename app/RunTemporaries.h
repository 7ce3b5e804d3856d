#pragma once

#include <QString>

namespace plw {

// The temporary files and folders a run makes (a file being replaced, the package beside the
// workbook, the conversion's folder, the office profile) carry the making process's id in their
// names, so that a later run can tell the leftovers of a run that died from those of one still at
// work.

// The template of such a name for QTemporaryFile/QTemporaryDir: kind "." + "plwan40-" or
// "plwan40-office-", then this process's id, then "-XXXXXX" and the suffix.
QString RunTemporaryTemplate(const QString& folder, const QString& kind,
                             const QString& suffix = {});

// Removes from folder every file or folder named by RunTemporaryTemplate with one of the kinds
// whose process is no longer running. Nothing else is touched; what cannot be removed stays.
void RemoveStaleRunTemporaries(const QString& folder);

} // namespace plw
