#include "workbook/PartTree.h"

#include "workbook/EngineError.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/PartNames.h"
#include "workbook/XmlPart.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace plw::PartTree {

namespace {

// "xl/charts/chart3.xml" -> prefix "xl/charts/chart", number 3, suffix ".xml".
struct NumberedName {
    QString prefix;
    int number = 0;
    QString suffix;
};

NumberedName SplitNumberedName(const QString& partName) {
    static const QRegularExpression pattern(QStringLiteral("^(.*?)(\\d*)(\\.[^./]*)?$"));
    const QRegularExpressionMatch match = pattern.match(partName);
    return {match.captured(1), match.captured(2).toInt(), match.captured(3)};
}

// The target a relationship of the copied source gives the copy of its old target: the same
// text with the file name changed, since a copy stays in the folder of its original.
QString RetargetedName(const QString& target, const QString& newPartName) {
    const qsizetype slash = target.lastIndexOf(u'/');
    const QString fileName = newPartName.mid(newPartName.lastIndexOf(u'/') + 1);
    return slash < 0 ? fileName : target.left(slash + 1) + fileName;
}

bool CopyTree(OoxmlPackage& package, const QString& source, const QString& copy,
              const PartEdit& edit, QHash<QString, QString>& copied, QString* error) {
    copied.insert(source, copy);
    QByteArray bytes = package.part(source);
    if (edit)
        edit(source, &bytes);
    package.setPart(copy, bytes);
    const QString type = package.contentType(source);
    if (!type.isEmpty() && type != package.contentType(copy) &&
        !package.setContentTypeOverride(copy, type, error))
        return false;

    const QString relsName = PartNames::RelationshipsPartName(source);
    if (!package.hasPart(relsName))
        return true;
    pugi::xml_document rels;
    if (!XmlPart::Parse(package.part(relsName), relsName, rels, error))
        return false;
    for (pugi::xml_node node : rels.document_element().children()) {
        if (!XmlPart::HasLocalName(node, "Relationship") ||
            XmlPart::Attribute(node, "TargetMode") == u"External")
            continue;
        const QString target = XmlPart::Attribute(node, "Target");
        const QString targetPart = PartNames::ResolveTarget(source, target);
        if (targetPart.isEmpty() || !package.hasPart(targetPart))
            continue; // a dangling target is copied as it is
        QString targetCopy = copied.value(targetPart);
        if (targetCopy.isEmpty()) {
            targetCopy = FreshPartName(package, targetPart);
            if (!CopyTree(package, targetPart, targetCopy, edit, copied, error))
                return false;
        }
        node.attribute("Target").set_value(RetargetedName(target, targetCopy).toUtf8().constData());
    }
    package.setPart(PartNames::RelationshipsPartName(copy), XmlPart::Serialize(rels));
    return true;
}

// Every internal relationship target of part.
QStringList Targets(const OoxmlPackage& package, const QString& part) {
    QList<Relationship> relationships;
    QStringList targets;
    if (!package.relationships(part, &relationships, nullptr))
        return targets;
    for (const Relationship& relationship : relationships) {
        const QString target = OoxmlPackage::targetPartName(part, relationship);
        if (!target.isEmpty() && package.hasPart(target))
            targets.append(target);
    }
    return targets;
}

} // namespace

QString FreshPartName(const OoxmlPackage& package, const QString& partName) {
    const NumberedName name = SplitNumberedName(PartNames::Normalize(partName));
    int highest = 0;
    for (const QString& existing : package.partNames()) {
        const NumberedName other = SplitNumberedName(existing);
        if (other.prefix == name.prefix && other.suffix == name.suffix)
            highest = std::max(highest, std::max(other.number, 1));
    }
    return name.prefix + QString::number(highest + 1) + name.suffix;
}

QString Copy(OoxmlPackage& package, const QString& source, const PartEdit& edit, QString* error) {
    const QString sourceName = PartNames::Normalize(source);
    if (!package.hasPart(sourceName)) {
        SetEngineError(error, EngineFault::PartMissing, {sourceName});
        return {};
    }
    const QString copy = FreshPartName(package, sourceName);
    QHash<QString, QString> copied;
    return CopyTree(package, sourceName, copy, edit, copied, error) ? copy : QString();
}

void Remove(OoxmlPackage& package, const QString& part) {
    // The parts reachable from part...
    QSet<QString> doomed;
    QStringList pending{PartNames::Normalize(part)};
    while (!pending.isEmpty()) {
        const QString next = pending.takeLast();
        if (!doomed.contains(next)) {
            doomed.insert(next);
            pending += Targets(package, next);
        }
    }
    // ...less those that a part which stays still reaches.
    pending.clear();
    for (const QString& other : package.partNames())
        if (!doomed.contains(other))
            pending += Targets(package, other);
    pending.removeAll(PartNames::Normalize(part));
    while (!pending.isEmpty()) {
        const QString next = pending.takeLast();
        if (doomed.remove(next))
            pending += Targets(package, next);
    }
    for (const QString& name : doomed)
        package.removePart(name);
}

} // namespace plw::PartTree
