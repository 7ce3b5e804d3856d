#include "extract/ConditionRecord.h"

#include "app/CommonRoutines.h"
#include "app/RecordFile.h"

namespace plw {

namespace {

using R = ConditionRecord;

// The flags among the fields; every other field but the marker and the kinds holds a value.
bool IsFlag(int index) {
    if (index >= R::TosTukMonth1 && index < R::TosTukMonth1 + 12)
        return true;
    if (index >= R::EmlSbtPc && index <= R::EmlSbtUnknown)
        return true;
    return index >= R::Bun1Item1 && index != R::Bun2Kind && index != R::Bun3Kind &&
           index != R::Bun4Kind;
}

// The kinds of the conditions in field order.
constexpr std::array<int, 27> Kinds = {
    R::KihKaiKind, R::KihSeiKind, R::KihHjmKind, R::KihZipKind, R::KihAdrKind, R::MisBanKind,
    R::TosTanKind, R::TosTukKind, R::TosNenKind, R::TosBarKind, R::PinGenKind, R::PinLifKind,
    R::PinUseKind, R::PinRaiKind, R::PinGakKind, R::PinJunKind, R::DmkHasKind, R::DmkHKsKind,
    R::DmkOsrKind, R::EmlHasKind, R::EmlHKsKind, R::EmlOsrKind, R::EmlSbtKind, R::KhMemoKind,
    R::Bun1Kind,   R::Bun2Kind,   R::Bun3Kind};

bool IsKind(int index) {
    return index == R::Bun4Kind || std::find(Kinds.begin(), Kinds.end(), index) != Kinds.end();
}

} // namespace

void ClearConditionRecord(ConditionRecord& record, const QString& caller) {
    const QString zero = QStringLiteral("0");
    for (int i = 1; i < R::FieldCount; ++i) {
        if (IsKind(i))
            record[i] = ConditionKind::KindNone;
        else if (IsFlag(i))
            record[i] = zero;
        else
            record[i].clear();
    }
    record[R::KihSeiValue] = QStringLiteral("1");
    record[R::DmkOsrValue] = QStringLiteral("1");
    record[R::EmlOsrValue] = QStringLiteral("1");
    if (caller == QLatin1String("DM"))
        record[R::DmkOsrKind] = ConditionKind::KindAnd;
    else if (caller == QLatin1String("EL"))
        record[R::EmlOsrKind] = ConditionKind::KindAnd;
}

ConditionRecord ClearedConditionRecord(const QString& caller) {
    ConditionRecord record;
    ClearConditionRecord(record, caller);
    return record;
}

void RepairConditionRecord(ConditionRecord& record, const QString& caller) {
    // The main conditions: any empty kind makes the record unusable as a whole.
    for (int kind : Kinds) {
        if (kind == R::EmlSbtKind)
            break;
        if (TrimAll(record[kind]).isEmpty()) {
            ClearConditionRecord(record, caller);
            return;
        }
    }
    const QString zero = QStringLiteral("0");
    auto repair = [&](int kind, int first, int count) {
        if (!TrimAll(record[kind]).isEmpty())
            return;
        record[kind] = ConditionKind::KindNone;
        for (int i = first; i < first + count; ++i)
            record[i] = IsFlag(i) ? zero : QString();
    };
    repair(R::EmlSbtKind, R::EmlSbtPc, 3);
    repair(R::KhMemoKind, R::KhMemoText, 1);
    for (int level = 1; level <= 4; ++level)
        repair(R::BunKind(level), R::BunItem(level, 1), R::BunItems);
}

bool EncodeConditionRecord(const ConditionRecord& record, QByteArray* bytes, QString* error) {
    RecordWriter writer(ConditionRecordLength);
    for (const QString& field : record.Fields)
        writer.text(field);
    if (!writer.ok()) {
        if (error)
            *error = writer.error();
        return false;
    }
    if (bytes)
        *bytes = writer.bytes();
    return true;
}

ConditionRecord DecodeConditionRecord(const QByteArray& bytes, bool* complete) {
    RecordReader reader(bytes);
    ConditionRecord record;
    bool decodable = true;
    for (QString& field : record.Fields) {
        field = reader.text();
        // CP932 maps no byte sequence to U+FFFD: one here marks bytes that are no CP932 text.
        if (field.contains(QChar::ReplacementCharacter))
            decodable = false;
    }
    if (complete)
        *complete = decodable && reader.position() <= bytes.size();
    return record;
}

bool WriteConditionFile(const QString& systemPath, ConditionRecord& record, QString* error) {
    record[R::Marker] = ConditionMarker;
    RecordWriter writer(ConditionRecordLength);
    for (const QString& field : record.Fields)
        writer.text(field);
    return WriteRecord(systemPath, 1, writer, error);
}

StoredFileRead ReadConditionFile(const QString& systemPath, ConditionRecord& record) {
    QByteArray bytes;
    StoredFileRead read = ReadStoredRecord(systemPath, ConditionRecordLength, &bytes);
    if (read) {
        bool complete = false;
        ConditionRecord decoded = DecodeConditionRecord(bytes, &complete);
        if (!complete)
            read = StoredFileRead::Damage(
                QStringLiteral("記録が途中で切れているか、文字が読めません"));
        else if (decoded[R::Marker] != ConditionMarker)
            read = StoredFileRead::Damage(
                QStringLiteral("抽出条件の記録の目印（%1）がありません").arg(ConditionMarker));
        else
            record = decoded;
    }
    if (!read)
        ClearConditionRecord(record);
    return read;
}

} // namespace plw
