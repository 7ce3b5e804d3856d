#include "extract/Classifications.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"

#include <algorithm>

namespace plw {
namespace {

// Reads one line; what makes it no line of a classification file goes into faults.
Classification parseLine(const QByteArray& bytes, int number, QStringList* faults) {
    const auto fault = [&](const QString& cause) {
        if (faults)
            faults->append(QStringLiteral("%1 行目: ").arg(number) + cause);
    };
    if (const qsizetype bad = AnsiCodec::firstInvalidByte(bytes); bad >= 0)
        fault(QStringLiteral("CP932（シフトJIS）の文字ではないバイトがあります（行の %1 バイト目、"
                             "0x%2）")
                  .arg(bad + 1)
                  .arg(quint8(bytes[bad]), 2, 16, QLatin1Char('0')));
    QStringList fields(ClassificationFields);
    bool openQuote = false;
    const qsizetype count = SplitCsvLine(AnsiCodec::decode(bytes), fields, &openQuote);
    if (openQuote)
        fault(QStringLiteral("引用符（\"）が閉じないまま行が終わっています"));
    if (count > ClassificationFields)
        fault(QStringLiteral("項目が %1 個あります（1 行に %2 個まで）")
                  .arg(count)
                  .arg(ClassificationFields));
    Classification c;
    c.FirstField = TrimBlanks(fields[0]);
    c.LevelName = TrimBlanks(fields[1]);
    int last = 0;
    for (int i = 0; i < ClassificationEntries; ++i) {
        c.Codes[i] = TrimBlanks(fields[2 + 2 * i]);
        c.Names[i] = TrimBlanks(fields[3 + 2 * i]);
        if (!c.Names[i].isEmpty())
            last = i + 1;
    }
    c.EntryCount = last == 0 ? ClassificationEntries : last;
    const bool entries = std::any_of(fields.cbegin() + 2, fields.cend(), [](const QString& field) {
        return !TrimBlanks(field).isEmpty();
    });
    if (entries && c.LevelName.isEmpty())
        fault(QStringLiteral("項目があるのに分類名がありません"));
    return c;
}

} // namespace

QStringList Classification::ListItems() const {
    QStringList items;
    for (int i = 0; i < EntryCount; ++i)
        items << Codes[i] + QLatin1Char(':') + Names[i];
    return items;
}

ClassificationTable ParseClassifications(const QByteArray& cp932Text, QStringList* faults) {
    const QList<QByteArray> lines = AnsiCodec::splitLines(cp932Text);
    ClassificationTable table;
    for (qsizetype i = 0; i < lines.size() && i < ClassificationMaxLines; ++i) {
        table.append(parseLine(lines[i], int(i + 1), faults));
        const QString& name = table.last().LevelName;
        for (qsizetype other = 0; faults && !name.isEmpty() && other < i; ++other) {
            if (table[other].LevelName == name) {
                faults->append(QStringLiteral("%1 行目: 分類名「%2」が %3 行目と同じです")
                                   .arg(i + 1)
                                   .arg(name)
                                   .arg(other + 1));
                break;
            }
        }
    }
    return table;
}

ClassificationTable LoadClassifications(const QString& path, QStringList* faults) {
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, nullptr))
        return ClassificationTable();
    return ParseClassifications(bytes, faults);
}

QString LevelName(const ClassificationTable& table, int level) {
    return level >= 1 && level <= table.size() ? table[level - 1].LevelName : QString();
}

} // namespace plw
