#pragma once

#include "core/instance.h"

namespace pilfern {

// Writes the loot history into the saved slot's file.
void SaveLootState(Instance& instance);
// Replaces the loot history with the rows of the loaded slot's file.
void LoadLootState(Instance& instance);

}  // namespace pilfern
