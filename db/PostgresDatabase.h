#pragma once

#include "db/Database.h"

#include <QStringList>

namespace plw::db {

class PostgresConnection;

// The suite's tables on a PostgreSQL server, reached through libpq. Statements are Jet SQL,
// translated to PostgreSQL's dialect; names are found through the search path (the work
// folder's schema first, then the shared schema of the base tables).
class PostgresDatabase final : public Database {
public:
    // Connects with a libpq connection string or service ("service=plwan40") and sets the
    // search path. Throws DatabaseError naming the server, the database and libpq's cause.
    static std::unique_ptr<PostgresDatabase> connect(const QString& connectionInfo,
                                                     const QStringList& searchPath);

    // The server and database, for messages.
    const QString& path() const override { return mPath; }

    void execute(const QString& jetSql) override;
    bool tryExecute(const QString& jetSql, QString* error = nullptr) override;
    std::unique_ptr<Recordset> openRecordset(const QString& jetSql) override;
    std::unique_ptr<Table> openTable(const QString& tableName) override;
    std::unique_ptr<Statement> prepare(const QString& jetSql) override;
    bool tableExists(const QString& tableName) override;
    qint64 rowsFetched() const override;

    void begin() override;
    void commit() override;
    void rollback() override;

    // An advisory lock of the server on the first schema of the search path (the work schema).
    bool lockWorkTables(QString* message) override;
    void unlockWorkTables() override;

    // The connection itself, for bulk work in the server's own SQL (COPY).
    PostgresConnection& connection() { return *mConnection; }

private:
    PostgresDatabase(std::shared_ptr<PostgresConnection> connection, QString firstSchema);

    std::shared_ptr<PostgresConnection> mConnection;
    QString mPath;
    QString mFirstSchema;
};

} // namespace plw::db
