#pragma once

#include "db/ColumnNames.h"
#include "db/Database.h"
#include "db/PostgresConnection.h"

namespace plw::db {

// A forward-only recordset over one query, read through a server cursor a batch of rows at a
// time: the rows stream, neither one round trip per row nor the whole result in memory.
class PostgresRecordset final : public Recordset {
public:
    // Opens the cursor and reads the first batch. hiddenColumns trailing result columns are
    // helpers of the translation and not shown.
    PostgresRecordset(std::shared_ptr<PostgresConnection> connection, const QString& query,
                      QString jetSql, int hiddenColumns);
    ~PostgresRecordset() override;

    bool eof() const override { return mEof; }
    void moveNext() override;

    int fieldCount() const override { return mNames.size(); }
    QString fieldName(int index) const override;
    int fieldIndex(QStringView name) const override { return mNames.find(name); }
    QVariant value(int index) const override;
    bool readText(int index, QString& out) const override;
    using Recordset::value;

private:
    void check(int index) const;
    void fetch();
    void closeCursor();

    std::shared_ptr<PostgresConnection> mConnection;
    QString mCursor;
    QString mJetSql;
    ColumnNames mNames;
    PgResult mBatch;
    int mRow = 0;
    int mBatchSize = 0;
    bool mLastBatch = false;
    bool mEof = false;
};

} // namespace plw::db
