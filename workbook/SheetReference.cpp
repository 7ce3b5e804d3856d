#include "workbook/SheetReference.h"

#include "workbook/CellAddress.h"

#include <algorithm>

#include <functional>

namespace plw::SheetReference {

namespace {

bool IsNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c.unicode() > 0x7f;
}

// Reads the quoted sheet name whose opening apostrophe stands at start into *name, a doubled
// apostrophe read as one; the index after the closing apostrophe, or -1 when there is none.
qsizetype ReadQuotedName(QStringView text, qsizetype start, QString* name) {
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        if (text.at(i) != u'\'') {
            *name += text.at(i);
        } else if (i + 1 < text.size() && text.at(i + 1) == u'\'') {
            *name += u'\'';
            ++i;
        } else {
            return i + 1;
        }
    }
    return -1;
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
            const qsizetype end = ReadQuotedName(formula, start, &name);
            i = end < 0 ? n : end;
            if (end >= 0 && i < n && formula.at(i) == u'!')
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

// One end of an A1 reference as written: "$C$4", "C", "$4".
struct Corner {
    bool absoluteColumn = false;
    int column = 0; // 0: none (a whole row)
    QString rest;   // the row part as written, "$4", "4" or ""
};

bool ParseCorner(QStringView text, Corner* corner) {
    qsizetype i = 0;
    corner->absoluteColumn = i < text.size() && text.at(i) == u'$';
    if (corner->absoluteColumn)
        ++i;
    const qsizetype letters = i;
    while (i < text.size() && text.at(i).isLetter())
        ++i;
    corner->column = i > letters ? CellAddress::ColumnNumber(text.mid(letters, i - letters)) : 0;
    if (i > letters && corner->column == 0)
        return false;
    if (i == letters)
        corner->absoluteColumn = false; // the "$" belongs to the row
    corner->rest = text.mid(i).toString();
    const QStringView digits = QStringView(corner->rest).mid(corner->rest.startsWith(u'$') ? 1 : 0);
    if (!corner->rest.isEmpty() &&
        (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(),
                                          [](QChar c) { return c >= u'0' && c <= u'9'; })))
        return false;
    return corner->column != 0 || !corner->rest.isEmpty();
}

QString Written(const Corner& corner) {
    return (corner.absoluteColumn ? QStringLiteral("$") : QString()) +
           CellAddress::ColumnLetters(corner.column) + corner.rest;
}

bool IsReferenceCharacter(QChar c) {
    return c == u'$' || c == u':' || (c.unicode() < 0x80 && c.isLetterOrNumber());
}

} // namespace

QString Quoted(const QString& sheetName) {
    QString doubled = sheetName;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

bool Parse(QStringView reference, QString* sheet, QStringView* address) {
    QString name;
    qsizetype bang = 0;
    if (reference.startsWith(u'\'')) {
        bang = ReadQuotedName(reference, 0, &name);
        if (bang < 0)
            return false;
    } else {
        bang = reference.indexOf(u'!');
        if (bang < 0)
            return false;
        name = reference.left(bang).toString();
        const QStringView notInName = u"'(),\" ";
        if (std::any_of(name.begin(), name.end(), [&](QChar c) { return notInName.contains(c); }))
            return false;
    }
    if (bang >= reference.size() || reference.at(bang) != u'!' || name.isEmpty())
        return false;
    *sheet = name;
    *address = reference.mid(bang + 1);
    return true;
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

QString DeleteColumns(const QString& formula, const QString& sheetName, const QList<int>& columns) {
    const auto deletedBefore = [&](int column) {
        return int(std::lower_bound(columns.begin(), columns.end(), column) - columns.begin());
    };
    QString result;
    qsizetype copied = 0;
    ForEachSheetPrefix(formula, [&](qsizetype start, qsizetype length, const QString& name) {
        if (name.compare(sheetName, Qt::CaseInsensitive) != 0)
            return;
        const qsizetype from = start + length + 1; // after the "!"
        qsizetype to = from;
        while (to < formula.size() && IsReferenceCharacter(formula.at(to)))
            ++to;
        const QStringView reference = QStringView(formula).mid(from, to - from);
        const qsizetype colon = reference.indexOf(u':');
        Corner first, last;
        if (!ParseCorner(colon < 0 ? reference : reference.left(colon), &first) ||
            !ParseCorner(colon < 0 ? reference : reference.mid(colon + 1), &last) ||
            first.column == 0 || last.column < first.column ||
            first.rest.isEmpty() != last.rest.isEmpty() || (colon < 0 && first.rest.isEmpty()))
            return; // whole rows, or not a reference this routine knows
        const int kept = (last.column - first.column + 1) -
                         (deletedBefore(last.column + 1) - deletedBefore(first.column));
        result += QStringView(formula).mid(copied, from - copied);
        if (kept == 0) {
            result.chop(length + 1); // the sheet goes with its reference
            result += QStringLiteral("#REF!");
        } else {
            first.column -= deletedBefore(first.column);
            last.column = first.column + kept - 1;
            result += Written(first);
            if (colon >= 0)
                result += u':' + Written(last);
        }
        copied = to;
    });
    if (copied == 0)
        return formula;
    result += QStringView(formula).mid(copied);
    return result;
}

} // namespace plw::SheetReference
