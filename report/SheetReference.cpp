#include "report/SheetReference.h"

#include <functional>

namespace plw::SheetReference {

namespace {

bool IsNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c.unicode() > 0x7f;
}

// Calls visit(start, length, name) for every sheet prefix "name!" or "'name'!" of the formula,
// start and length covering the prefix without the "!".
void ForEachSheetPrefix(const QString& formula,
                        const std::function<void(qsizetype, qsizetype, const QString&)>& visit) {
    qsizetype i = 0;
    const qsizetype n = formula.size();
    while (i < n) {
        const QChar c = formula.at(i);
        if (c == u'"') { // a string literal: skip to its end ("" is an escaped quote)
            ++i;
            while (i < n) {
                if (formula.at(i) == u'"' && !(i + 1 < n && formula.at(i + 1) == u'"'))
                    break;
                i += formula.at(i) == u'"' ? 2 : 1;
            }
            ++i;
        } else if (c == u'\'') {
            const qsizetype start = i;
            QString name;
            ++i;
            while (i < n) {
                if (formula.at(i) == u'\'') {
                    if (i + 1 < n && formula.at(i + 1) == u'\'') {
                        name += u'\'';
                        i += 2;
                        continue;
                    }
                    break;
                }
                name += formula.at(i++);
            }
            ++i; // the closing apostrophe
            if (i < n && formula.at(i) == u'!')
                visit(start, i - start, name);
        } else if (IsNameCharacter(c)) {
            const qsizetype start = i;
            while (i < n && IsNameCharacter(formula.at(i)))
                ++i;
            if (i < n && formula.at(i) == u'!')
                visit(start, i - start, formula.mid(start, i - start));
        } else {
            ++i;
        }
    }
}

} // namespace

QString Quoted(const QString& sheetName) {
    QString doubled = sheetName;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

QString Rename(const QString& formula, const QString& oldName, const QString& newName) {
    QString result;
    qsizetype copied = 0;
    ForEachSheetPrefix(formula, [&](qsizetype start, qsizetype length, const QString& name) {
        if (name.compare(oldName, Qt::CaseInsensitive) != 0)
            return;
        result += QStringView(formula).mid(copied, start - copied);
        result += Quoted(newName);
        copied = start + length;
    });
    if (copied == 0)
        return formula;
    result += QStringView(formula).mid(copied);
    return result;
}

bool RefersTo(const QString& formula, const QString& sheetName) {
    bool found = false;
    ForEachSheetPrefix(formula, [&](qsizetype, qsizetype, const QString& name) {
        found = found || name.compare(sheetName, Qt::CaseInsensitive) == 0;
    });
    return found;
}

} // namespace plw::SheetReference
