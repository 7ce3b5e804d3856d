#pragma once

#include "app/Currency.h"

#include <array>

namespace plw {

// What the scoring of one run counted, for the workbook's sheets. Amounts are summed in whole
// yen (1/10,000 of the unit of 10,000 yen) and every sum is checked against overflow.
struct CellStatistics {
    qint32 Count = 0;
    Currency Amount; // sum of the purchase amounts in units of 10,000 yen, four decimals
};

struct GroupStatistics {
    qint32 Customers = 0;
    qint64 AmountYen = 0; // sum of M1SakRgk
    qint64 Visits = 0;    // sum of M1SakRik
    qint32 Men = 0;       // M1KhSeib "1"
    qint32 Women = 0;     // M1KhSeib "2"
    qint64 MailSends = 0;
    qint64 DirectMailSends = 0;
};

struct ScoringStatistics {
    std::array<CellStatistics, 125> Cells; // index k - 1 for cell k
    std::array<GroupStatistics, 6> Groups; // A, B, C, D, E, X
    qint32 MaxCellCount = 0;
    Currency MaxCellAmount;
};

} // namespace plw
