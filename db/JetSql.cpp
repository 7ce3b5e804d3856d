#include "db/JetSql.h"

#include "db/Database.h"
#include "db/JetSqlExpressions.h"
#include "db/JetSqlTree.h"

namespace plw::db {
namespace {

using namespace jet;

SqlTranslation single(const QString& statement) {
    SqlTranslation translation;
    translation.statements << statement;
    return translation;
}

void dropTrailingSemicolon(Nodes& nodes, const QString& sql) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!isSymbol(nodes[i], u";"))
            continue;
        if (i + 1 != nodes.size())
            fail(sql, QStringLiteral("文の終わりの後に文字があります"));
        nodes.pop_back();
    }
}

// Takes "TOP n" off the head of a SELECT (after DISTINCT or ALL) and returns n; "" without one.
QString takeTop(Nodes& nodes, const QString& sql) {
    size_t head = 1;
    if (nodes.size() > head && (isWord(nodes[head], u"DISTINCT") || isWord(nodes[head], u"ALL")))
        ++head;
    if (nodes.size() > head && isWord(nodes[head], u"DISTINCTROW"))
        fail(sql, QStringLiteral("DISTINCTROW には対応していません"));
    if (nodes.size() <= head + 1 || !isWord(nodes[head], u"TOP"))
        return {};
    if (nodes[head + 1].group || nodes[head + 1].token.kind != Kind::Number)
        fail(sql, QStringLiteral("TOP に件数がありません"));
    QString top = nodes[head + 1].token.text;
    nodes.erase(nodes.begin() + qsizetype(head), nodes.begin() + qsizetype(head) + 2);
    if (nodes.size() > head && isWord(nodes[head], u"PERCENT"))
        fail(sql, QStringLiteral("TOP ... PERCENT には対応していません"));
    if (nodes.size() > head)
        nodes[head].token.spaceBefore = true;
    return top;
}

// The table of "INTO t" before FROM, the new table a SELECT makes.
struct IntoTable {
    QString name; // "" without INTO
    bool quoted = false;
};

// Takes "INTO t" before FROM off a SELECT and returns the table.
IntoTable takeInto(Nodes& nodes, const QString& sql) {
    IntoTable into;
    const qsizetype from = findWord(nodes, u"FROM");
    const qsizetype at = findWord(nodes, u"INTO");
    if (at < 0 || (from >= 0 && at >= from))
        return into;
    if (size_t(at) + 1 >= nodes.size() || !isName(nodes[size_t(at) + 1]))
        fail(sql, QStringLiteral("INTO に表の名前がありません"));
    into.name = nodes[size_t(at) + 1].token.text;
    into.quoted = nodes[size_t(at) + 1].token.kind == Kind::Name;
    if (size_t(at) + 2 < nodes.size() && isWord(nodes[size_t(at) + 2], u"IN"))
        fail(sql, QStringLiteral("SELECT ... INTO ... IN には対応していません"));
    nodes.erase(nodes.begin() + at, nodes.begin() + at + 2);
    return into;
}

// SELECT ... ORDER BY terms with TOP n: the rows ranked by the ranking order in a subquery and
// those ranked n or better kept; Jet also returns the rows tied with the last one, which RANK()
// gives. The rank is the one column more the result has.
Nodes rankedTop(const Nodes& query, qsizetype order, const QString& top, const QString& sql,
                SqlDialect dialect) {
    const qsizetype selectFrom = findWord(query, u"FROM");
    if (selectFrom < 0 || selectFrom > order)
        fail(sql, QStringLiteral("FROM のない SELECT TOP です"));
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

    Nodes outer{word(QStringLiteral("SELECT"), false), symbol(QStringLiteral("*")),
                word(QStringLiteral("FROM")), group(inner, true)};
    if (dialect == SqlDialect::Postgres) // a subquery in FROM needs a name there
        append(outer, {word(QStringLiteral("AS")), word(QStringLiteral("jet_top"))});
    append(outer, {word(QStringLiteral("WHERE")), word(QString::fromLatin1(JetTopRankColumn)),
                   symbol(QStringLiteral("<=")), leaf(JetToken{Kind::Number, top, true}),
                   word(QStringLiteral("ORDER")), word(QStringLiteral("BY")),
                   word(QString::fromLatin1(JetTopRankColumn))});
    return outer;
}

// Applies TOP n to the query: LIMIT without an order of this level, else the ranking; returns
// the columns the query has more than asked for.
int applyTop(Nodes& query, const QString& top, const QString& sql, SqlDialect dialect) {
    // ORDER BY of this level: the ranking order.
    qsizetype order = -1;
    for (size_t i = 0; i + 1 < query.size(); ++i)
        if (isWord(query[i], u"ORDER") && isWord(query[i + 1], u"BY"))
            order = qsizetype(i);
    if (order < 0) {
        query.push_back(word(QStringLiteral("LIMIT")));
        query.push_back(leaf(JetToken{Kind::Number, top, true}));
        return 0;
    }
    query = rankedTop(query, order, top, sql, dialect);
    return 1;
}

