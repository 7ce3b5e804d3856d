#include "db/JetSqlTokenizer.h"

#include "db/Database.h"
#include "db/JetSql.h"

namespace plw::db {
namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || (c.unicode() >= 0x80 && !c.isSpace());
}

bool isWordPart(QChar c) {
    return isWordStart(c) || c.isDigit() || c == u'$';
}

[[noreturn]] void fail(const QString& sql, const QString& what) {
    throw DatabaseError(JetSqlError, what, sql);
}

// Reads a quoted run starting after the opening quote; a doubled closing quote stands for one.
// Returns the position after the closing quote.
qsizetype readQuoted(const QString& sql, qsizetype i, QChar close, bool doubling, QString& out) {
    for (; i < sql.size(); ++i) {
        if (sql[i] == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                out += close;
                ++i;
                continue;
            }
            return i + 1;
        }
        out += sql[i];
    }
    return -1;
}

} // namespace

JetTokens TokenizeJetSql(const QString& sql) {
    JetTokens tokens;
    bool space = false;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    auto push = [&](JetToken::Kind kind, QString text) {
        tokens.append(JetToken{kind, std::move(text), space});
        space = false;
    };

    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace() || c == QChar(0)) {
            space = true;
            ++i;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < n && sql[i].isDigit())
                ++i;
            if (i < n && sql[i] == u'.') {
                ++i;
                while (i < n && sql[i].isDigit())
                    ++i;
            }
            if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            if (i < n && isWordStart(sql[i]))
                fail(
                    sql,
                    QStringLiteral("「%1」の近くの数値が正しくありません").arg(sql.mid(start, 12)));
            push(JetToken::Kind::Number, sql.mid(start, i - start));
        } else if (isWordStart(c)) {
            const qsizetype start = i;
            while (i < n && isWordPart(sql[i]))
                ++i;
            push(JetToken::Kind::Word, sql.mid(start, i - start));
        } else if (c == u'\'' || c == u'"') {
            QString value;
            const qsizetype next = readQuoted(sql, i + 1, c, true, value);
            if (next < 0)
                fail(sql, QStringLiteral("文字列が閉じていません"));
            i = next;
            push(JetToken::Kind::String, value);
        } else if (c == u'[') {
            QString value;
            const qsizetype next = readQuoted(sql, i + 1, u']', false, value);
            if (next < 0)
                fail(sql, QStringLiteral("[名前] が閉じていません"));
            if (value.isEmpty())
                fail(sql, QStringLiteral("[名前] が空です"));
            i = next;
            push(JetToken::Kind::Name, value);
        } else if (c == u'#') {
            QString value;
            const qsizetype next = readQuoted(sql, i + 1, u'#', false, value);
            if (next < 0)
                fail(sql, QStringLiteral("#日付# が閉じていません"));
            i = next;
            push(JetToken::Kind::DateLiteral, value);
        } else if (c == u'?') {
            const qsizetype start = i++;
            while (i < n && sql[i].isDigit())
                ++i;
            push(JetToken::Kind::Parameter, sql.mid(start, i - start));
        } else if ((c == u':' || c == u'@') && i + 1 < n && isWordStart(sql[i + 1])) {
            const qsizetype start = i++;
            while (i < n && isWordPart(sql[i]))
                ++i;
            push(JetToken::Kind::Parameter, sql.mid(start, i - start));
        } else {
            static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                              QStringLiteral(">="), QStringLiteral("!="),
                                              QStringLiteral("||"), QStringLiteral("==")};
            bool matched = false;
            for (const QString& symbol : twoChar) {
                if (QStringView(sql).mid(i, 2) == symbol) {
                    push(JetToken::Kind::Symbol, symbol);
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
            if (!QStringLiteral("(),.;*+-/\\&=<>^%").contains(c))
                fail(sql, QStringLiteral("使えない文字「%1」があります").arg(c));
            push(JetToken::Kind::Symbol, QString(c));
            ++i;
        }
    }
    return tokens;
}

QString QuoteSqliteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString QuoteSqliteString(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString JoinSqliteTokens(const JetTokens& tokens) {
    QString sql;
    for (const JetToken& token : tokens) {
        if (token.spaceBefore && !sql.isEmpty())
            sql += QLatin1Char(' ');
        switch (token.kind) {
        case JetToken::Kind::Name:
            sql += QuoteSqliteName(token.text);
            break;
        case JetToken::Kind::String:
        case JetToken::Kind::DateLiteral:
            sql += QuoteSqliteString(token.text);
            break;
        default:
            sql += token.text;
            break;
        }
    }
    return sql;
}

QString JoinPostgresTokens(const JetTokens& tokens) {
    QString sql;
    int nextParameter = 1;
    for (const JetToken& token : tokens) {
        if (token.spaceBefore && !sql.isEmpty())
            sql += QLatin1Char(' ');
        switch (token.kind) {
        case JetToken::Kind::Name:
            // The same quoting as SQLite's: standard SQL.
            sql += QuoteSqliteName(FoldPostgresName(token.text));
            break;
        case JetToken::Kind::String:
        case JetToken::Kind::DateLiteral:
            sql += QuoteSqliteString(token.text);
            break;
        case JetToken::Kind::Parameter:
            if (token.text == u"?") {
                sql += QLatin1Char('$') + QString::number(nextParameter++);
            } else if (token.text.startsWith(u'?')) {
                sql += QLatin1Char('$') + token.text.mid(1);
            } else {
                throw DatabaseError(
                    JetSqlError,
                    QStringLiteral("名前付きのパラメータ %1 には対応していません").arg(token.text));
            }
            break;
        default:
            sql += token.text;
            break;
        }
    }
    return sql;
}

} // namespace plw::db
