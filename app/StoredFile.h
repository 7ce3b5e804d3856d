#pragma once

#include <QString>

namespace plw {

// What reading one of the program's stored settings files found. A file that is not there, or
// holds nothing, is a first start; one that is there but cannot be used is damaged, never taken
// for "nothing stored".
struct StoredFileRead {
    enum class State { Read, Missing, Empty, Damaged };
    State Outcome = State::Read;
    // Damaged: why, for the operator.
    QString Cause;

    bool ok() const { return Outcome == State::Read; }
    explicit operator bool() const { return ok(); }
    bool absent() const { return Outcome == State::Missing || Outcome == State::Empty; }
    bool damaged() const { return Outcome == State::Damaged; }
    static StoredFileRead Damage(const QString& cause) { return {State::Damaged, cause}; }
};

// Reads record 1 of a stored file of recordLength bytes (fewer when the file ends early): Read,
// Missing, Empty, or Damaged with the cause (a folder in its place, an unreadable file).
StoredFileRead ReadStoredRecord(const QString& systemPath, qsizetype recordLength,
                                QByteArray* record);

// Renames a damaged file aside ("NAME.damaged", or "NAME.damaged2" and on when that is taken),
// so that nothing written later replaces it. The new name in keptAs; false with the cause.
bool KeepAside(const QString& systemPath, QString* keptAs, QString* error);

// Keeps a damaged file aside and returns the operator's message: which file (what it holds)
// could not be read and why, how the program goes on, and where the damaged file now is.
QString KeepDamagedFile(const QString& systemPath, const QString& what, const StoredFileRead& read,
                        const QString& goingOn);

} // namespace plw
