#pragma once

#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace plw::db::jet {

// A Jet SQL statement as a tree: tokens, and parenthesised groups holding their inner nodes. The
// translation works level by level on it.
struct Node {
    JetToken token;
    bool group = false;
    std::vector<Node> children;
    bool closeSpace = false; // whitespace before the closing ")"
};
using Nodes = std::vector<Node>;
using Kind = JetToken::Kind;

// Throws the translator's DatabaseError for the statement.
[[noreturn]] void fail(const QString& sql, const QString& what);

// New nodes; space: whether a blank goes before them.
Node leaf(const JetToken& token);
Node word(const QString& text, bool space = true);
Node symbol(const QString& text, bool space = true);
Node string(const QString& text, bool space = true);
Node name(const QString& text, bool space = true);
Node group(Nodes children, bool space = false);

// Nests the tokens by parentheses; throws on unbalanced ones and on date literals.
Nodes buildTree(const JetTokens& tokens, const QString& sql);
// The tree as the engine's text.
QString emit(const Nodes& nodes, SqlDialect dialect);

bool isWord(const Node& node, QStringView keyword);
bool isSymbol(const Node& node, QStringView text);
// A name in a place where only a name may stand (table, index, column).
bool isName(const Node& node);

// Splits a group's nodes at the commas of its own level, and joins parts with commas.
std::vector<Nodes> splitCommas(const Nodes& nodes);
Nodes joinCommas(const std::vector<Nodes>& parts);

// Position of the first node at this level that is the keyword, from start; -1 when none.
qsizetype findWord(const Nodes& nodes, QStringView keyword, size_t start = 0);
Nodes slice(const Nodes& nodes, size_t from, size_t to);
void append(Nodes& out, const Nodes& more);

} // namespace plw::db::jet
