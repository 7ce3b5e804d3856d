#pragma once

struct sqlite3;

namespace plw::db {

// Registers on a connection the SQL functions that translated Jet SQL calls: jet_concat (Jet's
// "&", Null taken as "") and jet_like (LIKE with a pattern known only at run time).
// Returns an SQLite result code.
int RegisterJetFunctions(sqlite3* connection);

} // namespace plw::db
