#pragma once

#include <optional>

namespace plw {

// The outcome of a routine that ends the program. Library code never exits: it returns this
// outcome, which unwinds to the entry point; the entry point shuts down and ends with the status.
struct ProgramEnd {
    int status = 0;
};

// A routine that may end the program returns std::nullopt to carry on.
using MaybeEnd = std::optional<ProgramEnd>;

} // namespace plw
