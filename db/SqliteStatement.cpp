#include "db/SqliteStatement.h"

#include <sqlite3.h>

namespace plw::db {

SqliteStatement::SqliteStatement(std::shared_ptr<const SqliteConnection> connection,
                                 StatementHandle statement, QString jetSql)
    : mConnection(std::move(connection)), mStatement(std::move(statement)),
      mJetSql(std::move(jetSql)) {}

void SqliteStatement::bind(int index, const QVariant& value) {
    if (index < 1 || index > sqlite3_bind_parameter_count(mStatement.get()))
        throw DatabaseError(SQLITE_RANGE,
                            QStringLiteral("%1 番目のパラメータがありません").arg(index), mJetSql);
    BindValue(*mConnection, mStatement.get(), index, value);
}

void SqliteStatement::execute() {
    while (mConnection->step(mStatement.get(), mJetSql)) {
    }
    sqlite3_reset(mStatement.get());
}

} // namespace plw::db
