#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace plw {

// One relationship of a part, as its "_rels/*.rels" part lists it.
struct Relationship {
    QString id;
    QString type;
    QString target;
    bool external = false; // TargetMode="External": the target is a URL, not a part
};

// An OOXML package (a zip of XML parts) held in memory: parts listed, read, replaced, added and
// removed by name; the content types of [Content_Types].xml; the relationships of each part.
//
// Part names are zip entry names ("xl/workbook.xml"); a leading "/" is accepted and ignored.
// The package itself is the source "" of the relationships in "_rels/.rels".
// Failures answer false (or an empty result) with a reason in *error; nothing is thrown.
class OoxmlPackage {
public:
    // Reads every part of the package at path. A file that is not a zip, or a zip without
    // [Content_Types].xml, is refused with a reason; the package is then left empty.
    bool open(const QString& path, QString* error);

    // Writes the package to path atomically: a temporary file beside it is renamed over it, so a
    // failed save leaves any earlier file untouched. [Content_Types].xml is written first.
    bool save(const QString& path, QString* error) const;

    // Part names in package order (the order read, then the order added).
    QStringList partNames() const { return mOrder; }
    bool hasPart(const QString& partName) const;
    // The bytes of a part; empty when there is no such part.
    QByteArray part(const QString& partName) const;
    // Replaces a part's bytes, or adds the part at the end when it is new.
    void setPart(const QString& partName, const QByteArray& bytes);
    // Removes a part with its relationships part and its content-type override. False when there
    // was no such part.
    bool removePart(const QString& partName);

    // The content type of a part: its override, else the default for its extension, else "".
    QString contentType(const QString& partName) const;
    bool setContentTypeOverride(const QString& partName, const QString& contentType,
                                QString* error);
    bool removeContentTypeOverride(const QString& partName, QString* error);
    bool setDefaultContentType(const QString& extension, const QString& contentType,
                               QString* error);

    // The relationships whose source is partName; a part without a relationships part has none.
    bool relationships(const QString& sourcePartName, QList<Relationship>* out,
                       QString* error) const;
    // Adds a relationship under a fresh id ("rId" + one more than the highest number in use) and
    // answers that id; "" with a reason when the relationships part cannot be read.
    QString addRelationship(const QString& sourcePartName, const QString& type,
                            const QString& target, QString* error, bool external = false);
    bool removeRelationship(const QString& sourcePartName, const QString& id, QString* error);
    // The part a relationship of sourcePartName points at; "" for an external target or one that
    // leaves the package.
    static QString targetPartName(const QString& sourcePartName, const Relationship& relationship);

private:
    void clear();

    QStringList mOrder;
    QHash<QString, QByteArray> mParts;
};

} // namespace plw
