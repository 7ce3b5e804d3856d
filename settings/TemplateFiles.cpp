#include "settings/TemplateFiles.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/RecordFile.h"

namespace plw {
namespace {

constexpr qsizetype ThresholdWidth = 4;

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

bool readFailure(QString* error, const QString& systemPath, const QString& cause) {
    return fail(error,
                QStringLiteral("テンプレート %1 を読み込めません: %2").arg(systemPath, cause));
}

bool writeTemplate(const QString& systemPath, const RecordWriter& writer, QString* error) {
    QString cause;
    if (WriteRecord(systemPath, 1, writer, &cause))
        return true;
    return fail(error,
                QStringLiteral("テンプレート %1 を保存できません: %2").arg(systemPath, cause));
}

// Record 1 of the template; at least minimum bytes of it must be there.
bool readTemplate(const QString& systemPath, qsizetype minimum, QByteArray* bytes, QString* error) {
    QString cause;
    if (!ReadRecord(systemPath, TemplateRecordLength, 1, bytes, &cause))
        return readFailure(error, systemPath, cause);
    if (bytes->size() < minimum)
        return readFailure(error, systemPath, QStringLiteral("ファイルが短すぎます"));
    return true;
}

const QString NotThisKind = QStringLiteral("この種類のテンプレートではありません");

// CP932 maps no byte sequence to U+FFFD: one in a decoded text marks bytes that are no text.
bool decodedCleanly(const QString& text) {
    return !text.contains(QChar::ReplacementCharacter);
}

// The leading characters of text that fit in width CP932 bytes.
QString cutToBytes(const QString& text, qsizetype width) {
    QString out;
    qsizetype used = 0;
    for (const QChar c : text) {
        const qsizetype size = AnsiCodec::byteLength(QString(c));
        if (used + size > width)
            break;
        out.append(c);
        used += size;
    }
    return out;
}

} // namespace

bool WriteConditionTemplate(const QString& systemPath, const ConditionRecord& record,
                            QString* error) {
    RecordWriter writer(TemplateRecordLength);
    for (const QString& field : record.Fields)
        writer.text(field);
    return writeTemplate(systemPath, writer, error);
}

bool ReadConditionTemplate(const QString& systemPath, ConditionRecord& record, QString* error) {
    QByteArray bytes;
    if (!readTemplate(systemPath, 0, &bytes, error))
        return false;
    bool complete = false;
    const ConditionRecord read = DecodeConditionRecord(bytes, &complete);
    if (!complete)
        return readFailure(error, systemPath, NotThisKind);
    for (const QString& field : read.Fields)
        if (!decodedCleanly(field))
            return readFailure(error, systemPath, NotThisKind);
    record = read;
    return true;
}

bool WriteGroupTemplate(const QString& systemPath, const std::array<QString, 125>& letters,
                        QString* error) {
    RecordWriter writer(TemplateRecordLength);
    for (const QString& letter : letters)
        writer.fixedText(letter, 1);
    return writeTemplate(systemPath, writer, error);
}

bool ReadGroupTemplate(const QString& systemPath, std::array<QString, 125>& letters,
                       QString* error) {
    QByteArray bytes;
    if (!readTemplate(systemPath, 125, &bytes, error))
        return false;
    for (size_t k = 0; k < letters.size(); ++k) {
        const char letter = bytes[static_cast<qsizetype>(k)];
        letters[k] =
            letter >= 'A' && letter <= 'E' ? QString(QLatin1Char(letter)) : QStringLiteral("X");
    }
    return true;
}

bool WriteThresholdTemplate(const QString& systemPath, const ThresholdTexts& thresholds,
                            QString* error) {
    RecordWriter writer(TemplateRecordLength);
    for (const auto* dimension : {&thresholds.R, &thresholds.F, &thresholds.M})
        for (const QString& value : *dimension)
            writer.fixedText(cutToBytes(value, ThresholdWidth), ThresholdWidth);
    return writeTemplate(systemPath, writer, error);
}

bool ReadThresholdTemplate(const QString& systemPath, ThresholdTexts& thresholds, QString* error) {
    QByteArray bytes;
    if (!readTemplate(systemPath, 3 * 5 * ThresholdWidth, &bytes, error))
        return false;
    RecordReader reader(bytes);
    ThresholdTexts read;
    for (auto* dimension : {&read.R, &read.F, &read.M}) {
        for (QString& value : *dimension) {
            value = TrimAll(reader.fixedText(ThresholdWidth));
            if (!decodedCleanly(value))
                return readFailure(error, systemPath, NotThisKind);
        }
    }
    thresholds = read;
    return true;
}

} // namespace plw
