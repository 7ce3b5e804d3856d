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

PeriodPurchases::PeriodPurchases(db::Database& master, QStringList customers, const QString& from,
                                 const QString& to)
    : mCustomers(std::move(customers)), mPurchases(static_cast<size_t>(mCustomers.size())) {
    // Both the customers and the history come sorted by customer number: one merge pass.
    auto history = master.openRecordset(
        QStringLiteral("SELECT M2CusCod, M2BuyYmd, M2BuyHks, M2FlgSyu, M2FlgHpn, M2BuyGak "
                       "FROM M2_ポイント履歴 WHERE M2BuyYmd >= %1 AND M2BuyYmd <= %2 "
                       "ORDER BY M2CusCod, M2BuyYmd & M2BuyHks")
            .arg(Literal(from), Literal(to)));
    const int code = history->fieldIndex(u"M2CusCod");
    const int date = history->fieldIndex(u"M2BuyYmd");
    const int time = history->fieldIndex(u"M2BuyHks");
    const int kind = history->fieldIndex(u"M2FlgSyu");
    const int returned = history->fieldIndex(u"M2FlgHpn");
    const int amount = history->fieldIndex(u"M2BuyGak");
    QString customer, kindText, returnText;
    qsizetype next = 0;
    for (; !history->eof(); history->moveNext()) {
        history->readText(code, customer);
        while (next < mCustomers.size() && mCustomers.at(next) < customer)
            ++next;
        if (next == mCustomers.size())
            break;
        if (mCustomers.at(next) != customer)
            continue;
        Purchases& purchases = mPurchases[static_cast<size_t>(next)];
        history->readText(date, purchases.LastDate);
        history->readText(time, purchases.LastTime);
        history->readText(kind, kindText);
        history->readText(returned, returnText);
        PurchaseTotals totals{purchases.TotalYen, purchases.Visits};
        const qint64 yen = db::WholeNumber::require(history->value(amount), u"M2BuyGak", customer);
        if (!AccumulatePurchase(kindText, returnText, yen, totals))
            throw db::NumberValueError(
                QStringLiteral(
                    "顧客 %1 の購買日付詳細期間の M2BuyGak の合計が扱える範囲を超えました。")
                    .arg(customer));
        purchases.TotalYen = totals.TotalYen;
        purchases.Visits = totals.Visits;
    }
}

const PeriodPurchases::Purchases& PeriodPurchases::of(const QString& customer) const {
    const auto found = std::lower_bound(mCustomers.cbegin(), mCustomers.cend(), customer);
    if (found == mCustomers.cend() || *found != customer)
        return mNone;
    return mPurchases[static_cast<size_t>(found - mCustomers.cbegin())];
}

} // namespace plw
