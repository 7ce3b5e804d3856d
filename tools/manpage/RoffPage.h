#pragma once

#include "tools/manpage/PageSources.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace plw::manpage {

// Everything one program's pages are made of.
struct PageInputs {
    QString Program;
    QString Version;
    HelpText Help;
    QList<Entry> ReadmeForms;
    QList<Section> Source;
};

// Where the sources disagree or one lacks a part: the README's forms against --help's, an option
// of --help without its English line or an English line without its option, a missing English
// summary, a section that would repeat a generated one. One sentence each.
QStringList CheckSources(const PageInputs& inputs);

// The page in one language, in roff (UTF-8, with its coding line for man's preprocessor):
// NAME, SYNOPSIS, DESCRIPTION (the source's text, then each command form with what it does),
// OPTIONS, then the source's other sections of that language in their order. The Japanese page
// takes the forms and the options from --help, the English page the forms from the README and
// the options' texts from the source.
QString WritePage(const PageInputs& inputs, Language language);

} // namespace plw::manpage
