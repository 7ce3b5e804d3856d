#pragma once

#include "workbook/XmlPart.h"

#include <pugixml.hpp>

#include <cstring>
#include <vector>

namespace plw::xls {

// An attribute read as a boolean ("1", "true", "0", "false"); fallback when it is missing.
inline bool BoolAttribute(const pugi::xml_node& node, const char* name, bool fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return fallback;
    return std::strcmp(attribute.value(), "0") != 0 && std::strcmp(attribute.value(), "false") != 0;
}

// The child elements with that local name, in order.
inline std::vector<pugi::xml_node> Children(const pugi::xml_node& node, const char* name) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && XmlPart::HasLocalName(child, name))
            out.push_back(child);
    return out;
}

} // namespace plw::xls
