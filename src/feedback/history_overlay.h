#pragma once

#include "core/instance.h"

namespace pilfern {

// Draws the loot history as a centred panel while the player has it shown.
void DrawLootHistory(Instance& instance);

}  // namespace pilfern
