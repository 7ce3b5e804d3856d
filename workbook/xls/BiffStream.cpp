#include "workbook/xls/BiffStream.h"

#include "workbook/xls/RecordIds.h"

#include <cstring>

namespace plw::xls {

void RecordData::u16(int value) {
    const char bytes[2] = {char(value & 0xFF), char((value >> 8) & 0xFF)};
    mData.append(bytes, 2);
}

void RecordData::u32(std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char((value >> 24) & 0xFF)};
    mData.append(bytes, 4);
}

void RecordData::f64(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    u32(std::uint32_t(bits & 0xFFFFFFFFu));
    u32(std::uint32_t(bits >> 32));
}

bool RecordData::IsCompressible(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

void RecordData::unicodeString(const QString& text, bool shortCount) {
    if (shortCount)
        u8(int(text.size()));
    else
        u16(int(text.size()));
    unicodeStringNoCount(text);
}

void RecordData::unicodeStringNoCount(const QString& text) {
    if (IsCompressible(text)) {
        u8(0);
        for (QChar c : text)
            u8(c.unicode());
    } else {
        u8(1);
        utf16(text);
    }
}

void RecordData::utf16(const QString& text) {
    for (QChar c : text)
        u16(c.unicode());
}

void RecordData::setU16(int at, int value) {
    mData[at] = char(value & 0xFF);
    mData[at + 1] = char((value >> 8) & 0xFF);
}

void RecordData::setU32(int at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        mData[at + i] = char((value >> (8 * i)) & 0xFF);
}

void BiffStream::add(std::uint16_t id, const RecordData& data) {
    add(id, data.data().constData(), data.size());
}

void BiffStream::add(std::uint16_t id, const char* data, int size) {
    int done = 0;
    do {
        const int chunk = std::min(size - done, MaxRecordData);
        const std::uint16_t recordId = done == 0 ? id : Rec::Continue;
        const char header[4] = {char(recordId & 0xFF), char(recordId >> 8), char(chunk & 0xFF),
                                char(chunk >> 8)};
        mBytes.append(header, 4);
        if (chunk > 0)
            mBytes.append(data + done, chunk);
        done += chunk;
    } while (done < size);
}

void BiffStream::addU16(std::uint16_t id, int value) {
    RecordData data;
    data.u16(value);
    add(id, data);
}

void BiffStream::addBof(int type) {
    RecordData bof;
    bof.u16(0x0600);
    bof.u16(type);
    bof.u16(0x0DBB);
    bof.u16(0x07CC);
    bof.u32(0x00000041);
    bof.u32(0x00000006);
    add(Rec::Bof, bof);
}

void BiffStream::patchU32(qint64 streamOffset, std::uint32_t value) {
    const qsizetype at = qsizetype(streamOffset - mBase);
    for (int i = 0; i < 4; ++i)
        mBytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

} // namespace plw::xls
