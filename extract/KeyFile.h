#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace plw {

class Clock;

namespace db {
class Recordset;
}

// One record of the key file: the customers of an extraction, 48 bytes each in CP932, numbered from
// 1 without a header. Texts are left-aligned and blank padded.
//   0  7  customer number
//   7  1  flag, a blank
//   8 14  time of writing "YYYYMMDDHHMMSS"
//  22 26  blanks
struct KeyFileRecord {
    static constexpr qsizetype Length = 48;
    static constexpr qsizetype CustomerNumberLength = 7;
    static constexpr qsizetype WrittenAtLength = 14;

    QString CustomerNumber;
    QString Flag;
    QString WrittenAt;

    bool operator==(const KeyFileRecord&) const = default;
};

// The record's 48 bytes. False (with error) when a text has no CP932 form or is longer than its
// place: a customer number is never cut, since a cut number would name another customer.
bool EncodeKeyFileRecord(const KeyFileRecord& record, QByteArray* bytes, QString* error);
// The record in 48 bytes at data, texts as stored (padding included).
KeyFileRecord DecodeKeyFileRecord(const char* data);

// Writes the key file from the rows in their order: one record per row with the row's M1KaiBan and
// the time of writing, which the clock gives (read again whenever 10 ms have passed, the time being
// kept to the second). The file is replaced as a whole; on failure it is left as it was and error
// tells why. written receives the number of records.
bool WriteKeyFile(const QString& systemPath, db::Recordset& rows, const Clock& clock,
                  qint64* written, QString* error);

// Reads a key file record by record. The count is the number of whole records: a fragment at the
// end (a length that is no multiple of 48) is ignored.
class KeyFileReader {
public:
    // False with a reason when the file cannot be opened.
    bool open(const QString& systemPath, QString* error);
    qint64 count() const { return mCount; }
    // The next record; false after the last one, or with error set when the file cannot be read.
    bool next(KeyFileRecord* record, QString* error);

private:
    QFile mFile;
    qint64 mCount = 0;
    qint64 mRead = 0;
    QByteArray mBuffer;
    qsizetype mPos = 0;
};

} // namespace plw
