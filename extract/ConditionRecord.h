#pragma once

#include "app/StoredFile.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace plw {

// The kind every extraction condition carries, stored as a one-character text.
namespace ConditionKind {
inline const QString KindNone = QStringLiteral("1"); // "指定しない": ignored
inline const QString KindInclude = QStringLiteral("2"); // "指定（含める）": added to the selection
inline const QString KindAnd = QStringLiteral("3");     // "指定（かつ）": must match
inline const QString KindExclude = QStringLiteral("4"); // "除外する": removed after selection
} // namespace ConditionKind

// The detailed extraction conditions: 161 texts whose order is the stored order of the condition
// files. Dates are "YYYYMMDD" (empty or 0 = not given), flags "1"/"0", numbers as typed.
struct ConditionRecord {
    static constexpr int FieldCount = 161;
    static constexpr int BunItems = 20;

    enum Field : int {
        Marker = 0,
        KihKaiKind = 1,
        KihKaiFrom = 2,
        KihKaiTo = 3,
        KihSeiKind = 4,
        KihSeiValue = 5,
        KihHjmKind = 6,
        KihHjmFrom = 7,
        KihHjmTo = 8,
        KihHjmMonths = 9,
        KihZipKind = 10,
        KihZip3 = 11,
        KihZip4 = 12,
        KihAdrKind = 13,
        KihAdrText = 14,
        MisBanKind = 15,
        MisBanValue = 16,
        TosTanKind = 17,
        TosTanFrom = 18,
        TosTanTo = 19,
        TosTukKind = 20,
        TosTukMonth1 = 21, // months 1 to 12 at 21 to 32
        TosNenKind = 33,
        TosNenFrom = 34,
        TosNenTo = 35,
        TosBarKind = 36,
        TosBarMmdd = 37,
        PinGenKind = 38,
        PinGenFrom = 39,
        PinGenTo = 40,
        PinLifKind = 41,
        PinLifFrom = 42,
        PinLifTo = 43,
        PinUseKind = 44,
        PinUseFrom = 45,
        PinUseTo = 46,
        PinRaiKind = 47,
        PinRaiFrom = 48,
        PinRaiTo = 49,
        PinRaiMonths = 50,
        PinGakKind = 51,
        PinGakFrom = 52,
        PinGakTo = 53,
        PinJunKind = 54,
        PinJunFrom = 55,
        PinJunTo = 56,
        DmkHasKind = 57,
        DmkHasMonths = 58,
        DmkHKsKind = 59,
        DmkHKsFrom = 60,
        DmkHKsTo = 61,
        DmkOsrKind = 62,
        DmkOsrValue = 63,
        EmlHasKind = 64,
        EmlHasMonths = 65,
        EmlHKsKind = 66,
        EmlHKsFrom = 67,
        EmlHKsTo = 68,
        EmlOsrKind = 69,
        EmlOsrValue = 70,
        EmlSbtKind = 71,
        EmlSbtPc = 72,
        EmlSbtMobile = 73,
        EmlSbtUnknown = 74,
        KhMemoKind = 75,
        KhMemoText = 76,
        Bun1Kind = 77,
        Bun1Item1 = 78,
        Bun2Kind = 98,
        Bun2Item1 = 99,
        Bun3Kind = 119,
        Bun3Item1 = 120,
        Bun4Kind = 140,
        Bun4Item1 = 141,
    };

    std::array<QString, FieldCount> Fields;

    QString& operator[](int index) { return Fields[static_cast<size_t>(index)]; }
    const QString& operator[](int index) const { return Fields[static_cast<size_t>(index)]; }

    // Month flag m (1 to 12).
    static constexpr int TosTukMonth(int m) { return TosTukMonth1 + m - 1; }
    // Kind of classification level 1 to 4, and the flag of its entry 1 to 20.
    static constexpr int BunKind(int level) { return Bun1Kind + (level - 1) * (BunItems + 1); }
    static constexpr int BunItem(int level, int entry) { return BunKind(level) + entry; }

    bool operator==(const ConditionRecord&) const = default;
};

// The marker of a valid record in the condition files.
inline const QString ConditionMarker = QStringLiteral("V10YUK");
constexpr qsizetype ConditionRecordLength = 8192;

// Every kind "1", every value empty, every flag "0", sex and both consents "1"; the marker stays.
// The caller "DM" also makes the direct-mail consent a kind "3" condition, "EL" the mail consent.
void ClearConditionRecord(ConditionRecord& record, const QString& caller = QString());
ConditionRecord ClearedConditionRecord(const QString& caller = QString());

// Makes a record fit for the screen: an empty kind of a main condition clears the whole record;
// an empty kind of the mail type, memo or a classification level becomes "1" with its values
// cleared. Kinds are judged after TrimAll.
void RepairConditionRecord(ConditionRecord& record, const QString& caller = QString());

// The record's bytes: 161 variable-length CP932 texts in order. False (with error) when a text
// cannot be encoded or the record exceeds the record length.
bool EncodeConditionRecord(const ConditionRecord& record, QByteArray* bytes, QString* error);
// Reads the 161 texts from the bytes; texts past the end read as empty, and complete (when
// given) tells whether all of them lay within the bytes.
ConditionRecord DecodeConditionRecord(const QByteArray& bytes, bool* complete = nullptr);

// Writes the record, marked "V10YUK", as record 1 of 8192 bytes by atomic replacement; a record
// that does not fit is refused and the file left as it was.
bool WriteConditionFile(const QString& systemPath, ConditionRecord& record, QString* error);
// Reads record 1 into the record. Any other outcome than Read gives the cleared record: a missing
// or empty file (no conditions stored yet), or a damaged one (unreadable, cut inside a field, no
// CP932 text, or without the marker), which the caller must not take for "no conditions".
StoredFileRead ReadConditionFile(const QString& systemPath, ConditionRecord& record);

} // namespace plw
