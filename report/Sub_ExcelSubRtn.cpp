#include "report/Sub_ExcelSubRtn.h"

#include "workbook/CellAddress.h"

namespace plw {

QString ColumnLetters(int n) {
    return CellAddress::ColumnLetters(n);
}

QString CellRange(int row1, int col1, int row2, int col2) {
    return ColumnLetters(col1) + QString::number(row1) + u':' + ColumnLetters(col2) +
           QString::number(row2);
}

} // namespace plw
