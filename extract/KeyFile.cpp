#include "extract/KeyFile.h"

#include "app/AnsiCodec.h"
#include "app/Clock.h"
#include "app/FileSystem.h"
#include "db/Database.h"

#include <QElapsedTimer>

#include <cstring>

namespace plw {
namespace {

constexpr qsizetype FlagOffset = KeyFileRecord::CustomerNumberLength;
constexpr qsizetype WrittenAtOffset = FlagOffset + 1;
constexpr qsizetype FillerOffset = WrittenAtOffset + KeyFileRecord::WrittenAtLength;
constexpr qsizetype RecordsPerChunk = 4096;
// How long one reading of the clock serves the records written after it.
constexpr qint64 ClockReadingNs = 10'000'000;

// Puts text at offset, blank padded to length; false when it has no CP932 form or is too long.
bool Place(char* record, qsizetype offset, qsizetype length, const QString& text,
           const QString& what, QString* error) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    QByteArray encoded;
    if (ascii) {
        encoded = text.toLatin1();
    } else if (std::optional<QByteArray> bytes = AnsiCodec::encode(text)) {
        encoded = *bytes;
    } else {
        *error = QStringLiteral("%1「%2」は Shift-JIS で表せません").arg(what, text);
        return false;
    }
    if (encoded.size() > length) {
        *error = QStringLiteral("%1「%2」が %3 バイトを超えています")
                     .arg(what, text, QString::number(length));
        return false;
    }
    std::memcpy(record + offset, encoded.constData(), size_t(encoded.size()));
    return true;
}

bool failed(const QString& path, const FileReplacement& file, QString* error) {
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

bool EncodeKeyFileRecord(const KeyFileRecord& record, QByteArray* bytes, QString* error) {
    QByteArray out(KeyFileRecord::Length, ' ');
    char* data = out.data();
    if (!Place(data, 0, KeyFileRecord::CustomerNumberLength, record.CustomerNumber,
               QStringLiteral("顧客番号"), error) ||
        !Place(data, FlagOffset, 1, record.Flag, QStringLiteral("フラグ"), error) ||
        !Place(data, WrittenAtOffset, KeyFileRecord::WrittenAtLength, record.WrittenAt,
               QStringLiteral("書込日時"), error))
        return false;
    *bytes = out;
    return true;
}

KeyFileRecord DecodeKeyFileRecord(const char* data) {
    KeyFileRecord record;
    record.CustomerNumber = AnsiCodec::decode(data, KeyFileRecord::CustomerNumberLength);
    record.Flag = AnsiCodec::decode(data + FlagOffset, 1);
    record.WrittenAt = AnsiCodec::decode(data + WrittenAtOffset, KeyFileRecord::WrittenAtLength);
    return record;
}

bool WriteKeyFile(const QString& systemPath, db::Recordset& rows, const Clock& clock,
                  qint64* written, QString* error) {
    *written = 0;
    const QString path = ToNativePath(systemPath);
    FileReplacement file;
    if (!file.open(path))
        return failed(path, file, error);
    const int column = rows.requireField(u"M1KaiBan");

    KeyFileRecord record;
    record.Flag = QStringLiteral(" ");
    QElapsedTimer sinceReading;
    QString customer;
    QByteArray chunk;
    chunk.reserve(KeyFileRecord::Length * RecordsPerChunk);
    QByteArray bytes;
    qint64 count = 0;
    for (; !rows.eof(); rows.moveNext()) {
        if (!sinceReading.isValid() || sinceReading.nsecsElapsed() >= ClockReadingNs) {
            record.WrittenAt = clock.now().toString(u"yyyyMMddhhmmss");
            sinceReading.start();
        }
        if (!rows.readText(column, customer))
            customer.clear();
        record.CustomerNumber = customer;
        if (!EncodeKeyFileRecord(record, &bytes, error))
            return false;
        chunk += bytes;
        ++count;
        if (chunk.size() >= KeyFileRecord::Length * RecordsPerChunk) {
            if (!file.write(chunk))
                return failed(path, file, error);
            chunk.clear();
        }
    }
    if (!file.write(chunk) || !file.commit())
        return failed(path, file, error);
    *written = count;
    return true;
}

bool KeyFileReader::open(const QString& systemPath, QString* error) {
    mFile.setFileName(ToNativePath(systemPath));
    if (!mFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(mFile.fileName(), mFile.errorString());
        return false;
    }
    mCount = mFile.size() / KeyFileRecord::Length;
    mRead = 0;
    mBuffer.clear();
    mPos = 0;
    return true;
}

bool KeyFileReader::next(KeyFileRecord* record, QString* error) {
    if (mRead >= mCount)
        return false;
    if (mPos + KeyFileRecord::Length > mBuffer.size()) {
        const qint64 records = qMin<qint64>(RecordsPerChunk, mCount - mRead);
        mBuffer = mFile.read(records * KeyFileRecord::Length);
        mPos = 0;
        if (mBuffer.size() < KeyFileRecord::Length) {
            *error = QStringLiteral("%1: %2").arg(
                mFile.fileName(), mFile.error() != QFileDevice::NoError
                                      ? mFile.errorString()
                                      : QStringLiteral("ファイルが途中で終わっています"));
            return false;
        }
    }
    *record = DecodeKeyFileRecord(mBuffer.constData() + mPos);
    mPos += KeyFileRecord::Length;
    ++mRead;
    return true;
}

} // namespace plw
