#pragma once

#include <QImage>

namespace plw {

// The picture of the help window "抽出条件の説明": what each of the four kinds does, the formula
// of the customers taken, and a worked example of three conditions with a diagram and five
// customers. Drawn with the given font family.
QImage DrawConditionHelpPicture(const QString& fontFamily);

} // namespace plw
