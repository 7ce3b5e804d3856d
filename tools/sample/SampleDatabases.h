#pragma once

#include "tools/sample/CustomerGenerator.h"
#include "tools/sample/SampleCampaigns.h"

#include <QList>
#include <QString>

#include <functional>

namespace plw::sample {

// Reports how many customers are written, now and then, while the databases fill.
using SampleProgress = std::function<void(qint64 done, qint64 total)>;
// Sees every customer as it is written: its index and its generated rows.
using SampleCustomerSink = std::function<void(qint64 index, const GeneratedCustomer& customer)>;

struct SampleDatabaseCounts {
    qint64 customers = 0;
    qint64 historyRows = 0;
    qint64 directMails = 0;
    qint64 mails = 0;
};

// Creates the two databases as new files and fills them: the customer master in the
// transaction database, the point history and the direct-mail and mail masters in the master
// database. Rows are made one customer at a time and inserted through prepared statements
// inside one transaction per database, so memory stays flat whatever the count. False with a
// reason when a file exists already or the database refuses a statement.
bool WriteSampleDatabases(const QString& transactionDatabasePath, const QString& masterDatabasePath,
                          CustomerGenerator& generator, qint64 customerCount,
                          const QList<Campaign>& directMailCampaigns,
                          const QList<Campaign>& mailCampaigns, const SampleProgress& progress,
                          SampleDatabaseCounts* counts, QString* error,
                          const SampleCustomerSink& sink = {});

} // namespace plw::sample
