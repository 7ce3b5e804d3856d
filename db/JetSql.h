#pragma once

#include <QString>
#include <QStringList>

namespace plw::db {

// The DatabaseError code of a statement that cannot be translated (a syntax the suite never
// issues, or a malformed text).
inline constexpr int JetSqlError = -1;

// The engines the translator writes for.
enum class SqlDialect { Sqlite, Postgres };

// The engine's statements that carry out one Jet SQL statement.
struct SqlTranslation {
    // Run in order as one unit. Several only where the engine needs several steps (ALTER TABLE
    // ... ADD COLUMN of several columns in SQLite, SELECT TOP ... INTO).
    QStringList statements;
    // Helper columns at the end of a query's result that a recordset does not show (the rank of
    // SELECT TOP).
    int hiddenColumns = 0;
    // PostgreSQL's SELECT ... INTO: the new table (as written in the statement, quoted) and the
    // query that fills it. CREATE TABLE AS refuses a column name that a join brings twice, so the
    // database names the columns itself (TmpKaiBan, TmpKaiBan:1 as SQLite does) before the first
    // statement, which then is "CREATE TABLE t (columns) AS query" with the list left to it.
    QString newTable;
    QString newTableQuery;
};

// Translates one statement of the suite's Jet SQL: SELECT ... INTO, DELETE * FROM,
// CREATE INDEX ... WITH PRIMARY, ALTER TABLE ... ADD COLUMN a t, b t, SELECT TOP n (with the
// ties at the boundary), LIKE with Jet patterns, MID$, TRIM$, "&", [names], Jet type names.
// Statements already in the engine's form pass unchanged. Throws DatabaseError (JetSqlError).
//
// For PostgreSQL, names are folded to lower case as the server folds unquoted ones (Jet's names
// ignore letter case), every text column is declared with the C collation so that text compares
// and sorts by its bytes as in SQLite, and every integer type is bigint (SQLite's integers are 64
// bits).
SqlTranslation TranslateJetSql(const QString& jetSql, SqlDialect dialect = SqlDialect::Sqlite);

// Jet names an index per table, SQLite and PostgreSQL per database or schema: the engine's name
// of index on table ("table.index"; folded to lower case for PostgreSQL).
QString SqliteIndexName(const QString& table, const QString& index);
QString PostgresIndexName(const QString& table, const QString& index);

// A Jet name as PostgreSQL stores it: ASCII letters in lower case, as the server folds an
// unquoted name (it leaves other letters as they are).
QString FoldPostgresName(const QString& name);

// The SQL functions the translation relies on; every connection registers them.
inline constexpr char JetConcatFunction[] = "jet_concat";
inline constexpr char JetLikeFunction[] = "jet_like";
// The helper column of SELECT TOP.
inline constexpr char JetTopRankColumn[] = "jet_top_rank";

} // namespace plw::db
