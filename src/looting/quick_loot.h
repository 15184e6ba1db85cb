#pragma once

#include "core/instance.h"

namespace pilfern {

// Manual quick looting of what the player focuses. True when the player's looting input was
// handled in this frame, which ends the frame's work.
bool QuickLootDispatch(Instance& instance);

}  // namespace pilfern
