#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace plw {

// The shared-string table of a workbook (xl/sharedStrings.xml): strings in index order, looked
// up by a hash so that adding a string already present answers its index.
class SharedStrings {
public:
    // Replaces the table with the strings of a sharedStrings part. Rich text keeps its characters
    // and loses its runs' formatting. False with a reason when the XML cannot be read.
    bool load(const QByteArray& xml, QString* error);

    // The index of text, added at the end when new.
    int add(const QString& text);
    // The string at index; "" when there is none.
    QString at(int index) const { return mStrings.value(index); }
    int size() const { return static_cast<int>(mStrings.size()); }

    // The whole part, control characters escaped as _xHHHH_.
    QByteArray toXml() const;

    // The escape a cell text needs inside XML: XML's own characters as entities, control
    // characters other than tab and LF as _xHHHH_ (CR too: XML readers drop it before LF) (and an
    // underscore that would read as such an escape as _x005F_). Unescape undoes the _xHHHH_ form.
    static void AppendEscaped(QByteArray* out, const QString& text);
    static QString Unescape(const QString& text);

private:
    QStringList mStrings;
    QHash<QString, int> mIndex;
};

} // namespace plw
