#pragma once

#include "core/instance.h"

namespace pilfern {

// Manual quick looting of what the player focuses. True when the player's looting input was
// handled in this frame, which ends the frame's work.
bool QuickLootDispatch(Instance& instance);

// Whether a ground item is an arrow or bolt an NPC shot, of the kind the player's weapon
// fires: such an item stays where it lies. `vobBits` are the item's two low vob bits.
[[nodiscard]] bool IsNpcArrow(Instance& instance, int instanceIndex, int vobBits,
                              const zSTRING& text);

}  // namespace pilfern
