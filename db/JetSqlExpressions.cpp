#include "db/JetSqlExpressions.h"

#include "db/JetLikePattern.h"
#include "db/JetSql.h"

namespace plw::db::jet {
namespace {

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

// Function calls: MID$ -> substr, TRIM$ -> trim(x, ' ') (blanks only; btrim in PostgreSQL),
// LEFT$ -> substr(x, 1, n).
void translateFunctions(Nodes& nodes, SqlDialect dialect) {
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
            if (dialect == SqlDialect::Postgres && fn.token.text == u"trim")
                fn.token.text = QStringLiteral("btrim");
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

// PostgreSQL's form of jet_concat: Null only when every operand is Null, in the C collation.
Node postgresConcat(const std::vector<Nodes>& operands, bool space) {
    std::vector<Nodes> asText;
    for (const Nodes& operand : operands) {
        Nodes cast = operand;
        cast.push_back(word(QStringLiteral("AS")));
        cast.push_back(word(QStringLiteral("text")));
        cast.front().token.spaceBefore = false;
        asText.push_back({word(QStringLiteral("CAST"), !asText.empty()), group(cast)});
    }
    Nodes expression{word(QStringLiteral("CASE"), false), word(QStringLiteral("WHEN")),
                     word(QStringLiteral("COALESCE")),    group(joinCommas(asText)),
                     word(QStringLiteral("IS")),          word(QStringLiteral("NULL")),
                     word(QStringLiteral("THEN")),        word(QStringLiteral("NULL")),
                     word(QStringLiteral("ELSE")),        word(QStringLiteral("concat")),
                     group(joinCommas(operands)),         word(QStringLiteral("END")),
                     word(QStringLiteral("COLLATE")),     postgresCollation()};
    return group(expression, space);
}

// "a & b & c" -> jet_concat(a, b, c): Jet's text concatenation, which takes Null as "".
void translateConcatenation(Nodes& nodes, const QString& sql, SqlDialect dialect) {
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
                    fail(sql, QStringLiteral("「&」の片方の値がありません"));
                operands[k].front().token.spaceBefore = k > 0;
            }
            if (dialect == SqlDialect::Postgres) {
                out.push_back(postgresConcat(operands, nodes[i].token.spaceBefore));
            } else {
                out.push_back(
                    word(QString::fromLatin1(JetConcatFunction), nodes[i].token.spaceBefore));
                out.push_back(group(joinCommas(operands)));
            }
        }
        i = end;
    }
    nodes = std::move(out);
}

// PostgreSQL: "[NOT] (CAST(x AS text) COLLATE "C" ILIKE 'pattern' ESCAPE '\')", or "~" with a
// regular expression for the patterns SQLite matches with GLOB: ASCII letters alone fold, as
// in SQLite. Only literal patterns.
Nodes postgresLike(const Nodes& value, const QString& jetPattern, bool negated, bool space,
                   const QString& sql) {
    SqlitePattern pattern;
    QString error;
    if (!ConvertJetPattern(jetPattern, &pattern, &error))
        fail(sql, error);
    Nodes cast = value;
    cast.front().token.spaceBefore = false;
    cast.push_back(word(QStringLiteral("AS")));
    cast.push_back(word(QStringLiteral("text")));
    Nodes match{word(QStringLiteral("CAST"), false), group(cast), word(QStringLiteral("COLLATE")),
                postgresCollation()};
    if (pattern.kind == SqlitePattern::Kind::Glob) {
        QString regex;
        if (!JetPatternRegex(jetPattern, &regex, &error))
            fail(sql, error);
        match.push_back(symbol(QStringLiteral("~")));
        match.push_back(string(regex));
    } else {
        match.push_back(word(QStringLiteral("ILIKE")));
        match.push_back(string(pattern.pattern));
        match.push_back(word(QStringLiteral("ESCAPE")));
        match.push_back(string(QString(QChar(LikeEscape))));
    }
    Nodes out;
    if (negated)
        out.push_back(word(QStringLiteral("NOT"), space));
    out.push_back(group(match, negated || space));
    return out;
}

