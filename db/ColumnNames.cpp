#include "db/ColumnNames.h"

#include <cstring>

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

static bool sameText(QStringView a, QStringView b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), size_t(a.size()) * 2) == 0;
}

int ColumnNames::find(QStringView name) const {
    if (mSlots.empty())
        return -1;
    if (mKnown.empty())
        mKnown.resize(mSlots.size() * 4);
    const size_t mask = mKnown.size() - 1;
    const quint64 address = reinterpret_cast<quintptr>(name.data());
    size_t slot = size_t((address * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    for (; mKnown[slot].data; slot = (slot + 1) & mask) {
        if (mKnown[slot].data == name.data()) {
            const int index = mKnown[slot].index;
            if (sameText(mNames[index], name))
                return index;
            // The address now holds another name: look it up and remember that instead.
            const int other = lookup(name);
            if (other >= 0)
                mKnown[slot].index = other;
            return other;
        }
    }
    const int index = lookup(name);
    if (index < 0)
        return -1;
    if (size_t(mKnownCount + 1) * 2 > mKnown.size()) {
        std::fill(mKnown.begin(), mKnown.end(), Known());
        mKnownCount = 0;
        slot = size_t((address * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }
    mKnown[slot] = {name.data(), index};
    ++mKnownCount;
    return index;
}

int ColumnNames::lookup(QStringView name) const {
    const size_t mask = mSlots.size() - 1;
    for (size_t slot = foldedHash(name) & mask; mSlots[slot] != 0; slot = (slot + 1) & mask) {
        const int index = mSlots[slot] - 1;
        const QStringView candidate(mNames[index]);
        if (sameText(candidate, name) || candidate.compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

} // namespace plw::db
