#pragma once

#include "core/instance.h"

namespace pilfern {

// Empties a dead or unconscious NPC into the hero's inventory (Gothic II engines): every item
// it carries but its worn items and, unless "ShowArmor" is on, its armour. The hero gets new
// items of the same instances and amounts; the NPC loses exactly those. `requireItems` stops
// early at an empty inventory (the loot key); `automatic` when auto-loot loots the corpse.
void LootCorpse(Instance& instance, oCNpc* npc, bool requireItems, bool automatic);
// The same for Gothic I engines, whose inventories keep nine category lists: worn weapons are
// taken off first, armour is never taken.
void LootCorpseGothicOne(Instance& instance, oCNpc* npc, bool automatic);

// The name of the first animation the NPC's model plays; empty when it plays none.
[[nodiscard]] zSTRING NpcAnimationName(Engine& engine, const oCNpc& npc);

}  // namespace pilfern
