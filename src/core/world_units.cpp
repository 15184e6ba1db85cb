#include "core/world_units.h"

#include <cmath>

namespace pilfern {

std::optional<std::int32_t> WholeUnits(float measure) {
    if (!std::isfinite(measure)) {
        return std::nullopt;
    }
    // Both bounds are exact in a float; a cut value in [-2^31, 2^31) converts exactly.
    constexpr float kLimit = 2147483648.0F;
    const float cut = std::trunc(measure);
    if (cut < -kLimit || cut >= kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(cut);
}

bool WithinRadius(float distance, int radius) {
    const std::optional<std::int32_t> whole = WholeUnits(distance);
    return whole.has_value() && *whole <= radius;
}

}  // namespace pilfern
