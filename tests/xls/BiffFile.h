#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace plw::test {

// One record of a Workbook stream: its type, its offset in the stream and its data.
struct BiffRecord {
    std::uint16_t id = 0;
    qint64 offset = 0;
    QByteArray data;
};

// The Workbook stream of an .xls file, read through libgsf; false with the reason.
bool ReadWorkbookStream(const QString& path, QByteArray* stream, QString* error);

// The records of a stream up to the zero padding after its last EOF; false with the reason
// when a record runs past the end.
bool SplitRecords(const QByteArray& stream, std::vector<BiffRecord>* records, QString* error);

// A record type's name ("SST", "LABELSST"), or its number in hex when unknown.
QString RecordName(std::uint16_t id);

// The record kinds present, by name; CONTINUE records are counted with the record they follow.
QSet<QString> RecordKinds(const std::vector<BiffRecord>& records);

// A dump for a failing test's message: one line per record, names and sizes.
QString Dump(const std::vector<BiffRecord>& records, int limit = 400);

// What is wrong with the stream's structure: record lengths, BOF/EOF nesting, the sheet
// positions of BOUNDSHEET, the order of the required records of the globals and of each sheet,
// INDEX and DBCELL offsets, the shared strings with their CONTINUE records and EXTSST offsets,
// and shared-string references of the cells. Empty when nothing is.
QStringList StructuralProblems(const QByteArray& stream);

// The shared strings of the stream in order (for checking their text).
QStringList SharedStrings(const std::vector<BiffRecord>& records);

// Little-endian readers.
inline int U16(const QByteArray& data, qsizetype at) {
    return std::uint8_t(data[at]) | std::uint8_t(data[at + 1]) << 8;
}
inline std::uint32_t U32(const QByteArray& data, qsizetype at) {
    return std::uint32_t(U16(data, at)) | std::uint32_t(U16(data, at + 2)) << 16;
}

} // namespace plw::test
