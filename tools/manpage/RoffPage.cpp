#include "tools/manpage/RoffPage.h"

#include "tools/manpage/PageText.h"

namespace plw::manpage {

namespace {

enum class Heading { Name, Synopsis, Description, Options };

QString Title(Heading heading, Language language) {
    const bool ja = language == Language::Japanese;
    switch (heading) {
    case Heading::Name:
        return ja ? QStringLiteral("名前") : QStringLiteral("NAME");
    case Heading::Synopsis:
        return ja ? QStringLiteral("書式") : QStringLiteral("SYNOPSIS");
    case Heading::Description:
        return ja ? QStringLiteral("説明") : QStringLiteral("DESCRIPTION");
    case Heading::Options:
        return ja ? QStringLiteral("オプション") : QStringLiteral("OPTIONS");
    }
    return QString();
}

const Section* FindSection(const PageInputs& in, Language language, Heading heading) {
    for (const Section& section : in.Source)
        if (section.Lang == language && section.Title == Title(heading, language))
            return &section;
    return nullptr;
}

// A section's text in blocks, each ended by a blank line: a paragraph; "TERM :: text" items;
// "- text" items; or an example, indented by four blanks and shown as it is.
enum class BlockKind { Paragraph, Tagged, Bullets, Example };
struct Block {
    BlockKind Kind = BlockKind::Paragraph;
    QList<Entry> Items; // a paragraph and an example are one item
};

QList<Block> Blocks(const QString& body) {
    static const QString Tag = QStringLiteral(" :: ");
    QList<Block> blocks;
    bool open = false;
    for (const QString& line : body.split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            open = false;
            continue;
        }
        if (!open) {
            Block block;
            block.Kind = line.startsWith(QStringLiteral("    ")) ? BlockKind::Example
                         : line.contains(Tag)                    ? BlockKind::Tagged
                         : line.startsWith(QStringLiteral("- ")) ? BlockKind::Bullets
                                                                 : BlockKind::Paragraph;
            blocks.append(block);
            open = true;
        }
        Block& block = blocks.last();
        switch (block.Kind) {
        case BlockKind::Example:
            if (block.Items.isEmpty())
                block.Items.append(Entry{});
            block.Items.last().Text += line.mid(4) + u'\n';
            continue;
        case BlockKind::Tagged:
            if (line.contains(Tag)) {
                const qsizetype at = line.indexOf(Tag);
                block.Items.append({line.left(at).trimmed(), line.mid(at + Tag.size()).trimmed()});
                continue;
            }
            break;
        case BlockKind::Bullets:
            if (line.startsWith(QStringLiteral("- "))) {
                block.Items.append({QString(), line.mid(2).trimmed()});
                continue;
            }
            break;
        case BlockKind::Paragraph:
            if (block.Items.isEmpty())
                block.Items.append(Entry{});
            break;
        }
        block.Items.last().Text = JoinLines(block.Items.last().Text, line.trimmed());
    }
    return blocks;
}

QString Body(const QString& body, Language language) {
    QString out;
    bool first = true;
    for (const Block& block : Blocks(body)) {
        switch (block.Kind) {
        case BlockKind::Paragraph:
            out += (first ? QString() : QStringLiteral(".PP\n")) +
                   Inline(block.Items[0].Text, language) + u'\n';
            break;
        case BlockKind::Tagged:
            for (const Entry& item : block.Items)
                out += QStringLiteral(".TP\n") + Inline(item.Term, language) + u'\n' +
                       Inline(item.Text, language) + u'\n';
            break;
        case BlockKind::Bullets:
            for (const Entry& item : block.Items)
                out += QStringLiteral(".IP \\(bu 2\n") + Inline(item.Text, language) + u'\n';
            break;
        case BlockKind::Example: {
            out += QStringLiteral(".PP\n.RS 4\n.nf\n");
            for (const QString& line : block.Items[0].Text.split(u'\n', Qt::SkipEmptyParts))
                out += QStringLiteral("\\&") + Literal(line) + u'\n';
            out += QStringLiteral(".fi\n.RE\n");
            break;
        }
        }
        first = false;
    }
    return out;
}

// A command form split into its words and its [optional] groups.
QStringList FormParts(const QString& form) {
    QStringList parts;
    qsizetype i = 0;
    while (i < form.size()) {
        if (form.at(i) == u' ') {
            ++i;
            continue;
        }
        const bool group = form.at(i) == u'[';
        qsizetype end = form.indexOf(group ? u']' : u' ', i);
        end = end < 0 ? form.size() : end + (group ? 1 : 0);
        parts << form.mid(i, end - i);
        i = end;
    }
    return parts;
}

// A form in the synopsis: the program, then each word and each [--option ARG].
QString Synopsis(const QString& form) {
    const QStringList parts = FormParts(form);
    QString out = QStringLiteral(".SY ") + Literal(parts.value(0)) + u'\n';
    for (const QString& part : parts.mid(1)) {
        if (part.startsWith(u'[')) {
            const QString inner = part.mid(1, part.size() - 2).trimmed();
            const QString option = inner.section(u' ', 0, 0);
            const QString argument = inner.section(u' ', 1).trimmed();
            if (option.startsWith(u'-'))
                out += QStringLiteral(".OP ") + Literal(option) +
                       (argument.isEmpty() ? QString()
                                           : QStringLiteral(" \"") + Literal(argument) + u'"') +
                       u'\n';
            else
                out += QStringLiteral("[\\fI") + Literal(inner) + QStringLiteral("\\fR]\n");
        } else {
            out += (part.startsWith(u'-') ? QStringLiteral(".B ") : QStringLiteral(".I ")) +
                   Literal(part) + u'\n';
        }
    }
    return out + QStringLiteral(".YS\n");
}

// What a form's entry in the description is called: the program and the words always given.
QString FormTag(const QString& form) {
    QStringList words;
    for (const QString& part : FormParts(form))
        if (!part.startsWith(u'['))
            words << part;
    return Term(words.join(u' '));
}

// The English options' lines of the source, by their terms.
QList<Entry> EnglishOptions(const PageInputs& in) {
    QList<Entry> lines;
    if (const Section* section = FindSection(in, Language::English, Heading::Options))
        for (const Block& block : Blocks(section->Body))
            lines += block.Items;
    return lines;
}

const Entry* FindTerm(const QList<Entry>& entries, const QString& term) {
    for (const Entry& entry : entries)
        if (SameForm(entry.Term, term))
            return &entry;
    return nullptr;
}

} // namespace

