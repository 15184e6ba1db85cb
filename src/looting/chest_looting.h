#pragma once

#include "core/instance.h"

namespace pilfern {

// Empties the chest the player focuses, as if the player had opened and closed it: its script
// condition is asked, a locked chest is opened with its key (kept), the chest runs through its
// states so that the game's scripts see it used, and every item goes to the player with its
// message and a history row naming the chest.
void LootContainer(Instance& instance);

}  // namespace pilfern
