#include "workbook/CellAddress.h"

#include <algorithm>

namespace plw::CellAddress {

QString ColumnLetters(int n) {
    // Bijective base 26: there is no zero digit, "Z" is followed by "AA".
    QString letters;
    while (n > 0) {
        const int digit = (n - 1) % 26;
        letters.prepend(QChar(u'A' + digit));
        n = (n - 1) / 26;
    }
    return letters;
}

int ColumnNumber(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (QChar c : letters) {
        const QChar upper = c.toUpper();
        if (upper < u'A' || upper > u'Z')
            return 0;
        n = n * 26 + (upper.unicode() - u'A' + 1);
    }
    return n <= CellStore::MaxColumn ? n : 0;
}

namespace {

// One end of a range: "$C$4", "C", "4". Missing parts stay 0.
bool ParseCorner(QStringView text, int* row, int* column) {
    qsizetype i = 0;
    if (i < text.size() && text.at(i) == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < text.size() && text.at(i).isLetter())
        ++i;
    const QStringView letters = text.mid(lettersStart, i - lettersStart);
    if (i < text.size() && text.at(i) == u'$')
        ++i;
    const QStringView digits = text.mid(i);
    *column = letters.isEmpty() ? 0 : ColumnNumber(letters);
    if (!letters.isEmpty() && *column == 0)
        return false;
    *row = 0;
    if (!digits.isEmpty()) {
        bool ok = false;
        *row = digits.toInt(&ok);
        if (!ok || *row < 1 || *row > CellStore::MaxRow || digits.startsWith(u'+'))
            return false;
    }
    return *row != 0 || *column != 0;
}

} // namespace

bool ParseRange(QStringView address, CellRect* rect) {
    const qsizetype colon = address.indexOf(u':');
    const QStringView first = colon < 0 ? address : address.left(colon);
    const QStringView last = colon < 0 ? address : address.mid(colon + 1);
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!ParseCorner(first, &r1, &c1) || !ParseCorner(last, &r2, &c2))
        return false;
    if ((r1 == 0) != (r2 == 0) || (c1 == 0) != (c2 == 0))
        return false;
    if (colon < 0 && (r1 == 0 || c1 == 0))
        return false; // a lone "C" or "4" is not an address
    *rect = CellRect{r1 ? std::min(r1, r2) : 1, c1 ? std::min(c1, c2) : 1,
                     r1 ? std::max(r1, r2) : CellStore::MaxRow,
                     c1 ? std::max(c1, c2) : CellStore::MaxColumn};
    return true;
}

bool ParseColumnList(QStringView list, QList<int>* columns) {
    columns->clear();
    for (QStringView entry : list.split(u',')) {
        CellRect rect;
        if (!ParseRange(entry.trimmed(), &rect) || rect.firstRow != 1 ||
            rect.lastRow != CellStore::MaxRow)
            return false;
        for (int c = rect.firstColumn; c <= rect.lastColumn; ++c)
            columns->append(c);
    }
    return true;
}

} // namespace plw::CellAddress
