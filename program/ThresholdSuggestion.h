#pragma once

#include <QStringList>

namespace plw {

class RankDistribution;
struct ParameterScreenState;

// The lines of --suggest-thresholds, comma-separated: a heading; for R, F and M, ranks 5 to 1,
// "R,5,<threshold now>,<customers now>,<suggested threshold>,<customers with it>" (rank 1's
// thresholds repeat rank 2's, as the parameter screen shows them; a threshold is the number the
// rank rules take from its text); then for groups A to E and X "A,<customers>,<amount in yen>"
// under the screen's thresholds and matrix.
QStringList SuggestionLines(const RankDistribution& distribution,
                            const ParameterScreenState& screen);

} // namespace plw
