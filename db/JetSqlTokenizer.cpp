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

// Reads the number starting at i (digits, a fraction, an exponent); returns the position after
// it. A letter right after it makes it no number.
qsizetype readNumber(const QString& sql, qsizetype i) {
    const qsizetype start = i;
    const qsizetype n = sql.size();
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
        fail(sql, QStringLiteral("「%1」の近くの数値が正しくありません").arg(sql.mid(start, 12)));
    return i;
}

// The position after the word characters starting at i.
qsizetype skipWordParts(const QString& sql, qsizetype i) {
    while (i < sql.size() && isWordPart(sql[i]))
        ++i;
    return i;
}

// Reads the enclosed run whose opening character is at i into value; returns the position after
// its closing character, and fails with unclosed when there is none.
qsizetype readEnclosed(const QString& sql, qsizetype i, QChar close, bool doubling, QString& value,
                       const QString& unclosed) {
    const qsizetype next = readQuoted(sql, i + 1, close, doubling, value);
    if (next < 0)
        fail(sql, unclosed);
    return next;
}

// The operator at i: one of the two-character ones, else one of the allowed characters.
QString readSymbol(const QString& sql, qsizetype i) {
    static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                      QStringLiteral(">="), QStringLiteral("!="),
                                      QStringLiteral("||"), QStringLiteral("==")};
    for (const QString& symbol : twoChar)
        if (QStringView(sql).mid(i, 2) == symbol)
            return symbol;
    const QChar c = sql[i];
    if (!QStringLiteral("(),.;*+-/\\&=<>^%").contains(c))
        fail(sql, QStringLiteral("使えない文字「%1」があります").arg(c));
    return QString(c);
}

} // namespace

JetTokens TokenizeJetSql(const QString& sql) {
    JetTokens tokens;
    bool space = false;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    // Appends the token and moves i to next.
    auto push = [&](JetToken::Kind kind, QString text, qsizetype next) {
        tokens.append(JetToken{kind, std::move(text), space});
        space = false;
        i = next;
    };

    while (i < n) {
        const QChar c = sql[i];
        QString value;
        if (c.isSpace() || c == QChar(0)) {
            space = true;
            ++i;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            const qsizetype end = readNumber(sql, i);
            push(JetToken::Kind::Number, sql.mid(i, end - i), end);
        } else if (isWordStart(c)) {
            const qsizetype end = skipWordParts(sql, i);
            push(JetToken::Kind::Word, sql.mid(i, end - i), end);
        } else if (c == u'\'' || c == u'"') {
            const qsizetype next =
                readEnclosed(sql, i, c, true, value, QStringLiteral("文字列が閉じていません"));
            push(JetToken::Kind::String, value, next);
        } else if (c == u'[') {
            const qsizetype next =
                readEnclosed(sql, i, u']', false, value, QStringLiteral("[名前] が閉じていません"));
            if (value.isEmpty())
                fail(sql, QStringLiteral("[名前] が空です"));
            push(JetToken::Kind::Name, value, next);
        } else if (c == u'#') {
            const qsizetype next =
                readEnclosed(sql, i, u'#', false, value, QStringLiteral("#日付# が閉じていません"));
            push(JetToken::Kind::DateLiteral, value, next);
        } else if (c == u'?') {
            qsizetype end = i + 1;
            while (end < n && sql[end].isDigit())
                ++end;
            push(JetToken::Kind::Parameter, sql.mid(i, end - i), end);
        } else if ((c == u':' || c == u'@') && i + 1 < n && isWordStart(sql[i + 1])) {
            const qsizetype end = skipWordParts(sql, i + 1);
            push(JetToken::Kind::Parameter, sql.mid(i, end - i), end);
        } else {
            const QString symbol = readSymbol(sql, i);
            push(JetToken::Kind::Symbol, symbol, i + symbol.size());
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
