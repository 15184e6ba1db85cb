#pragma once

#include "core/instance.h"

namespace pilfern {

// Takes one ground item into the hero's inventory (into the hero's own body while the hero
// is transformed), with its message and history row; `automatic` when auto-loot takes it.
// Taking the focused item lets the engine choose the next focus.
void TakeItem(Instance& instance, oCItem* item, bool automatic);

// Who receives what the hero loots: the hero's own body while transformed, when it is known;
// the player otherwise. None while transformed and the own body is unknown.
[[nodiscard]] oCNpc* LootReceiver(const Instance& instance, oCNpc& player);

}  // namespace pilfern
