#include "app/main/BatchRun.h"

#include "app/MF0SysCmPLW.h"
#include "app/Prompter.h"
#include "app/main/ExitPaths.h"
#include "app/main/Session.h"
#include "db/BaseTables.h"
#include "db/Database.h"

namespace plw {
namespace {

qint64 countRows(db::Database& database, const QString& table) {
    auto rs = database.openRecordset(QStringLiteral("SELECT COUNT(*) AS [件数] FROM ") + table);
    return rs->eof() ? 0 : rs->integer(u"件数");
}

void printLine(std::FILE* out, const QString& label, const QString& value) {
    std::fprintf(out, "%s%s\n", label.toUtf8().constData(), value.toUtf8().constData());
}

} // namespace

ProgramEnd RunBatch(Session& session, std::FILE* out) {
    if (MaybeEnd end = LoadSystemDescription(session.Env, session.Messages, MenuCheck::Skipped))
        return ProgramEnd{2};
    if (MaybeEnd end = db::OpenDatabases(session.Env, session.Databases, session.Messages))
        return ProgramEnd{2};

    int status = 0;
    try {
        const qint64 customers = countRows(*session.Databases.Transaction, db::CustomerMasterTable);
        const qint64 history = countRows(*session.Databases.Master, db::PointHistoryTable);
        printLine(out, QStringLiteral("system folder:        "), session.Env.SystemFolder);
        printLine(out, QStringLiteral("work folder:          "), session.Env.WorkFolder);
        printLine(out, QStringLiteral("transaction database: "),
                  session.Env.TransactionDatabasePath);
        printLine(out, QStringLiteral("master database:      "), session.Env.MasterDatabasePath);
        printLine(out, QStringLiteral("customers:            "), QString::number(customers));
        printLine(out, QStringLiteral("point history rows:   "), QString::number(history));
    } catch (const db::DatabaseError& error) {
        session.Messages.show(error.message(), MessageIcon::Critical);
        status = 3;
    }
    // Batch mode leaves the menu marker and the return program alone: it only closes.
    db::CloseDatabases(session.Databases);
    return ProgramEnd{status};
}

} // namespace plw
