#pragma once

#include <QByteArray>
#include <QString>

namespace plw {

// The fixed-record encoding shared by every settings file of the suite.
//
// A file is a sequence of records of one length, numbered from 1, without a header; record n
// starts at byte (n - 1) x length. Fields follow each other from the record's first byte:
//  - variable-length text: 16-bit little-endian byte count, then the CP932 bytes;
//  - fixed-length text of k bytes: blank padded, or NUL bytes when never set;
//  - 16-bit little-endian signed integers;
//  - arrays: their elements in order, nothing before them.

// Builds the bytes of one record. A field that does not fit the record length, or a text that
// CP932 cannot hold, fails the record: error() tells which, and the record must not be written.
class RecordWriter {
public:
    explicit RecordWriter(qsizetype recordLength);

    void text(const QString& value);
    void fixedText(const QString& value, qsizetype length); // blank padded; too long fails
    void unsetFixedText(qsizetype length);                  // NUL bytes
    void rawBytes(const QByteArray& bytes);                  // bytes kept exactly as read
    void int16(qint16 value);

    bool ok() const { return mError.isEmpty(); }
    const QString& error() const { return mError; }
    // The fields as written, without padding up to the record length.
    const QByteArray& bytes() const { return mBytes; }
    qsizetype recordLength() const { return mLength; }

private:
    bool append(const QByteArray& bytes, const QString& what);
    void fail(const QString& message);

    qsizetype mLength;
    QByteArray mBytes;
    QString mError;
    int mField = 0;
};

// Reads fields from the bytes of one record. Past the end of the bytes (a file that ends early)
// every field reads as empty: texts "", integers 0, raw bytes NUL.
class RecordReader {
public:
    explicit RecordReader(QByteArray record);

    QString text();
    QString fixedText(qsizetype length); // decoded as stored, padding included
    QByteArray rawBytes(qsizetype length);
    qint16 int16();
    void skip(qsizetype length) { mPos += length; }
    qsizetype position() const { return mPos; }

private:
    QByteArray take(qsizetype length);

    QByteArray mRecord;
    qsizetype mPos = 0;
};

// Reads record n of a file: the bytes the file holds of it (fewer when the file ends early; the
// RecordReader reads the missing ones as empty). False when the file cannot be opened or read, or
// holds no byte of record n.
bool ReadRecord(const QString& systemPath, qsizetype recordLength, qsizetype n, QByteArray* record,
                QString* error);

// Writes a record as record n of a file, created when missing, by atomic replacement. The bytes of
// other records, and of this record beyond its fields, are kept as they were. A record whose
// writer failed, or whose fields exceed the record length, is refused.
bool WriteRecord(const QString& systemPath, qsizetype n, const RecordWriter& record,
                 QString* error);

} // namespace plw
