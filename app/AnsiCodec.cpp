#include "app/AnsiCodec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace plw::AnsiCodec {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : mHandle(iconv_open(to, from)) {
        if (mHandle == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv で CP932 と UTF-16 の間を変換できません");
    }
    ~Converter() { iconv_close(mHandle); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    void reset() { iconv(mHandle, nullptr, nullptr, nullptr, nullptr); }
    iconv_t handle() const { return mHandle; }

private:
    iconv_t mHandle;
};

Converter& decoder() {
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

bool isPlainAscii(const QString& text) {
    for (QChar ch : text)
        if (ch.unicode() >= 0x80)
            return false;
    return true;
}

// Encodes one character (one or two UTF-16 units); false when CP932 has no form for it.
bool encodeUnits(const char16_t* units, size_t count, QByteArray* out) {
    Converter& c = encoder();
    c.reset();
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units));
    size_t inLeft = count * 2;
    char buffer[8];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(c.handle(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return false;
    if (out)
        out->append(buffer, outPtr - buffer);
    return true;
}

// Walks text character by character; calls onChar(units, count, encodedOk, bytes) for each.
template <typename F> void forEachCharacter(const QString& text, F&& onChar) {
    const char16_t* data = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    QByteArray bytes;
    for (qsizetype i = 0; i < n;) {
        size_t count = 1;
        if (QChar::isHighSurrogate(data[i]) && i + 1 < n && QChar::isLowSurrogate(data[i + 1]))
            count = 2;
        if (data[i] < 0x80) {
            bytes = QByteArray(1, static_cast<char>(data[i]));
            if (!onChar(i, count, true, bytes))
                return;
        } else {
            bytes.clear();
            const bool ok = encodeUnits(data + i, count, &bytes);
            if (!onChar(i, count, ok, bytes))
                return;
        }
        i += static_cast<qsizetype>(count);
    }
}

} // namespace

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QString decode(const char* data, qsizetype size) {
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(data[i]) < 0x80;
    if (ascii)
        return QString::fromLatin1(data, size);

    Converter& c = decoder();
    c.reset();
    std::vector<char16_t> out(static_cast<size_t>(size) + 1);
    char* in = const_cast<char*>(data);
    size_t inLeft = static_cast<size_t>(size);
    char* outPtr = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * 2;
    while (inLeft > 0) {
        if (iconv(c.handle(), &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // E2BIG cannot happen: every CP932 byte yields at most one UTF-16 unit
        // An invalid or truncated sequence: one replacement character for its first byte.
        const char16_t replacement = 0xFFFD;
        std::memcpy(outPtr, &replacement, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        c.reset();
    }
    const auto units = (reinterpret_cast<char16_t*>(outPtr) - out.data());
    return QString(reinterpret_cast<const QChar*>(out.data()), units);
}

QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

QStringList decodeLines(const QByteArray& bytes) {
    const QList<QByteArray> lines = splitLines(bytes);
    QStringList out;
    out.reserve(lines.size());
    for (const QByteArray& line : lines)
        out << decode(line);
    return out;
}

qsizetype firstInvalidByte(const QByteArray& bytes) {
    Converter& c = decoder();
    c.reset();
    std::vector<char16_t> out(static_cast<size_t>(bytes.size()) + 1);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * 2;
    if (iconv(c.handle(), &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
        return -1;
    return in - bytes.constData();
}

std::optional<QByteArray> encode(const QString& text) {
    if (isPlainAscii(text))
        return text.toLatin1();
    Converter& c = encoder();
    c.reset();
    // A CP932 character takes at most two bytes for every UTF-16 unit.
    QByteArray out(text.size() * 2 + 4, Qt::Uninitialized);
    char* in = reinterpret_cast<char*>(
        const_cast<char16_t*>(reinterpret_cast<const char16_t*>(text.utf16())));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(c.handle(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    out.truncate(outPtr - out.data());
    return out;
}

QByteArray encodeSubstituting(const QString& text, QChar substitute, qint64* replaced) {
    if (std::optional<QByteArray> bytes = encode(text))
        return *bytes;
    const QByteArray mark = encode(QString(substitute)).value_or(QByteArrayLiteral("?"));
    QByteArray out;
    forEachCharacter(text, [&](qsizetype, size_t, bool encoded, const QByteArray& bytes) {
        out += encoded ? bytes : mark;
        if (!encoded && replaced)
            ++*replaced;
        return true;
    });
    return out;
}

QString firstUnencodable(const QString& text) {
    QString found;
    forEachCharacter(text, [&](qsizetype pos, size_t count, bool encoded, const QByteArray&) {
        if (!encoded) {
            found = text.mid(pos, static_cast<qsizetype>(count));
            return false;
        }
        return true;
    });
    return found;
}

qsizetype byteLength(const QString& text) {
    if (isPlainAscii(text))
        return text.size();
    if (auto bytes = encode(text))
        return bytes->size();
    qsizetype length = 0;
    forEachCharacter(text, [&](qsizetype, size_t, bool encoded, const QByteArray& bytes) {
        length += encoded ? bytes.size() : 1;
        return true;
    });
    return length;
}

} // namespace plw::AnsiCodec
