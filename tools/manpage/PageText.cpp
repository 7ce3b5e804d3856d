#include "tools/manpage/PageText.h"

#include <QRegularExpression>

namespace plw::manpage {

namespace {

bool IsWide(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

// Japanese line-breaking rules, in short: no line starts with a closing mark or a small kana,
// none ends with an opening mark.
bool NoBreakBefore(QChar c) {
    return QStringView(u"、。，．）」』】〕・：；！？ーぁぃぅぇぉっゃゅょァィゥェォッャュョ々")
               .contains(c) ||
           QStringView(u")]},.:;!?").contains(c);
}

bool NoBreakAfter(QChar c) {
    return QStringView(u"（「『【〔([{").contains(c);
}

QString BreakPoints(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        out += c;
        if (IsWide(c) && i + 1 < text.size() && !NoBreakAfter(c) && !NoBreakBefore(text.at(i + 1)))
            out += QStringLiteral("\\:");
    }
    return out;
}

QString Escaped(QString text) {
    return text.replace(u'\\', QStringLiteral("\\e"));
}

// Options in running text get minus signs; a hyphen inside a word stays a hyphen.
QString OptionDashes(const QString& text) {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[A-Za-z][\\w-]*"));
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : option.globalMatch(text)) {
        out += text.mid(from, m.capturedStart() - from);
        out += m.captured().replace(u'-', QStringLiteral("\\-"));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

} // namespace

QString JoinLines(const QString& first, const QString& second) {
    if (first.isEmpty() || second.isEmpty())
        return first + second;
    if (IsWide(first.back()) && (IsWide(second.front()) || NoBreakBefore(first.back())))
        return first + second;
    return first + u' ' + second;
}

QString Literal(const QString& word) {
    return Escaped(word).replace(u'-', QStringLiteral("\\-"));
}

QString Inline(const QString& text, Language language) {
    // " -- " and "--," set a clause apart: a dash.
    static const QRegularExpression dash(QStringLiteral("(?<=\\s)--(?=\\s|[,.;:)]|$)"));
    const auto running = [](const QString& piece) {
        return OptionDashes(Escaped(piece).replace(dash, QStringLiteral("\\(em")));
    };
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'`', from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'`', open + 1);
        if (close < 0) { // an unpaired backquote stays as it is
            out += running(text.mid(from));
            break;
        }
        out += running(text.mid(from, open - from)) + QStringLiteral("\\fB") +
               Literal(text.mid(open + 1, close - open - 1)) + QStringLiteral("\\fR");
        from = close + 1;
    }
    if (language == Language::Japanese)
        out = BreakPoints(out);
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

QString Term(const QString& term) {
    QStringList words;
    for (QString word : term.split(u' ', Qt::SkipEmptyParts)) {
        const bool comma = word.endsWith(u',');
        if (comma)
            word.chop(1);
        const bool bold = words.isEmpty() || word.startsWith(u'-');
        words << (bold ? QStringLiteral("\\fB") : QStringLiteral("\\fI")) + Literal(word) +
                     QStringLiteral("\\fR") + (comma ? QStringLiteral(",") : QString());
    }
    return words.join(u' ');
}

} // namespace plw::manpage
