#pragma once

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

namespace plw::xls {

// The kinds of package part whose contents the writer translates.
enum class PartKind { Workbook, Styles, Worksheet, Drawing, Chart };

// The first element or attribute of a part that the writer does not translate, as the
// operator should read it ("conditionalFormatting", "pane@state=split"); "" when every one is
// handled. Namespace declarations, markup-compatibility hints and the rendering hints Excel adds
// (x14ac:dyDescent, xr:uid) are passed over.
QString FirstUnhandled(PartKind kind, const pugi::xml_node& root);

// The row attributes the writer translates (height, hidden, style, outline).
bool IsHandledRowAttribute(const QByteArray& name, const QByteArray& value);

// The handled constructs of a kind of part, "element" or "element@attribute" (with
// "=value,value" where only some values are), for the documentation and the tests.
QStringList HandledConstructs(PartKind kind);

} // namespace plw::xls
