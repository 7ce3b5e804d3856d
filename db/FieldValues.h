#pragma once

#include <QString>
#include <QVariant>

namespace plw::db {

// Conversions of a column value (never Null here) to a record field's holding type. A number
// stored as text, with or without blank padding, is read as that number; a value that does not
// fit the holding type, or is not a number, reads as 0, as the suite's number conversions do.
QString FieldText(const QVariant& value);
qint16 FieldShort(const QVariant& value);
qint32 FieldLong(const QVariant& value);

} // namespace plw::db
