#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace plw::db {

// The column names of a result with a lookup that ignores letter case and allocates nothing, as
// it runs for every field of every row. A duplicated name finds its first column.
class ColumnNames {
public:
    ColumnNames() = default;
    explicit ColumnNames(QStringList names);

    int size() const { return int(mNames.size()); }
    const QString& name(int index) const { return mNames[index]; }
    // The column's index, or -1.
    int find(QStringView name) const;

private:
    int lookup(QStringView name) const;

    QStringList mNames;
    std::vector<int> mSlots; // open addressing: column index + 1, 0 for an empty slot
    // Callers name columns with the same literals row after row: the answers by the address
    // of the name, confirmed by comparing the text, spare the hash. Cleared when full (callers
    // that build names each time bring new addresses).
    struct Known {
        const QChar* data = nullptr;
        int index = -1;
    };
    mutable std::vector<Known> mKnown;
    mutable int mKnownCount = 0;
};

} // namespace plw::db
