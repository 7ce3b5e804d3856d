#include "db/Database.h"
#include "db/WholeNumber.h"

namespace plw::db {

int Recordset::requireField(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DatabaseError(0, QStringLiteral("列「%1」がありません").arg(name.toString()));
    return index;
}

QVariant Recordset::value(QStringView name) const {
    return value(requireField(name));
}

const std::vector<int>& Recordset::fieldIndexes(const void* key,
                                                std::span<const QStringView> names) const {
    if (mLayoutKey != key || mLayout.size() != names.size()) {
        std::vector<int> layout;
        layout.reserve(names.size());
        for (QStringView name : names)
            layout.push_back(requireField(name));
        mLayout = std::move(layout);
        mLayoutKey = key;
    }
    return mLayout;
}

bool Recordset::readText(int index, QString& out) const {
    const QVariant field = value(index);
    if (!field.isValid())
        return false;
    out = field.toString();
    return true;
}

QString Recordset::text(QStringView name) const {
    const QVariant field = value(name);
    return field.isValid() ? field.toString() : QString();
}

qint64 Recordset::integer(QStringView name) const {
    return WholeNumber::require(value(name), name);
}

} // namespace plw::db
