#include "workbook/OoxmlPackage.h"

#include "app/FileSystem.h"
#include "workbook/EngineError.h"
#include "workbook/PartNames.h"
#include "workbook/XmlPart.h"

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <cstring>

namespace plw {

namespace {

const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");
const char* const kContentTypesNamespace =
    "http://schemas.openxmlformats.org/package/2006/content-types";
const char* const kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// libzip's cause in Japanese, with the system's cause when libzip gives one.
QString ZipErrorText(zip_error_t* zipError) {
    const int system = zip_error_code_system(zipError);
    const QString because = zip_error_system_type(zipError) == ZIP_ET_SYS && system != 0
                                ? QStringLiteral(": ") + SystemErrorText(system)
                                : QString();
    switch (zip_error_code_zip(zipError)) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("zip 形式ではありません");
    case ZIP_ER_INCONS:
        return QStringLiteral("zip の構造に矛盾があります（ファイルが壊れています）");
    case ZIP_ER_EOF:
        return QStringLiteral("ファイルが途中で終わっています");
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return QStringLiteral("圧縮されたデータが壊れています");
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
        return QStringLiteral("対応していない圧縮方式か、暗号化されています");
    case ZIP_ER_MULTIDISK:
        return QStringLiteral("複数に分割された zip には対応していません");
    case ZIP_ER_MEMORY:
        return QStringLiteral("メモリが足りません");
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return QStringLiteral("読み込みでエラーが発生しました") + because;
    case ZIP_ER_WRITE:
        return QStringLiteral("書き込みでエラーが発生しました") + because;
    default: // rarer causes after a Japanese lead, in libzip's words
        return QStringLiteral("zip の処理でエラーが発生しました（libzip: %1）")
            .arg(QString::fromUtf8(zip_error_strerror(zipError)));
    }
}

using XmlPart::Attribute;
using XmlPart::HasLocalName;

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

// A new XML part with its declaration and an empty root in the given namespace.
pugi::xml_node NewRoot(pugi::xml_document& document, const char* name, const char* ns) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node root = document.append_child(name);
    root.append_attribute("xmlns") = ns;
    return root;
}

// The number of an id written "rId<n>"; 0 for any other id.
int RelationshipNumber(const QString& id) {
    if (!id.startsWith(u"rId"))
        return 0;
    bool ok = false;
    const int number = id.mid(3).toInt(&ok);
    return ok ? number : 0;
}

} // namespace

void OoxmlPackage::clear() {
    mOrder.clear();
    mParts.clear();
}

bool OoxmlPackage::open(const QString& path, QString* error) {
    clear();
    QByteArray bytes;
    QString readError;
    if (!ReadWholeFile(path, &bytes, &readError)) {
        SetEngineError(error, EngineFault::PackageUnreadable, {path, readError});
        return false;
    }

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zipError);
    zip_t* archive =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError) : nullptr;
    if (!archive) {
        SetEngineError(error, EngineFault::PackageNotZip, {path, ZipErrorText(&zipError)});
        if (source)
            zip_source_free(source);
        zip_error_fini(&zipError);
        return false;
    }
    zip_error_fini(&zipError);

    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; ok && index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0) {
            SetEngineError(error, EngineFault::PackageEntryUnreadable,
                           {path, ZipErrorText(zip_get_error(archive))});
            ok = false;
            break;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(u'/'))
            continue; // a folder entry, not a part
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(index), 0);
        const zip_int64_t read =
            file ? zip_fread(file, data.data(), zip_uint64_t(data.size())) : zip_int64_t(-1);
        if (read != zip_int64_t(stat.size)) {
            SetEngineError(
                error, EngineFault::PackagePartUnreadable,
                {name, path,
                 ZipErrorText(file ? zip_file_get_error(file) : zip_get_error(archive))});
            ok = false;
        }
        if (file)
            zip_fclose(file);
        if (ok)
            setPart(name, data);
    }
    zip_discard(archive); // also frees the source

    if (ok && !hasPart(kContentTypesPart)) {
        SetEngineError(error, EngineFault::PackageWithoutContentTypes, {path, kContentTypesPart});
        ok = false;
    }
    if (!ok)
        clear();
    return ok;
}

