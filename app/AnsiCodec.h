#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace plw {

// The suite's ANSI code page (Shift-JIS as Windows writes it, CP932), through iconv.
//
// Decoding never fails: a byte that does not start a valid CP932 character becomes U+FFFD and
// decoding goes on with the next byte, so one bad byte never hides the rest of a field.
// Encoding is strict: a text holding a character CP932 cannot represent is refused (the caller
// reports it), because writing a substitute would silently change what the operator typed.
namespace AnsiCodec {

QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);

// The CP932 bytes of text, or nothing when some character has no CP932 form.
std::optional<QByteArray> encode(const QString& text);

// The CP932 bytes of text where every character CP932 cannot represent becomes substitute (a
// character it can), for files whose readers expect CP932 and that must say so where a character
// was replaced; *replaced counts the substitutions.
QByteArray encodeSubstituting(const QString& text, QChar substitute, qint64* replaced);

// The first character of text that CP932 cannot represent, or an empty string.
QString firstUnencodable(const QString& text);

// The lines of a CP932 text file as the platform's line input reads them: CR LF or LF ends a
// line, and a last line without an ending still counts.
QStringList decodeLines(const QByteArray& bytes);
// The same lines as bytes, before decoding.
QList<QByteArray> splitLines(const QByteArray& bytes);

// The offset of the first byte that begins no CP932 character (an undefined code, a lead byte
// without its trail byte), or -1 when the bytes are CP932 throughout.
qsizetype firstInvalidByte(const QByteArray& bytes);

// Length in CP932 bytes. A character without a CP932 form counts as one byte, the width of the
// substitute the platform would show for it.
qsizetype byteLength(const QString& text);

} // namespace AnsiCodec
} // namespace plw
