#include "rfm/GroupMovement.h"

#include "db/Database.h"

namespace plw {

namespace {

const QString GroupTable = QString::fromUtf16(GroupHistoryTable);
const QString Letters = QStringLiteral("ABCDEX");

// The column of a group now: A to E and X; a customer scored without a group counts as X.
int GroupNowIndex(const QString& group) {
    const qsizetype index = group.isEmpty() ? -1 : Letters.indexOf(group.trimmed());
    return index >= 0 && group.trimmed().size() == 1 ? int(index) : 5;
}

QString ThresholdList(const KeptRun& run) {
    QStringList parts;
    const std::pair<QChar, const Thresholds*> dimensions[] = {
        {u'R', &run.R}, {u'F', &run.F}, {u'M', &run.M}};
    for (const auto& [letter, thresholds] : dimensions) {
        QStringList values;
        for (int rank = 5; rank >= 2; --rank)
            values << (*thresholds)[size_t(rank - 1)].trimmed();
        parts << QString(letter) + u' ' + values.join(u'/');
    }
    return parts.join(QStringLiteral("、"));
}

// Thresholds 2 to 5 decide the ranks; threshold 1 only echoes threshold 2.
bool SameThresholds(const KeptRun& a, const KeptRun& b) {
    const std::pair<const Thresholds*, const Thresholds*> dimensions[] = {
        {&a.R, &b.R}, {&a.F, &b.F}, {&a.M, &b.M}};
    for (const auto& [x, y] : dimensions)
        for (size_t i = 1; i < 5; ++i)
            if ((*x)[i].trimmed() != (*y)[i].trimmed())
                return false;
    return true;
}

} // namespace

std::optional<KeptRun> ComparedRun(const std::vector<KeptRun>& runs, const ComparisonChoice& choice,
                                   const QDate& baseDate) {
    for (const KeptRun& run : runs) { // newest first
        switch (choice.Choice) {
        case ComparisonChoice::Kind::None:
            return std::nullopt;
        case ComparisonChoice::Kind::Previous:
            if (run.BaseDate < baseDate)
                return run;
            break;
        case ComparisonChoice::Kind::BaseDate:
            if (run.BaseDate == choice.BaseDate)
                return run;
            break;
        }
    }
    return std::nullopt;
}

QString PeriodLengthText(const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || to < from)
        return QString();
    const QDate end = to.addDays(1);
    int months = 0;
    while (from.addMonths(months + 1) <= end)
        ++months;
    const qint64 days = from.addMonths(months).daysTo(end);
    if (months == 0)
        return QStringLiteral("%1日").arg(days);
    if (days == 0)
        return QStringLiteral("%1ヵ月").arg(months);
    return QStringLiteral("%1ヵ月と%2日").arg(months).arg(days);
}

QStringList RunDifferences(const KeptRun& earlier, const KeptRun& now) {
    QStringList differences;
    if (!SameThresholds(earlier, now))
        differences << QStringLiteral("しきい値が異なります（前回 %1。今回 %2）")
                           .arg(ThresholdList(earlier), ThresholdList(now));
    int cells = 0;
    for (size_t k = 0; k < 125; ++k)
        if (earlier.Matrix[k] != now.Matrix[k])
            ++cells;
    if (cells > 0)
        differences << QStringLiteral("グループの割り当てが %1 か所異なります").arg(cells);
    const QString before = PeriodLengthText(earlier.PeriodFrom, earlier.PeriodTo);
    const QString after = PeriodLengthText(now.PeriodFrom, now.PeriodTo);
    if (before != after)
        differences << QStringLiteral("最終来店日の期間の長さが異なります（前回 %1、今回 %2）")
                           .arg(before.isEmpty() ? QStringLiteral("指定なし") : before,
                                after.isEmpty() ? QStringLiteral("指定なし") : after);
    if (earlier.Conditions != now.Conditions) {
        const auto listed = [](const QStringList& lines) {
            return lines.isEmpty() ? QStringLiteral("なし") : lines.join(QStringLiteral("／"));
        };
        differences << QStringLiteral("抽出条件が異なります（前回 %1。今回 %2）")
                           .arg(listed(earlier.Conditions), listed(now.Conditions));
    }
    return differences;
}

bool ComputeMovement(db::Database& database, const KeptRun& earlier, const KeptRun& now,
                     const QString& workTable, GroupMovement* movement, QString* error) {
    GroupMovement result;
    result.Earlier = earlier;
    result.BaseDate = now.BaseDate;
    result.Differences = RunDifferences(earlier, now);
    const QString slot = QStringLiteral("MID$(H.HSlots, %1, 1)").arg(earlier.Slot);
    try {
        // The history's customers: their group then (or none) and now (or none).
        auto kept = database.openRecordset(
            QStringLiteral("SELECT %1 AS GEarlier, W.グループ AS GNow, COUNT(*) AS Customers, "
                           "SUM(W.M1SakRgk) AS Amount FROM %2 AS H LEFT JOIN %3 AS W ON "
                           "W.M1KaiBan = H.HKaiBan GROUP BY %1, W.グループ")
                .arg(slot, GroupTable, workTable));
        for (; !kept->eof(); kept->moveNext()) {
            const QString then = kept->text(u"GEarlier");
            const bool scoredNow = !kept->isNull(u"GNow");
            int row = -1;
            if (then == QChar(NotInRun)) {
                if (!scoredNow)
                    continue; // in neither run
                row = MovementNew;
            } else if (then == QChar(NoGroup)) {
                row = 5;
            } else if (then.size() == 1 && Letters.contains(then)) {
                row = int(Letters.indexOf(then));
            } else {
                if (error)
                    *error = QStringLiteral("表 %1 の枠 %2 に使えない文字「%3」があります")
                                 .arg(GroupTable)
                                 .arg(earlier.Slot)
                                 .arg(then);
                return false;
            }
            const qint64 customers = kept->integer(u"Customers");
            const int column = scoredNow ? GroupNowIndex(kept->text(u"GNow")) : MovementGone;
            result.Customers[size_t(row)][size_t(column)] += customers;
            if (scoredNow)
                result.AmountsYen[size_t(row)][size_t(column)] += kept->integer(u"Amount");
        }
        // The run's customers the history does not know yet.
        auto fresh = database.openRecordset(
            QStringLiteral("SELECT グループ AS GNow, COUNT(*) AS Customers, SUM(M1SakRgk) AS "
                           "Amount FROM %1 WHERE NOT EXISTS (SELECT * FROM %2 WHERE "
                           "%2.HKaiBan = %1.M1KaiBan) GROUP BY グループ")
                .arg(workTable, GroupTable));
        for (; !fresh->eof(); fresh->moveNext()) {
            const size_t column = size_t(GroupNowIndex(fresh->text(u"GNow")));
            result.Customers[MovementNew][column] += fresh->integer(u"Customers");
            result.AmountsYen[MovementNew][column] += fresh->integer(u"Amount");
        }
        auto vanished = database.openRecordset(
            QStringLiteral("SELECT COUNT(*) AS Vanished FROM %1 AS H WHERE %2 <> '%3' AND NOT "
                           "EXISTS (SELECT * FROM M1_お客様マスタ WHERE M1_お客様マスタ.M1KaiBan "
                           "= H.HKaiBan)")
                .arg(GroupTable, slot, QChar(NotInRun)));
        result.Vanished = vanished->eof() ? 0 : vanished->integer(u"Vanished");
    } catch (const db::DatabaseError& failure) {
        if (error)
            *error = failure.message();
        return false;
    }
    *movement = std::move(result);
    return true;
}

} // namespace plw