// The statements that make the table into from the query, the rank column of a TOP dropped.
void createInto(SqlTranslation& result, Nodes& query, const IntoTable& into, SqlDialect dialect) {
    const Node table = into.quoted ? name(into.name) : word(into.name);
    query.front().token.spaceBefore = true;
    Nodes create{word(QStringLiteral("CREATE"), false), word(QStringLiteral("TABLE")), table,
                 word(QStringLiteral("AS"))};
    append(create, query);
    result.statements << emit(create, dialect);
    if (dialect == SqlDialect::Postgres) {
        query.front().token.spaceBefore = false;
        result.newTable = emit({table}, dialect).trimmed();
        result.newTableQuery = emit(query, dialect);
    }
    if (result.hiddenColumns > 0) {
        const QString quoted = dialect == SqlDialect::Postgres
                                   ? QuoteSqliteName(FoldPostgresName(into.name))
                                   : QuoteSqliteName(into.name);
        result.statements << QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                 .arg(quoted, QString::fromLatin1(JetTopRankColumn));
        result.hiddenColumns = 0;
    }
}

SqlTranslation translateSelect(Nodes nodes, const QString& sql, SqlDialect dialect) {
    SqlTranslation result;
    const QString top = takeTop(nodes, sql);
    const IntoTable into = takeInto(nodes, sql);
    translateExpressions(nodes, sql, dialect);
    Nodes query = std::move(nodes);
    if (!top.isEmpty())
        result.hiddenColumns = applyTop(query, top, sql, dialect);
    if (into.name.isEmpty())
        result.statements << emit(query, dialect);
    else
        createInto(result, query, into, dialect);
    return result;
}

// DELETE [*|t.*] FROM t WHERE ... -> DELETE FROM t WHERE ...
SqlTranslation translateDelete(Nodes nodes, const QString& sql, SqlDialect dialect) {
    const qsizetype from = findWord(nodes, u"FROM");
    if (from < 0)
        fail(sql, QStringLiteral("FROM のない DELETE です"));
    nodes.erase(nodes.begin() + 1, nodes.begin() + from);
    translateExpressions(nodes, sql, dialect);
    return single(emit(nodes, dialect));
}

// The engine's name of a Jet index (or PRIMARY KEY constraint) of a table.
QString indexName(const QString& table, const QString& index, SqlDialect dialect) {
    return dialect == SqlDialect::Postgres ? PostgresIndexName(table, index)
                                           : SqliteIndexName(table, index);
}

