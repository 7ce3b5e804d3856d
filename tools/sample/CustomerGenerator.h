#pragma once

#include "tools/sample/SampleCampaigns.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace plw::sample {

// The fixed "today" of the sample data: last visits, campaigns and control dates lie before it,
// so the same seed gives the same data on any day.
inline const QDate SampleReferenceDate = QDate(2026, 11, 30);
// The shop opened on this day: no visit is older.
inline const QDate SampleOpeningDate = QDate(2014, 4, 1);

// The most customers a sample holds: customer numbers are seven digits and leave gaps.
constexpr qint64 MaxSampleCustomers = 9'000'000;

// The seven-digit number of the customer at index (0-based). Numbers ascend with the index and
// skip every twentieth value, as numbers of cancelled cards do.
QString SampleCustomerNumber(qint64 index);

// One customer with its point history, as rows ready to insert.
struct GeneratedCustomer {
    // The customer master row, one value per column of CustomerMasterColumns() in its order.
    // A Null value is an invalid QVariant.
    std::vector<QVariant> master;
    // The point history rows, each PointHistoryColumns().size() values, one row after the other,
    // in the order of transaction date and time.
    std::vector<QVariant> history;
    int historyRows = 0;
    // Indexes of the direct-mail and mail campaigns the customer received.
    std::vector<int> directMails;
    std::vector<int> mails;
};

class SampleRandom;
struct HistoryEvent;

// Makes sample customers. Customer i depends only on the seed and i, never on the customers
// before it, so a small sample is the beginning of a larger one with the same seed.
//
// Each customer has a habit (how lately and how often they come, how much they spend), loyal
// customers being the recent and frequent ones, as in a real shop; the first six customers of
// every sample show one habit each, so that even a small sample fills every group of the sample
// settings.
//
// The point history agrees with the master: the visits are the rows of kind "1", the amount is
// the sum of the kinds that add to it ("1", "3", and "0" with return flag "1" or "2"), the first
// and last visit are the first and last row. Some customers carry a Null visit count or amount,
// as rows the suite's older programs left behind.
class CustomerGenerator {
public:
    CustomerGenerator(std::uint64_t seed, int historyRowsPerCustomer,
                      QList<Campaign> directMailCampaigns, QList<Campaign> mailCampaigns);
    ~CustomerGenerator();
    CustomerGenerator(const CustomerGenerator&) = delete;
    CustomerGenerator& operator=(const CustomerGenerator&) = delete;

    void generate(qint64 index, GeneratedCustomer* customer);

    int masterColumnCount() const { return mMasterColumns; }
    int historyColumnCount() const { return mHistoryColumns; }

private:
    struct Person;
    class MasterRow;

    Person describe(SampleRandom& random, qint64 index) const;
    void makeHistory(SampleRandom& random, const Person& person);
    void pickCampaigns(const Person& person, GeneratedCustomer* out);
    void writeIdentity(SampleRandom& random, const Person& person, MasterRow& row) const;
    void writeBirth(SampleRandom& random, const Person& person, MasterRow& row) const;
    void writeContact(SampleRandom& random, const Person& person, MasterRow& row) const;
    void writeTotals(const Person& person, const GeneratedCustomer& out, MasterRow& row) const;
    void writeClassifications(SampleRandom& random, const Person& person, MasterRow& row) const;
    void writeHistory(SampleRandom& random, const Person& person, GeneratedCustomer* out) const;

    std::uint64_t mSeed;
    int mHistoryRowsPerCustomer;
    QList<Campaign> mDirectMails;
    QList<Campaign> mMails;
    std::vector<qint64> mDirectMailDays;       // planned dates as Julian days
    std::vector<qint64> mDirectMailWindowDays; // first day of each visit window
    std::vector<qint64> mMailDays;
    std::vector<qint64> mMailWindowDays;
    int mMasterColumns;
    int mHistoryColumns;
    std::vector<HistoryEvent> mEvents; // the customer's history while it is made
    std::vector<qint64> mVisitDays;    // the days of its purchases
};

} // namespace plw::sample
