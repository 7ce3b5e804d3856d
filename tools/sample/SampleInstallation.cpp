#include "tools/sample/SampleInstallation.h"

#include "app/AnsiCodec.h"
#include "app/FileSystem.h"
#include "app/RecordFile.h"
#include "db/Database.h"
#include "db/PostgresDatabase.h"
#include "db/ServerConnectionFile.h"
#include "tools/sample/InstallationFiles.h"
#include "tools/sample/SampleClassifications.h"
#include "tools/sample/SampleHistory.h"
#include "tools/sample/SampleSettings.h"
#include "tools/topostgres/ServerTables.h"

#include <QDir>
#include <QFile>

namespace plw::sample {
namespace {

const QString LocationFileName = QStringLiteral("場所PLW.TWS");
constexpr int MaxHistoryRowsPerCustomer = 100;

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

bool makeFolders(const SampleFolders& f, QString* error) {
    for (const QString& folder :
         {f.systemFolder, f.systemFolder + QStringLiteral("DATA"),
          f.systemFolder + QStringLiteral("INI"), f.systemFolder + QStringLiteral("DMFR"),
          f.systemFolder + QStringLiteral("ELFR"), f.workFolder}) {
        if (!QDir().mkpath(folder))
            return fail(error, QStringLiteral("フォルダ %1 を作れません").arg(folder));
    }
    return true;
}

bool writeRecord(const QString& path, const RecordWriter& record, QString* error) {
    QString reason;
    if (!WriteRecord(path, 1, record, &reason))
        return fail(error, QStringLiteral("%1 を書けません: %2").arg(path, reason));
    return true;
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QString reason;
    if (!WriteFileAtomically(path, bytes, &reason))
        return fail(error, QStringLiteral("%1 を書けません: %2").arg(path, reason));
    return true;
}

// The sample's menu program, which the return table names: it only says that the analysis has
// handed control back, as the suite's menu would take over here.
bool writeMenuProgram(const QString& path, QString* error) {
    const QByteArray script =
        QStringLiteral("#!/bin/sh\n"
                       "# The sample installation's menu program (PLWMENU).\n"
                       "echo \"PLWMENU: ポイント顧客分析が終了し、メニューに戻りました。\"\n")
            .toUtf8();
    if (!writeBytes(path, script, error))
        return false;
    QFile file(ToNativePath(path));
    if (!file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                             QFileDevice::ExeOther))
        return fail(error,
                    QStringLiteral("%1 を実行可能にできません: %2").arg(path, file.errorString()));
    return true;
}

bool writeFiles(const SampleFolders& f, const SampleOptions& options,
                const QList<Campaign>& directMails, const QList<Campaign>& mails, QString* error) {
    QString reason;
    const QString screenSide = options.screenSide;
    if (AnsiCodec::byteLength(screenSide) > 5)
        return fail(error, QStringLiteral("画面位置 %1 は 5 バイトを超えています").arg(screenSide));
    if (!writeRecord(f.systemFolder + QStringLiteral("F0SysCmPLW.TWS"),
                     SystemDescriptionRecord(f, screenSide), error) ||
        !writeBytes(f.systemFolder + QStringLiteral("INI/KIKISYU.SYS"), DeviceDescriptionBytes(),
                    error) ||
        !writeRecord(f.workFolder + QStringLiteral("MODORI.DAT"), ReturnTableRecord(), error))
        return false;
    const auto classifications =
        AnsiCodec::encode(ClassificationFileText(SampleClassificationLevels()));
    if (!classifications ||
        !writeBytes(f.systemFolder + QStringLiteral("DATA/S3BUNRU.DAT"), *classifications, error))
        return false;
    const std::pair<CampaignKind, const QList<Campaign>*> campaigns[] = {
        {CampaignKind::DirectMail, &directMails}, {CampaignKind::Mail, &mails}};
    for (const auto& [kind, list] : campaigns) {
        for (const Campaign& c : *list) {
            const QString path = f.systemFolder + CampaignConditionFile(kind, c);
            ConditionRecord record = CampaignConditionRecord(kind, c);
            if (!WriteConditionFile(path, record, &reason))
                return fail(error, QStringLiteral("%1 を書けません: %2").arg(path, reason));
        }
    }
    return writeMenuProgram(f.systemFolder + QStringLiteral("PLWMENU"), error) &&
           WriteSampleSettings(f, error);
}

// Removes a database file this run created, with SQLite's companion files.
void removeDatabase(const QString& path) {
    const QString native = ToNativePath(path);
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(native + suffix);
}

// The analysis three months before the reference date, kept in the group history so that the
// first analysis of the sample has a run to compare with.
// The transaction database is opened by `open`: a file, or the server's schemas.
template <typename Open> bool KeepEarlierRun(SampleEarlierRun& earlier, Open open, QString* error) {
    try {
        std::unique_ptr<db::Database> database = open();
        return earlier.keep(*database, error);
    } catch (const db::DatabaseError& failure) {
        *error = failure.message();
        return false;
    }
}

} // namespace

