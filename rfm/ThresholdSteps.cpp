#include "rfm/ThresholdSteps.h"

#include "app/Currency.h"
#include "rfm/PLWAN4_hrhen.h"
#include "settings/ParameterFieldLimits.h"

namespace plw {

bool StepThresholds(std::array<QString, 5>& thresholds, int amount) {
    const Currency zero;
    const Currency largest = Currency::fromInteger(ThresholdMaximum);
    std::array<QString, 5> stepped = thresholds;
    for (size_t i = 4; i >= 1; --i) {
        Currency value = ThresholdValue(thresholds[i]) + Currency::fromInteger(amount);
        if (amount < 0 && value < zero)
            value = zero;
        if (largest < value)
            return false;
        stepped[i] = value.toString();
    }
    stepped[0] = stepped[1];
    thresholds = stepped;
    return true;
}

} // namespace plw
