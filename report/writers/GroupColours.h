#pragma once

#include <QString>

namespace plw {

// The palette colour of a group in the workbook: A 3, B 45, C 10, D 8, E 24; X, no group or any
// other text 15.
int GroupColorIndex(const QString& group);

} // namespace plw