// "x LIKE 'jet pattern'" -> "x LIKE 'sqlite pattern' ESCAPE '\'" or "x GLOB '...'"; a pattern
// that is not a literal is matched at run time by jet_like(x, pattern).
void translateLike(Nodes& nodes, const QString& sql, SqlDialect dialect) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!isWord(nodes[i], u"LIKE"))
            continue;
        size_t end = i + 1;
        while (end < nodes.size() && !isBoundary(nodes[end]))
            ++end;
        if (end == i + 1)
            fail(sql, QStringLiteral("LIKE にパターンがありません"));
        const bool literal =
            end == i + 2 && !nodes[i + 1].group && nodes[i + 1].token.kind == Kind::String;
        if (dialect == SqlDialect::Postgres && !literal)
            fail(sql, QStringLiteral("PostgreSQL では LIKE のパターンは定数だけに対応しています"));
        if (literal && dialect == SqlDialect::Sqlite) {
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
            fail(sql, QStringLiteral("LIKE に比べる値がありません"));
        Nodes value(nodes.begin() + qsizetype(left), nodes.begin() + qsizetype(operatorStart));
        Nodes pattern(nodes.begin() + qsizetype(i) + 1, nodes.begin() + qsizetype(end));
        value.front().token.spaceBefore = false;
        pattern.front().token.spaceBefore = true;
        Nodes call;
        const bool space = nodes[left].token.spaceBefore;
        if (dialect == SqlDialect::Postgres)
            call = postgresLike(value, pattern.front().token.text, negated, space, sql);
        else if (negated)
            call.push_back(word(QStringLiteral("NOT"), space));
        if (dialect == SqlDialect::Sqlite) {
            call.push_back(word(QString::fromLatin1(JetLikeFunction), negated || space));
            call.push_back(group(joinCommas({value, pattern})));
        }
        nodes.erase(nodes.begin() + qsizetype(left), nodes.begin() + qsizetype(end));
        nodes.insert(nodes.begin() + qsizetype(left), call.begin(), call.end());
        i = left + call.size() - 1;
    }
}

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

