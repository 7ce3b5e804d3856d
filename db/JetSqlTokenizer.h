#pragma once

#include <QList>
#include <QString>

namespace plw::db {

// One lexical unit of a Jet SQL text.
struct JetToken {
    enum class Kind {
        Word,       // keyword, name or function name (MID$, M1KaiBan, 抽出A)
        Name,       // a [bracketed name]; text holds the name without brackets
        String,     // '...' or "..."; text holds the value, quotes undone
        Number,     // 123, 1.5, 1E3
        Parameter,  // ?, ?1, :name, @name
        Symbol,     // operator or punctuation: ( ) , . ; * + - / \ & = <> < > <= >= ^ || !=
        DateLiteral // #...#; text holds what is between the hashes
    };

    Kind kind = Kind::Symbol;
    QString text;
    bool spaceBefore = false; // whitespace preceded the token in the source

    bool isSymbol(QStringView symbol) const { return kind == Kind::Symbol && text == symbol; }
    // A Word that equals keyword without regard to letter case.
    bool isWord(QStringView keyword) const {
        return kind == Kind::Word && text.compare(keyword, Qt::CaseInsensitive) == 0;
    }
};

using JetTokens = QList<JetToken>;

// Splits a Jet SQL text into tokens; whitespace only sets spaceBefore. Throws DatabaseError on an
// unterminated string, name or date, or a character that belongs to no token.
JetTokens TokenizeJetSql(const QString& sql);

// Writes tokens back as SQL text: names and strings quoted for SQLite, one blank wherever the
// source had whitespace.
QString JoinSqliteTokens(const JetTokens& tokens);

// As JoinSqliteTokens for PostgreSQL: names folded (FoldPostgresName) and quoted, strings as
// standard SQL literals, parameters ?n (and ?) as $n. Throws DatabaseError for a named parameter.
QString JoinPostgresTokens(const JetTokens& tokens);

// An identifier quoted for SQLite ("name", inner quotes doubled) and a string literal ('text').
QString QuoteSqliteName(const QString& name);
QString QuoteSqliteString(const QString& text);

} // namespace plw::db
