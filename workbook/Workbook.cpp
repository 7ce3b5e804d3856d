#include "workbook/Workbook.h"

#include "workbook/ChartXml.h"
#include "workbook/EngineError.h"
#include "workbook/PartNames.h"
#include "workbook/PartTree.h"
#include "workbook/SheetReference.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"
#include "workbook/XmlPart.h"

#include <algorithm>

namespace plw {

namespace {

const QString kRelationshipBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const char* const kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QString kSharedStringsType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");

// A relationship type by its last segment; documents of the strict form use another base, so
// only the segment is compared.
bool IsType(const Relationship& relationship, const char* segment) {
    return relationship.type.endsWith(u'/' + QString::fromLatin1(segment));
}

// The prefix the workbook part binds to the relationships namespace ("r" as usually written).
QByteArray RelationshipPrefix(pugi::xml_node root) {
    for (pugi::xml_attribute attribute : root.attributes()) {
        const QByteArray name = attribute.name();
        if (name.startsWith("xmlns:") && qstrcmp(attribute.value(), kRelationshipsNamespace) == 0)
            return name.mid(6);
    }
    root.append_attribute("xmlns:r") = kRelationshipsNamespace;
    return "r";
}

// Adds child before the first existing child whose local name is one of followers (schema order).
pugi::xml_node InsertInOrder(pugi::xml_node parent, const char* name,
                             std::initializer_list<const char*> followers) {
    for (pugi::xml_node child : parent.children()) {
        for (const char* follower : followers)
            if (XmlPart::HasLocalName(child, follower))
                return parent.insert_child_before(name, child);
    }
    return parent.append_child(name);
}

} // namespace

struct Workbook::Sheet {
    QString name;
    QString part;
    QString relationId;
    int sheetId = 0;
    bool original = false;
    QString state; // "hidden", "veryHidden" or ""
    std::unique_ptr<Worksheet> worksheet;
};

struct Workbook::DefinedName {
    QList<std::pair<QByteArray, QByteArray>> attributes; // all but localSheetId
    Sheet* local = nullptr;
    QString text;
};

Workbook::Workbook() = default;
Workbook::~Workbook() = default;

bool Workbook::open(const QString& path, QString* error) {
    return load(path, false, error);
}

bool Workbook::openTemplate(const QString& path, QString* error) {
    return load(path, true, error);
}

bool Workbook::load(const QString& path, bool asTemplate, QString* error) {
    mSheets.clear();
    mNames.clear();
    mStyles = std::make_unique<Styles>();
    if (!mPackage.open(path, error))
        return false;
    QList<Relationship> packageRelationships;
    if (!mPackage.relationships(QString(), &packageRelationships, error))
        return false;
    for (const Relationship& relationship : packageRelationships)
        if (IsType(relationship, "officeDocument"))
            mWorkbookPart = OoxmlPackage::targetPartName(QString(), relationship);
    if (mWorkbookPart.isEmpty() || !mPackage.hasPart(mWorkbookPart)) {
        SetEngineError(error, EngineFault::NoWorkbook, {path});
        return false;
    }

    QList<Relationship> relationships;
    if (!mPackage.relationships(mWorkbookPart, &relationships, error))
        return false;
    QHash<QString, QString> targets;
    for (const Relationship& relationship : relationships) {
        const QString target = OoxmlPackage::targetPartName(mWorkbookPart, relationship);
        targets.insert(relationship.id, target);
        if (IsType(relationship, "sharedStrings") && !mStrings.load(mPackage.part(target), error))
            return false;
        if (IsType(relationship, "styles"))
            mStylesPart = target;
    }
    if (mStylesPart.isEmpty()) {
        mStylesPart = QStringLiteral("xl/styles.xml");
        mPackage.setPart(mStylesPart, Styles::MinimalXml());
        if (!mPackage.setContentTypeOverride(
                mStylesPart,
                QStringLiteral(
                    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"),
                error) ||
            mPackage
                .addRelationship(mWorkbookPart, kRelationshipBase + QStringLiteral("styles"),
                                 QStringLiteral("styles.xml"), error)
                .isEmpty())
            return false;
    }
    if (!mStyles->load(mPackage.part(mStylesPart), error))
        return false;

    mWorkbookXml = mPackage.part(mWorkbookPart);
    pugi::xml_document document;
    if (!XmlPart::Parse(mWorkbookXml, mWorkbookPart, document, error))
        return false;
    const pugi::xml_node root = document.document_element();
    for (pugi::xml_node node : XmlPart::Child(root, "sheets").children()) {
        if (!XmlPart::HasLocalName(node, "sheet"))
            continue;
        auto sheet = std::make_unique<Sheet>();
        sheet->name = XmlPart::Attribute(node, "name");
        sheet->sheetId = node.attribute("sheetId").as_int();
        sheet->state = XmlPart::Attribute(node, "state");
        for (pugi::xml_attribute attribute : node.attributes())
            if (QByteArray(attribute.name()).endsWith(":id"))
                sheet->relationId = QString::fromUtf8(attribute.value());
        sheet->part = targets.value(sheet->relationId);
        sheet->original = asTemplate;
        if (sheet->part.isEmpty() || !mPackage.hasPart(sheet->part)) {
            SetEngineError(error, EngineFault::SheetWithoutPart, {sheet->name});
            return false;
        }
        mSheets.push_back(std::move(sheet));
    }
    for (pugi::xml_node node : XmlPart::Child(root, "definedNames").children()) {
        if (!XmlPart::HasLocalName(node, "definedName"))
            continue;
        DefinedName name;
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (qstrcmp(attribute.name(), "localSheetId") == 0) {
                const size_t index = attribute.as_uint();
                name.local = index < mSheets.size() ? mSheets[index].get() : nullptr;
            } else {
                name.attributes.append(
                    std::make_pair(QByteArray(attribute.name()), QByteArray(attribute.value())));
            }
        }
        name.text = QString::fromUtf8(node.text().get());
        mNames.push_back(std::move(name));
    }
    const pugi::xml_node view = XmlPart::Child(XmlPart::Child(root, "bookViews"), "workbookView");
    mActive = view.attribute("activeTab").as_int();
    return true;
}

QStringList Workbook::sheetNames() const {
    QStringList names;
    for (const auto& sheet : mSheets)
        if (!sheet->original)
            names.append(sheet->name);
    return names;
}

QStringList Workbook::templateSheetNames() const {
    QStringList names;
    for (const auto& sheet : mSheets)
        if (sheet->original)
            names.append(sheet->name);
    return names;
}

Workbook::Sheet* Workbook::find(const QString& name, bool original) {
    for (const auto& sheet : mSheets)
        if (sheet->original == original && sheet->name.compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    return nullptr;
}

int Workbook::outputIndex(const Sheet* sheet) const {
    int index = 0;
    for (const auto& other : mSheets) {
        if (other.get() == sheet)
            return index;
        if (!other->original)
            ++index;
    }
    return -1;
}

Worksheet* Workbook::sheet(const QString& name, QString* error) {
    Sheet* sheet = find(name, false);
    if (!sheet) {
        SetEngineError(error, EngineFault::SheetMissing, {name});
        return nullptr;
    }
    if (!sheet->worksheet) {
        std::unique_ptr<Worksheet> worksheet(new Worksheet(*this, sheet->name, sheet->part));
        if (!worksheet->load(error))
            return nullptr;
        sheet->worksheet = std::move(worksheet);
    }
    return sheet->worksheet.get();
}

QString Workbook::definedName(const QString& name, const QString& sheet) const {
    for (const DefinedName& definedName : mNames) {
        const bool named = std::any_of(
            definedName.attributes.begin(), definedName.attributes.end(), [&](const auto& a) {
                return a.first == "name" &&
                       QString::fromUtf8(a.second).compare(name, Qt::CaseInsensitive) == 0;
            });
        const bool scoped =
            sheet.isEmpty() ? !definedName.local
                            : definedName.local && !definedName.local->original &&
                                  definedName.local->name.compare(sheet, Qt::CaseInsensitive) == 0;
        if (named && scoped)
            return definedName.text;
    }
    return {};
}

Styles& Workbook::styles() {
    return *mStyles;
}

QString Workbook::SheetNameProblem(const QString& name) {
    if (name.isEmpty())
        return EngineErrorText(EngineFault::SheetNameEmpty);
    if (name.size() > 31)
        return EngineErrorText(EngineFault::SheetNameTooLong, {name});
    for (QChar c : name)
        if (QStringLiteral("[]:*?/\\").contains(c))
            return EngineErrorText(EngineFault::SheetNameCharacter, {name, c});
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return EngineErrorText(EngineFault::SheetNameApostrophe, {name});
    if (name.compare(QStringLiteral("History"), Qt::CaseInsensitive) == 0)
        return EngineErrorText(EngineFault::SheetNameReserved);
    return {};
}

bool Workbook::checkNewName(const QString& name, const Sheet* except, QString* error) const {
    QString problem = SheetNameProblem(name);
    if (problem.isEmpty()) {
        for (const auto& sheet : mSheets)
            if (!sheet->original && sheet.get() != except &&
                sheet->name.compare(name, Qt::CaseInsensitive) == 0)
                problem = EngineErrorText(EngineFault::SheetNameTaken, {name});
    }
    if (error)
        *error = problem;
    return problem.isEmpty();
}

Worksheet* Workbook::copySheet(const QString& source, const QString& newName, QString* error) {
    Sheet* from = find(source, true);
    if (!from)
        from = find(source, false);
    if (!from) {
        SetEngineError(error, EngineFault::CopySourceMissing, {source});
        return nullptr;
    }
    if (!checkNewName(newName, nullptr, error))
        return nullptr;
    if (from->worksheet) { // an edited output sheet is copied as it stands
        QByteArray bytes;
        if (!from->worksheet->write(&bytes, &mStrings, error))
            return nullptr;
        mPackage.setPart(from->part, bytes);
    }

    const QString oldName = from->name;
    QString editError;
    const QString part = PartTree::Copy(
        mPackage, from->part,
        [&](const QString& sourcePart, QByteArray* bytes) {
            if (oldName == newName || !mPackage.contentType(sourcePart).endsWith(u"chart+xml"))
                return;
            ChartXml chart;
            if (!chart.load(*bytes, &editError))
                return;
            chart.renameSheet(oldName, newName);
            *bytes = chart.toXml();
        },
        error);
    if (part.isEmpty())
        return nullptr;
    if (!editError.isEmpty()) {
        if (error)
            *error = editError;
        return nullptr;
    }
    const QString workbookFolder = mWorkbookPart.left(mWorkbookPart.lastIndexOf(u'/') + 1);
    const QString target = part.startsWith(workbookFolder) ? part.mid(workbookFolder.size())
                                                           : PartNames::Absolute(part);
    auto sheet = std::make_unique<Sheet>();
    sheet->relationId = mPackage.addRelationship(
        mWorkbookPart, kRelationshipBase + QStringLiteral("worksheet"), target, error);
    if (sheet->relationId.isEmpty())
        return nullptr;
    sheet->name = newName;
    sheet->part = part;
    for (const auto& other : mSheets)
        sheet->sheetId = std::max(sheet->sheetId, other->sheetId);
    ++sheet->sheetId;
    Sheet* created = sheet.get();
    mSheets.push_back(std::move(sheet));

    // Names local to the source (print area, print titles) follow the copy.
    const size_t count = mNames.size();
    for (size_t i = 0; i < count; ++i) {
        if (mNames[i].local != from)
            continue;
        DefinedName name = mNames[i];
        name.local = created;
        name.text = SheetReference::Rename(name.text, oldName, newName);
        mNames.push_back(std::move(name));
    }
    return this->sheet(newName, error);
}

bool Workbook::forEachChart(const std::function<void(ChartXml&)>& edit, QString* error) {
    for (const auto& entry : mSheets) {
        if (entry->original)
            continue;
        Worksheet* worksheet = sheet(entry->name, error);
        if (!worksheet)
            return false;
        for (const QString& chartName : worksheet->chartNames()) {
            ChartXml* chart = worksheet->chart(chartName, error);
            if (!chart)
                return false;
            edit(*chart);
        }
    }
    return true;
}

bool Workbook::renameSheet(const QString& name, const QString& newName, QString* error) {
    Sheet* sheet = find(name, false);
    if (!sheet) {
        SetEngineError(error, EngineFault::SheetMissing, {name});
        return false;
    }
    if (!checkNewName(newName, sheet, error))
        return false;
    const QString oldName = sheet->name;
    if (!forEachChart([&](ChartXml& chart) { chart.renameSheet(oldName, newName); }, error))
        return false;
    for (DefinedName& definedName : mNames)
        if (!definedName.local || !definedName.local->original)
            definedName.text = SheetReference::Rename(definedName.text, oldName, newName);
    sheet->name = newName;
    if (sheet->worksheet)
        sheet->worksheet->mName = newName;
    return true;
}

void Workbook::deleteColumnsInNames(const QString& sheet, const QList<int>& columns) {
    for (DefinedName& definedName : mNames)
        if (!definedName.local || !definedName.local->original)
            definedName.text = SheetReference::DeleteColumns(definedName.text, sheet, columns);
}

bool Workbook::deleteSheet(const QString& name, QString* error) {
    Sheet* sheet = find(name, false);
    if (!sheet) {
        SetEngineError(error, EngineFault::SheetMissing, {name});
        return false;
    }
    if (!mPackage.removeRelationship(mWorkbookPart, sheet->relationId, error))
        return false;
    PartTree::Remove(mPackage, sheet->part);
    std::erase_if(mNames, [&](const DefinedName& definedName) {
        return definedName.local == sheet ||
               (!definedName.local && SheetReference::RefersTo(definedName.text, sheet->name));
    });
    const int index = outputIndex(sheet);
    if (index < mActive)
        --mActive;
    std::erase_if(mSheets, [&](const auto& entry) { return entry.get() == sheet; });
    return true;
}

bool Workbook::moveSheet(const QString& name, int position, QString* error) {
    Sheet* sheet = find(name, false);
    const int outputs = int(sheetNames().size());
    if (!sheet || position < 0 || position >= outputs) {
        SetEngineError(error, EngineFault::SheetNotMovable, {name, QString::number(position + 1)});
        return false;
    }
    auto at = std::find_if(mSheets.begin(), mSheets.end(),
                           [&](const auto& entry) { return entry.get() == sheet; });
    std::unique_ptr<Sheet> moving = std::move(*at);
    mSheets.erase(at);
    int index = 0;
    auto place = mSheets.begin();
    for (; place != mSheets.end(); ++place) {
        if ((*place)->original)
            continue;
        if (index++ == position)
            break;
    }
    mSheets.insert(place, std::move(moving));
    return true;
}

void Workbook::activateFirstSheet() {
    mActive = 0;
    for (const auto& sheet : mSheets) {
        if (sheet->original)
            continue;
        if (Worksheet* worksheet = this->sheet(sheet->name))
            worksheet->selectCell(QStringLiteral("A1"));
        break;
    }
}

bool Workbook::refreshChartCaches(QString* error) {
    const ChartXml::CellLookup lookup = [this](const QString& name, int row,
                                               int column) -> std::optional<CellValue> {
        Worksheet* worksheet = find(name, false) ? sheet(name) : nullptr;
        if (!worksheet)
            return std::nullopt;
        return worksheet->cells().cell(row, column);
    };
    return forEachChart([&](ChartXml& chart) { chart.refreshCaches(lookup); }, error);
}

bool Workbook::writeSheetsAndStrings(bool withCells, QString* error) {
    // A reader that does not recalculate shows the values cached in the charts.
    if (!refreshChartCaches(error))
        return false;
    SharedStrings strings;
    int index = 0;
    for (const auto& sheet : mSheets) {
        Worksheet* worksheet = this->sheet(sheet->name, error);
        if (!worksheet)
            return false;
        worksheet->setTabSelected(index++ == mActive);
        QByteArray bytes;
        if (!worksheet->write(&bytes, withCells ? &strings : nullptr, error))
            return false;
        mPackage.setPart(sheet->part, bytes);
    }
    mPackage.setPart(mStylesPart, mStyles->toXml());
    if (!withCells)
        return true;

    QList<Relationship> relationships;
    if (!mPackage.relationships(mWorkbookPart, &relationships, error))
        return false;
    QString stringsPart;
    for (const Relationship& relationship : relationships)
        if (IsType(relationship, "sharedStrings"))
            stringsPart = OoxmlPackage::targetPartName(mWorkbookPart, relationship);
    if (stringsPart.isEmpty()) {
        stringsPart = PartNames::ResolveTarget(mWorkbookPart, QStringLiteral("sharedStrings.xml"));
        if (!mPackage.setContentTypeOverride(stringsPart, kSharedStringsType, error) ||
            mPackage
                .addRelationship(mWorkbookPart, kRelationshipBase + QStringLiteral("sharedStrings"),
                                 QStringLiteral("sharedStrings.xml"), error)
                .isEmpty())
            return false;
    }
    mPackage.setPart(stringsPart, strings.toXml());
    mStrings = std::move(strings);
    return true;
}

bool Workbook::writeWorkbookPart(QString* error) {
    pugi::xml_document document;
    if (!XmlPart::Parse(mWorkbookXml, mWorkbookPart, document, error))
        return false;
    pugi::xml_node root = document.document_element();
    const QByteArray idAttribute = RelationshipPrefix(root) + ":id";

    pugi::xml_node sheets = XmlPart::Child(root, "sheets");
    const QByteArray sheetElement =
        sheets.first_child() ? QByteArray(sheets.first_child().name()) : QByteArray("sheet");
    while (sheets.first_child())
        sheets.remove_child(sheets.first_child());
    for (const auto& sheet : mSheets) {
        pugi::xml_node node = sheets.append_child(sheetElement.constData());
        node.append_attribute("name") = sheet->name.toUtf8().constData();
        node.append_attribute("sheetId") = sheet->sheetId;
        if (!sheet->state.isEmpty())
            node.append_attribute("state") = sheet->state.toUtf8().constData();
        node.append_attribute(idAttribute.constData()) = sheet->relationId.toUtf8().constData();
    }

    pugi::xml_node names = XmlPart::Child(root, "definedNames");
    if (names)
        root.remove_child(names);
    if (!mNames.empty()) {
        names = InsertInOrder(root, "definedNames",
                              {"calcPr", "oleSize", "customWorkbookViews", "pivotCaches",
                               "smartTagPr", "smartTagTypes", "webPublishing", "fileRecoveryPr",
                               "webPublishObjects", "extLst"});
        for (const DefinedName& name : mNames) {
            pugi::xml_node node = names.append_child("definedName");
            for (const auto& [key, value] : name.attributes)
                node.append_attribute(key.constData()) = value.constData();
            if (name.local) {
                const int index = outputIndex(name.local);
                node.append_attribute("localSheetId") = index;
            }
            node.text().set(name.text.toUtf8().constData());
        }
    }

    pugi::xml_node view = XmlPart::Child(XmlPart::Child(root, "bookViews"), "workbookView");
    if (view) {
        for (const char* attribute : {"activeTab", "firstSheet"})
            if (!view.attribute(attribute))
                view.append_attribute(attribute);
        view.attribute("activeTab") = mActive;
        view.attribute("firstSheet") = 0;
    }
    mPackage.setPart(mWorkbookPart, XmlPart::Serialize(document));
    return true;
}

void Workbook::writeDocumentProperties() {
    QList<Relationship> relationships;
    if (!mPackage.relationships(QString(), &relationships, nullptr))
        return;
    QString appPart;
    for (const Relationship& relationship : relationships)
        if (IsType(relationship, "extended-properties"))
            appPart = OoxmlPackage::targetPartName(QString(), relationship);
    pugi::xml_document document;
    if (appPart.isEmpty() || !XmlPart::Parse(mPackage.part(appPart), appPart, document, nullptr))
        return;
    // The sheet titles and their count, where the properties list them.
    const QStringList names = sheetNames();
    pugi::xml_node titles = XmlPart::Child(document.document_element(), "TitlesOfParts");
    pugi::xml_node pairs = XmlPart::Child(document.document_element(), "HeadingPairs");
    pugi::xml_node titleVector = XmlPart::Child(titles, "vector");
    pugi::xml_node pairVector = XmlPart::Child(pairs, "vector");
    if (!titleVector || !pairVector)
        return;
    const QByteArray prefix = QByteArray(titleVector.name()).chopped(int(qstrlen("vector")));
    while (titleVector.first_child())
        titleVector.remove_child(titleVector.first_child());
    for (const QString& name : names)
        titleVector.append_child((prefix + "lpstr").constData())
            .text()
            .set(name.toUtf8().constData());
    titleVector.attribute("size") = int(names.size());
    while (pairVector.first_child())
        pairVector.remove_child(pairVector.first_child());
    pairVector.attribute("size") = 2;
    pairVector.append_child((prefix + "variant").constData())
        .append_child((prefix + "lpstr").constData())
        .text()
        .set("Worksheets");
    pairVector.append_child((prefix + "variant").constData())
        .append_child((prefix + "i4").constData())
        .text()
        .set(int(names.size()));
    mPackage.setPart(appPart, XmlPart::Serialize(document));
}

bool Workbook::save(const QString& path, QString* error) {
    return finishOutput(true, error) && mPackage.save(path, error);
}

bool Workbook::prepareOutput(QString* error) {
    return finishOutput(false, error);
}

bool Workbook::finishOutput(bool withCells, QString* error) {
    // The template originals go first, so that what they leave behind is not written.
    for (const auto& sheet : mSheets) {
        if (!sheet->original)
            continue;
        if (!mPackage.removeRelationship(mWorkbookPart, sheet->relationId, error))
            return false;
        PartTree::Remove(mPackage, sheet->part);
    }
    // Names of the originals go with them, and so do workbook names that point into an original
    // no output sheet has taken the name of.
    std::erase_if(mNames, [this](const DefinedName& name) {
        if (name.local)
            return name.local->original;
        for (const auto& sheet : mSheets)
            if (sheet->original && !find(sheet->name, false) &&
                SheetReference::RefersTo(name.text, sheet->name))
                return true;
        return false;
    });
    std::erase_if(mSheets, [](const auto& sheet) { return sheet->original; });
    if (mSheets.empty()) {
        SetEngineError(error, EngineFault::NoSheetLeft);
        return false;
    }
    mActive = std::clamp(mActive, 0, int(mSheets.size()) - 1);

    // Cell values are stored, not formulas: a calculation chain would name cells that no longer
    // hold formulas.
    QList<Relationship> relationships;
    if (!mPackage.relationships(mWorkbookPart, &relationships, error))
        return false;
    for (const Relationship& relationship : relationships) {
        if (IsType(relationship, "calcChain")) {
            mPackage.removePart(OoxmlPackage::targetPartName(mWorkbookPart, relationship));
            if (!mPackage.removeRelationship(mWorkbookPart, relationship.id, error))
                return false;
        }
    }
    if (!writeSheetsAndStrings(withCells, error) || !writeWorkbookPart(error))
        return false;
    writeDocumentProperties();
    return true;
}

} // namespace plw
