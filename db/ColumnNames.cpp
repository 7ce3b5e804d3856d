#include "db/ColumnNames.h"

namespace plw::db {
namespace {

// FNV-1a over the case-folded characters; ASCII folds inline, as nearly every name is ASCII.
size_t foldedHash(QStringView name) {
    size_t hash = 1469598103934665603ull;
    for (QChar c : name) {
        char16_t unit = c.unicode();
        if (unit < 0x80)
            unit = (unit >= u'A' && unit <= u'Z') ? char16_t(unit + 32) : unit;
        else
            unit = c.toCaseFolded().unicode();
        hash ^= unit;
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
    Recent& recent = mRecent[(reinterpret_cast<quintptr>(name.data()) >> 3) & 63];
    if (recent.data == name.data() && recent.index >= 0 &&
        QStringView(mNames[recent.index]) == name)
        return recent.index;
    const int index = lookup(name);
    if (index >= 0)
        recent = {name.data(), index};
    return index;
}

int ColumnNames::lookup(QStringView name) const {
    const size_t mask = mSlots.size() - 1;
    for (size_t slot = foldedHash(name) & mask; mSlots[slot] != 0; slot = (slot + 1) & mask) {
        const int index = mSlots[slot] - 1;
        const QStringView candidate(mNames[index]);
        if (candidate == name || candidate.compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

} // namespace plw::db
