#include "tools/manpage/PageSources.h"

#include "tools/manpage/PageText.h"

namespace plw::manpage {

namespace {

qsizetype Indent(const QString& line) {
    qsizetype n = 0;
    while (n < line.size() && line.at(n) == u' ')
        ++n;
    return n;
}

bool StartsWithProgram(const QString& text, const QString& program) {
    return text == program || text.startsWith(program + u' ');
}

// The cells of a Markdown table row; "\|" is a "|" inside a cell.
QStringList TableCells(const QString& row) {
    QStringList cells;
    QString cell;
    for (qsizetype i = 1; i < row.size(); ++i) {
        const QChar c = row.at(i);
        if (c == u'\\' && i + 1 < row.size() && row.at(i + 1) == u'|') {
            cell += u'|';
            ++i;
        } else if (c == u'|') {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += c;
        }
    }
    return cells;
}

} // namespace

HelpText ParseHelp(const QString& help, const QString& program) {
    HelpText parsed;
    const QStringList lines = help.split(u'\n');
    parsed.Summary = lines.value(0).trimmed();
    QList<Entry>* list = nullptr; // the list the item being read belongs to
    for (const QString& line : lines.mid(1)) {
        const qsizetype indent = Indent(line);
        if (indent == 2 && indent < line.size()) {
            const QString item = line.mid(2);
            list = item.startsWith(u'-')              ? &parsed.Options
                   : StartsWithProgram(item, program) ? &parsed.Forms
                                                      : nullptr;
            const qsizetype gap = item.indexOf(QStringLiteral("  "));
            if (list)
                list->append({item.left(gap), gap < 0 ? QString() : item.mid(gap).trimmed()});
        } else if (indent > 2 && indent < line.size() && list) {
            list->last().Text = JoinLines(list->last().Text, line.trimmed());
        } else {
            list = nullptr;
        }
    }
    return parsed;
}

QList<Entry> ReadmeCommands(const QString& readme, const QString& program) {
    QList<Entry> commands;
    bool inSection = false;
    for (const QString& line : readme.split(u'\n')) {
        if (line.startsWith(QStringLiteral("## ")))
            inSection = line.trimmed() == QStringLiteral("## Command line");
        if (!inSection || !line.startsWith(u'|'))
            continue;
        const QStringList cells = TableCells(line);
        if (cells.size() < 2 || !cells[0].startsWith(u'`') || !cells[0].endsWith(u'`'))
            continue; // the heading and the rule under it
        const QString command = cells[0].mid(1, cells[0].size() - 2);
        if (StartsWithProgram(command, program))
            commands.append({command, cells[1]});
    }
    return commands;
}

QList<Section> ParsePageSource(const QString& text, QString* error) {
    QList<Section> sections;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u'#'))
            continue;
        if (line.startsWith(QStringLiteral("== "))) {
            const QString heading = line.mid(3).trimmed();
            const QString language = heading.section(u' ', 0, 0);
            const QString title = heading.section(u' ', 1).trimmed();
            if ((language != QStringLiteral("ja") && language != QStringLiteral("en")) ||
                title.isEmpty()) {
                *error = QStringLiteral("line %1: \"== ja TITLE\" or \"== en TITLE\" expected")
                             .arg(i + 1);
                return {};
            }
            sections.append(
                {language == QStringLiteral("ja") ? Language::Japanese : Language::English, title,
                 QString()});
        } else if (!sections.isEmpty()) {
            sections.last().Body += line + u'\n';
        } else if (!line.trimmed().isEmpty()) {
            *error = QStringLiteral("line %1: text before the first section").arg(i + 1);
            return {};
        }
    }
    // Blank lines around a body go; the indent of an example on its first line stays.
    for (Section& section : sections) {
        QString& body = section.Body;
        while (body.startsWith(u'\n'))
            body.remove(0, 1);
        while (!body.isEmpty() && body.back().isSpace())
            body.chop(1);
    }
    return sections;
}

bool SameForm(const QString& a, const QString& b) {
    return a.simplified() == b.simplified();
}

QStringList OptionNames(const QString& term) {
    QStringList names;
    for (const QString& piece : term.split(QStringLiteral(", ")))
        if (piece.startsWith(u'-'))
            names << piece.section(u' ', 0, 0);
    return names;
}

} // namespace plw::manpage
