#include "tools/sample/SampleDatabases.h"

#include "db/BaseTables.h"
#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"
#include "tools/topostgres/ServerTables.h"

namespace plw::sample {
namespace {

constexpr qint64 ProgressStep = 10000;
// Customers whose rows go to the server as one piece of each COPY.
constexpr qint64 PieceCustomers = 2000;

QString copySql(const QString& table, std::span<const db::ColumnDef> columns) {
    QStringList names;
    for (const db::ColumnDef& column : columns)
        names << db::FoldPostgresName(QString::fromUtf16(column.name));
    return QStringLiteral("COPY %1 (%2) FROM STDIN")
        .arg(db::QuoteSqliteName(db::FoldPostgresName(table)), names.join(QStringLiteral(", ")));
}

void appendRow(QByteArray& out, const QVariant* values, size_t count) {
    for (size_t c = 0; c < count; ++c) {
        if (c > 0)
            out += '\t';
        db::AppendCopyField(out, db::PgParameter(values[c]));
    }
    out += '\n';
}

} // namespace

bool WriteSampleOnServer(const QString& connection, const QString& baseSchema,
                         const QString& workSchema, CustomerGenerator& generator,
                         qint64 customerCount, const QList<Campaign>& directMailCampaigns,
                         const QList<Campaign>& mailCampaigns, const SampleProgress& progress,
                         SampleDatabaseCounts* counts, QString* error,
                         const SampleCustomerSink& sink) {
    std::unique_ptr<db::PostgresDatabase> customers, history;
    bool created = false;
    try {
        customers = db::PostgresDatabase::connect(connection, {baseSchema});
        if (!topostgres::CreateBaseTables(*customers, baseSchema, workSchema, error))
            return false;
        created = true;
        // The customers and their history stream side by side, each over a connection of its
        // own (a connection carries one COPY at a time).
        history = db::PostgresDatabase::connect(connection, {baseSchema});
        db::Transaction customerWork(*customers);
        db::Transaction historyWork(*history);
        customers->connection().beginCopy(
            copySql(db::CustomerMasterTable, db::CustomerMasterColumns()));
        history->connection().beginCopy(copySql(db::PointHistoryTable, db::PointHistoryColumns()));

        std::vector<qint64> directMailCounts(static_cast<size_t>(directMailCampaigns.size()));
        std::vector<qint64> mailCounts(static_cast<size_t>(mailCampaigns.size()));
        SampleDatabaseCounts written;
        GeneratedCustomer customer;
        const size_t historyColumns = size_t(generator.historyColumnCount());
        QByteArray customerRows, historyRows;
        for (qint64 i = 0; i < customerCount; ++i) {
            generator.generate(i, &customer);
            if (sink)
                sink(i, customer);
            appendRow(customerRows, customer.master.data(), customer.master.size());
            for (int row = 0; row < customer.historyRows; ++row)
                appendRow(historyRows, customer.history.data() + size_t(row) * historyColumns,
                          historyColumns);
            for (int d : customer.directMails)
                ++directMailCounts[static_cast<size_t>(d)];
            for (int m : customer.mails)
                ++mailCounts[static_cast<size_t>(m)];
            ++written.customers;
            written.historyRows += customer.historyRows;
            if ((i + 1) % PieceCustomers == 0) {
                customers->connection().putCopy(customerRows);
                history->connection().putCopy(historyRows);
                customerRows.clear();
                historyRows.clear();
            }
            if (progress && (i + 1) % ProgressStep == 0)
                progress(i + 1, customerCount);
        }
        customers->connection().putCopy(customerRows);
        history->connection().putCopy(historyRows);
        customers->connection().endCopy();
        history->connection().endCopy();
        InsertSampleCampaigns(*customers, directMailCampaigns, directMailCounts, mailCampaigns,
                              mailCounts);
        written.directMails = directMailCampaigns.size();
        written.mails = mailCampaigns.size();
        historyWork.commit();
        customerWork.commit();
        topostgres::CreateBaseIndexes(*customers);
        for (const QString& table : topostgres::BaseTableNames())
            customers->connection().run(
                QStringLiteral("ANALYZE %1").arg(db::QuoteSqliteName(db::FoldPostgresName(table))));
        if (progress && customerCount % ProgressStep != 0)
            progress(customerCount, customerCount);
        if (counts)
            *counts = written;
        return true;
    } catch (const db::DatabaseError& e) {
        *error = QStringLiteral("サーバーへの書き込みに失敗しました: %1 (%2)")
                     .arg(e.message(), e.statement());
        history.reset();
        if (created && customers) {
            try {
                customers.reset();
                auto cleanup = db::PostgresDatabase::connect(connection, {baseSchema});
                for (const QString& table : topostgres::BaseTableNames())
                    cleanup->tryExecute(QStringLiteral("DROP TABLE ") + table);
            } catch (const db::DatabaseError&) {
                // The server is gone: the next run is refused and names the tables left.
            }
        }
        return false;
    }
}

} // namespace plw::sample
