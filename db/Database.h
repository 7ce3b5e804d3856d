#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace plw::db {

// A failed database operation: the engine's code and message, and the statement concerned.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(int code, const QString& message, const QString& statement = {});
    int code() const { return mCode; }
    const QString& message() const { return mMessage; }
    const QString& statement() const { return mStatement; }

private:
    int mCode;
    QString mMessage;
    QString mStatement;
};

// A forward-only cursor over the rows of a query. Columns are addressed by name, without regard
// to letter case; a Null value is an invalid QVariant.
class Recordset {
public:
    virtual ~Recordset() = default;

    virtual bool eof() const = 0;
    virtual void moveNext() = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The column's index, or -1 when the row has no such column.
    virtual int fieldIndex(QStringView name) const = 0;
    virtual QVariant value(int index) const = 0;

    // The value as text into out, reusing out's storage: the fast read for record routines that
    // take every column of many rows. False, leaving out as it is, for Null.
    virtual bool readText(int index, QString& out) const;

    // By name; an unknown column throws DatabaseError.
    QVariant value(QStringView name) const;
    // The column's index by name; an unknown column throws DatabaseError.
    int requireField(QStringView name) const;
    // The indexes of the named columns, resolved once per recordset for the caller that key
    // identifies (a record routine reading the same columns from every row). Unknown names
    // throw DatabaseError.
    const std::vector<int>& fieldIndexes(const void* key, std::span<const QStringView> names) const;

    bool isNull(QStringView name) const { return !value(name).isValid(); }
    // The value as text, "" for Null.
    QString text(QStringView name) const;
    // The value as a whole number (WholeNumber), 0 for Null; any other value throws
    // NumberValueError naming the column and the value.
    qint64 integer(QStringView name) const;

private:
    mutable const void* mLayoutKey = nullptr;
    mutable std::vector<int> mLayout;
};

// A table opened for seeks on its primary index and for changing rows.
class Table : public Recordset {
public:
    // Selects the index that seek uses; "FRMKEY" is the table's primary index.
    virtual void setIndex(const QString& name) = 0;
    // Positions on the row whose key equals key; noMatch() tells whether there was none.
    virtual void seek(const QVariant& key) = 0;
    virtual bool noMatch() const = 0;

    // Changing the current row: edit, setValue..., update. Adding: addNew, setValue..., update.
    virtual void edit() = 0;
    virtual void addNew() = 0;
    virtual void setValue(QStringView name, const QVariant& value) = 0;
    virtual void update() = 0;
    // Deletes the current row.
    virtual void remove() = 0;
};

// A statement prepared once and run many times with new parameter values (?1, ?2, ...).
class Statement {
public:
    virtual ~Statement() = default;
    // Parameters are numbered from 1.
    virtual void bind(int index, const QVariant& value) = 0;
    // Runs the statement to completion and readies it for the next set of parameters.
    virtual void execute() = 0;
};

// One open database. Statements are written in the suite's Jet SQL and translated by the
// implementation; errors throw DatabaseError unless a try variant is used.
class Database {
public:
    virtual ~Database() = default;

    // Opens an existing database file for shared reading and writing. A missing file, or one that
    // is not a database (also an empty file), fails here with a description for the operator.
    static std::unique_ptr<Database> open(const QString& systemPath);
    // Creates a new, empty database file and opens it; fails when the file exists. For the
    // sample installation and the tests: the program itself never creates a database.
    static std::unique_ptr<Database> create(const QString& systemPath);

    virtual const QString& path() const = 0;

    virtual void execute(const QString& jetSql) = 0;
    // As execute, but reports a failure of the statement instead of throwing (dropping a table
    // that may be missing); a failure of the database itself (held by another program, a full
    // disk, a damaged file) still throws, so that its cause is what the operator learns.
    virtual bool tryExecute(const QString& jetSql, QString* error = nullptr) = 0;

    virtual std::unique_ptr<Recordset> openRecordset(const QString& jetSql) = 0;
    virtual std::unique_ptr<Table> openTable(const QString& tableName) = 0;
    virtual std::unique_ptr<Statement> prepare(const QString& jetSql) = 0;

    virtual bool tableExists(const QString& tableName) = 0;

    // The rows that query recordsets opened on this database have delivered so far: how much a
    // routine reads (a paging list reads one page, not the table).
    virtual qint64 rowsFetched() const = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // The lock on the work tables held on a server shared by PCs that need not share a work
    // folder: true when taken (always for a database file, where the work folder's own lock is
    // the guard), else false with the reason for the operator. unlockWorkTables releases it.
    virtual bool lockWorkTables(QString* message) {
        (void)message;
        return true;
    }
    virtual void unlockWorkTables() {}
};

// Begins a transaction; rolls it back when destroyed uncommitted.
class Transaction {
public:
    explicit Transaction(Database& database) : mDatabase(database) { mDatabase.begin(); }
    ~Transaction() {
        if (!mDone) {
            try {
                mDatabase.rollback();
            } catch (const DatabaseError&) {
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        mDatabase.commit();
        mDone = true;
    }

private:
    Database& mDatabase;
    bool mDone = false;
};

} // namespace plw::db
