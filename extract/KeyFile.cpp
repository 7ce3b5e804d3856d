#include "extract/KeyFile.h"

#include "app/AnsiCodec.h"
#include "app/Clock.h"
#include "app/FileSystem.h"
#include "db/Database.h"

#include <QElapsedTimer>
#include <QSaveFile>

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
bool Place(char* record, qsizetype offset, qsizetype length, const QString& text, const char* what,
           QString* error) {
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    QByteArray encoded;
    if (ascii) {
        encoded = text.toLatin1();
    } else if (std::optional<QByteArray> bytes = AnsiCodec::encode(text)) {
        encoded = *bytes;
    } else {
        *error = QStringLiteral("%1 \"%2\" has no CP932 form").arg(QLatin1String(what), text);
        return false;
    }
    if (encoded.size() > length) {
        *error = QStringLiteral("%1 \"%2\" is longer than %3 bytes")
                     .arg(QLatin1String(what), text)
                     .arg(length);
        return false;
    }
    std::memcpy(record + offset, encoded.constData(), size_t(encoded.size()));
    return true;
}

bool failed(QSaveFile& file, QString* error) {
    *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    file.cancelWriting();
    return false;
}

} // namespace

bool EncodeKeyFileRecord(const KeyFileRecord& record, QByteArray* bytes, QString* error) {
    QByteArray out(KeyFileRecord::Length, ' ');
    char* data = out.data();
    if (!Place(data, 0, KeyFileRecord::CustomerNumberLength, record.CustomerNumber,
               "customer number", error) ||
        !Place(data, FlagOffset, 1, record.Flag, "flag", error) ||
        !Place(data, WrittenAtOffset, KeyFileRecord::WrittenAtLength, record.WrittenAt,
               "time of writing", error))
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
    QSaveFile file(ToNativePath(systemPath));
    if (!file.open(QIODevice::WriteOnly))
        return failed(file, error);
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
            if (file.write(chunk) != chunk.size())
                return failed(file, error);
            chunk.clear();
        }
    }
    if ((!chunk.isEmpty() && file.write(chunk) != chunk.size()) || !file.commit())
        return failed(file, error);
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
            *error = QStringLiteral("%1: %2").arg(mFile.fileName(),
                                                  mFile.error() != QFileDevice::NoError
                                                      ? mFile.errorString()
                                                      : QStringLiteral("the file ended early"));
            return false;
        }
    }
    *record = DecodeKeyFileRecord(mBuffer.constData() + mPos);
    mPos += KeyFileRecord::Length;
    ++mRead;
    return true;
}

} // namespace plw
