#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace plw {

class OoxmlPackage;

// A part with the parts its relationships reach (a worksheet with its drawing, the drawing's
// charts, their style and colour parts...), copied or removed as one.
namespace PartTree {

// The part name a new part like partName gets: the same folder and extension, the number in its
// name one above the highest in use ("xl/charts/chart3.xml" -> "xl/charts/chart8.xml").
QString FreshPartName(const OoxmlPackage& package, const QString& partName);

// Copies source and every part its internal relationships reach, each under a fresh name, with
// relationships (same ids, targets to the copies) and content types. edit may change the bytes
// of each copied part (it receives the source part's name). Answers the copy's name, "" with a
// reason on failure.
using PartEdit = std::function<void(const QString& sourcePartName, QByteArray* bytes)>;
QString Copy(OoxmlPackage& package, const QString& source, const PartEdit& edit, QString* error);

// Removes part and every part its internal relationships reach that no part staying in the
// package reaches. The caller removes the relationship that pointed at part.
void Remove(OoxmlPackage& package, const QString& part);

} // namespace PartTree

} // namespace plw
