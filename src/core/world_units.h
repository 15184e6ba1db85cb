#pragma once

#include <cstdint>
#include <optional>

namespace pilfern {

// A world measure (a distance, a coordinate, a projected pixel) in whole units, cut toward
// zero: 600.9 is 600. Nothing when the measure is not a finite number or does not fit a 32-bit
// integer: the plain conversion is undefined there, and on x86 gives the smallest integer,
// which would pass every "within the radius" test.
[[nodiscard]] std::optional<std::int32_t> WholeUnits(float measure);

// Whether an engine distance lies within `radius` whole units. A distance that is not a
// number, or too large to count, never does.
[[nodiscard]] bool WithinRadius(float distance, int radius);

}  // namespace pilfern
