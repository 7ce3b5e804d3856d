#pragma once

#include <QString>
#include <QtGlobal>

namespace plw::test {

// Visits and purchase amount of point-history rows, counted as the scoring counts them: kind "1"
// is a visit and adds its amount; kind "3", and kind "0" with return flag "1" or "2", add only
// their amount; every other row adds nothing.
struct HistoryTotals {
    qint64 visits = 0;
    qint64 amount = 0;

    void add(const QString& kind, const QString& returnFlag, qint64 rowAmount) {
        if (kind == QLatin1String("1")) {
            ++visits;
            amount += rowAmount;
        } else if (kind == QLatin1String("3") ||
                   (kind == QLatin1String("0") &&
                    (returnFlag == QLatin1String("1") || returnFlag == QLatin1String("2")))) {
            amount += rowAmount;
        }
    }
};

} // namespace plw::test
