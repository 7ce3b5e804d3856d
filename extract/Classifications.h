#pragma once

#include <QList>
#include <QString>
#include <array>

namespace plw {

// The shop's four customer classifications, from DATA/S3BUNRU.DAT: one line per level, each a
// comma-separated list of a first field, the level name and up to 20 code/name pairs.
constexpr int ClassificationEntries = 20;
constexpr int ClassificationLevels = 4;
constexpr int ClassificationMaxLines = 999;
constexpr qsizetype ClassificationFields = 2 + 2 * ClassificationEntries;

struct Classification {
    QString FirstField; // not used by this program
    QString LevelName;
    std::array<QString, ClassificationEntries> Codes;
    std::array<QString, ClassificationEntries> Names;
    // The position of the last entry with a name; 20 when no entry has one.
    int EntryCount = ClassificationEntries;

    // The list items of the condition screen: "code:name" for entries 1 to EntryCount.
    QStringList ListItems() const;
};

// One entry per line read, at most 999; empty when the file cannot be read.
using ClassificationTable = QList<Classification>;

// The shop edits the file by hand: fewer lines, fewer entries or renamed ones are normal. What
// cannot be a classification file is put into faults, one text per fault naming its line: bytes
// that are not CP932, a quote left open at a line's end, more than 42 fields on a line, a line
// with entries but no level name, a level name that repeats another line's. The table is read as
// it stands in every case.
ClassificationTable LoadClassifications(const QString& path, QStringList* faults = nullptr);
ClassificationTable ParseClassifications(const QByteArray& cp932Text,
                                         QStringList* faults = nullptr);

// The name of level 1 to 4, "" when the file had no such line.
QString LevelName(const ClassificationTable& table, int level);

} // namespace plw
