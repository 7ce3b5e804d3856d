#include "tools/sample/SampleDatabases.h"

#include "app/FileSystem.h"
#include "db/BaseTables.h"
#include "db/Database.h"

#include <QFile>
#include <QHash>
#include <QStringList>

namespace plw::sample {
namespace {

constexpr qint64 ProgressStep = 10000;

bool refuseExisting(const QString& systemPath, QString* error) {
    if (QFile::exists(ToNativePath(systemPath))) {
        *error = QStringLiteral("%1 は既にあります").arg(systemPath);
        return false;
    }
    return true;
}

// "INSERT INTO t (c1, c2, ...) VALUES (?1, ?2, ...)" over every column of the table.
QString insertSql(const QString& table, std::span<const db::ColumnDef> columns) {
    QStringList names, parameters;
    for (size_t i = 0; i < columns.size(); ++i) {
        names << QString::fromUtf16(columns[i].name);
        parameters << QStringLiteral("?%1").arg(i + 1);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, names.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", ")));
}

// Inserts one row given by column name; columns not named get "" or 0.
void insertByName(db::Database& database, const QString& table,
                  std::span<const db::ColumnDef> columns, const QHash<QString, QVariant>& values) {
    std::unique_ptr<db::Statement> insert = database.prepare(insertSql(table, columns));
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString name = QString::fromUtf16(columns[i].name);
        const QVariant fallback =
            columns[i].type == db::ColumnType::Text ? QVariant(QString()) : QVariant(0);
        insert->bind(static_cast<int>(i) + 1, values.value(name, fallback));
    }
    insert->execute();
}

QString ymd(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

} // namespace

void InsertSampleCampaigns(db::Database& master, const QList<Campaign>& directMails,
                           const std::vector<qint64>& directMailCounts,
                           const QList<Campaign>& mails, const std::vector<qint64>& mailCounts) {
    for (int i = 0; i < directMails.size(); ++i) {
        const Campaign& c = directMails[i];
        const int count = static_cast<int>(directMailCounts[static_cast<size_t>(i)]);
        insertByName(master, db::DirectMailMasterTable, db::DirectMailMasterColumns(),
                     {{QStringLiteral("M4DmmBan"), c.number},
                      {QStringLiteral("M4KihYot"), ymd(c.plannedDate)},
                      {QStringLiteral("M4KihMem"), c.memo},
                      {QStringLiteral("M4TyuYts"), count},
                      {QStringLiteral("M4TyuOvf"), QStringLiteral("0")},
                      {QStringLiteral("M4PrnYMD"), ymd(c.plannedDate.addDays(-7))},
                      {QStringLiteral("M4PrnHMS"), QStringLiteral("153000")},
                      {QStringLiteral("M4PrnKaz"), count}});
    }
    for (int i = 0; i < mails.size(); ++i) {
        const Campaign& c = mails[i];
        const int count = static_cast<int>(mailCounts[static_cast<size_t>(i)]);
        insertByName(master, db::MailMasterTable, db::MailMasterColumns(),
                     {{QStringLiteral("M6EmlBan"), c.number},
                      {QStringLiteral("M6KihYot"), ymd(c.plannedDate)},
                      {QStringLiteral("M6KihMem"), c.memo},
                      {QStringLiteral("M6HbnFnm"), QStringLiteral("EM%1.TXT").arg(c.number)},
                      {QStringLiteral("M6TyuYts"), count},
                      {QStringLiteral("M6TyuOvf"), QStringLiteral("0")},
                      {QStringLiteral("M6PrnYMD"), ymd(c.plannedDate.addDays(-1))},
                      {QStringLiteral("M6PrnHMS"), QStringLiteral("090000")},
                      {QStringLiteral("M6PrnKaz"), count}});
    }
}

bool WriteSampleDatabases(const QString& transactionDatabasePath, const QString& masterDatabasePath,
                          CustomerGenerator& generator, qint64 customerCount,
                          const QList<Campaign>& directMailCampaigns,
                          const QList<Campaign>& mailCampaigns, const SampleProgress& progress,
                          SampleDatabaseCounts* counts, QString* error,
                          const SampleCustomerSink& sink) {
    if (!refuseExisting(transactionDatabasePath, error) ||
        !refuseExisting(masterDatabasePath, error))
        return false;
    try {
        std::unique_ptr<db::Database> transactionDb = db::Database::create(transactionDatabasePath);
        std::unique_ptr<db::Database> masterDb = db::Database::create(masterDatabasePath);
        // Fresh files need no write-ahead log while they fill: without it every page is written
        // once instead of twice. Should the database layer refuse the pragma, the load just
        // runs slower.
        for (db::Database* d : {transactionDb.get(), masterDb.get()})
            d->tryExecute(QStringLiteral("PRAGMA journal_mode=DELETE"));
        db::CreateTransactionBaseTables(*transactionDb);
        db::CreateMasterBaseTables(*masterDb);

        db::Transaction transactionWork(*transactionDb);
        db::Transaction masterWork(*masterDb);
        std::unique_ptr<db::Statement> insertCustomer =
            transactionDb->prepare(insertSql(db::CustomerMasterTable, db::CustomerMasterColumns()));
        std::unique_ptr<db::Statement> insertHistory =
            masterDb->prepare(insertSql(db::PointHistoryTable, db::PointHistoryColumns()));

        std::vector<qint64> directMailCounts(static_cast<size_t>(directMailCampaigns.size()));
        std::vector<qint64> mailCounts(static_cast<size_t>(mailCampaigns.size()));
        SampleDatabaseCounts written;
        GeneratedCustomer customer;
        const int historyColumns = generator.historyColumnCount();
        for (qint64 i = 0; i < customerCount; ++i) {
            generator.generate(i, &customer);
            for (size_t c = 0; c < customer.master.size(); ++c)
                insertCustomer->bind(static_cast<int>(c) + 1, customer.master[c]);
            insertCustomer->execute();
            for (int row = 0; row < customer.historyRows; ++row) {
                const size_t base = static_cast<size_t>(row) * static_cast<size_t>(historyColumns);
                for (int c = 0; c < historyColumns; ++c)
                    insertHistory->bind(c + 1, customer.history[base + static_cast<size_t>(c)]);
                insertHistory->execute();
            }
            if (sink)
                sink(i, customer);
            for (int d : customer.directMails)
                ++directMailCounts[static_cast<size_t>(d)];
            for (int m : customer.mails)
                ++mailCounts[static_cast<size_t>(m)];
            ++written.customers;
            written.historyRows += customer.historyRows;
            if (progress && (i + 1) % ProgressStep == 0)
                progress(i + 1, customerCount);
        }
        InsertSampleCampaigns(*masterDb, directMailCampaigns, directMailCounts, mailCampaigns,
                              mailCounts);
        written.directMails = directMailCampaigns.size();
        written.mails = mailCampaigns.size();

        masterWork.commit();
        transactionWork.commit();
        // Leave the files in the journal mode the suite's programs share them with.
        for (db::Database* d : {transactionDb.get(), masterDb.get()})
            d->tryExecute(QStringLiteral("PRAGMA journal_mode=WAL"));
        if (progress && customerCount % ProgressStep != 0)
            progress(customerCount, customerCount);
        if (counts)
            *counts = written;
        return true;
    } catch (const db::DatabaseError& e) {
        *error = QStringLiteral("データベースの作成に失敗しました: %1 (%2)")
                     .arg(e.message(), e.statement());
        return false;
    }
}

} // namespace plw::sample
