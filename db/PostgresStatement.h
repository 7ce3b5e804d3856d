#pragma once

#include "db/Database.h"
#include "db/PostgresConnection.h"

namespace plw::db {

// A statement prepared on the server once and run with new parameter values.
class PostgresStatement final : public Statement {
public:
    PostgresStatement(std::shared_ptr<PostgresConnection> connection, const QString& sql,
                      QString jetSql);
    ~PostgresStatement() override;

    void bind(int index, const QVariant& value) override;
    void execute() override;

private:
    std::shared_ptr<PostgresConnection> mConnection;
    QString mName;
    QString mJetSql;
    PgParameters mValues;
};

} // namespace plw::db
