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

// The one way the program replaces a file as a whole (settings and condition files, the key
// file, templates, the workbook, the converted workbook): what is written goes to a temporary
// file beside the target (hidden, named for this process as RunTemporaryTemplate names it, so
// that what a process that died left there goes at a later replacement), which commit() renames
// over the target, so that an interrupted write never leaves a half-written file. A link is
// followed. A new file gets the permissions the umask gives; a replaced one keeps its mode and,
// where this process may, its owner and group (a group that cannot be kept gets no more than
// others have). A file this process may not write is not replaced. Each step answers false with
// the system's cause in errorString() (SystemErrorText: a full disk, no permission...); the
// target is then as it was and the temporary file is gone, as it is when the object goes before
// commit().
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool open(const QString& systemPath);
    bool write(const QByteArray& bytes);
    bool commit();
    QString errorString() const { return mError; }

private:
    void discard();
    bool fail(int errorNumber);

    QByteArray mTarget;
    QByteArray mTemporary;
    int mDescriptor = -1;
    QString mError;
};

// Replaces a file with bytes through a FileReplacement; false with the system's cause.
bool WriteFileAtomically(const QString& systemPath, const QByteArray& bytes, QString* error);

// Replaces a file with a copy of another file (one another program made) through a
// FileReplacement; false with the system's cause.
bool CopyFileAtomically(const QString& sourcePath, const QString& systemPath, QString* error);

// The cause of a failed file operation as the operator reads it: the causes an operator can act
// on (a full disk, no permission, a read-only place, a missing folder...) in Japanese, any other
// as the system words it.
QString SystemErrorText(int errorNumber);

} // namespace plw
