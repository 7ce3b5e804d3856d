#include "extract/Classifications.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"

namespace plw {
namespace {

Classification parseLine(const QString& line) {
    QStringList fields(ClassificationFields);
    SplitCsvLine(line, fields);
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
    return c;
}

} // namespace

QStringList Classification::ListItems() const {
    QStringList items;
    for (int i = 0; i < EntryCount; ++i)
        items << Codes[i] + QLatin1Char(':') + Names[i];
    return items;
}

ClassificationTable ParseClassifications(const QByteArray& cp932Text) {
    const QStringList lines = AnsiCodec::decodeLines(cp932Text);
    ClassificationTable table;
    for (qsizetype i = 0; i < lines.size() && i < ClassificationMaxLines; ++i)
        table.append(parseLine(lines[i]));
    return table;
}

ClassificationTable LoadClassifications(const QString& path) {
    QByteArray bytes;
    if (!ReadWholeFile(path, &bytes, nullptr))
        return ClassificationTable();
    return ParseClassifications(bytes);
}

QString LevelName(const ClassificationTable& table, int level) {
    return level >= 1 && level <= table.size() ? table[level - 1].LevelName : QString();
}

} // namespace plw
