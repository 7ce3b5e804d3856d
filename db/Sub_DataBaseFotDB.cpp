#include "db/Sub_DataBaseFotDB.h"

#include "app/Environment.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "db/BaseTables.h"
#include "db/JetSql.h"
#include "db/PostgresDatabase.h"
#include "db/ServerConnectionFile.h"

namespace plw::db {
namespace {

void showOpenError(const QString& message, const QString& path, Prompter& prompter) {
    prompter.show(message + QLatin1Char('\r') + QStringLiteral("データベース OPEN ERR ") + path,
                  MessageIcon::None, MessageButtons::Ok);
}

// Opens one database; on failure shows the description and the path and returns false.
bool openOne(const QString& path, std::unique_ptr<Database>& database, Prompter& prompter) {
    try {
        database = Database::open(path);
        return true;
    } catch (const DatabaseError& error) {
        showOpenError(error.message(), path, prompter);
        return false;
    }
}

// The schemas and base tables the program needs on the server, and the right to create work
// tables, or why they are not there.
QString missingOnServer(Database& master, const ServerConnection& server) {
    QStringList missing;
    const auto work = master.openRecordset(
        QStringLiteral("SELECT to_regnamespace('%1') IS NULL AS missing, CASE WHEN "
                       "to_regnamespace('%1') IS NULL THEN false ELSE has_schema_privilege('%1', "
                       "'CREATE') END AS creates")
            .arg(server.WorkSchema));
    if (work->integer(u"missing"))
        missing << QStringLiteral("作業スキーマ %1").arg(server.WorkSchema);
    for (const QString& table :
         {CustomerMasterTable, PointHistoryTable, DirectMailMasterTable, MailMasterTable})
        if (!master.tableExists(table))
            missing << QStringLiteral("スキーマ %1 の表 %2").arg(server.BaseSchema, table);
    if (!missing.isEmpty())
        return QStringLiteral("PostgreSQL のサーバーに %1 がありません。").arg(missing.join(u'、'));
    if (!work->integer(u"creates"))
        return QStringLiteral("作業スキーマ %1 に作業表を作る権限がありません"
                              "（docs/SCHEMA.md の GRANT を参照してください）。")
            .arg(server.WorkSchema);
    return {};
}

// A copy on the server older than the installation's SQLite files: said, and the run goes on.
void warnWhenStale(const Environment& environment, const ServerConnection& server,
                   Prompter& prompter) {
    QStringList stale;
    const std::pair<QString, QDateTime> copies[] = {
        {environment.TransactionDatabasePath, server.TransactionCopied},
        {environment.MasterDatabasePath, server.MasterCopied}};
    for (const auto& [path, copied] : copies) {
        const QDateTime changed = DatabaseFileChanged(path);
        if (copied.isValid() && changed.isValid() && changed > copied)
            stale << ToNativePath(path);
    }
    if (stale.isEmpty())
        return;
    prompter.show(
        QStringLiteral("PostgreSQL のサーバーへ写した後に、次のデータベースファイルが"
                       "更新されています。\r%1\r分析はサーバーの写しで行います。"
                       "最新にするには plwan40-to-postgres --refresh を実行してください。")
            .arg(stale.join(u'\r')),
        MessageIcon::Exclamation, MessageButtons::Ok);
}

MaybeEnd openOnServer(const Environment& environment, const ServerConnection& server,
                      Databases& databases, Prompter& prompter) {
    const QString shown = QStringLiteral("PostgreSQL ") + server.Connection;
    try {
        databases.Master = PostgresDatabase::connect(server.Connection, {server.BaseSchema});
        databases.Transaction =
            PostgresDatabase::connect(server.Connection, {server.WorkSchema, server.BaseSchema});
        if (const QString missing = missingOnServer(*databases.Master, server);
            !missing.isEmpty()) {
            showOpenError(missing, shown, prompter);
            databases.Master.reset();
            databases.Transaction.reset();
            return ProgramEnd{1};
        }
    } catch (const DatabaseError& error) {
        databases.Master.reset();
        databases.Transaction.reset();
        showOpenError(error.message(), shown, prompter);
        return ProgramEnd{1};
    }
    databases.Open = true;
    warnWhenStale(environment, server, prompter);
    return std::nullopt;
}

} // namespace

MaybeEnd OpenDatabases(const Environment& environment, Databases& databases, Prompter& prompter) {
    databases.Open = false;
    std::optional<ServerConnection> server;
    QString error;
    if (!ReadServerConnectionFile(environment.ServerConnectionPath, &server, &error)) {
        showOpenError(error, ToNativePath(environment.ServerConnectionPath), prompter);
        return ProgramEnd{1};
    }
    if (server)
        return openOnServer(environment, *server, databases, prompter);
    if (!openOne(environment.MasterDatabasePath, databases.Master, prompter) ||
        !openOne(environment.TransactionDatabasePath, databases.Transaction, prompter))
        return ProgramEnd{1};
    databases.Open = true;
    return std::nullopt;
}

void CloseDatabases(Databases& databases) {
    if (!databases.Open)
        return;
    // Closing never fails in a way the program could act on: the connection ends either way.
    databases.Master.reset();
    databases.Transaction.reset();
    databases.Open = false;
}

} // namespace plw::db
