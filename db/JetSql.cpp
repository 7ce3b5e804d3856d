#include "db/JetSql.h"

#include "db/Database.h"
#include "db/JetLikePattern.h"
#include "db/JetSqlTokenizer.h"

#include <vector>

namespace plw::db {
namespace {

using Kind = JetToken::Kind;

// A token, or a parenthesised group holding its inner nodes.
struct Node {
    JetToken token;
    bool group = false;
    std::vector<Node> children;
    bool closeSpace = false; // whitespace before the closing ")"
};
using Nodes = std::vector<Node>;

[[noreturn]] void fail(const QString& sql, const QString& what) {
    throw DatabaseError(JetSqlError, what, sql);
}

Node leaf(const JetToken& token) {
    Node node;
    node.token = token;
    return node;
}

Node word(const QString& text, bool space = true) {
    return leaf(JetToken{Kind::Word, text, space});
}
Node symbol(const QString& text, bool space = true) {
    return leaf(JetToken{Kind::Symbol, text, space});
}
Node string(const QString& text, bool space = true) {
    return leaf(JetToken{Kind::String, text, space});
}
Node name(const QString& text, bool space = true) {
    return leaf(JetToken{Kind::Name, text, space});
}
Node group(Nodes children, bool space = false) {
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
            fail(sql, QStringLiteral("date literals (#...#) are not supported"));
        if (token.isSymbol(u"(")) {
            Node node = leaf(token);
            node.group = true;
            open.push_back(std::move(node));
            stack.emplace_back();
        } else if (token.isSymbol(u")")) {
            if (open.empty())
                fail(sql, QStringLiteral("unbalanced \")\""));
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
        fail(sql, QStringLiteral("unbalanced \"(\""));
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

QString emit(const Nodes& nodes) {
    JetTokens tokens;
    flatten(nodes, tokens);
    return JoinSqliteTokens(tokens);
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

// --- Expressions ------------------------------------------------------------------------------

// Words that end an operand of "&" or LIKE: every operator of lower precedence and every clause
// keyword.
bool isBoundaryWord(const JetToken& token) {
    static const char16_t* const words[] = {
        u"AND",    u"OR",       u"NOT",         u"XOR",    u"EQV",    u"IMP",   u"LIKE",  u"GLOB",
        u"IS",     u"IN",       u"BETWEEN",     u"ESCAPE", u"SELECT", u"FROM",  u"WHERE", u"ON",
        u"ORDER",  u"BY",       u"GROUP",       u"HAVING", u"AS",     u"ASC",   u"DESC",  u"SET",
        u"VALUES", u"INTO",     u"JOIN",        u"INNER",  u"LEFT",   u"RIGHT", u"OUTER", u"UNION",
        u"ALL",    u"DISTINCT", u"DISTINCTROW", u"TOP",    u"CASE",   u"WHEN",  u"THEN",  u"ELSE",
        u"END",    u"LIMIT",    u"WITH",        u"COLLATE"};
    if (token.kind != Kind::Word)
        return false;
    for (const char16_t* keyword : words)
        if (token.text.compare(QStringView(keyword), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isBoundary(const Node& node) {
    if (node.group)
        return false;
    const JetToken& token = node.token;
    if (token.kind == Kind::Symbol) {
        static const char16_t* const symbols[] = {u",",  u";", u"=", u"==", u"<>",
                                                  u"!=", u"<", u">", u"<=", u">="};
        for (const char16_t* s : symbols)
            if (token.text == QStringView(s))
                return true;
        return false;
    }
    return isBoundaryWord(token);
}

// Jet functions renamed to their SQLite equivalents (arguments unchanged).
QString sqliteFunctionName(const QString& jet) {
    static const struct {
        const char16_t* jet;
        const char16_t* sqlite;
    } renames[] = {{u"MID", u"substr"},  {u"MID$", u"substr"},  {u"LEN", u"length"},
                   {u"UCASE", u"upper"}, {u"UCASE$", u"upper"}, {u"LCASE", u"lower"},
                   {u"LCASE$", u"lower"}};
    for (const auto& rename : renames)
        if (jet.compare(QStringView(rename.jet), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(rename.sqlite);
    return {};
}

void translateExpressions(Nodes& nodes, const QString& sql);

// Function calls: MID$ -> substr, TRIM$ -> trim(x, ' ') (blanks only), LEFT$ -> substr(x, 1, n).
void translateFunctions(Nodes& nodes) {
    for (size_t i = 0; i + 1 < nodes.size(); ++i) {
        Node& fn = nodes[i];
        Node& args = nodes[i + 1];
        if (fn.group || fn.token.kind != Kind::Word || !args.group)
            continue;
        const QString upper = fn.token.text.toUpper();
        const QString renamed = sqliteFunctionName(fn.token.text);
        if (!renamed.isEmpty()) {
            fn.token.text = renamed;
        } else if (upper == u"TRIM" || upper == u"TRIM$" || upper == u"LTRIM" ||
                   upper == u"LTRIM$" || upper == u"RTRIM" || upper == u"RTRIM$") {
            fn.token.text = upper.chopped(upper.endsWith(u'$') ? 1 : 0).toLower();
            args.children.push_back(symbol(QStringLiteral(","), false));
            args.children.push_back(string(QStringLiteral(" ")));
        } else if (upper == u"LEFT" || upper == u"LEFT$") {
            std::vector<Nodes> parts = splitCommas(args.children);
            if (parts.size() == 2) {
                fn.token.text = QStringLiteral("substr");
                parts.insert(parts.begin() + 1,
                             Nodes{leaf(JetToken{Kind::Number, QStringLiteral("1"), true})});
                args.children = joinCommas(parts);
            }
        }
    }
}

// "a & b & c" -> jet_concat(a, b, c): Jet's text concatenation, which takes Null as "".
void translateConcatenation(Nodes& nodes, const QString& sql) {
    Nodes out;
    size_t i = 0;
    while (i < nodes.size()) {
        if (isBoundary(nodes[i])) {
            out.push_back(nodes[i++]);
            continue;
        }
        // One run of operand nodes up to the next boundary.
        size_t end = i;
        bool hasConcat = false;
        while (end < nodes.size() && !isBoundary(nodes[end])) {
            hasConcat = hasConcat || isSymbol(nodes[end], u"&");
            ++end;
        }
        if (!hasConcat) {
            out.insert(out.end(), nodes.begin() + qsizetype(i), nodes.begin() + qsizetype(end));
        } else {
            std::vector<Nodes> operands(1);
            for (size_t k = i; k < end; ++k) {
                if (isSymbol(nodes[k], u"&"))
                    operands.emplace_back();
                else
                    operands.back().push_back(nodes[k]);
            }
            for (size_t k = 0; k < operands.size(); ++k) {
                if (operands[k].empty())
                    fail(sql, QStringLiteral("\"&\" without an operand"));
                operands[k].front().token.spaceBefore = k > 0;
            }
            out.push_back(word(QString::fromLatin1(JetConcatFunction), nodes[i].token.spaceBefore));
            out.push_back(group(joinCommas(operands)));
        }
        i = end;
    }
    nodes = std::move(out);
}

// "x LIKE 'jet pattern'" -> "x LIKE 'sqlite pattern' ESCAPE '\'" or "x GLOB '...'"; a pattern
// that is not a literal is matched at run time by jet_like(x, pattern).
void translateLike(Nodes& nodes, const QString& sql) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!isWord(nodes[i], u"LIKE"))
            continue;
        size_t end = i + 1;
        while (end < nodes.size() && !isBoundary(nodes[end]))
            ++end;
        if (end == i + 1)
            fail(sql, QStringLiteral("LIKE without a pattern"));
        const bool literal =
            end == i + 2 && !nodes[i + 1].group && nodes[i + 1].token.kind == Kind::String;
        if (literal) {
            SqlitePattern pattern;
            QString error;
            if (!ConvertJetPattern(nodes[i + 1].token.text, &pattern, &error))
                fail(sql, error);
            nodes[i + 1].token.text = pattern.pattern;
            if (pattern.kind == SqlitePattern::Kind::Glob) {
                nodes[i].token.text = QStringLiteral("GLOB");
            } else {
                const Node escape[] = {word(QStringLiteral("ESCAPE")),
                                       string(QString(QChar(LikeEscape)))};
                nodes.insert(nodes.begin() + qsizetype(i) + 2, std::begin(escape),
                             std::end(escape));
            }
            continue;
        }
        // Runtime match: the left operand runs back to the previous boundary (a NOT before
        // LIKE stays in front of the call).
        size_t left = i;
        while (left > 0 && !isBoundary(nodes[left - 1]))
            --left;
        const bool negated = i > 0 && isWord(nodes[i - 1], u"NOT");
        size_t operatorStart = i;
        if (negated) {
            operatorStart = i - 1;
            left = operatorStart;
            while (left > 0 && !isBoundary(nodes[left - 1]))
                --left;
        }
        if (left == operatorStart)
            fail(sql, QStringLiteral("LIKE without a value"));
        Nodes value(nodes.begin() + qsizetype(left), nodes.begin() + qsizetype(operatorStart));
        Nodes pattern(nodes.begin() + qsizetype(i) + 1, nodes.begin() + qsizetype(end));
        value.front().token.spaceBefore = false;
        pattern.front().token.spaceBefore = true;
        Nodes call;
        const bool space = nodes[left].token.spaceBefore;
        if (negated)
            call.push_back(word(QStringLiteral("NOT"), space));
        call.push_back(word(QString::fromLatin1(JetLikeFunction), negated || space));
        call.push_back(group(joinCommas({value, pattern})));
        nodes.erase(nodes.begin() + qsizetype(left), nodes.begin() + qsizetype(end));
        nodes.insert(nodes.begin() + qsizetype(left), call.begin(), call.end());
        i = left + call.size() - 1;
    }
}

void translateExpressions(Nodes& nodes, const QString& sql) {
    for (Node& node : nodes)
        if (node.group)
            translateExpressions(node.children, sql);
    for (const Node& node : nodes) {
        if (node.group)
            continue;
        const JetToken& token = node.token;
        if (token.kind == Kind::Symbol &&
            (token.text == u"\\" || token.text == u"^" || token.text == u"=="))
            fail(sql, QStringLiteral("operator \"%1\" is not supported").arg(token.text));
    }
    translateFunctions(nodes);
    translateConcatenation(nodes, sql);
    translateLike(nodes, sql);
}

// --- Types and column definitions ----------------------------------------------------------

// Jet type names without an SQLite type of the same affinity.
QString sqliteTypeName(const QString& jet) {
    static const struct {
        const char16_t* jet;
        const char16_t* sqlite;
    } types[] = {{u"SHORT", u"SMALLINT"},  {u"LONG", u"INTEGER"},          {u"BYTE", u"TINYINT"},
                 {u"COUNTER", u"INTEGER"}, {u"AUTOINCREMENT", u"INTEGER"}, {u"BIT", u"INTEGER"},
                 {u"YESNO", u"INTEGER"},   {u"LOGICAL", u"INTEGER"},       {u"SINGLE", u"REAL"},
                 {u"DOUBLE", u"REAL"},     {u"CURRENCY", u"NUMERIC"},      {u"MONEY", u"NUMERIC"},
                 {u"MEMO", u"TEXT"},       {u"LONGTEXT", u"TEXT"},         {u"NOTE", u"TEXT"},
                 {u"DATETIME", u"NUMERIC"}};
    for (const auto& type : types)
        if (jet.compare(QStringView(type.jet), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(type.sqlite);
    return {};
}

bool isTableConstraint(const Nodes& definition) {
    return !definition.empty() &&
           (isWord(definition[0], u"CONSTRAINT") || isWord(definition[0], u"PRIMARY") ||
            isWord(definition[0], u"UNIQUE") || isWord(definition[0], u"FOREIGN") ||
            isWord(definition[0], u"CHECK"));
}

// One column definition "name type[(n)] constraints": the type mapped to SQLite.
void translateColumnDefinition(Nodes& definition, const QString& sql) {
    if (definition.empty() || !isName(definition[0]))
        fail(sql, QStringLiteral("column definition without a name"));
    if (definition.size() > 1 && !definition[1].group && definition[1].token.kind == Kind::Word) {
        const QString mapped = sqliteTypeName(definition[1].token.text);
        if (!mapped.isEmpty())
            definition[1].token.text = mapped;
    }
}

// --- Statements --------------------------------------------------------------------------------

// Position of the first node at this level that is the keyword, from start; -1 when none.
qsizetype findWord(const Nodes& nodes, QStringView keyword, size_t start = 0) {
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

void dropTrailingSemicolon(Nodes& nodes, const QString& sql) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!isSymbol(nodes[i], u";"))
            continue;
        if (i + 1 != nodes.size())
            fail(sql, QStringLiteral("characters found after the end of the statement"));
        nodes.pop_back();
    }
}

SqliteTranslation translateSelect(Nodes nodes, const QString& sql) {
    SqliteTranslation result;
    size_t head = 1;
    if (nodes.size() > head && (isWord(nodes[head], u"DISTINCT") || isWord(nodes[head], u"ALL")))
        ++head;
    if (nodes.size() > head && isWord(nodes[head], u"DISTINCTROW")) {
        nodes.erase(nodes.begin() + qsizetype(head)); // SQLite rows of a join are distinct already
    }

    // TOP n
    QString top;
    if (nodes.size() > head + 1 && isWord(nodes[head], u"TOP")) {
        if (nodes[head + 1].group || nodes[head + 1].token.kind != Kind::Number)
            fail(sql, QStringLiteral("TOP without a number"));
        top = nodes[head + 1].token.text;
        nodes.erase(nodes.begin() + qsizetype(head), nodes.begin() + qsizetype(head) + 2);
        if (nodes.size() > head && isWord(nodes[head], u"PERCENT"))
            fail(sql, QStringLiteral("TOP ... PERCENT is not supported"));
        if (nodes.size() > head)
            nodes[head].token.spaceBefore = true;
    }

    // INTO t before FROM: a new table.
    QString intoTable;
    bool intoQuoted = false;
    const qsizetype from = findWord(nodes, u"FROM");
    const qsizetype into = findWord(nodes, u"INTO");
    if (into >= 0 && (from < 0 || into < from)) {
        if (size_t(into) + 1 >= nodes.size() || !isName(nodes[size_t(into) + 1]))
            fail(sql, QStringLiteral("INTO without a table name"));
        intoTable = nodes[size_t(into) + 1].token.text;
        intoQuoted = nodes[size_t(into) + 1].token.kind == Kind::Name;
        if (size_t(into) + 2 < nodes.size() && isWord(nodes[size_t(into) + 2], u"IN"))
            fail(sql, QStringLiteral("SELECT ... INTO ... IN is not supported"));
        nodes.erase(nodes.begin() + into, nodes.begin() + into + 2);
    }

    translateExpressions(nodes, sql);

    Nodes query = std::move(nodes);
    if (!top.isEmpty()) {
        // ORDER BY of this level: the ranking order. Jet also returns the rows tied with the
        // last one, which RANK() gives.
        qsizetype order = -1;
        for (size_t i = 0; i + 1 < query.size(); ++i)
            if (isWord(query[i], u"ORDER") && isWord(query[i + 1], u"BY"))
                order = qsizetype(i);
        if (order < 0) {
            query.push_back(word(QStringLiteral("LIMIT")));
            query.push_back(leaf(JetToken{Kind::Number, top, true}));
        } else {
            const qsizetype selectFrom = findWord(query, u"FROM");
            if (selectFrom < 0 || selectFrom > order)
                fail(sql, QStringLiteral("SELECT TOP without FROM"));
            const Nodes terms = slice(query, size_t(order) + 2, query.size());
            Nodes inner = slice(query, 0, size_t(selectFrom));
            inner.push_back(symbol(QStringLiteral(","), false));
            inner.push_back(word(QStringLiteral("RANK")));
            inner.push_back(group({}));
            inner.push_back(word(QStringLiteral("OVER")));
            Nodes window{word(QStringLiteral("ORDER"), false), word(QStringLiteral("BY"))};
            append(window, terms);
            inner.push_back(group(window, true));
            inner.push_back(word(QStringLiteral("AS")));
            inner.push_back(word(QString::fromLatin1(JetTopRankColumn)));
            append(inner, slice(query, size_t(selectFrom), size_t(order)));
            inner.front().token.spaceBefore = false;

            Nodes outer{word(QStringLiteral("SELECT"), false),
                        symbol(QStringLiteral("*")),
                        word(QStringLiteral("FROM")),
                        group(inner, true),
                        word(QStringLiteral("WHERE")),
                        word(QString::fromLatin1(JetTopRankColumn)),
                        symbol(QStringLiteral("<=")),
                        leaf(JetToken{Kind::Number, top, true}),
                        word(QStringLiteral("ORDER")),
                        word(QStringLiteral("BY")),
                        word(QString::fromLatin1(JetTopRankColumn))};
            query = std::move(outer);
            result.hiddenColumns = 1;
        }
    }

    if (intoTable.isEmpty()) {
        result.statements << emit(query);
        return result;
    }
    query.front().token.spaceBefore = true;
    Nodes create{word(QStringLiteral("CREATE"), false), word(QStringLiteral("TABLE")),
                 intoQuoted ? name(intoTable) : word(intoTable), word(QStringLiteral("AS"))};
    append(create, query);
    result.statements << emit(create);
    if (result.hiddenColumns > 0) {
        result.statements << QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                 .arg(QuoteSqliteName(intoTable),
                                      QString::fromLatin1(JetTopRankColumn));
        result.hiddenColumns = 0;
    }
    return result;
}

// DELETE [*|t.*] FROM t WHERE ... -> DELETE FROM t WHERE ...
SqliteTranslation translateDelete(Nodes nodes, const QString& sql) {
    const qsizetype from = findWord(nodes, u"FROM");
    if (from < 0)
        fail(sql, QStringLiteral("DELETE without FROM"));
    nodes.erase(nodes.begin() + 1, nodes.begin() + from);
    translateExpressions(nodes, sql);
    return {{emit(nodes)}, 0};
}

// CREATE [UNIQUE] INDEX n ON t (c, ...) [WITH PRIMARY | DISALLOW NULL | IGNORE NULL]
SqliteTranslation translateCreateIndex(Nodes nodes, const QString& sql) {
    size_t i = 1;
    bool unique = false;
    if (isWord(nodes[i], u"UNIQUE")) {
        unique = true;
        ++i;
    }
    ++i; // INDEX
    if (nodes.size() < i + 4 || !isName(nodes[i]) || !isWord(nodes[i + 1], u"ON") ||
        !isName(nodes[i + 2]) || !nodes[i + 3].group)
        fail(sql, QStringLiteral("CREATE INDEX: expected \"name ON table (columns)\""));
    const QString index = nodes[i].token.text;
    const Node table = nodes[i + 2];
    const Node columns = nodes[i + 3];
    size_t k = i + 4;
    if (k < nodes.size()) {
        if (!isWord(nodes[k], u"WITH"))
            fail(sql, QStringLiteral("CREATE INDEX: unexpected text after the columns"));
        for (++k; k < nodes.size(); ++k) {
            if (isWord(nodes[k], u"PRIMARY"))
                unique = true; // the primary index: unique (Nulls are refused by the key column)
            else if (!isWord(nodes[k], u"DISALLOW") && !isWord(nodes[k], u"IGNORE") &&
                     !isWord(nodes[k], u"NULL"))
                fail(sql,
                     QStringLiteral("CREATE INDEX: unknown option %1").arg(nodes[k].token.text));
        }
    }
    Nodes out{word(QStringLiteral("CREATE"), false)};
    if (unique)
        out.push_back(word(QStringLiteral("UNIQUE")));
    out.push_back(word(QStringLiteral("INDEX")));
    out.push_back(name(SqliteIndexName(table.token.text, index)));
    out.push_back(word(QStringLiteral("ON")));
    Node tableNode = table;
    tableNode.token.spaceBefore = true;
    out.push_back(tableNode);
    Node columnsNode = columns;
    columnsNode.token.spaceBefore = true;
    out.push_back(columnsNode);
    return {{emit(out)}, 0};
}

// DROP INDEX n ON t
SqliteTranslation translateDropIndex(const Nodes& nodes, const QString& sql) {
    if (nodes.size() != 5 || !isName(nodes[2]) || !isWord(nodes[3], u"ON") || !isName(nodes[4]))
        fail(sql, QStringLiteral("DROP INDEX: expected \"name ON table\""));
    return {{QStringLiteral("DROP INDEX %1")
                 .arg(QuoteSqliteName(SqliteIndexName(nodes[4].token.text, nodes[2].token.text)))},
            0};
}

SqliteTranslation translateCreateTable(Nodes nodes, const QString& sql) {
    if (nodes.size() >= 4 && nodes[3].group) {
        std::vector<Nodes> definitions = splitCommas(nodes[3].children);
        for (Nodes& definition : definitions) {
            if (!isTableConstraint(definition))
                translateColumnDefinition(definition, sql);
            translateExpressions(definition, sql);
        }
        nodes[3].children = joinCommas(definitions);
        return {{emit(nodes)}, 0};
    }
    translateExpressions(nodes, sql);
    return {{emit(nodes)}, 0};
}

// ALTER TABLE t ADD [COLUMN] a type, b type -> one ALTER TABLE per column (likewise DROP).
SqliteTranslation translateAlterTable(const Nodes& nodes, const QString& sql) {
    if (nodes.size() < 5 || !isName(nodes[2]))
        fail(sql, QStringLiteral("ALTER TABLE: expected \"table ADD|DROP ...\""));
    const Node& table = nodes[2];
    const bool add = isWord(nodes[3], u"ADD");
    if (!add && !isWord(nodes[3], u"DROP"))
        fail(sql, QStringLiteral("ALTER TABLE: only ADD and DROP are supported"));
    size_t start = 4;
    if (isWord(nodes[start], u"COLUMN"))
        ++start;
    else if (add && isWord(nodes[start], u"CONSTRAINT"))
        fail(sql, QStringLiteral("ALTER TABLE ... ADD CONSTRAINT is not supported"));
    std::vector<Nodes> definitions = splitCommas(slice(nodes, start, nodes.size()));
    if (definitions.empty())
        fail(sql, QStringLiteral("ALTER TABLE without columns"));
    SqliteTranslation result;
    for (Nodes& definition : definitions) {
        if (add)
            translateColumnDefinition(definition, sql);
        else if (definition.size() != 1 || !isName(definition[0]))
            fail(sql, QStringLiteral("ALTER TABLE ... DROP: expected column names"));
        translateExpressions(definition, sql);
        definition.front().token.spaceBefore = true;
        Node tableNode = table;
        tableNode.token.spaceBefore = true;
        Nodes statement{word(QStringLiteral("ALTER"), false), word(QStringLiteral("TABLE")),
                        tableNode, word(add ? QStringLiteral("ADD") : QStringLiteral("DROP")),
                        word(QStringLiteral("COLUMN"))};
        append(statement, definition);
        result.statements << emit(statement);
    }
    return result;
}

} // namespace

QString SqliteIndexName(const QString& table, const QString& index) {
    // "." cannot occur in a Jet name, so table and index never run together ambiguously.
    return table + QLatin1Char('.') + index;
}

SqliteTranslation TranslateJetSql(const QString& jetSql) {
    Nodes nodes = buildTree(TokenizeJetSql(jetSql), jetSql);
    dropTrailingSemicolon(nodes, jetSql);
    if (nodes.empty())
        fail(jetSql, QStringLiteral("empty statement"));
    if (!nodes.empty())
        nodes.front().token.spaceBefore = false;

    auto at = [&](size_t i, QStringView keyword) {
        return i < nodes.size() && isWord(nodes[i], keyword);
    };
    if (at(0, u"SELECT"))
        return translateSelect(std::move(nodes), jetSql);
    if (at(0, u"DELETE"))
        return translateDelete(std::move(nodes), jetSql);
    if (at(0, u"CREATE") && (at(1, u"INDEX") || (at(1, u"UNIQUE") && at(2, u"INDEX"))))
        return translateCreateIndex(std::move(nodes), jetSql);
    if (at(0, u"CREATE") && at(1, u"TABLE"))
        return translateCreateTable(std::move(nodes), jetSql);
    if (at(0, u"DROP") && at(1, u"INDEX") && findWord(nodes, u"ON") >= 0)
        return translateDropIndex(nodes, jetSql);
    if (at(0, u"ALTER") && at(1, u"TABLE"))
        return translateAlterTable(nodes, jetSql);

    translateExpressions(nodes, jetSql);
    return {{emit(nodes)}, 0};
}

} // namespace plw::db
