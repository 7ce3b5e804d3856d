#pragma once

#include "app/StoredFile.h"

#include <QString>

namespace plw {

struct OutputScreenState;

// The program's own settings of the output screen, kept apart from PLWAN40.PRM (whose record
// layout is the suite's): the comparison with a kept run and the mailing list. One record of the
// settings files' encoding in the work folder: the marker "V10OPT", then the comparison ("" the
// newest kept run before the base date, "NONE", or a base date "YYYYMMDD"), the mailing list
// "1"/"0", its groups as letters ("AB"), its kind "DM" or "MAIL" and its file.
inline constexpr char16_t OwnSettingsFileName[] = u"PLWAN40.OPT";
constexpr qsizetype OwnSettingsRecordLength = 1024;

// Reads the settings into state. A missing or empty file leaves the defaults; one that holds
// anything else than these settings leaves state as it was and says it is damaged.
StoredFileRead ReadOwnSettings(const QString& systemPath, OutputScreenState& state);

// Writes them, atomically; false with the reason (a file name that does not fit, a character
// CP932 cannot hold), the file then left as it was.
bool WriteOwnSettings(const QString& systemPath, const OutputScreenState& state, QString* error);

} // namespace plw
