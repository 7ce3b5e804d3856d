#pragma once

namespace plw {

// What a rank or age step found: nothing asked (kind "1"), customers in its key table, or nobody.
enum class StepOutcome { NotUsed, Found, NoneFound };

} // namespace plw
