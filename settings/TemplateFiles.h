#pragma once

#include "extract/ConditionRecord.h"

#include <QString>

#include <array>

namespace plw {

// The three template file formats, each record 1 of a file of 8192-byte records. Writers replace
// the file atomically (the bytes after the fields keep what they held); a reader fails with the
// reason when the file cannot be read or is no template of its kind, and then leaves its
// output as it was.
constexpr qsizetype TemplateRecordLength = 8192;

// "T01": the condition record as in the condition files, its marker neither set nor tested.
bool WriteConditionTemplate(const QString& systemPath, const ConditionRecord& record,
                            QString* error);
bool ReadConditionTemplate(const QString& systemPath, ConditionRecord& record, QString* error);

// "F01": the group letters of matrix cells 1 to 125, one byte each. A cell without a group ("")
// is stored as a blank; on reading, a letter other than "A" to "E" becomes "X", the group such a
// cell is painted with.
bool WriteGroupTemplate(const QString& systemPath, const std::array<QString, 125>& letters,
                        QString* error);
bool ReadGroupTemplate(const QString& systemPath, std::array<QString, 125>& letters,
                       QString* error);

// "F02": the R, F and M thresholds of ranks 1 to 5 (index 0 is rank 1), each as four bytes,
// left-aligned and blank-padded or cut at a character boundary. Reading trims the padding.
struct ThresholdTexts {
    std::array<QString, 5> R;
    std::array<QString, 5> F;
    std::array<QString, 5> M;

    bool operator==(const ThresholdTexts&) const = default;
};
bool WriteThresholdTemplate(const QString& systemPath, const ThresholdTexts& thresholds,
                            QString* error);
bool ReadThresholdTemplate(const QString& systemPath, ThresholdTexts& thresholds, QString* error);

} // namespace plw