// Jet and SQLite type names as PostgreSQL declares them: every integer bigint (SQLite's integers
// are 64 bits), texts in the C collation (added by the caller). Empty when unchanged.
QString postgresTypeName(const QString& jet) {
    static const struct {
        const char16_t* jet;
        const char16_t* postgres;
    } types[] = {{u"SHORT", u"bigint"},
                 {u"SMALLINT", u"bigint"},
                 {u"INTEGER", u"bigint"},
                 {u"INT", u"bigint"},
                 {u"LONG", u"bigint"},
                 {u"BYTE", u"bigint"},
                 {u"TINYINT", u"bigint"},
                 {u"COUNTER", u"bigint"},
                 {u"AUTOINCREMENT", u"bigint"},
                 {u"BIT", u"bigint"},
                 {u"YESNO", u"bigint"},
                 {u"LOGICAL", u"bigint"},
                 {u"SINGLE", u"double precision"},
                 {u"DOUBLE", u"double precision"},
                 {u"REAL", u"double precision"},
                 {u"FLOAT", u"double precision"},
                 {u"CURRENCY", u"numeric"},
                 {u"MONEY", u"numeric"},
                 {u"DATETIME", u"numeric"},
                 {u"MEMO", u"text"},
                 {u"LONGTEXT", u"text"},
                 {u"NOTE", u"text"}};
    // CHAR(n) is text, as in SQLite: trailing blanks keep their meaning (char(n) would pad and
    // ignore them) and the width is the writers' rule, not the server's.
    if (jet.compare(u"CHAR", Qt::CaseInsensitive) == 0 ||
        jet.compare(u"VARCHAR", Qt::CaseInsensitive) == 0 ||
        jet.compare(u"TEXT", Qt::CaseInsensitive) == 0 ||
        jet.compare(u"CHARACTER", Qt::CaseInsensitive) == 0)
        return QStringLiteral("text");
    for (const auto& type : types)
        if (jet.compare(QStringView(type.jet), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(type.postgres);
    return {};
}

// Jet and SQLite sort Null before every value: PostgreSQL puts it last unless told. Each term of
// an ORDER BY gets NULLS FIRST when ascending, NULLS LAST when descending.
void orderNullsAsJet(Nodes& nodes) {
    for (size_t i = 0; i + 1 < nodes.size(); ++i) {
        if (!isWord(nodes[i], u"ORDER") || !isWord(nodes[i + 1], u"BY"))
            continue;
        size_t end = i + 2;
        while (end < nodes.size() && !isWord(nodes[end], u"LIMIT") &&
               !isWord(nodes[end], u"OFFSET") && !isWord(nodes[end], u"FOR") &&
               !isWord(nodes[end], u"FETCH"))
            ++end;
        std::vector<Nodes> terms = splitCommas(slice(nodes, i + 2, end));
        for (Nodes& term : terms) {
            if (term.empty() || findWord(term, u"NULLS") >= 0)
                continue;
            const bool descending = isWord(term.back(), u"DESC");
            term.push_back(word(QStringLiteral("NULLS")));
            term.push_back(word(descending ? QStringLiteral("LAST") : QStringLiteral("FIRST")));
        }
        Nodes rewritten = joinCommas(terms);
        for (size_t k = 1; k < rewritten.size(); ++k)
            if (isSymbol(rewritten[k - 1], u",") && !rewritten[k].group)
                rewritten[k].token.spaceBefore = true;
        nodes.erase(nodes.begin() + qsizetype(i) + 2, nodes.begin() + qsizetype(end));
        nodes.insert(nodes.begin() + qsizetype(i) + 2, rewritten.begin(), rewritten.end());
        i += 1 + rewritten.size();
    }
}

} // namespace

Node postgresCollation() {
    // Written as it stands: the collation's name is "C", which folding would spoil.
    return word(QStringLiteral("\"C\""));
}

void translateExpressions(Nodes& nodes, const QString& sql, SqlDialect dialect) {
    for (Node& node : nodes)
        if (node.group)
            translateExpressions(node.children, sql, dialect);
    for (const Node& node : nodes) {
        if (node.group)
            continue;
        const JetToken& token = node.token;
        if (token.kind == Kind::Symbol &&
            (token.text == u"\\" || token.text == u"^" || token.text == u"=="))
            fail(sql, QStringLiteral("演算子「%1」には対応していません").arg(token.text));
    }
    translateFunctions(nodes, dialect);
    translateConcatenation(nodes, sql, dialect);
    translateLike(nodes, sql, dialect);
    if (dialect == SqlDialect::Postgres)
        orderNullsAsJet(nodes);
}

bool isTableConstraint(const Nodes& definition) {
    return !definition.empty() &&
           (isWord(definition[0], u"CONSTRAINT") || isWord(definition[0], u"PRIMARY") ||
            isWord(definition[0], u"UNIQUE") || isWord(definition[0], u"FOREIGN") ||
            isWord(definition[0], u"CHECK"));
}

void translateColumnDefinition(Nodes& definition, const QString& sql, SqlDialect dialect) {
    if (definition.empty() || !isName(definition[0]))
        fail(sql, QStringLiteral("列の定義に名前がありません"));
    if (definition.size() < 2 || definition[1].group || definition[1].token.kind != Kind::Word)
        return;
    if (dialect == SqlDialect::Sqlite) {
        const QString mapped = sqliteTypeName(definition[1].token.text);
        if (!mapped.isEmpty())
            definition[1].token.text = mapped;
        return;
    }
    const QString mapped = postgresTypeName(definition[1].token.text);
    if (mapped.isEmpty())
        return;
    definition[1].token.text = mapped;
    if (definition.size() > 2 && definition[2].group) // the width: none in these types
        definition.erase(definition.begin() + 2);
    if (mapped == u"text") {
        const Node collation[] = {word(QStringLiteral("COLLATE")), postgresCollation()};
        definition.insert(definition.begin() + 2, std::begin(collation), std::end(collation));
    }
}

} // namespace plw::db::jet
