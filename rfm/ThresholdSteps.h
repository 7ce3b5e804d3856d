#pragma once

#include <QString>

#include <array>

namespace plw {

// The threshold screen's step buttons: fields 5 to 2 of one dimension move by amount (a
// decrease stops at 0), then field 1 takes field 2. A step that would take a field past the
// largest threshold the fields hold (99999) changes nothing and returns false.
bool StepThresholds(std::array<QString, 5>& thresholds, int amount);

} // namespace plw
