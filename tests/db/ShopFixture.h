#pragma once

#include "db/Database.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace plw::db::test {

// A shop of a dozen customers in a transaction and a master database built with the base
// tables, with values chosen so that every statement's answer is plain to see.
class ShopFixture : public ::testing::Test {
protected:
    void SetUp() override;

    QString path(const QString& name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
    std::unique_ptr<Database> mTrn;
    std::unique_ptr<Database> mMst;
};

// Adds a row: every column of the table gets "" or 0 unless values names it (an invalid
// QVariant stores Null).
void InsertRow(Database& database, const QString& table, const QVariantMap& values);

// One column of every row of the query, as text ("<null>" for Null), in the order returned.
QStringList Column(Database& database, const QString& query, const QString& column);
// The column names of a table in definition order, and its SQLite index names.
QStringList TableColumns(Database& database, const QString& table);
QStringList TableIndexes(Database& database, const QString& table);
// Customer numbers "0000001".."0000012" by their short numbers.
QStringList Customers(std::initializer_list<int> numbers);

} // namespace plw::db::test
