#pragma once

#include "db/ColumnNames.h"
#include "db/Database.h"
#include "db/SqliteConnection.h"

namespace plw::db {

// A forward-only recordset over one SQLite query.
class SqliteRecordset final : public Recordset {
public:
    // Runs the prepared query up to its first row. hiddenColumns trailing result columns are
    // helpers of the translation and not shown.
    SqliteRecordset(std::shared_ptr<const SqliteConnection> connection, StatementHandle statement,
                    QString jetSql, int hiddenColumns);

    bool eof() const override { return mEof; }
    void moveNext() override;

    int fieldCount() const override { return mNames.size(); }
    QString fieldName(int index) const override;
    int fieldIndex(QStringView name) const override { return mNames.find(name); }
    QVariant value(int index) const override;
    bool readText(int index, QString& out) const override;
    using Recordset::value;

private:
    // Steps to the next row, counting it on the connection.
    void fetch();

    std::shared_ptr<const SqliteConnection> mConnection;
    StatementHandle mStatement;
    QString mJetSql;
    ColumnNames mNames;
    bool mEof = false;
};

} // namespace plw::db
