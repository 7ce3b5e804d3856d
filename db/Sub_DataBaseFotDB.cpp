#include "db/Sub_DataBaseFotDB.h"

#include "app/Environment.h"
#include "app/Prompter.h"

namespace plw::db {
namespace {

// Opens one database; on failure shows the description and the path and returns false.
bool openOne(const QString& path, std::unique_ptr<Database>& database, Prompter& prompter) {
    try {
        database = Database::open(path);
        return true;
    } catch (const DatabaseError& error) {
        prompter.show(error.message() + QLatin1Char('\r') +
                          QStringLiteral("データベース OPEN ERR ") + path,
                      MessageIcon::None, MessageButtons::Ok);
        return false;
    }
}

} // namespace

MaybeEnd OpenDatabases(const Environment& environment, Databases& databases, Prompter& prompter) {
    databases.Open = false;
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
