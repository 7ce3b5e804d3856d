#pragma once

#include "db/ColumnNames.h"
#include "db/Database.h"
#include "db/SqliteConnection.h"

#include <QHash>

#include <string>
#include <unordered_map>

#include <vector>

namespace plw::db {

// A table opened for walking in table order or index order, seeking on an index and changing
// rows. Rows are addressed by rowid through prepared statements, which are kept for reuse.
class SqliteTable final : public Table {
public:
    // Positions on the first row in table order. Throws when there is no such table.
    SqliteTable(std::shared_ptr<const SqliteConnection> connection, const QString& tableName);

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

    // The SQLite index that seek uses ("" for the rowid), for checks.
    const QString& sqliteIndex() const { return mIndex; }

private:
    enum class Mode { None, Edit, Add };

    void requireRow(const char* operation) const;
    void readRow();
    void beginWalk();
    sqlite3_stmt* changeStatement();
    void findDeferrableColumns();
    bool deferrable() const;
    void showUpdated();
    QString orderClause() const;
    QString indexedBy() const;

    std::shared_ptr<const SqliteConnection> mConnection;
    QString mName;   // as the schema spells it
    QString mQuoted; // quoted for SQL
    QString mCreateSql;
    ColumnNames mNames;
    QStringList mQuotedNames;
    std::string mLayout; // the table and its columns, for the write-behind queue

    QString mIndex;          // "" for table order / the rowid
    QStringList mKeyColumns; // of the current index
    bool mRowidKey = false;  // the current index is the rowid (INTEGER PRIMARY KEY)

    sqlite3_stmt* mCursor = nullptr; // the statement whose current row is the table's (cached)
    StatementHandle mWalk;
    bool mEof = true;
    bool mNoMatch = false;
    bool mDeleted = false;
    qint64 mRowid = 0;
    // Values this row received by update(), shown instead of the cursor's.
    std::vector<QVariant> mUpdated;
    std::vector<char> mIsUpdated;

    std::vector<char> mDeferrable; // per column: a change may be queued (see SqliteWriteBehind)

    Mode mMode = Mode::None;
    std::vector<QVariant> mBuffer;
    std::vector<char> mAssigned;

    std::unordered_map<QString, StatementHandle> mSeeks;
    // By the assigned-column flags.
    std::unordered_map<std::string, StatementHandle> mUpdates;
    std::unordered_map<std::string, StatementHandle> mInserts;
    StatementHandle mDelete;
};

} // namespace plw::db
