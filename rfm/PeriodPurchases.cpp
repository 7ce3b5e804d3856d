#include "rfm/PeriodPurchases.h"

#include "db/Database.h"
#include "db/WholeNumber.h"
#include "rfm/PLWAN40_RNM.h"

#include <algorithm>

namespace plw {

namespace {

// A text literal of the point-history query: quotes doubled.
QString Literal(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

} // namespace

PeriodPurchaseStream::PeriodPurchaseStream(db::Database& master, const QString& from,
                                           const QString& to)
    : mHistory(master.openRecordset(
          QStringLiteral("SELECT M2CusCod, M2BuyYmd, M2BuyHks, M2FlgSyu, M2FlgHpn, M2BuyGak "
                         "FROM M2_ポイント履歴 WHERE M2BuyYmd >= %1 AND M2BuyYmd <= %2 "
                         "ORDER BY M2CusCod, M2BuyYmd & M2BuyHks")
              .arg(Literal(from), Literal(to)))),
      mCode(mHistory->fieldIndex(u"M2CusCod")), mDate(mHistory->fieldIndex(u"M2BuyYmd")),
      mTime(mHistory->fieldIndex(u"M2BuyHks")), mKind(mHistory->fieldIndex(u"M2FlgSyu")),
      mReturned(mHistory->fieldIndex(u"M2FlgHpn")), mAmount(mHistory->fieldIndex(u"M2BuyGak")) {
    if (!mHistory->eof())
        mHistory->readText(mCode, mRowCustomer);
}

PeriodPurchaseStream::~PeriodPurchaseStream() = default;

const PeriodPurchase& PeriodPurchaseStream::next(const QString& customer) {
    mPurchase = PeriodPurchase();
    // Rows of customers before this one belong to nobody asked for.
    while (!mHistory->eof() && mRowCustomer < customer) {
        mHistory->moveNext();
        if (!mHistory->eof())
            mHistory->readText(mCode, mRowCustomer);
    }
    while (!mHistory->eof() && mRowCustomer == customer) {
        mHistory->readText(mDate, mPurchase.LastDate);
        mHistory->readText(mTime, mPurchase.LastTime);
        mHistory->readText(mKind, mKindText);
        mHistory->readText(mReturned, mReturnText);
        PurchaseTotals totals{mPurchase.TotalYen, mPurchase.Visits};
        const qint64 yen =
            db::WholeNumber::require(mHistory->value(mAmount), u"M2BuyGak", customer);
        if (!AccumulatePurchase(mKindText, mReturnText, yen, totals))
            throw db::NumberValueError(
                QStringLiteral(
                    "顧客 %1 の購買日付詳細期間の M2BuyGak の合計が扱える範囲を超えました。")
                    .arg(customer));
        mPurchase.TotalYen = totals.TotalYen;
        mPurchase.Visits = totals.Visits;
        mHistory->moveNext();
        if (!mHistory->eof())
            mHistory->readText(mCode, mRowCustomer);
    }
    return mPurchase;
}

PeriodPurchases::PeriodPurchases(db::Database& master, QStringList customers, const QString& from,
                                 const QString& to)
    : mCustomers(std::move(customers)), mPurchases(static_cast<size_t>(mCustomers.size())) {
    // Both the customers and the history come sorted by customer number: one merge pass.
    PeriodPurchaseStream history(master, from, to);
    for (qsizetype i = 0; i < mCustomers.size(); ++i)
        mPurchases[static_cast<size_t>(i)] = history.next(mCustomers.at(i));
}

const PeriodPurchases::Purchases& PeriodPurchases::of(const QString& customer) const {
    const auto found = std::lower_bound(mCustomers.cbegin(), mCustomers.cend(), customer);
    if (found == mCustomers.cend() || *found != customer)
        return mNone;
    return mPurchases[static_cast<size_t>(found - mCustomers.cbegin())];
}

} // namespace plw
