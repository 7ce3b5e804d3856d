#include "db/Utf8Text.h"

namespace plw::db {
namespace {

// Decodes well-formed UTF-8 into out's storage (UTF-8 never needs more UTF-16 units than it has
// bytes). False on a malformed sequence, for the caller to fall back on Qt's decoder, which
// replaces it.
bool decodeUtf8(const unsigned char* p, const unsigned char* end, QString& out) {
    out.resize(end - p);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    char16_t* const start = d;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            *d++ = char16_t(c);
            ++p;
        } else if (c >= 0xC2 && c < 0xE0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            *d++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xE0 && c < 0xF0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
                   (p[2] & 0xC0) == 0x80) {
            const unsigned u = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (u < 0x800 || (u >= 0xD800 && u < 0xE000))
                return false; // overlong or a surrogate
            *d++ = char16_t(u);
            p += 3;
        } else if (c >= 0xF0 && c < 0xF5 && end - p >= 4 && (p[1] & 0xC0) == 0x80 &&
                   (p[2] & 0xC0) == 0x80 && (p[3] & 0xC0) == 0x80) {
            const unsigned u =
                ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (u < 0x10000 || u > 0x10FFFF)
                return false;
            *d++ = char16_t(0xD800 + ((u - 0x10000) >> 10));
            *d++ = char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
            p += 4;
        } else {
            return false;
        }
    }
    out.truncate(d - start);
    return true;
}

} // namespace

void DecodeUtf8(const char* text, qsizetype bytes, QString& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    if (!decodeUtf8(p, p + bytes, out))
        out = QString::fromUtf8(text, bytes);
}

} // namespace plw::db
