#include "workbook/xls/SharedStringTable.h"

#include "workbook/xls/BiffStream.h"
#include "workbook/xls/RecordIds.h"

#include <vector>

namespace plw::xls {

namespace {

// Where one string of every bucket starts: its stream offset and its offset in its record.
struct BucketStart {
    qint64 streamOffset;
    int recordOffset;
};

// Writes records of at most MaxRecordData bytes straight into a stream, the first one as SST
// and each further one as CONTINUE.
class RecordSplitter {
public:
    explicit RecordSplitter(BiffStream& stream) : mStream(stream) { open(Rec::SST); }
    ~RecordSplitter() { close(); }

    int room() const { return MaxRecordData - mLength; }
    qint64 position() const { return mStream.position(); }
    int offsetInRecord() const { return int(mStream.position() - mRecordStart); }
    void next() {
        close();
        open(Rec::Continue);
    }
    void append(const char* data, int size) {
        mStream.bytes().append(data, size);
        mLength += size;
    }
    void u8(int value) {
        const char c = char(value);
        append(&c, 1);
    }
    // count characters of text from from, one byte each or UTF-16LE.
    void characters(const QString& text, qsizetype from, qsizetype count, bool compressed) {
        QByteArray& bytes = mStream.bytes();
        const qsizetype at = bytes.size();
        const qsizetype size = count * (compressed ? 1 : 2);
        bytes.resize(at + size);
        char* out = bytes.data() + at;
        const QChar* in = text.constData() + from;
        for (qsizetype k = 0; k < count; ++k) {
            const char16_t c = in[k].unicode();
            if (compressed) {
                out[k] = char(c);
            } else {
                out[2 * k] = char(c & 0xFF);
                out[2 * k + 1] = char(c >> 8);
            }
        }
        mLength += int(size);
    }
    void u16(int value) {
        const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
        append(bytes, 2);
    }
    void u32(quint32 value) {
        u16(int(value & 0xFFFF));
        u16(int(value >> 16));
    }

private:
    void open(std::uint16_t id) {
        mRecordStart = mStream.position();
        mHeaderAt = mStream.bytes().size();
        const char header[4] = {char(id & 0xFF), char(id >> 8), 0, 0};
        mStream.bytes().append(header, 4);
        mLength = 0;
    }
    void close() {
        QByteArray& bytes = mStream.bytes();
        bytes[mHeaderAt + 2] = char(mLength & 0xFF);
        bytes[mHeaderAt + 3] = char(mLength >> 8);
    }

    BiffStream& mStream;
    qint64 mRecordStart = 0;
    qsizetype mHeaderAt = 0;
    int mLength = 0;
};

} // namespace

int SharedStringTable::add(const QString& text) {
    auto it = mIndex.constFind(text);
    if (it != mIndex.constEnd())
        return it.value();
    const int index = int(mStrings.size());
    mStrings.append(text);
    mIndex.insert(text, index);
    return index;
}

void SharedStringTable::write(BiffStream& stream) const {
    // Excel keeps EXTSST within one record: at most 128 buckets of at least 8 strings.
    const int perBucket = std::max(8, (size() + 127) / 128);
    std::vector<BucketStart> buckets;
    {
        RecordSplitter out(stream);
        out.u32(quint32(mReferences));
        out.u32(quint32(size()));
        for (int i = 0; i < size(); ++i) {
            const QString& text = mStrings.at(i);
            const bool compressed = RecordData::IsCompressible(text);
            const int charSize = compressed ? 1 : 2;
            // The count, the option byte and the first character stay together.
            if (out.room() < 3 + (text.isEmpty() ? 0 : charSize))
                out.next();
            if (i % perBucket == 0)
                buckets.push_back({out.position(), out.offsetInRecord()});
            out.u16(int(text.size()));
            out.u8(compressed ? 0 : 1);
            qsizetype done = 0;
            while (done < text.size()) {
                qsizetype fits = out.room() / charSize;
                if (fits == 0) {
                    out.next();
                    out.u8(compressed ? 0 : 1);
                    continue;
                }
                fits = std::min(fits, text.size() - done);
                out.characters(text, done, fits, compressed);
                done += fits;
            }
        }
    }
    RecordData ext;
    ext.u16(perBucket);
    for (const BucketStart& bucket : buckets) {
        ext.u32(quint32(bucket.streamOffset));
        ext.u16(bucket.recordOffset);
        ext.u16(0);
    }
    stream.add(Rec::ExtSST, ext);
}

} // namespace plw::xls
