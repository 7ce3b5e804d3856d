#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace plw {

namespace db {
class Database;
}

// The purchases of the detailed period for a sorted list of customers, gathered with one query
// over the point history instead of one query per customer: the values are the same, since the
// history rows of a customer are taken in the same order.
class PeriodPurchases {
public:
    struct Purchases {
        qint64 TotalYen = 0;
        qint64 Visits = 0;
        QString LastDate; // of the latest row, "" when the customer bought nothing in the period
        QString LastTime;
    };

    // customers: ascending in the database's text order (as a key table sorted by its key). An
    // amount that is no whole number in range, or a customer's total beyond the 64-bit range,
    // throws NumberValueError naming the customer.
    PeriodPurchases(db::Database& master, QStringList customers, const QString& from,
                    const QString& to);

    // The customer's purchases; nothing bought when the customer is not in the list.
    const Purchases& of(const QString& customer) const;

private:
    QStringList mCustomers;
    std::vector<Purchases> mPurchases;
    Purchases mNone;
};

} // namespace plw
