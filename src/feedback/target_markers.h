#pragma once

#include <cstdint>

namespace pilfern {

struct Instance;

// One auto-loot target marker: where something was taken and when.
struct TargetData {
    std::uint32_t createdAt = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
};

// Draws the markers of recent auto-loot and forgets the old ones; every frame while
// auto-loot is on.
void DrawTargetMarkers(Instance& instance);

}  // namespace pilfern
