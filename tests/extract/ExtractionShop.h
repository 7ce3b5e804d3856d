#pragma once

#include "RecordingWaitWindow.h"

#include "app/Clock.h"
#include "app/EventPump.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "extract/ExtractCustomers.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <memory>

namespace plw::test {

// Ten customers whose purchase-amount position is their number (customer 10 has no amount) and
// whose ages on the fixed today, 31 March 2026, are plain to see:
//
//   no.  sex  amount  birth     first visit  age group  age  direct mail  mail
//    1   1    90000   19800515                          45   1            1
//    2   2    80000   19900401                          35   1            2
//    3   1    70000   20000331                          26   2            1
//    4   2    60000   19800000                          46   1            1   born 1 Feb 1980
//    5   1    50000             20160101     30         40   2            2
//    6   2    40000                                      0   1            1
//    7   1    30000   19200101                          99   1            1   106, kept at 99
//    8   2    20000   19850230  20200101     20         26   1            1   no real birth date
//    9   1    10000   20100601                          15   1            1
//   10   2    Null    19700101                          56   1            1
class ExtractionShop : public ::testing::Test {
protected:
    void SetUp() override;

    // Runs the extraction with the conditions (kind "1" everywhere else).
    ExtractionResult extract(const ConditionRecord& conditions,
                             ExtractionMode mode = ExtractionMode::WriteKeyFile,
                             Sampling sampling = Sampling::Every, qint64 size = 0);
    QString keyFile() const { return mDir.filePath(QStringLiteral("PLWAN40.KEY")); }
    // The customer numbers of the key file in file order.
    QStringList keyFileCustomers() const;
    // One column of the query's rows as text ("<null>" for Null), in the order returned.
    QStringList column(const QString& query, const QString& name);
    // A table's customer numbers in ascending order.
    QStringList customers(const QString& table);

    QTemporaryDir mDir;
    std::unique_ptr<db::Database> mTrn;
    FixedClock mClock{QDateTime(QDate(2026, 3, 31), QTime(10, 0))};
    CountingEventPump mPump;
    RecordingWaitWindow mWait;
    // Random sampling seeded with 7.
    std::unique_ptr<ExtractionContext> mContext;
};

// Adds a customer: every column "" or 0 unless values names it (an invalid QVariant is Null).
void AddCustomer(db::Database& database, const QVariantMap& values);
// Customer numbers "0000001" ... by their short numbers.
QStringList Numbers(std::initializer_list<int> numbers);

// A condition record: the cleared record with the given fields set.
struct Setting {
    int field;
    const char16_t* value;
};
ConditionRecord Conditions(std::initializer_list<Setting> settings);

} // namespace plw::test
