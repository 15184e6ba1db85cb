#include "autoloot/auto_loot.h"

namespace pilfern {

// The two auto-loot passes are not built yet.
void AutoLootGroundItems(Instance& /*instance*/) {}

void AutoLootCorpses(Instance& /*instance*/) {}

}  // namespace pilfern
