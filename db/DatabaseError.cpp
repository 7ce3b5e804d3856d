#include "db/Database.h"

namespace plw::db {

DatabaseError::DatabaseError(int code, const QString& message, const QString& statement)
    : std::runtime_error(message.toStdString()), mCode(code), mMessage(message),
      mStatement(statement) {}

} // namespace plw::db
