#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plw {

namespace db {
class Database;
class Recordset;
} // namespace db

// One customer's purchases in the detailed period.
struct PeriodPurchase {
    qint64 TotalYen = 0;
    qint64 Visits = 0;
    QString LastDate; // of the latest row, "" when the customer bought nothing in the period
    QString LastTime;
};

// The point history of the detailed period read once, in customer order, with one query: each
// customer's purchases are taken as the customers come in ascending order. The values are those
// of one query per customer, since a customer's rows come in the same order. An amount that is no
// whole number in range, or a customer's total beyond the 64-bit range, throws NumberValueError
// naming the customer.
class PeriodPurchaseStream {
public:
    PeriodPurchaseStream(db::Database& master, const QString& from, const QString& to);
    ~PeriodPurchaseStream();

    // The purchases of customer, who must come after every customer asked for before in the
    // database's text order; nothing bought when the history has no row of the customer.
    const PeriodPurchase& next(const QString& customer);

private:
    std::unique_ptr<db::Recordset> mHistory;
    int mCode, mDate, mTime, mKind, mReturned, mAmount;
    QString mRowCustomer; // the customer of the current history row
    QString mKindText, mReturnText;
    PeriodPurchase mPurchase;
};

// The purchases of the detailed period for a sorted list of customers, looked up by customer.
class PeriodPurchases {
public:
    using Purchases = PeriodPurchase;

    // customers: ascending in the database's text order (as a key table sorted by its key).
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
