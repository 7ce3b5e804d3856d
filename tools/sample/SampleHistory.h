#pragma once

#include "tools/sample/CustomerGenerator.h"
#include "tools/sample/InstallationFiles.h"

#include <QDate>
#include <QString>

#include <memory>
#include <vector>

namespace plw::db {
class Database;
}

namespace plw::sample {

// The base date of the run the sample keeps in its group history: three months before the
// reference date, so that a first analysis of the sample compares with it.
inline const QDate SampleEarlierBaseDate = SampleReferenceDate.addMonths(-3);

// The sample's analysis as it would have run on SampleEarlierBaseDate: the saved settings (the
// thresholds, the matrix, two years of last visits up to that day) applied to each customer's
// point history up to that day. Fed every customer while the databases fill, it keeps one group
// letter per customer, and then keeps the run in the transaction database's group history.
class SampleEarlierRun {
public:
    explicit SampleEarlierRun(const SampleFolders& folders);
    ~SampleEarlierRun();

    // The customer of index whose rows the generator just made.
    void add(qint64 index, const GeneratedCustomer& customer);

    // Keeps the run in the group history; false with the reason.
    bool keep(db::Database& transaction, QString* error);

private:
    struct Settings;
    std::unique_ptr<Settings> mSettings;
    std::vector<char> mGroups; // per customer index: its group letter, 0 when not extracted
};

} // namespace plw::sample
