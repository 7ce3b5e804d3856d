#include "db/JetSqlTree.h"

#include "db/Database.h"
#include "db/JetSql.h"

namespace plw::db::jet {

[[noreturn]] void fail(const QString& sql, const QString& what) {
    throw DatabaseError(JetSqlError, what, sql);
}

Node leaf(const JetToken& token) {
    Node node;
    node.token = token;
    return node;
}

Node word(const QString& text, bool space) {
    return leaf(JetToken{Kind::Word, text, space});
}
Node symbol(const QString& text, bool space) {
    return leaf(JetToken{Kind::Symbol, text, space});
}
Node string(const QString& text, bool space) {
    return leaf(JetToken{Kind::String, text, space});
}
Node name(const QString& text, bool space) {
    return leaf(JetToken{Kind::Name, text, space});
}
Node group(Nodes children, bool space) {
    Node node = leaf(JetToken{Kind::Symbol, QStringLiteral("("), space});
    node.group = true;
    node.children = std::move(children);
    return node;
}

// Nests the tokens by parentheses.
Nodes buildTree(const JetTokens& tokens, const QString& sql) {
    std::vector<Nodes> stack(1);
    std::vector<Node> open;
    for (const JetToken& token : tokens) {
        if (token.kind == Kind::DateLiteral)
            fail(sql, QStringLiteral("日付の定数 (#...#) には対応していません"));
        if (token.isSymbol(u"(")) {
            Node node = leaf(token);
            node.group = true;
            open.push_back(std::move(node));
            stack.emplace_back();
        } else if (token.isSymbol(u")")) {
            if (open.empty())
                fail(sql, QStringLiteral("「)」に対応する「(」がありません"));
            Node node = std::move(open.back());
            open.pop_back();
            node.children = std::move(stack.back());
            node.closeSpace = token.spaceBefore;
            stack.pop_back();
            stack.back().push_back(std::move(node));
        } else {
            stack.back().push_back(leaf(token));
        }
    }
    if (!open.empty())
        fail(sql, QStringLiteral("「(」に対応する「)」がありません"));
    return std::move(stack.front());
}

void flatten(const Nodes& nodes, JetTokens& out) {
    for (const Node& node : nodes) {
        out.append(node.token);
        if (node.group) {
            flatten(node.children, out);
            out.append(JetToken{Kind::Symbol, QStringLiteral(")"), node.closeSpace});
        }
    }
}

QString emit(const Nodes& nodes, SqlDialect dialect) {
    JetTokens tokens;
    flatten(nodes, tokens);
    return dialect == SqlDialect::Postgres ? JoinPostgresTokens(tokens) : JoinSqliteTokens(tokens);
}

bool isWord(const Node& node, QStringView keyword) {
    return !node.group && node.token.isWord(keyword);
}
bool isSymbol(const Node& node, QStringView text) {
    return !node.group && node.token.isSymbol(text);
}

// A name in a place where only a name may stand (table, index, column).
bool isName(const Node& node) {
    return !node.group && (node.token.kind == Kind::Word || node.token.kind == Kind::Name);
}

// Splits a group's nodes at the commas of its own level.
std::vector<Nodes> splitCommas(const Nodes& nodes) {
    std::vector<Nodes> parts(1);
    for (const Node& node : nodes) {
        if (isSymbol(node, u","))
            parts.emplace_back();
        else
            parts.back().push_back(node);
    }
    if (parts.size() == 1 && parts.front().empty())
        parts.clear();
    return parts;
}

Nodes joinCommas(const std::vector<Nodes>& parts) {
    Nodes out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out.push_back(symbol(QStringLiteral(","), false));
        out.insert(out.end(), parts[i].begin(), parts[i].end());
    }
    return out;
}

qsizetype findWord(const Nodes& nodes, QStringView keyword, size_t start) {
    for (size_t i = start; i < nodes.size(); ++i)
        if (isWord(nodes[i], keyword))
            return qsizetype(i);
    return -1;
}

Nodes slice(const Nodes& nodes, size_t from, size_t to) {
    return Nodes(nodes.begin() + qsizetype(from), nodes.begin() + qsizetype(to));
}

void append(Nodes& out, const Nodes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

} // namespace plw::db::jet
