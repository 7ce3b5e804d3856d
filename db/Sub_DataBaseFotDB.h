#pragma once

#include "app/ProgramEnd.h"
#include "db/Database.h"

#include <memory>

namespace plw {
struct Environment;
class Prompter;
} // namespace plw

namespace plw::db {

// The program's two databases, open from start-up to the end.
struct Databases {
    std::unique_ptr<Database> Master;      // SystemFolder + "DATA\PLW_MST.MDB"
    std::unique_ptr<Database> Transaction; // WorkFolder + "PLW_TRN.MDB"
    bool Open = false;                     // set once both are open
};

// Opens the master database, then the transaction database. A database that cannot be opened
// is reported with the error's description and its path, and the program ends (status 1).
MaybeEnd OpenDatabases(const Environment& environment, Databases& databases, Prompter& prompter);

// When both are open: closes the master database, then the transaction database.
void CloseDatabases(Databases& databases);

} // namespace plw::db
