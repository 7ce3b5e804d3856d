#pragma once

#include "tools/manpage/PageSources.h"

#include <QString>

// Text as roff shows it.
namespace plw::manpage {

// Two lines of one paragraph joined: with a blank, except between two Japanese characters and
// after a Japanese closing mark (Japanese has no blanks between words; a blank sets a Latin word
// apart).
QString JoinLines(const QString& first, const QString& second);

// A piece of running text in roff: `code` in bold, options ("--batch", "-h") with real minus
// signs, a lone "--" as a dash, roff's control characters kept literal. Japanese text gets a break
// point after each character where a line may break (roff breaks lines only at blanks), never
// before closing or after opening punctuation.
QString Inline(const QString& text, Language language);

// An option's or a command's term: its first word and every option in bold, the arguments in
// italics ("-h, --help", "--location FILE", "plwan40-sample DIR").
QString Term(const QString& term);

// A word as a macro argument or a bold word: every "-" a minus sign, "\" kept literal.
QString Literal(const QString& word);

} // namespace plw::manpage
