#pragma once

#include <QString>

#include <array>

namespace plw {

// The ready-made settings behind the parameter screen's two "サンプル設定" buttons.

// Thresholds 1 to 5 (index 0 is threshold 1, which echoes threshold 2).
struct SampleThresholdSet {
    std::array<QString, 5> R;
    std::array<QString, 5> F;
    std::array<QString, 5> M;
};
SampleThresholdSet SampleThresholds();

// The group letters of matrix cells 1 to 125.
std::array<QString, 125> SampleGroupMatrix();

} // namespace plw
