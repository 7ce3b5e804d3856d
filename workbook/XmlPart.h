#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace plw::XmlPart {

// Helpers shared by everything that edits a package part as an XML DOM. Packages written by other
// programs may put a namespace prefix on any element, so elements are matched by local name.
// Only the engine's own sources include this header: no header outside the engine shows pugixml.

// The element name without its namespace prefix ("c:valAx" -> "valAx").
const char* LocalName(const pugi::xml_node& node);
bool HasLocalName(const pugi::xml_node& node, const char* name);
// The first child element with that local name; an empty node when there is none.
pugi::xml_node Child(const pugi::xml_node& node, const char* name);
// The first element with that local name anywhere below node, depth first.
pugi::xml_node Descendant(const pugi::xml_node& node, const char* name);
QString Attribute(const pugi::xml_node& node, const char* name);

// Parses a part; false with a reason naming the part when it is not well-formed XML.
bool Parse(const QByteArray& bytes, const QString& partName, pugi::xml_document& document,
           QString* error);
// What is wrong with XML that failed to parse, in the operator's words.
QString ParseErrorText(const pugi::xml_parse_result& result);
// The document as UTF-8 bytes, without added indentation.
QByteArray Serialize(const pugi::xml_document& document);

} // namespace plw::XmlPart
