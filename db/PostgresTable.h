#pragma once

#include "db/ColumnNames.h"
#include "db/Database.h"
#include "db/PostgresConnection.h"
#include "db/PostgresWriteQueue.h"

#include <vector>

namespace plw::db {

// A table opened for walking, seeking on an index and changing rows. Rows are addressed by their
// place (ctid), which stays valid for a row the walk has not yet changed; changes made inside a
// transaction wait in the connection's write queue and go many rows a statement. A table walks
// in the order of its primary key, or of its "FRMKEY" index, and in no order the program relies
// on when it has neither (the server's physical order).
class PostgresTable final : public Table, private PgRowMoved {
public:
    // Positions on the first row. Throws when there is no such table.
    PostgresTable(std::shared_ptr<PostgresConnection> connection, const QString& tableName);
    ~PostgresTable() override;

    bool eof() const override { return mEof; }
    void moveNext() override;
    int fieldCount() const override { return mNames.size(); }
    QString fieldName(int index) const override;
    int fieldIndex(QStringView name) const override { return mNames.find(name); }
    QVariant value(int index) const override;
    bool readText(int index, QString& out) const override;
    using Recordset::value;

    void setIndex(const QString& name) override;
    void seek(const QVariant& key) override;
    bool noMatch() const override { return mNoMatch; }

    void edit() override;
    void addNew() override;
    void setValue(QStringView name, const QVariant& value) override;
    void update() override;
    void remove() override;

    // The server's name of the index that seek uses, for checks.
    const QString& indexName() const { return mIndex; }

private:
    enum class Mode { None, Edit, Add };

    void moved(const QByteArray& from, const QByteArray& to) override;
    void checkColumn(int index, const char* operation) const;
    // Opens a walk over the rows after the key values (all rows without them) in key order.
    void walk(const PgParameters& after);
    void closeWalk();
    void readRow();
    QString orderClause() const;
    QString keyList() const;
    // The index's columns become the key of the walk and the seeks.
    void useKeys(const QString& indexOid);
    void showUpdated();
    void findDeferrableColumns();
    // Whether the change just made may wait in the write queue: only where writing it later
    // changes nothing but the time (no key or index involved, every value fits its column).
    bool deferrable(bool adding) const;

    std::shared_ptr<PostgresConnection> mConnection;
    QString mName;   // as the catalogue spells it
    QString mQuoted; // schema and name, quoted for SQL
    QString mOid;
    ColumnNames mNames;
    QStringList mQuotedNames;
    QStringList mTypes;
    // Per column: what a queued value must satisfy (see deferrable).
    struct ColumnRule {
        enum class Kind { Integer, Text, Real, Other } kind = Kind::Other;
        bool indexed = false; // in an index, so a change may break a key
        bool notNull = false;
    };
    std::vector<ColumnRule> mRules;
    bool mPlainTable = true; // no triggers, checks or foreign keys

    QString mIndex;
    QStringList mKeyColumns; // quoted
    std::vector<int> mKeyIndexes;

    QString mCursor;
    PgResult mBatch; // the rows read; the current one is mRow
    int mRow = 0;
    bool mLastBatch = true;
    bool mEof = true;
    bool mNoMatch = false;
    bool mDeleted = false;
    QByteArray mCtid;
    // Values this row received by update(), shown instead of the server's.
    std::vector<QVariant> mUpdated;
    std::vector<char> mIsUpdated;

    Mode mMode = Mode::None;
    std::vector<QVariant> mBuffer;
    std::vector<char> mAssigned;
};

} // namespace plw::db
