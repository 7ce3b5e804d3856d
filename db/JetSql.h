#pragma once

#include <QString>
#include <QStringList>

namespace plw::db {

// The DatabaseError code of a statement that cannot be translated (a syntax the suite never
// issues, or a malformed text).
inline constexpr int JetSqlError = -1;

// The SQLite statements that carry out one Jet SQL statement.
struct SqliteTranslation {
    // Run in order as one unit. Several only where SQLite needs several steps (ALTER TABLE ...
    // ADD COLUMN of several columns, SELECT TOP ... INTO).
    QStringList statements;
    // Helper columns at the end of a query's result that a recordset does not show (the rank of
    // SELECT TOP).
    int hiddenColumns = 0;
};

// Translates one statement of the suite's Jet SQL: SELECT ... INTO, DELETE * FROM,
// CREATE INDEX ... WITH PRIMARY, ALTER TABLE ... ADD COLUMN a t, b t, SELECT TOP n (with the
// ties at the boundary), LIKE with Jet patterns, MID$, TRIM$, "&", [names], Jet type names.
// Statements already in SQLite form pass unchanged. Throws DatabaseError (JetSqlError).
SqliteTranslation TranslateJetSql(const QString& jetSql);

// Jet names an index per table, SQLite per database: the SQLite name of index on table.
QString SqliteIndexName(const QString& table, const QString& index);

// The SQL functions the translation relies on; every connection registers them.
inline constexpr char JetConcatFunction[] = "jet_concat";
inline constexpr char JetLikeFunction[] = "jet_like";
// The helper column of SELECT TOP.
inline constexpr char JetTopRankColumn[] = "jet_top_rank";

} // namespace plw::db
