#include "report/Sub_ExcelSubRtn.h"

namespace plw {

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

QString CellRange(int row1, int col1, int row2, int col2) {
    return ColumnLetters(col1) + QString::number(row1) + u':' + ColumnLetters(col2) +
           QString::number(row2);
}

} // namespace plw
