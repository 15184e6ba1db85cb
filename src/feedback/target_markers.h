#pragma once

#include "core/instance.h"

namespace pilfern {

// Draws the markers of recent auto-loot and forgets the old ones; every frame while
// auto-loot is on.
void DrawTargetMarkers(Instance& instance);

}  // namespace pilfern
