#pragma once

#include "db/Database.h"
#include "db/SqliteConnection.h"

namespace plw::db {

// A database file of the suite opened through SQLite. Statements are Jet SQL, translated.
class SqliteDatabase final : public Database {
public:
    // Opens an existing database file (never creates one): read-write and shared, WAL journal,
    // a busy timeout; a file that is not an SQLite database fails here. Throws DatabaseError.
    static std::unique_ptr<SqliteDatabase> openFile(const QString& systemPath);
    // Creates a new database file (the file must not exist) and opens it as openFile does.
    static std::unique_ptr<SqliteDatabase> createFile(const QString& systemPath);

    const QString& path() const override { return mPath; }

    void execute(const QString& jetSql) override;
    bool tryExecute(const QString& jetSql, QString* error = nullptr) override;
    std::unique_ptr<Recordset> openRecordset(const QString& jetSql) override;
    std::unique_ptr<Table> openTable(const QString& tableName) override;
    std::unique_ptr<Statement> prepare(const QString& jetSql) override;
    bool tableExists(const QString& tableName) override;
    qint64 rowsFetched() const override { return mConnection->rowsFetched(); }

    void begin() override;
    void commit() override;
    void rollback() override;

    // The transactions begun and not yet ended (nested ones are savepoints).
    int transactionDepth() const { return mDepth; }

private:
    SqliteDatabase(std::shared_ptr<const SqliteConnection> connection, QString path);

    std::shared_ptr<const SqliteConnection> mConnection;
    QString mPath;
    int mDepth = 0;
};

} // namespace plw::db
