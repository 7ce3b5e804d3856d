#pragma once

#include "extract/Classifications.h"
#include "extract/ConditionRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace plw {

// One line of the condition summary: section, item, padded kind text and value text. The
// condition screen lists it, the workbook's condition sheet prints it.
struct ConditionSummaryRow {
    QString Section;
    QString Item;
    QString KindText;
    QString ValueText;

    bool operator==(const ConditionSummaryRow&) const = default;
};

// The classification names the summary shows: the four level names and their entry names.
struct ClassificationNames {
    std::array<QString, ClassificationLevels> Levels;
    std::array<std::array<QString, ClassificationEntries>, ClassificationLevels> Entries;

    static ClassificationNames FromTable(const ClassificationTable& table);
};

// The kind's text padded to 16 display columns: "指定（含める）  ", "指定（かつ）    ",
// "除外する        "; "" for any other kind.
QString SummaryKindText(const QString& kind);

// One row per condition of kind "3", then "2", then "4" (other kinds give none), each group in
// the order of the summary table; at most 28 rows.
QList<ConditionSummaryRow>
BuildConditionSummary(const ConditionRecord& record,
                      const std::array<QString, ClassificationLevels>& levelNames);

// The lines of the summary list: section + ":" + item + " " + kind text + " " + value text, a
// classification row listing its selected entries by position and name; a separator line
// before the first "指定（含める）" row and before the first "除外する" row.
QStringList ConditionSummaryLines(const QList<ConditionSummaryRow>& rows,
                                  const ClassificationNames& names);

} // namespace plw
