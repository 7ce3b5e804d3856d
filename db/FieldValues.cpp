#include "db/FieldValues.h"

#include "app/CommonRoutines.h"

#include <cmath>
#include <limits>

namespace plw::db {
namespace {

template <typename Int> Int fieldInteger(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short: {
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<Int>::min() || number > std::numeric_limits<Int>::max())
            return 0;
        return static_cast<Int>(number);
    }
    case QMetaType::Double: {
        // Whole numbers from a real value round half to even.
        const double number = std::nearbyint(value.toDouble());
        if (!(number >= std::numeric_limits<Int>::min() &&
              number <= std::numeric_limits<Int>::max()))
            return 0;
        return static_cast<Int>(number);
    }
    default:
        if constexpr (sizeof(Int) == 2)
            return ToInteger(value.toString().trimmed());
        else
            return ToLong(value.toString().trimmed());
    }
}

} // namespace

QString FieldText(const QVariant& value) {
    return value.toString();
}

qint16 FieldShort(const QVariant& value) {
    return fieldInteger<qint16>(value);
}

qint32 FieldLong(const QVariant& value) {
    return fieldInteger<qint32>(value);
}

} // namespace plw::db
