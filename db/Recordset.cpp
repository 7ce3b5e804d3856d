#include "db/Database.h"

namespace plw::db {

QVariant Recordset::value(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DatabaseError(0, QStringLiteral("no column named \"%1\"").arg(name.toString()));
    return value(index);
}

QString Recordset::text(QStringView name) const {
    const QVariant field = value(name);
    return field.isValid() ? field.toString() : QString();
}

qint64 Recordset::integer(QStringView name) const {
    const QVariant field = value(name);
    return field.isValid() ? field.toLongLong() : 0;
}

} // namespace plw::db
