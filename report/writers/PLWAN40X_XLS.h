#pragma once

#include "extract/Classifications.h"

#include <QString>
#include <QStringList>

#include <array>

namespace plw {

class Clock;
struct ExcelRun;
namespace db {
class Database;
}

// What the customer list is made from.
struct CustomerListInput {
    // Holds the scored work table.
    db::Database& Transaction;
    // The classifications: the headings and the names of the four classification columns.
    ClassificationTable Classifications;
    // Today, for the estimated age.
    const Clock& Time;
    // The order option: 1 customer number, 2 RFM value, 3 group; 0 leaves the rows unordered.
    int ListOrder = 0;
    // Whether the customers of groups A to E and X are listed.
    std::array<bool, 6> ListGroups{};
    // With the detailed purchase period, columns K to N show the master's own figures.
    bool DetailPeriodOn = false;
    // The output items left out ("000:最終購買額"): their columns are removed.
    QStringList LeftOutItems;
};

// The customer list "RFM顧客一覧": one row per scored customer of the selected groups.
void WriteCustomerList(ExcelRun& run, const CustomerListInput& input, const QString& workTable,
                       qint64 extractedCount);

} // namespace plw
