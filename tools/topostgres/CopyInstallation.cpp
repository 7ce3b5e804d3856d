#include "tools/topostgres/CopyInstallation.h"

#include "app/Environment.h"
#include "app/FileSystem.h"
#include "app/MF0SysCmPLW.h"
#include "app/Prompter.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/JetSql.h"
#include "db/JetSqlTokenizer.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"
#include "db/ServerConnectionFile.h"
#include "rfm/GroupHistory.h"
#include "tools/topostgres/ServerTables.h"

namespace plw::topostgres {
namespace {

// Nobody answers here: the installation's messages become the error.
class CollectingPrompter final : public Prompter {
public:
    MessageAnswer show(const QString& text, MessageIcon, MessageButtons) override {
        mText += (mText.isEmpty() ? QString() : QStringLiteral("\n")) + text;
        return MessageAnswer::Ok;
    }
    QString mText;
};

void say(const CopyOptions& options, const QString& line) {
    if (options.Progress)
        options.Progress(line);
}

// Copies one table's rows, checked: the rows the file holds, the rows sent and the rows the
// server then holds must agree. Inside the caller's transaction.
qint64 copyChecked(db::Database& file, db::PostgresDatabase& server, const QString& table) {
    const qint64 held = CountRows(file, table);
    const qint64 sent = CopyTableRows(file, server, table);
    const qint64 stored = CountRows(server, table);
    if (held != sent || sent != stored)
        throw db::DatabaseError(
            0, QStringLiteral("表 %1 の行数が合いません（ファイル %2 行、送った行 %3 行、サーバー "
                              "%4 行）")
                   .arg(table)
                   .arg(held)
                   .arg(sent)
                   .arg(stored));
    return stored;
}

// The group history lives beside the work tables: in the file it is kept in the transaction
// database, on the server in the work schema. Copied with the base tables, in their
// transaction, so that moving to the server loses no kept run.
void copyHistory(db::Database& file, db::PostgresDatabase& server, const QString& baseSchema,
                 const QString& workSchema, const CopyOptions& options, CopyResult* result) {
    const QString runs = QString::fromUtf16(RunHistoryTable);
    const QString groups = QString::fromUtf16(GroupHistoryTable);
    if (!file.tableExists(runs) || !file.tableExists(groups))
        return;
    const auto searchPath = [&server](const QStringList& schemas) {
        QStringList quoted;
        for (const QString& schema : schemas)
            quoted << db::QuoteSqliteName(schema);
        server.connection().run(QStringLiteral("SET LOCAL search_path TO ") +
                                quoted.join(QStringLiteral(", ")));
    };
    searchPath({workSchema, baseSchema});
    if (!server.tableExists(runs)) {
        CreateHistoryTables(server);
        for (const QString& table : {runs, groups}) {
            say(options, QStringLiteral("%1 を写しています").arg(table));
            result->Tables.emplace_back(table, copyChecked(file, server, table));
        }
    } else {
        say(options, QStringLiteral("作業スキーマ %1 にはグループ履歴があるため、写しません")
                         .arg(workSchema));
    }
    searchPath({baseSchema});
}

} // namespace

bool CopyInstallation(const CopyOptions& options, CopyResult* result, QString* error) {
    Environment environment;
    environment.LocationFileOverride = options.LocationFile;
    CollectingPrompter messages;
    if (LoadSystemDescription(environment, messages, MenuCheck::Skipped)) {
        *error = messages.mText;
        return false;
    }
    if (const QString why = db::CheckConnectionString(options.Connection); !why.isEmpty()) {
        *error = why;
        return false;
    }
    const QString base = options.BaseSchema.isEmpty() ? DefaultBaseSchema(environment.SystemFolder)
                                                      : options.BaseSchema;
    const QString work =
        options.WorkSchema.isEmpty() ? DefaultWorkSchema(base) : options.WorkSchema;
    for (const QString& schema : {base, work}) {
        if (!db::IsPlainSchemaName(schema)) {
            *error =
                QStringLiteral("スキーマ名「%1」は英小文字・数字・_ で書いてください").arg(schema);
            return false;
        }
    }

    // The files' state as copied: a later change makes the program warn.
    db::ServerConnection connection{options.Connection, base, work,
                                    db::DatabaseFileChanged(environment.TransactionDatabasePath),
                                    db::DatabaseFileChanged(environment.MasterDatabasePath)};
    try {
        auto transactionFile = db::Database::open(environment.TransactionDatabasePath);
        auto masterFile = db::Database::open(environment.MasterDatabasePath);
        auto server = db::PostgresDatabase::connect(options.Connection, {base});
        auto fileOf = [&](const QString& table) -> db::Database& {
            return table == db::CustomerMasterTable ? *transactionFile : *masterFile;
        };
        result->Tables.clear();
        if (!options.Refresh) {
            // All or nothing: the schemas, the tables, their rows and indexes.
            db::Transaction copy(*server);
            if (!CreateBaseTables(*server, base, work, error))
                return false;
            for (const QString& table : BaseTableNames()) {
                say(options, QStringLiteral("%1 を写しています").arg(table));
                result->Tables.emplace_back(table, copyChecked(fileOf(table), *server, table));
            }
            say(options, QStringLiteral("索引を作っています"));
            CreateBaseIndexes(*server);
            copyHistory(*transactionFile, *server, base, work, options, result);
            copy.commit();
        } else {
            for (const QString& table : BaseTableNames()) {
                if (!server->tableExists(table)) {
                    *error = QStringLiteral("スキーマ %1 に表 %2 がありません。--refresh なしで"
                                            "写してください")
                                 .arg(base, table);
                    return false;
                }
            }
            for (const QString& table : BaseTableNames()) {
                say(options, QStringLiteral("%1 を入れ替えています").arg(table));
                db::Transaction replace(*server);
                server->connection().run(
                    QStringLiteral("TRUNCATE %1")
                        .arg(db::QuoteSqliteName(db::FoldPostgresName(table))));
                result->Tables.emplace_back(table, copyChecked(fileOf(table), *server, table));
                replace.commit();
            }
        }
        for (const QString& table : BaseTableNames())
            server->connection().run(
                QStringLiteral("ANALYZE %1").arg(db::QuoteSqliteName(db::FoldPostgresName(table))));
    } catch (const db::DatabaseError& failure) {
        *error = failure.message();
        if (!failure.statement().isEmpty())
            *error += QStringLiteral("\n") + failure.statement();
        return false;
    }
    result->ConnectionFile = environment.DescriptionFolder + db::ServerConnectionFileName;
    return db::WriteServerConnectionFile(result->ConnectionFile, connection, error);
}

} // namespace plw::topostgres
