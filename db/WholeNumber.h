#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringView>
#include <QVariant>

namespace plw::db {

// An amount (whole yen) or a count as read from one of the suite's number columns: a 64-bit
// integer of at most 2^53 either way, the range in which a workbook cell (a double) holds every
// whole number exactly. The suite's programs write 32-bit values, but a shared database may hold
// anything: a value beyond the range, a fraction or a text is never read as another number.
class WholeNumber {
public:
    static constexpr qint64 Limit = qint64(1) << 53;

    // Why a column value is no such number.
    enum class Fault { None, Fraction, BeyondLimit, NotANumber };

    // Null, an empty or blank text: 0, a value not recorded. An integer, a real that is whole,
    // or a text holding a number between blanks: that number, when it is within the range.
    static WholeNumber read(const QVariant& value);
    static WholeNumber read(QStringView text);
    static WholeNumber read(double value);

    // The value of a column that must hold such a number; throws NumberValueError naming the
    // customer (when given), the column and the value.
    static qint64 require(const QVariant& value, QStringView column, const QString& customer = {});

    bool ok() const { return mFault == Fault::None; }
    Fault fault() const { return mFault; }
    // 0 unless ok().
    qint64 value() const { return mValue; }

private:
    WholeNumber(qint64 value, Fault fault) : mValue(value), mFault(fault) {}

    qint64 mValue = 0;
    Fault mFault = Fault::None;
};

// A column value that is no whole number in the range, as the operator reads it: the customer
// (when given), the column and the value with what is wrong with it.
QString NumberFaultText(WholeNumber::Fault fault, QStringView column, const QVariant& value,
                        const QString& customer = {});

// A walk met a value it cannot take (an amount, a count or a sum of them): a database error,
// since the database holds it, that stops the run with the text above.
class NumberValueError : public DatabaseError {
public:
    explicit NumberValueError(const QString& message) : DatabaseError(0, message) {}
};

// sum += value. False, leaving sum as it was, when the result would leave the 64-bit range:
// sums of amounts (kept in whole yen, 1/10,000 of 10,000 yen) and counts are checked with it.
[[nodiscard]] inline bool AddToSum(qint64& sum, qint64 value) {
    qint64 result = 0;
    if (__builtin_add_overflow(sum, value, &result))
        return false;
    sum = result;
    return true;
}

} // namespace plw::db