bool OoxmlPackage::save(const QString& path, QString* error) const {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = nullptr;
    if (buffer) {
        zip_source_keep(buffer); // the bytes are read back from it after the archive is closed
        archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
    }
    if (!archive) {
        SetEngineError(error, EngineFault::PackageNotBuilt, {path, ZipErrorText(&zipError)});
        if (buffer)
            zip_source_free(buffer);
        zip_error_fini(&zipError);
        return false;
    }
    zip_error_fini(&zipError);

    QStringList order = mOrder;
    if (order.removeOne(kContentTypesPart))
        order.prepend(kContentTypesPart);
    for (const QString& name : order) {
        const QByteArray& data = *mParts.find(name);
        zip_source_t* source =
            zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, Utf8(name).constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        // The fastest deflate level: a 65,000-row sheet's XML compresses several times faster,
        // and hardly larger, than at the default level.
        if (index < 0 ||
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) != 0) {
            SetEngineError(error, EngineFault::PackagePartNotAdded,
                           {name, path, ZipErrorText(zip_get_error(archive))});
            if (source && index < 0)
                zip_source_free(source);
            zip_discard(archive);
            zip_source_free(buffer);
            return false;
        }
    }
    if (zip_close(archive) != 0) {
        SetEngineError(error, EngineFault::PackageNotBuilt,
                       {path, ZipErrorText(zip_get_error(archive))});
        zip_discard(archive);
        zip_source_free(buffer);
        return false;
    }

    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    bool ok = zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0;
    if (ok) {
        bytes.resize(qsizetype(stat.size));
        ok = zip_source_read(buffer, bytes.data(), zip_uint64_t(bytes.size())) ==
             zip_int64_t(stat.size);
        zip_source_close(buffer);
    }
    const QString readBackError = ZipErrorText(zip_source_error(buffer));
    zip_source_free(buffer);
    if (!ok) {
        SetEngineError(error, EngineFault::PackageNotBuilt, {path, readBackError});
        return false;
    }

    QString writeError;
    if (!WriteFileAtomically(path, bytes, &writeError)) {
        SetEngineError(error, EngineFault::PackageNotSaved, {path, writeError});
        return false;
    }
    return true;
}

bool OoxmlPackage::hasPart(const QString& partName) const {
    return mParts.contains(PartNames::Normalize(partName));
}

QByteArray OoxmlPackage::part(const QString& partName) const {
    return mParts.value(PartNames::Normalize(partName));
}

void OoxmlPackage::setPart(const QString& partName, const QByteArray& bytes) {
    const QString name = PartNames::Normalize(partName);
    if (!mParts.contains(name))
        mOrder.append(name);
    mParts.insert(name, bytes);
}

bool OoxmlPackage::removePart(const QString& partName) {
    const QString name = PartNames::Normalize(partName);
    if (!mParts.remove(name))
        return false;
    mOrder.removeOne(name);
    const QString relsName = PartNames::RelationshipsPartName(name);
    if (mParts.remove(relsName))
        mOrder.removeOne(relsName);
    removeContentTypeOverride(name, nullptr); // an unreadable content-types part keeps its text
    return true;
}

QString OoxmlPackage::contentType(const QString& partName) const {
    pugi::xml_document document;
    if (!XmlPart::Parse(part(kContentTypesPart), kContentTypesPart, document, nullptr))
        return {};
    const QString absolute = PartNames::Absolute(partName);
    const QString extension = PartNames::Extension(partName);
    QString byDefault;
    for (pugi::xml_node node : document.document_element().children()) {
        if (HasLocalName(node, "Override") &&
            Attribute(node, "PartName").compare(absolute, Qt::CaseInsensitive) == 0)
            return Attribute(node, "ContentType");
        if (HasLocalName(node, "Default") && byDefault.isEmpty() &&
            Attribute(node, "Extension").compare(extension, Qt::CaseInsensitive) == 0)
            byDefault = Attribute(node, "ContentType");
    }
    return byDefault;
}

namespace {

// Finds the entry of [Content_Types].xml whose key attribute matches, ignoring letter case as
// part names and extensions are compared in a package.
pugi::xml_node FindEntry(pugi::xml_node types, const char* element, const char* key,
                         const QString& value) {
    for (pugi::xml_node node : types.children())
        if (HasLocalName(node, element) &&
            Attribute(node, key).compare(value, Qt::CaseInsensitive) == 0)
            return node;
    return {};
}

} // namespace

bool OoxmlPackage::setContentTypeOverride(const QString& partName, const QString& contentType,
                                          QString* error) {
    pugi::xml_document document;
    if (!XmlPart::Parse(part(kContentTypesPart), kContentTypesPart, document, error))
        return false;
    pugi::xml_node types = document.document_element();
    const QString absolute = PartNames::Absolute(partName);
    pugi::xml_node node = FindEntry(types, "Override", "PartName", absolute);
    if (!node) {
        node = types.append_child("Override");
        node.append_attribute("PartName") = Utf8(absolute).constData();
        node.append_attribute("ContentType");
    }
    node.attribute("ContentType") = Utf8(contentType).constData();
    setPart(kContentTypesPart, XmlPart::Serialize(document));
    return true;
}

