#include "app/RecordFile.h"

#include "app/AnsiCodec.h"
#include "app/FileSystem.h"

#include <QFile>
#include <QtEndian>

namespace plw {

RecordWriter::RecordWriter(qsizetype recordLength) : mLength(recordLength) {
    mBytes.reserve(recordLength);
}

void RecordWriter::fail(const QString& message) {
    if (mError.isEmpty())
        mError = message;
}

bool RecordWriter::append(const QByteArray& bytes, const QString& what) {
    ++mField;
    if (!ok())
        return false;
    if (mBytes.size() + bytes.size() > mLength) {
        fail(QStringLiteral("%1 (項目 %2) がレコード長 %3 バイトに収まりません")
                 .arg(what)
                 .arg(mField)
                 .arg(mLength));
        return false;
    }
    mBytes.append(bytes);
    return true;
}

void RecordWriter::text(const QString& value) {
    const auto encoded = AnsiCodec::encode(value);
    if (!encoded) {
        ++mField;
        fail(QStringLiteral("文字「%1」は保存できません (項目 %2)")
                 .arg(AnsiCodec::firstUnencodable(value))
                 .arg(mField));
        return;
    }
    if (encoded->size() > 0xFFFF) {
        ++mField;
        fail(QStringLiteral("項目 %1 が長すぎます").arg(mField));
        return;
    }
    QByteArray field(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(encoded->size()), field.data());
    field.append(*encoded);
    append(field, QStringLiteral("文字列"));
}

void RecordWriter::fixedText(const QString& value, qsizetype length) {
    const auto encoded = AnsiCodec::encode(value);
    if (!encoded) {
        ++mField;
        fail(QStringLiteral("文字「%1」は保存できません (項目 %2)")
                 .arg(AnsiCodec::firstUnencodable(value))
                 .arg(mField));
        return;
    }
    if (encoded->size() > length) {
        ++mField;
        fail(QStringLiteral("項目 %1 が %2 バイトを超えています").arg(mField).arg(length));
        return;
    }
    append(*encoded + QByteArray(length - encoded->size(), ' '), QStringLiteral("固定長文字列"));
}

void RecordWriter::unsetFixedText(qsizetype length) {
    append(QByteArray(length, '\0'), QStringLiteral("固定長文字列"));
}

void RecordWriter::rawBytes(const QByteArray& bytes) { append(bytes, QStringLiteral("バイト列")); }

void RecordWriter::int16(qint16 value) {
    QByteArray field(2, '\0');
    qToLittleEndian<qint16>(value, field.data());
    append(field, QStringLiteral("整数"));
}

RecordReader::RecordReader(QByteArray record) : mRecord(std::move(record)) {}

QByteArray RecordReader::take(qsizetype length) {
    QByteArray out(length, '\0');
    if (mPos < mRecord.size()) {
        const qsizetype available = std::min(length, mRecord.size() - mPos);
        std::memcpy(out.data(), mRecord.constData() + mPos, static_cast<size_t>(available));
    }
    mPos += length;
    return out;
}

QString RecordReader::text() {
    const QByteArray count = take(2);
    const quint16 n = qFromLittleEndian<quint16>(count.constData());
    // A count reaching past the record's end takes what is there; the rest reads as empty.
    const qsizetype start = mPos;
    QByteArray bytes = take(n);
    if (start + n > mRecord.size())
        bytes.truncate(std::max<qsizetype>(0, mRecord.size() - start));
    return AnsiCodec::decode(bytes);
}

QString RecordReader::fixedText(qsizetype length) { return AnsiCodec::decode(take(length)); }

QByteArray RecordReader::rawBytes(qsizetype length) { return take(length); }

qint16 RecordReader::int16() { return qFromLittleEndian<qint16>(take(2).constData()); }

bool ReadRecord(const QString& systemPath, qsizetype recordLength, qsizetype n, QByteArray* record,
                QString* error) {
    QFile file(ToNativePath(systemPath));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 start = static_cast<qint64>(n - 1) * recordLength;
    if (n < 1 || file.size() <= start || !file.seek(start)) {
        if (error)
            *error = QStringLiteral("レコード %1 がありません").arg(n);
        return false;
    }
    QByteArray bytes = file.read(recordLength);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    *record = std::move(bytes);
    return true;
}

bool WriteRecord(const QString& systemPath, qsizetype n, const RecordWriter& record,
                 QString* error) {
    if (!record.ok()) {
        if (error)
            *error = record.error();
        return false;
    }
    if (n < 1) {
        if (error)
            *error = QStringLiteral("レコード番号 %1 は書けません").arg(n);
        return false;
    }
    QByteArray content;
    const QString native = ToNativePath(systemPath);
    if (QFile::exists(native) && !ReadWholeFile(systemPath, &content, error))
        return false;
    const qsizetype start = (n - 1) * record.recordLength();
    const QByteArray& fields = record.bytes();
    if (content.size() < start)
        content.append(QByteArray(start - content.size(), '\0'));
    if (content.size() < start + fields.size())
        content.resize(start + fields.size());
    std::memcpy(content.data() + start, fields.constData(), static_cast<size_t>(fields.size()));
    return WriteFileAtomically(systemPath, content, error);
}

} // namespace plw
