#include "rfm/PLWAN40_RNM.h"

#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"
#include "db/Database.h"
#include "db/M1CustMstM_T.h"
#include "db/WholeNumber.h"
#include "extract/KeyTable.h"
#include "rfm/PeriodPurchases.h"

#include <optional>

namespace plw {

namespace {

const QString KeyTable = QStringLiteral("WorkPLWAN40X_1");

// Group letter to statistics entry: A to E and X are 0 to 5; any other letter counts nowhere.
int GroupEntry(const QString& letter) {
    static const QString Letters = QStringLiteral("ABCDEX");
    return letter.size() == 1 ? static_cast<int>(Letters.indexOf(letter.at(0))) : -1;
}

// A figure of the detailed period that goes back into the customer's row must be a value the
// row can hold.
qint64 PeriodFigure(qint64 value, const char16_t* what, const QString& customer) {
    if (value < -db::WholeNumber::Limit || value > db::WholeNumber::Limit)
        throw db::NumberValueError(db::NumberFaultText(db::WholeNumber::Fault::BeyondLimit, what,
                                                       QVariant(value), customer));
    return value;
}

// Replaces the customer's visits and amount (and, when asked, last visit) by those of the
// detailed period, keeping the master's own values in the Save columns of the work row.
void RecomputeFromHistory(db::CustomerRecord& customer, const PeriodPurchases& periods,
                          const ScoringInput& input, db::Table& row) {
    const PeriodPurchases::Purchases& bought = periods.of(customer.M1KaiBan);
    row.setValue(u"SaveM1SakRgk", customer.M1SakRgk);
    row.setValue(u"SaveM1SakRik", customer.M1SakRik);
    row.setValue(u"SaveM1SakHby", customer.M1SakHby);
    row.setValue(u"SaveM1SakHbh", customer.M1SakHbh);
    customer.M1SakRgk =
        PeriodFigure(bought.TotalYen, u"購買日付詳細期間の購買額の合計", customer.M1KaiBan);
    customer.M1SakRik =
        PeriodFigure(bought.Visits, u"購買日付詳細期間の来店回数", customer.M1KaiBan);
    if (input.LastVisitFromDetail) {
        if (!TrimBlanks(bought.LastDate).isEmpty()) {
            customer.M1SakHby = bought.LastDate;
            customer.M1SakHbh = bought.LastTime;
        } else {
            customer.M1SakHby = input.DetailTo;
        }
    }
    db::WriteCustomerRecord(row, customer);
}

// Adds to a sum of the statistics; a sum that would overflow stops the run, naming it.
void Add(qint64& sum, qint64 value, const QString& what) {
    if (!db::AddToSum(sum, value))
        throw db::NumberValueError(what + QStringLiteral(" の合計が扱える範囲を超えました。"));
}

void Count(ScoringStatistics& statistics, const db::CustomerRecord& customer, const QString& code,
           const QString& group) {
    if (const int k = CellIndex(code); k != 0) {
        CellStatistics& cell = statistics.Cells[static_cast<size_t>(k - 1)];
        ++cell.Count;
        // A cell's amount in units of 10,000 yen holds whole yen as its scaled value.
        qint64 yen = cell.Amount.scaled();
        Add(yen, customer.M1SakRgk, QStringLiteral("RFM値 %1 の M1SakRgk").arg(code));
        cell.Amount = Currency::fromScaled(yen);
    }
    if (const int entry = GroupEntry(group); entry >= 0) {
        GroupStatistics& totals = statistics.Groups[static_cast<size_t>(entry)];
        const QString of = QStringLiteral("グループ%1 の ").arg(group);
        ++totals.Customers;
        Add(totals.AmountYen, customer.M1SakRgk, of + QStringLiteral("M1SakRgk"));
        Add(totals.Visits, customer.M1SakRik, of + QStringLiteral("M1SakRik"));
        totals.Men += customer.M1KhSeib == u"1" ? 1 : 0;
        totals.Women += customer.M1KhSeib == u"2" ? 1 : 0;
        Add(totals.MailSends, customer.M1SakEka, of + QStringLiteral("M1SakEka"));
        Add(totals.DirectMailSends, customer.M1SakDmk, of + QStringLiteral("M1SakDmk"));
    }
}

QStringList SortedKeys(db::Database& transaction) {
    QStringList keys;
    auto rows = transaction.openRecordset(
        QStringLiteral("SELECT TmpKaiBan FROM %1 ORDER BY TmpKaiBan").arg(KeyTable));
    for (; !rows->eof(); rows->moveNext())
        keys.append(rows->text(u"TmpKaiBan"));
    return keys;
}

} // namespace

bool AccumulatePurchase(const QString& kind, const QString& returnFlag, qint64 amount,
                        PurchaseTotals& totals) {
    const bool visit = kind == u"1";
    const bool amountOnly =
        kind == u"3" || (kind == u"0" && (returnFlag == u"1" || returnFlag == u"2"));
    PurchaseTotals added = totals;
    if ((visit && !db::AddToSum(added.Visits, 1)) ||
        ((visit || amountOnly) && !db::AddToSum(added.TotalYen, amount)))
        return false;
    totals = added;
    return true;
}

bool ScoreCustomers(const QString& workTable, qint64 extractedCount, const ScoringInput& input,
                    ScoringServices& services, ScoringStatistics& statistics, QString* error) {
    statistics = ScoringStatistics();
    services.Progress.open();
    services.Progress.showStep(QStringLiteral("RFM解析　データ準備中"));
    services.Pump.yield();

    db::Database& work = services.Transaction;
    qint64 keys = 0;
    if (!LoadKeyTable(work, input.KeyFilePath, KeyTable, &keys, error))
        return false;
    JoinMasterByKeys(work, KeyTable, workTable);
    QString alter = QStringLiteral("ALTER TABLE %1 ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), "
                                   "日数 CHAR(6) ")
                        .arg(workTable);
    if (input.DetailPeriodOn)
        alter += QStringLiteral(",SaveM1SakRgk      integer ,SaveM1SakRik      integer "
                                ",SaveM1SakHby      CHAR( 8),SaveM1SakHbh      CHAR( 6) ");
    work.execute(alter);

    std::optional<PeriodPurchases> periods;
    if (input.DetailPeriodOn)
        periods.emplace(services.Master, SortedKeys(work), input.DetailFrom, input.DetailTo);

    const QDate baseDate = DateOfText(input.BaseDate);
    const RankLimits r(input.R), f(input.F), m(input.M);
    db::Transaction transaction(work);
    {
        auto row = work.openTable(workTable);
        db::CustomerRecord customer;
        // Without the detailed period nothing else is written back: only the columns the
        // scoring reads are read, with the values the whole record would hold, and the numbers
        // the customer list shows, so that a value no sheet could hold stops the run here.
        const db::CustomerFieldReader columns(
            *row, {u"M1KaiBan", u"M1SakHby", u"M1SakRik", u"M1SakRgk", u"M1KhSeib", u"M1SakEka",
                   u"M1SakDmk", u"M1SakGak", u"M1SakPoG", u"M1SakPoL", u"M1SakPoZ", u"M1SakPoK"});
        QString code(3, u'0'), days;
        qint64 n = 0;
        for (; !row->eof(); row->moveNext()) {
            services.Counter.ReportProgress(++n, extractedCount, 10);
            if (services.Cancel.requested())
                break;
            row->edit();
            if (periods) {
                db::ReadCustomerRecord(*row, customer);
                RecomputeFromHistory(customer, *periods, input, *row);
            } else {
                columns.read(*row, customer);
            }
            // The ranks as RankRecency, RankFrequency and RankMonetary give them, with the
            // thresholds and the base date taken once.
            const QDate lastVisit = DateOfText(customer.M1SakHby);
            if (baseDate.isValid() && lastVisit.isValid()) {
                const qint64 elapsed = lastVisit.daysTo(baseDate);
                code[0] = r.AtMost(elapsed);
                days = QString::number(elapsed);
            } else {
                code[0] = u'1';
                days.clear();
            }
            code[1] = f.AtLeast(customer.M1SakRik);
            code[2] = m.AtLeast(MonetaryUnits(customer.M1SakRgk));
            const QString group = GroupOfCode(code, input.Matrix);
            row->setValue(u"RFM値", code);
            row->setValue(u"グループ", group);
            row->setValue(u"日数", days);
            row->update();
            Count(statistics, customer, code, group);
        }
    }
    transaction.commit();

    for (const CellStatistics& cell : statistics.Cells) {
        if (cell.Count > statistics.MaxCellCount)
            statistics.MaxCellCount = cell.Count;
        if (cell.Amount > statistics.MaxCellAmount)
            statistics.MaxCellAmount = cell.Amount;
    }
    return true;
}

} // namespace plw
