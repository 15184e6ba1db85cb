#pragma once

#include "core/instance.h"

namespace pilfern {

// One auto-loot pass over the ground items within the radius.
void AutoLootGroundItems(Instance& instance);
// One auto-loot pass that loots at most one corpse within the radius.
void AutoLootCorpses(Instance& instance);

}  // namespace pilfern
