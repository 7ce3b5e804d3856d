#pragma once

#include "db/JetSqlTree.h"

namespace plw::db::jet {

// Translates the expressions of one level and every group below it: MID$ and the other Jet
// functions, "&" as Null-safe concatenation, LIKE with Jet patterns.
void translateExpressions(Nodes& nodes, const QString& sql, SqlDialect dialect);

// One column definition "name type[(n)] constraints" with the Jet type mapped to the engine's.
bool isTableConstraint(const Nodes& definition);
void translateColumnDefinition(Nodes& definition, const QString& sql, SqlDialect dialect);

// The collation every PostgreSQL text column and text expression carries: bytes order.
Node postgresCollation();

} // namespace plw::db::jet
