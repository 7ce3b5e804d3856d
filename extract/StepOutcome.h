#pragma once

#include <QString>

namespace plw {

// What a rank or age step found: nothing asked (kind "1"), customers in its key table, or nobody.
enum class StepOutcome { NotUsed, Found, NoneFound };

// The step's report: "OK" when it found customers, else "NG".
inline QString StepStatus(StepOutcome outcome) {
    return outcome == StepOutcome::Found ? QStringLiteral("OK") : QStringLiteral("NG");
}

} // namespace plw
