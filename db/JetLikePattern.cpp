#include "db/JetLikePattern.h"

#include <vector>

namespace plw::db {
namespace {

struct Element {
    enum class Kind { AnyString, AnyChar, Digit, Literal, Class };
    Element(Kind k, QChar c = {}) : kind(k), literal(c) {}
    Kind kind;
    QChar literal;
    bool negated = false;
    QString body; // a class's characters and ranges, without the brackets and "!"
};

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QChar otherCase(QChar c) {
    return c.isLower() ? c.toUpper() : c.toLower();
}

bool parse(const QString& pattern, std::vector<Element>& elements, QString* error) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'*') {
            elements.push_back(Element::Kind::AnyString);
        } else if (c == u'?') {
            elements.push_back(Element::Kind::AnyChar);
        } else if (c == u'#') {
            elements.push_back(Element::Kind::Digit);
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) {
                if (error)
                    *error = QStringLiteral("LIKE のパターンで「[」に対応する「]」がありません: %1")
                                 .arg(pattern);
                return false;
            }
            const QString content = pattern.mid(i + 1, close - i - 1);
            i = close;
            if (content.isEmpty())
                continue; // "[]" stands for the empty string
            if (content.size() == 1) {
                elements.emplace_back(Element::Kind::Literal, content[0]);
                continue;
            }
            Element element(Element::Kind::Class);
            element.negated = content[0] == u'!';
            element.body = element.negated ? content.mid(1) : content;
            elements.push_back(element);
        } else {
            elements.emplace_back(Element::Kind::Literal, c);
        }
    }
    return true;
}

// The class body with the other case of every ASCII letter and letter range added.
QString globClassBody(const QString& body, bool negated) {
    QString out = body;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (i + 2 < body.size() && body[i + 1] == u'-') {
            const QChar last = body[i + 2];
            if (isAsciiLetter(c) && isAsciiLetter(last) && c.isLower() == last.isLower())
                out += QString(otherCase(c)) + u'-' + otherCase(last);
            i += 2;
        } else if (isAsciiLetter(c)) {
            out += otherCase(c);
        }
    }
    // A leading "^" would negate the GLOB class: move it behind another character.
    if (!negated && out.startsWith(u'^') && out.size() > 1)
        out = out.mid(1) + u'^';
    return out;
}

} // namespace

bool ConvertJetPattern(const QString& jetPattern, SqlitePattern* out, QString* error) {
    std::vector<Element> elements;
    if (!parse(jetPattern, elements, error))
        return false;

    bool glob = false;
    for (const Element& element : elements)
        glob = glob || element.kind == Element::Kind::Digit || element.kind == Element::Kind::Class;

    QString pattern;
    for (const Element& element : elements) {
        switch (element.kind) {
        case Element::Kind::AnyString:
            pattern += glob ? u'*' : u'%';
            break;
        case Element::Kind::AnyChar:
            pattern += glob ? u'?' : u'_';
            break;
        case Element::Kind::Digit:
            pattern += QLatin1String("[0-9]");
            break;
        case Element::Kind::Class:
            pattern += u'[';
            if (element.negated)
                pattern += u'^';
            pattern += globClassBody(element.body, element.negated);
            pattern += u']';
            break;
        case Element::Kind::Literal: {
            const QChar c = element.literal;
            if (!glob) {
                if (c == u'%' || c == u'_' || c == QChar(LikeEscape))
                    pattern += QChar(LikeEscape);
                pattern += c;
            } else if (c == u'*' || c == u'?' || c == u'[') {
                pattern += u'[' + QString(c) + u']';
            } else if (isAsciiLetter(c)) {
                pattern += u'[' + QString(c) + otherCase(c) + u']';
            } else {
                pattern += c;
            }
            break;
        }
        }
    }
    out->kind = glob ? SqlitePattern::Kind::Glob : SqlitePattern::Kind::Like;
    out->pattern = pattern;
    return true;
}

bool JetPatternRegex(const QString& jetPattern, QString* out, QString* error) {
    std::vector<Element> elements;
    if (!parse(jetPattern, elements, error))
        return false;
    // Inside a bracket expression only the backslash needs escaping (it escapes there too).
    auto bracketBody = [](const QString& body) {
        QString escaped = body;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        return escaped;
    };
    QString regex = QStringLiteral("^");
    for (const Element& element : elements) {
        switch (element.kind) {
        case Element::Kind::AnyString:
            regex += QLatin1String(".*");
            break;
        case Element::Kind::AnyChar:
            regex += u'.';
            break;
        case Element::Kind::Digit:
            regex += QLatin1String("[0-9]");
            break;
        case Element::Kind::Class:
            regex += u'[';
            if (element.negated)
                regex += u'^';
            regex += bracketBody(globClassBody(element.body, element.negated));
            regex += u']';
            break;
        case Element::Kind::Literal: {
            const QChar c = element.literal;
            if (isAsciiLetter(c))
                regex += u'[' + QString(c) + otherCase(c) + u']';
            else if (QStringLiteral(".^$*+?()[]{}|\\").contains(c))
                regex += u'\\' + QString(c);
            else
                regex += c;
            break;
        }
        }
    }
    *out = regex + u'$';
    return true;
}

} // namespace plw::db
