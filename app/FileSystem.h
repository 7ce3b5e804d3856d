#pragma once

#include <QByteArray>
#include <QString>

namespace plw {

// The one boundary between the system's paths and the file system.
//
// The system composes paths as folder value + fixed piece, and a fixed piece may be written with
// "\" ("DATA\PLW_MST.MDB"). ToNativePath turns such a text into a Linux path: "\" becomes "/",
// and since the suite's files come from a case-insensitive file system, every component that
// does not exist under its exact name is matched to an existing entry that differs only in
// letter case. Components that exist nowhere are kept as written (a file about to be created).
QString ToNativePath(const QString& systemPath);

// Reads a whole file; false with a reason when it cannot be opened or read.
bool ReadWholeFile(const QString& systemPath, QByteArray* bytes, QString* error);

// Replaces a file atomically: the bytes go to a temporary file beside it, which is then renamed
// over the target, so an interrupted write never leaves a half-written file.
bool WriteFileAtomically(const QString& systemPath, const QByteArray& bytes, QString* error);

} // namespace plw
