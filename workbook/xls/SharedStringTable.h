#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace plw::xls {

class BiffStream;

// The workbook's shared strings (SST): each distinct text once, in the order first used, with
// the count of cells that refer to them.
class SharedStringTable {
public:
    // The index of text, added at the end when new.
    int add(const QString& text);
    int size() const { return int(mStrings.size()); }
    // Room for count strings, so that adding them never rehashes.
    void reserve(qsizetype count) {
        mStrings.reserve(count);
        mIndex.reserve(count);
    }
    // The number of cells referring to the strings, which SST records.
    void setReferences(qint64 count) { mReferences = count; }
    qint64 references() const { return mReferences; }

    // Appends SST with its CONTINUE records and EXTSST. A string starts in the record that has
    // room for its header and first character; the rest goes on in the next CONTINUE record
    // behind a fresh option byte. EXTSST points at every dsst-th string.
    void write(BiffStream& stream) const;

private:
    QStringList mStrings;
    QHash<QString, int> mIndex;
    qint64 mReferences = 0;
};

} // namespace plw::xls
