#include "workbook/PartNames.h"

#include <QStringList>

namespace plw::PartNames {

QString Normalize(const QString& partName) {
    QString name = partName;
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    return name;
}

QString Absolute(const QString& partName) {
    return u'/' + Normalize(partName);
}

QString RelationshipsPartName(const QString& sourcePartName) {
    const QString name = Normalize(sourcePartName);
    if (name.isEmpty())
        return QStringLiteral("_rels/.rels");
    const qsizetype slash = name.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : name.left(slash + 1);
    return folder + QStringLiteral("_rels/") + name.mid(slash + 1) + QStringLiteral(".rels");
}

QString ResolveTarget(const QString& sourcePartName, const QString& target) {
    QStringList segments;
    if (!target.startsWith(u'/')) {
        const QString source = Normalize(sourcePartName);
        segments = source.split(u'/', Qt::SkipEmptyParts);
        if (!segments.isEmpty())
            segments.removeLast(); // the source's own file name; targets are relative to its folder
    }
    for (const QString& segment : target.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".")
            continue;
        if (segment == u"..") {
            if (segments.isEmpty())
                return {};
            segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments.join(u'/');
}

QString Extension(const QString& partName) {
    const QString name = Normalize(partName);
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= slash)
        return {};
    return name.mid(dot + 1).toLower();
}

} // namespace plw::PartNames
