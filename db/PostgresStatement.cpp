#include "db/PostgresStatement.h"

namespace plw::db {

PostgresStatement::PostgresStatement(std::shared_ptr<PostgresConnection> connection,
                                     const QString& sql, QString jetSql)
    : mConnection(std::move(connection)), mJetSql(std::move(jetSql)) {
    int parameters = 0;
    mName = mConnection->prepare(sql, mJetSql, &parameters);
    mValues.resize(size_t(parameters));
}

PostgresStatement::~PostgresStatement() {
    mConnection->deallocate(mName);
}

void PostgresStatement::bind(int index, const QVariant& value) {
    if (index < 1 || index > int(mValues.size()))
        throw DatabaseError(PostgresErrorCode("42P02"),
                            QStringLiteral("%1 番目のパラメータがありません").arg(index), mJetSql);
    mValues[size_t(index - 1)] = PgParameter(value);
}

void PostgresStatement::execute() {
    mConnection->runPrepared(mName, mValues, mJetSql);
}

} // namespace plw::db
