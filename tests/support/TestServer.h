#pragma once

#include "db/Database.h"

#include <QString>

#include <memory>

namespace plw::db {
class PostgresDatabase;
}

namespace plw::test {

// The tests' private PostgreSQL server, which ctest starts (scripts/test-postgres.sh) in the
// build's folder for it, or the one whose folder PLWAN40_TEST_PG names: its connection string,
// empty when none runs.
QString TestServerConnection();

// Two schemas of their own for one test, as an installation has them: the base tables' schema
// and a work schema. Dropped, with everything in them, when the object goes.
class TestSchemas {
public:
    // Throws std::runtime_error without a server.
    TestSchemas();
    ~TestSchemas();
    TestSchemas(const TestSchemas&) = delete;
    TestSchemas& operator=(const TestSchemas&) = delete;

    const QString& base() const { return mBase; }
    const QString& work() const { return mWork; }
    // The master database (the base schema) and the transaction database (the work schema,
    // then the base schema), as the program opens them.
    std::unique_ptr<db::Database> master() const;
    std::unique_ptr<db::Database> transaction() const;
    // A connection with every right, for setting up what a test needs.
    db::PostgresDatabase& admin() { return *mAdmin; }

private:
    QString mBase;
    QString mWork;
    std::unique_ptr<db::PostgresDatabase> mAdmin;
};

} // namespace plw::test
