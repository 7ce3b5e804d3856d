#pragma once

#include "db/Database.h"
#include "tests/support/TestServer.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace plw::db::test {

enum class Engine { Sqlite, Postgres };
// "Sqlite" and "Postgres", for the names of tests run on both.
std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

// A shop of a dozen customers in a transaction and a master database built with the base
// tables, with values chosen so that every statement's answer is plain to see. On SQLite two
// files; on PostgreSQL the test server's base and work schemas of an installation.
class ShopFixture : public ::testing::Test {
protected:
    void SetUp() override { openShop(Engine::Sqlite); }
    // Skips the test on PostgreSQL when no test server runs.
    void openShop(Engine engine);

    QString path(const QString& name) const { return mDir.filePath(name); }

    Engine mEngine = Engine::Sqlite;
    QTemporaryDir mDir;
    std::unique_ptr<plw::test::TestSchemas> mServer;
    std::unique_ptr<Database> mTrn;
    std::unique_ptr<Database> mMst;
};

// The same shop on the engine of the test's parameter.
class EngineShop : public ShopFixture, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override { openShop(GetParam()); }
};

// Adds a row: every column of the table gets "" or 0 unless values names it (an invalid
// QVariant stores Null).
void InsertRow(Database& database, const QString& table, const QVariantMap& values);

// One column of every row of the query, as text ("<null>" for Null), in the order returned.
QStringList Column(Database& database, const QString& query, const QString& column);
// The column names of a table in definition order, and its index names, as the engine stores
// them, in lower case (PostgreSQL keeps names folded; Jet's names ignore letter case).
QStringList TableColumns(Database& database, const QString& table);
QStringList TableIndexes(Database& database, const QString& table);
// Names in lower case, to compare with those.
QStringList Folded(const QStringList& names);
// Customer numbers "0000001".."0000012" by their short numbers.
QStringList Customers(std::initializer_list<int> numbers);

} // namespace plw::db::test
