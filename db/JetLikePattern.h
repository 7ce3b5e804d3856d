#pragma once

#include <QString>

namespace plw::db {

// A Jet LIKE pattern ("*", "?", "#", "[a-c]", "[!x]", "[*]") as an SQLite pattern. Patterns
// without character classes become LIKE patterns with "\" as escape character, which match
// ASCII letters without regard to case as Jet does; patterns with classes or "#" become GLOB
// patterns with every ASCII letter written as a class of both cases.
struct SqlitePattern {
    enum class Kind { Like, Glob };
    Kind kind = Kind::Like;
    QString pattern;
};

inline constexpr char16_t LikeEscape = u'\\';

// False with a reason for a malformed pattern (an unclosed "[").
bool ConvertJetPattern(const QString& jetPattern, SqlitePattern* out, QString* error);

// The pattern of a GLOB kind as an anchored PostgreSQL regular expression for "~", with the same
// classes (ASCII letters written as a class of both cases, so the match folds nothing else).
bool JetPatternRegex(const QString& jetPattern, QString* out, QString* error);

} // namespace plw::db