bool OoxmlPackage::removeContentTypeOverride(const QString& partName, QString* error) {
    pugi::xml_document document;
    if (!XmlPart::Parse(part(kContentTypesPart), kContentTypesPart, document, error))
        return false;
    pugi::xml_node types = document.document_element();
    const pugi::xml_node node =
        FindEntry(types, "Override", "PartName", PartNames::Absolute(partName));
    if (node) {
        types.remove_child(node);
        setPart(kContentTypesPart, XmlPart::Serialize(document));
    }
    return true;
}

bool OoxmlPackage::setDefaultContentType(const QString& extension, const QString& contentType,
                                         QString* error) {
    pugi::xml_document document;
    if (!XmlPart::Parse(part(kContentTypesPart), kContentTypesPart, document, error))
        return false;
    pugi::xml_node types = document.document_element();
    pugi::xml_node node = FindEntry(types, "Default", "Extension", extension);
    if (!node) {
        // Defaults come before overrides in the part, as Excel writes it.
        pugi::xml_node firstOverride;
        for (pugi::xml_node child : types.children())
            if (HasLocalName(child, "Override")) {
                firstOverride = child;
                break;
            }
        node = firstOverride ? types.insert_child_before("Default", firstOverride)
                             : types.append_child("Default");
        node.append_attribute("Extension") = Utf8(extension).constData();
        node.append_attribute("ContentType");
    }
    node.attribute("ContentType") = Utf8(contentType).constData();
    setPart(kContentTypesPart, XmlPart::Serialize(document));
    return true;
}

bool OoxmlPackage::relationships(const QString& sourcePartName, QList<Relationship>* out,
                                 QString* error) const {
    out->clear();
    const QString relsName = PartNames::RelationshipsPartName(sourcePartName);
    if (!hasPart(relsName))
        return true;
    pugi::xml_document document;
    if (!XmlPart::Parse(part(relsName), relsName, document, error))
        return false;
    for (pugi::xml_node node : document.document_element().children()) {
        if (!HasLocalName(node, "Relationship"))
            continue;
        Relationship relationship;
        relationship.id = Attribute(node, "Id");
        relationship.type = Attribute(node, "Type");
        relationship.target = Attribute(node, "Target");
        relationship.external = Attribute(node, "TargetMode") == u"External";
        out->append(relationship);
    }
    return true;
}

QString OoxmlPackage::addRelationship(const QString& sourcePartName, const QString& type,
                                      const QString& target, QString* error, bool external) {
    const QString relsName = PartNames::RelationshipsPartName(sourcePartName);
    pugi::xml_document document;
    pugi::xml_node root;
    if (hasPart(relsName)) {
        if (!XmlPart::Parse(part(relsName), relsName, document, error))
            return {};
        root = document.document_element();
    } else {
        root = NewRoot(document, "Relationships", kRelationshipsNamespace);
    }
    int highest = 0;
    for (pugi::xml_node node : root.children())
        if (HasLocalName(node, "Relationship"))
            highest = std::max(highest, RelationshipNumber(Attribute(node, "Id")));
    const QString id = QStringLiteral("rId%1").arg(highest + 1);
    pugi::xml_node node = root.append_child("Relationship");
    node.append_attribute("Id") = Utf8(id).constData();
    node.append_attribute("Type") = Utf8(type).constData();
    node.append_attribute("Target") = Utf8(target).constData();
    if (external)
        node.append_attribute("TargetMode") = "External";
    setPart(relsName, XmlPart::Serialize(document));
    return id;
}

bool OoxmlPackage::removeRelationship(const QString& sourcePartName, const QString& id,
                                      QString* error) {
    const QString relsName = PartNames::RelationshipsPartName(sourcePartName);
    if (!hasPart(relsName)) {
        SetEngineError(error, EngineFault::PartWithoutRelationships, {sourcePartName});
        return false;
    }
    pugi::xml_document document;
    if (!XmlPart::Parse(part(relsName), relsName, document, error))
        return false;
    pugi::xml_node root = document.document_element();
    for (pugi::xml_node node : root.children()) {
        if (HasLocalName(node, "Relationship") && Attribute(node, "Id") == id) {
            root.remove_child(node);
            setPart(relsName, XmlPart::Serialize(document));
            return true;
        }
    }
    SetEngineError(error, EngineFault::RelationshipMissing, {sourcePartName, id});
    return false;
}

QString OoxmlPackage::targetPartName(const QString& sourcePartName,
                                     const Relationship& relationship) {
    if (relationship.external)
        return {};
    return PartNames::ResolveTarget(sourcePartName, relationship.target);
}

} // namespace plw
