#include "workbook/XmlPart.h"

#include "workbook/EngineError.h"

#include <cstring>
#include <sstream>

namespace plw::XmlPart {

const char* LocalName(const pugi::xml_node& node) {
    const char* full = node.name();
    const char* colon = std::strchr(full, ':');
    return colon ? colon + 1 : full;
}

bool HasLocalName(const pugi::xml_node& node, const char* name) {
    return std::strcmp(LocalName(node), name) == 0;
}

pugi::xml_node Child(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && HasLocalName(child, name))
            return child;
    return {};
}

pugi::xml_node Descendant(const pugi::xml_node& node, const char* name) {
    return node.find_node([name](const pugi::xml_node& n) {
        return n.type() == pugi::node_element && HasLocalName(n, name);
    });
}

QString Attribute(const pugi::xml_node& node, const char* name) {
    return QString::fromUtf8(node.attribute(name).value());
}

QString ParseErrorText(const pugi::xml_parse_result& result) {
    switch (result.status) {
    case pugi::status_out_of_memory:
        return QStringLiteral("メモリが足りません");
    case pugi::status_unrecognized_tag:
    case pugi::status_bad_start_element:
        return QStringLiteral("要素の始まりが正しくありません");
    case pugi::status_bad_end_element:
        return QStringLiteral("要素の終わりが正しくありません");
    case pugi::status_end_element_mismatch:
        return QStringLiteral("要素の始まりと終わりが対応していません");
    case pugi::status_bad_attribute:
        return QStringLiteral("属性が正しくありません");
    case pugi::status_bad_pcdata:
    case pugi::status_bad_cdata:
    case pugi::status_bad_comment:
    case pugi::status_bad_pi:
    case pugi::status_bad_doctype:
        return QStringLiteral("文字データまたは宣言が正しくありません");
    case pugi::status_no_document_element:
        return QStringLiteral("文書の要素がありません");
    default: // rarer causes after a Japanese lead, in the parser's words
        return QStringLiteral("XML を読めません（%1）")
            .arg(QString::fromUtf8(result.description()));
    }
}

bool Parse(const QByteArray& bytes, const QString& partName, pugi::xml_document& document,
           QString* error) {
    const pugi::xml_parse_result result = document.load_buffer(
        bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_declaration);
    if (!result) {
        SetEngineError(error, EngineFault::PartNotXml,
                       {partName, ParseErrorText(result), QString::number(result.offset)});
        return false;
    }
    return true;
}

QByteArray Serialize(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    const std::string text = out.str();
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace plw::XmlPart
