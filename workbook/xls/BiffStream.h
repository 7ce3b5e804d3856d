#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>

namespace plw::xls {

// The data of one BIFF8 record under construction, little-endian.
class RecordData {
public:
    void u8(int value) { mData.append(char(value & 0xFF)); }
    void u16(int value);
    void u32(std::uint32_t value);
    void f64(double value);
    void bytes(const QByteArray& bytes) { mData.append(bytes); }
    void bytes(const char* data, int size) { mData.append(data, size); }
    void zeros(int count) { mData.append(count, '\0'); }
    // XLUnicodeString (16-bit character count) or ShortXLUnicodeString (8-bit count): the
    // count, a flag byte, the characters in one byte each when all are below U+0100, else UTF-16.
    void unicodeString(const QString& text, bool shortCount = false);
    // XLUnicodeStringNoCch: the flag byte and the characters; the count is written elsewhere.
    void unicodeStringNoCount(const QString& text);
    // The characters of text as UTF-16LE, without count or flags.
    void utf16(const QString& text);

    void setU16(int at, int value);
    void setU32(int at, std::uint32_t value);

    int size() const { return int(mData.size()); }
    const QByteArray& data() const { return mData; }
    void clear() { mData.clear(); }

    // True when every character of text fits one byte in the compressed form.
    static bool IsCompressible(const QString& text);

private:
    QByteArray mData;
};

// The data of a small record built in a buffer of its own, without allocating: the cell
// table's records, written by the million.
template <int Capacity> class FixedRecord {
public:
    void u16(int value) {
        mData[mSize++] = char(value & 0xFF);
        mData[mSize++] = char((value >> 8) & 0xFF);
    }
    void u32(std::uint32_t value) {
        u16(int(value & 0xFFFF));
        u16(int(value >> 16));
    }
    void f64(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(std::uint32_t(bits & 0xFFFFFFFFu));
        u32(std::uint32_t(bits >> 32));
    }
    void clear() { mSize = 0; }
    const char* data() const { return mData; }
    int size() const { return mSize; }

private:
    char mData[Capacity];
    int mSize = 0;
};

// The largest data a record holds; longer data goes on in CONTINUE records.
constexpr int MaxRecordData = 8224;

// A substream of the Workbook stream under construction. Positions are offsets in the whole
// Workbook stream: base is where this part of the stream begins.
class BiffStream {
public:
    explicit BiffStream(qint64 base = 0) : mBase(base) {}

    // The stream offset the next record starts at.
    qint64 position() const { return mBase + mBytes.size(); }
    qint64 base() const { return mBase; }

    // Appends a record; data longer than a record holds is split into CONTINUE records.
    void add(std::uint16_t id, const RecordData& data);
    void add(std::uint16_t id, const char* data, int size);
    void add(std::uint16_t id) { add(id, nullptr, 0); }
    // A record holding one 16-bit value.
    void addU16(std::uint16_t id, int value);

    // The BOF record that begins a substream of a type (0x0005 workbook globals, 0x0010 a
    // worksheet, 0x0020 a chart), as the BIFF8 version of Excel 2003 writes it.
    void addBof(int type);

    // Overwrites 4 bytes at a stream offset inside this part of the stream.
    void patchU32(qint64 streamOffset, std::uint32_t value);

    const QByteArray& bytes() const { return mBytes; }
    QByteArray& bytes() { return mBytes; }
    void reserve(qsizetype size) { mBytes.reserve(size); }

private:
    qint64 mBase;
    QByteArray mBytes;
};

} // namespace plw::xls
