#pragma once

#include "core/instance.h"

namespace pilfern {

// Marks the place an object was looted from, when auto-loot took it: a texture marker kept
// for two seconds, or the sleep effect played there, as "textureIdx" says. Looting by key
// marks nothing.
void AddTargetMarker(Instance& instance, const zCVob& object, bool automatic);
// Draws the markers of recent auto-loot and forgets the old ones; every frame while
// auto-loot is on.
void DrawTargetMarkers(Instance& instance);

}  // namespace pilfern
