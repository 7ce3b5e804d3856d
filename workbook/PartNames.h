#pragma once

#include <QString>

namespace plw::PartNames {

// Part names inside a package are kept as zip entry names: no leading "/", "/" between folders.
// Content types and relationship targets write them with a leading "/"; these routines convert.

// "xl/workbook.xml" or "/xl/workbook.xml" -> "xl/workbook.xml".
QString Normalize(const QString& partName);

// "xl/workbook.xml" -> "/xl/workbook.xml", the form [Content_Types].xml uses.
QString Absolute(const QString& partName);

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; the
// package itself (an empty name) -> "_rels/.rels".
QString RelationshipsPartName(const QString& sourcePartName);

// The part a relationship target names: a target starting with "/" is taken from the package
// root, any other from the folder of the source part; "." and ".." are resolved. Empty when the
// target climbs above the package root.
QString ResolveTarget(const QString& sourcePartName, const QString& target);

// The extension of a part name, lower case, without the dot ("" when there is none).
QString Extension(const QString& partName);

} // namespace plw::PartNames
