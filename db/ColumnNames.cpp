#include "db/ColumnNames.h"

namespace plw::db {
namespace {

size_t foldedHash(QStringView name) {
    size_t hash = 1469598103934665603ull;
    for (QChar c : name) {
        hash ^= c.toCaseFolded().unicode();
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

ColumnNames::ColumnNames(QStringList names) : mNames(std::move(names)) {
    size_t capacity = 8;
    while (capacity < size_t(mNames.size()) * 2)
        capacity *= 2;
    mSlots.assign(capacity, 0);
    for (int i = 0; i < mNames.size(); ++i) {
        if (find(mNames[i]) >= 0)
            continue;
        size_t slot = foldedHash(mNames[i]) & (capacity - 1);
        while (mSlots[slot] != 0)
            slot = (slot + 1) & (capacity - 1);
        mSlots[slot] = i + 1;
    }
}

int ColumnNames::find(QStringView name) const {
    if (mSlots.empty())
        return -1;
    const size_t mask = mSlots.size() - 1;
    for (size_t slot = foldedHash(name) & mask; mSlots[slot] != 0; slot = (slot + 1) & mask) {
        const int index = mSlots[slot] - 1;
        if (QStringView(mNames[index]).compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

} // namespace plw::db