// CREATE [UNIQUE] INDEX n ON t (c, ...) [WITH PRIMARY | DISALLOW NULL | IGNORE NULL]
SqlTranslation translateCreateIndex(Nodes nodes, const QString& sql, SqlDialect dialect) {
    size_t i = 1;
    bool unique = false;
    if (isWord(nodes[i], u"UNIQUE")) {
        unique = true;
        ++i;
    }
    ++i; // INDEX
    if (nodes.size() < i + 4 || !isName(nodes[i]) || !isWord(nodes[i + 1], u"ON") ||
        !isName(nodes[i + 2]) || !nodes[i + 3].group)
        fail(sql, QStringLiteral("CREATE INDEX: 「名前 ON 表 (列)」の形ではありません"));
    const QString index = nodes[i].token.text;
    const Node table = nodes[i + 2];
    const Node columns = nodes[i + 3];
    size_t k = i + 4;
    if (k < nodes.size()) {
        if (!isWord(nodes[k], u"WITH"))
            fail(sql, QStringLiteral("CREATE INDEX: 列の後に余分な文字があります"));
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
    out.push_back(name(indexName(table.token.text, index, dialect)));
    out.push_back(word(QStringLiteral("ON")));
    Node tableNode = table;
    tableNode.token.spaceBefore = true;
    out.push_back(tableNode);
    Node columnsNode = columns;
    columnsNode.token.spaceBefore = true;
    out.push_back(columnsNode);
    return single(emit(out, dialect));
}

// DROP INDEX n ON t
SqlTranslation translateDropIndex(const Nodes& nodes, const QString& sql, SqlDialect dialect) {
    if (nodes.size() != 5 || !isName(nodes[2]) || !isWord(nodes[3], u"ON") || !isName(nodes[4]))
        fail(sql, QStringLiteral("DROP INDEX: 「名前 ON 表」の形ではありません"));
    return single(
        QStringLiteral("DROP INDEX %1")
            .arg(QuoteSqliteName(indexName(nodes[4].token.text, nodes[2].token.text, dialect))));
}

SqlTranslation translateCreateTable(Nodes nodes, const QString& sql, SqlDialect dialect) {
    if (nodes.size() >= 4 && nodes[3].group) {
        std::vector<Nodes> definitions = splitCommas(nodes[3].children);
        for (Nodes& definition : definitions) {
            if (!isTableConstraint(definition))
                translateColumnDefinition(definition, sql, dialect);
            translateExpressions(definition, sql, dialect);
            // A constraint's name is an index name, per schema in PostgreSQL: "table.name".
            for (size_t i = 0; dialect == SqlDialect::Postgres && i + 1 < definition.size(); ++i)
                if (isWord(definition[i], u"CONSTRAINT") && isName(definition[i + 1]))
                    definition[i + 1] =
                        name(indexName(nodes[2].token.text, definition[i + 1].token.text, dialect));
        }
        nodes[3].children = joinCommas(definitions);
        return single(emit(nodes, dialect));
    }
    translateExpressions(nodes, sql, dialect);
    return single(emit(nodes, dialect));
}

// ALTER TABLE t ADD [COLUMN] a type, b type -> one ALTER TABLE per column (likewise DROP); one
// statement of several actions in PostgreSQL.
SqlTranslation translateAlterTable(const Nodes& nodes, const QString& sql, SqlDialect dialect) {
    if (nodes.size() < 5 || !isName(nodes[2]))
        fail(sql, QStringLiteral("ALTER TABLE: 「表 ADD|DROP ...」の形ではありません"));
    const Node& table = nodes[2];
    const bool add = isWord(nodes[3], u"ADD");
    if (!add && !isWord(nodes[3], u"DROP"))
        fail(sql, QStringLiteral("ALTER TABLE: 対応しているのは ADD と DROP だけです"));
    size_t start = 4;
    if (isWord(nodes[start], u"COLUMN"))
        ++start;
    else if (add && isWord(nodes[start], u"CONSTRAINT"))
        fail(sql, QStringLiteral("ALTER TABLE ... ADD CONSTRAINT には対応していません"));
    std::vector<Nodes> definitions = splitCommas(slice(nodes, start, nodes.size()));
    if (definitions.empty())
        fail(sql, QStringLiteral("ALTER TABLE に列がありません"));
    SqlTranslation result;
    Node tableNode = table;
    tableNode.token.spaceBefore = true;
    Nodes combined{word(QStringLiteral("ALTER"), false), word(QStringLiteral("TABLE")), tableNode};
    for (Nodes& definition : definitions) {
        if (add)
            translateColumnDefinition(definition, sql, dialect);
        else if (definition.size() != 1 || !isName(definition[0]))
            fail(sql, QStringLiteral("ALTER TABLE ... DROP: 列の名前がありません"));
        translateExpressions(definition, sql, dialect);
        definition.front().token.spaceBefore = true;
        Nodes action{word(add ? QStringLiteral("ADD") : QStringLiteral("DROP")),
                     word(QStringLiteral("COLUMN"))};
        append(action, definition);
        if (dialect == SqlDialect::Postgres) {
            if (combined.size() > 3)
                combined.push_back(symbol(QStringLiteral(","), false));
            append(combined, action);
        } else {
            Nodes statement{word(QStringLiteral("ALTER"), false), word(QStringLiteral("TABLE")),
                            tableNode};
            append(statement, action);
            result.statements << emit(statement, dialect);
        }
    }
    if (dialect == SqlDialect::Postgres)
        result.statements << emit(combined, dialect);
    return result;
}

} // namespace

QString SqliteIndexName(const QString& table, const QString& index) {
    // "." cannot occur in a Jet name, so table and index never run together ambiguously.
    return table + QLatin1Char('.') + index;
}

QString PostgresIndexName(const QString& table, const QString& index) {
    return FoldPostgresName(SqliteIndexName(table, index));
}

QString FoldPostgresName(const QString& name) {
    QString folded = name;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return folded;
}

SqlTranslation TranslateJetSql(const QString& jetSql, SqlDialect dialect) {
    Nodes nodes = buildTree(TokenizeJetSql(jetSql), jetSql);
    dropTrailingSemicolon(nodes, jetSql);
    if (nodes.empty())
        fail(jetSql, QStringLiteral("SQL 文が空です"));
    if (!nodes.empty())
        nodes.front().token.spaceBefore = false;

    auto at = [&](size_t i, QStringView keyword) {
        return i < nodes.size() && isWord(nodes[i], keyword);
    };
    if (at(0, u"SELECT"))
        return translateSelect(std::move(nodes), jetSql, dialect);
    if (at(0, u"DELETE"))
        return translateDelete(std::move(nodes), jetSql, dialect);
    if (at(0, u"CREATE") && (at(1, u"INDEX") || (at(1, u"UNIQUE") && at(2, u"INDEX"))))
        return translateCreateIndex(std::move(nodes), jetSql, dialect);
    if (at(0, u"CREATE") && at(1, u"TABLE"))
        return translateCreateTable(std::move(nodes), jetSql, dialect);
    if (at(0, u"DROP") && at(1, u"INDEX") && findWord(nodes, u"ON") >= 0)
        return translateDropIndex(nodes, jetSql, dialect);
    if (at(0, u"ALTER") && at(1, u"TABLE"))
        return translateAlterTable(nodes, jetSql, dialect);

    translateExpressions(nodes, jetSql, dialect);
    return single(emit(nodes, dialect));
}

} // namespace plw::db