QString SampleLocationFile(const QString& folder) {
    SampleFolders f;
    QString ignored;
    if (!MakeSampleFolders(folder, &f, &ignored))
        return QDir(folder).absoluteFilePath(LocationFileName);
    return f.root + LocationFileName;
}

bool WriteSampleInstallation(const SampleOptions& options, QString* error, SampleSummary* summary) {
    if (options.folder.isEmpty())
        return fail(error, QStringLiteral("作成先のフォルダを指定してください"));
    if (options.customers < 0 || options.customers > MaxSampleCustomers)
        return fail(error, QStringLiteral("顧客数は 0 から %1 までです").arg(MaxSampleCustomers));
    if (options.historyRowsPerCustomer < 1 ||
        options.historyRowsPerCustomer > MaxHistoryRowsPerCustomer)
        return fail(error, QStringLiteral("顧客あたりの履歴件数は 1 から %1 までです")
                               .arg(MaxHistoryRowsPerCustomer));

    SampleFolders f;
    QString reason;
    if (!MakeSampleFolders(options.folder, &f, &reason))
        return fail(error, reason);
    const QString transactionDb = f.workFolder + QStringLiteral("PLW_TRN.MDB");
    const QString masterDb = f.systemFolder + QStringLiteral("DATA/PLW_MST.MDB");
    for (const QString& db : {transactionDb, masterDb})
        if (QFile::exists(ToNativePath(db)))
            return fail(
                error, QStringLiteral("%1 は既にあります。空のフォルダを指定してください").arg(db));

    const QList<Campaign> directMails = SampleCampaigns(CampaignKind::DirectMail);
    const QList<Campaign> mails = SampleCampaigns(CampaignKind::Mail);
    if (!makeFolders(f, error) || !writeFiles(f, options, directMails, mails, error))
        return false;

    CustomerGenerator generator(options.seed, options.historyRowsPerCustomer, directMails, mails);
    SampleDatabaseCounts counts;
    SampleEarlierRun earlier(f);
    const SampleCustomerSink sink = [&](qint64 index, const GeneratedCustomer& customer) {
        earlier.add(index, customer);
    };
    if (!options.postgres.isEmpty()) {
        const QString base = topostgres::DefaultBaseSchema(f.systemFolder);
        const db::ServerConnection server{
            options.postgres, base, topostgres::DefaultWorkSchema(base), {}, {}};
        if (const QString why = db::CheckConnectionString(options.postgres); !why.isEmpty())
            return fail(error, why);
        if (!WriteSampleOnServer(options.postgres, server.BaseSchema, server.WorkSchema, generator,
                                 options.customers, directMails, mails, options.progress, &counts,
                                 &reason, sink) ||
            !KeepEarlierRun(
                earlier,
                [&server] {
                    return db::PostgresDatabase::connect(server.Connection,
                                                         {server.WorkSchema, server.BaseSchema});
                },
                &reason) ||
            !db::WriteServerConnectionFile(f.systemFolder + db::ServerConnectionFileName, server,
                                           &reason))
            return fail(error, reason);
    } else if (!WriteSampleDatabases(transactionDb, masterDb, generator, options.customers,
                                     directMails, mails, options.progress, &counts, &reason,
                                     sink) ||
               !KeepEarlierRun(
                   earlier, [&transactionDb] { return db::Database::open(transactionDb); },
                   &reason)) {
        // Only files this run created reach this point: existing ones were refused above.
        removeDatabase(transactionDb);
        removeDatabase(masterDb);
        return fail(error, reason);
    }
    // The location file comes last: while it is missing the installation is not complete.
    if (!writeBytes(f.root + LocationFileName, LocationFileBytes(f), error))
        return false;
    if (summary) {
        summary->locationFile = f.root + LocationFileName;
        summary->systemFolder = f.systemFolder;
        summary->workFolder = f.workFolder;
        summary->counts = counts;
    }
    return true;
}

} // namespace plw::sample
