#pragma once

#include <QString>

namespace plw {

// A "YYYYMMDD" date in the Japanese era form the suite's era date fields show: the era's letter
// (M, T, S, H, R), the year of the era and month and day, "S45.01.01". "" for an empty or
// impossible date, or one before the Meiji era.
QString EraDateText(const QString& date);

} // namespace plw
