#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a manual page is made of. Three sources, so that nothing is written twice:
// - the program's --help (Japanese): its summary line, its command forms with what each does,
//   its options;
// - the README's command-line table (English): each command form with what it does;
// - the page source docs/man/PROGRAM.1.txt: everything else, in both languages.
namespace plw::manpage {

enum class Language { Japanese, English };

// A command form or an option with what it does.
struct Entry {
    QString Term;
    QString Text;
};

// What PROGRAM --help prints: a summary line, then blocks separated by blank lines. A block whose
// items (lines indented by two blanks) start with the program's name lists the command forms;
// one whose items start with "-" lists the options ("-h, --help", "--location FILE"). An item's
// text follows it on deeper-indented lines, or after two blanks on its own line. Other blocks
// (the exit statuses in brief) are for the terminal only.
struct HelpText {
    QString Summary;
    QList<Entry> Forms;
    QList<Entry> Options;
};
HelpText ParseHelp(const QString& help, const QString& program);

// The rows of the README's "Command line" table whose command starts with the program's name:
// | `plwan40 --batch [--base-date YYYYMMDD\|today]` | what it does |
QList<Entry> ReadmeCommands(const QString& readme, const QString& program);

// The page source: "# " starts a comment line; "== LANG TITLE" (LANG "ja" or "en") starts a
// section. Sections keep their order; three titles have a place of their own on the page:
// "== en NAME" (the English summary line), the description ("== ja 説明", "== en DESCRIPTION",
// put before the command forms) and "== en OPTIONS" (one "TERM :: text" per option of --help,
// TERM as --help writes it).
struct Section {
    Language Lang;
    QString Title;
    QString Body;
};
// The sections, or an empty list with the reason in *error.
QList<Section> ParsePageSource(const QString& text, QString* error);

// Whether two command forms are the same once blanks are evened out.
bool SameForm(const QString& a, const QString& b);

// The option names in an option's term: "-h, --help" gives -h and --help.
QStringList OptionNames(const QString& term);

} // namespace plw::manpage
