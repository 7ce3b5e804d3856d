#pragma once

#include "tools/sample/CustomerGenerator.h"
#include "tools/sample/SampleCampaigns.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace plw::db {
class Database;
}

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

// Adds the direct-mail and mail campaigns, each with its count of customers.
void InsertSampleCampaigns(db::Database& master, const QList<Campaign>& directMails,
                           const std::vector<qint64>& directMailCounts,
                           const QList<Campaign>& mails, const std::vector<qint64>& mailCounts);

// As WriteSampleDatabases, but into the base schema of a PostgreSQL server (the tables created
// there, the rows streamed by COPY, the indexes made after them), the work schema created
// beside it. A base schema that holds the tables is refused; the tables of a failed run are
// dropped.
bool WriteSampleOnServer(const QString& connection, const QString& baseSchema,
                         const QString& workSchema, CustomerGenerator& generator,
                         qint64 customerCount, const QList<Campaign>& directMailCampaigns,
                         const QList<Campaign>& mailCampaigns, const SampleProgress& progress,
                         SampleDatabaseCounts* counts, QString* error,
                         const SampleCustomerSink& sink = {});

} // namespace plw::sample