QStringList CheckSources(const PageInputs& in) {
    QStringList problems;
    const QString help = u'`' + in.Program + QStringLiteral(" --help`");
    const QString source = QStringLiteral("docs/man/") + in.Program + QStringLiteral(".1.txt");
    if (in.Help.Summary.isEmpty() || in.Help.Forms.isEmpty())
        problems << help + QStringLiteral(" prints no summary line or no command form");
    for (const Entry& form : in.Help.Forms)
        if (!FindTerm(in.ReadmeForms, form.Term))
            problems << QStringLiteral("README.md's command-line table lacks `%1`, which %2 shows")
                            .arg(form.Term, help);
    for (const Entry& form : in.ReadmeForms)
        if (!FindTerm(in.Help.Forms, form.Term))
            problems << QStringLiteral("%1 lacks `%2`, which README.md's table shows")
                            .arg(help, form.Term);
    const QList<Entry> english = EnglishOptions(in);
    for (const Entry& option : in.Help.Options)
        if (!FindTerm(english, option.Term))
            problems << QStringLiteral("%1: no \"%2 :: text\" under \"== en OPTIONS\" for the "
                                       "option %3 lists")
                            .arg(source, option.Term, help);
    for (const Entry& line : english)
        if (!FindTerm(in.Help.Options, line.Term))
            problems << QStringLiteral("%1: %2 has no option \"%3\"").arg(source, help, line.Term);
    if (!FindSection(in, Language::English, Heading::Name))
        problems << source + QStringLiteral(": no \"== en NAME\" (the English summary)");
    // The Japanese name, synopsis and options come from --help, the English synopsis from the
    // README.
    for (const Section& section : in.Source)
        for (const Heading heading : {Heading::Name, Heading::Synopsis, Heading::Options})
            if ((section.Lang == Language::Japanese || heading == Heading::Synopsis) &&
                section.Title == Title(heading, section.Lang))
                problems << QStringLiteral("%1: the section \"%2\" is made from %3 and the README")
                                .arg(source, section.Title, help);
    return problems;
}

QString WritePage(const PageInputs& in, Language language) {
    const bool ja = language == Language::Japanese;
    QString page = QStringLiteral("'\\\" -*- coding: UTF-8 -*-\n");
    page += QStringLiteral(".\\\" %1(1), made by plwan40-manpage from `%1 --help`, the README's "
                           "command-line table\n.\\\" and docs/man/%1.1.txt: change those.\n")
                .arg(in.Program);
    // Japanese has no hyphens and no blanks to stretch: the man macros hyphenate by the HY
    // register at every paragraph, so it is cleared before .TH sets it.
    if (ja)
        page += QStringLiteral(".nr HY 0\n");
    page += QStringLiteral(".TH %1 1 \"\" \"PLWAN40 %2\" \"PLWAN40\"\n")
                .arg(Literal(in.Program.toUpper()), in.Version);
    if (ja)
        page += QStringLiteral(".nh\n.ad l\n");

    const Section* name = FindSection(in, Language::English, Heading::Name);
    page += QStringLiteral(".SH ") + Title(Heading::Name, language) + u'\n' + Literal(in.Program) +
            QStringLiteral(" \\- ") +
            Inline(ja     ? in.Help.Summary
                   : name ? name->Body.simplified()
                          : QString(),
                   Language::English) +
            u'\n';

    const QList<Entry>& forms = ja ? in.Help.Forms : in.ReadmeForms;
    page += QStringLiteral(".SH ") + Title(Heading::Synopsis, language) + u'\n';
    for (const Entry& form : forms)
        page += Synopsis(form.Term);

    page += QStringLiteral(".SH ") + Title(Heading::Description, language) + u'\n';
    if (const Section* intro = FindSection(in, language, Heading::Description))
        page += Body(intro->Body, language);
    for (const Entry& form : forms)
        page += QStringLiteral(".TP\n") + FormTag(form.Term) + u'\n' + Inline(form.Text, language) +
                u'\n';

    if (!in.Help.Options.isEmpty()) {
        page += QStringLiteral(".SH ") + Title(Heading::Options, language) + u'\n';
        const QList<Entry> english = EnglishOptions(in);
        for (const Entry& option : in.Help.Options) {
            const Entry* text = ja ? &option : FindTerm(english, option.Term);
            if (text)
                page += QStringLiteral(".TP\n") + Term(option.Term) + u'\n' +
                        Inline(text->Text, language) + u'\n';
        }
    }

    // The rest of the source's sections; those with a heading of their own are placed above.
    for (const Section& section : in.Source) {
        bool placed = false;
        for (const Heading heading :
             {Heading::Name, Heading::Synopsis, Heading::Description, Heading::Options})
            placed = placed || section.Title == Title(heading, language);
        if (section.Lang == language && !placed)
            page += QStringLiteral(".SH ") + Literal(section.Title) + u'\n' +
                    Body(section.Body, language);
    }
    return page;
}

} // namespace plw::manpage
