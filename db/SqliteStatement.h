#pragma once

#include "db/Database.h"
#include "db/SqliteConnection.h"

namespace plw::db {

// A translated statement prepared once and run with new parameter values.
class SqliteStatement final : public Statement {
public:
    SqliteStatement(std::shared_ptr<const SqliteConnection> connection, StatementHandle statement,
                    QString jetSql);

    void bind(int index, const QVariant& value) override;
    void execute() override;

private:
    std::shared_ptr<const SqliteConnection> mConnection;
    StatementHandle mStatement;
    QString mJetSql;
};

} // namespace plw::db
