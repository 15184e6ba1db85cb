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

// Loots the corpse with the looter of the running engine: by the loot key (`automatic`
// false: the Gothic II looter stops early at an empty inventory) or by auto-loot.
void LootCorpseOfEngine(Instance& instance, oCNpc* npc, bool automatic);

// The name of the first animation the NPC's model plays; empty when it plays none.
[[nodiscard]] zSTRING NpcAnimationName(Engine& engine, const oCNpc& npc);
// Whether that animation is a death animation ("_Dead" in its name, in any letter case), or
// the model plays none.
[[nodiscard]] bool ShowsDeathAnimation(Engine& engine, const oCNpc& npc);

// What a corpse gives up to its looter. Gothic II engines take armour only with "ShowArmor";
// Gothic I engines take worn weapons off first and never take armour. Corpse auto-loot counts
// with the same rule, so it never picks a corpse whose remaining items the looter refuses.
struct CorpseTakeRule {
    bool takeArmor = false;
    bool takesOffWornWeapons = false;
};
[[nodiscard]] CorpseTakeRule CorpseTakeRuleOf(const Instance& instance);
// Whether the looter hands the item over (a worn weapon counted as taken off, where the
// rule takes it off). Only asks.
[[nodiscard]] bool GivesUp(Engine& engine, const oCItem& item, CorpseTakeRule rule);
// Whether the looter of the running engine takes the NPC on at all: dead or unconscious as the
// engine tells it (Gothic II asks whether the engine counts the NPC as dead), neither its nor
// the player's inventory open, and a dead one lying dead (the dead body state; in Gothic II the
// death animation too). Corpse auto-loot asks the same, so that it never chooses a corpse the
// looter then refuses in every period, ahead of the corpses after it. Only asks.
[[nodiscard]] bool LooterTakesOn(Instance& instance, const oCNpc& npc, const oCNpc& player);
// Whether the NPC's inventory, prepared, still holds an item the looter would hand over by
// the engine's rule and, in Gothic II, that auto-loot counts as worth a corpse (a named item;
// armour only with an armour word and a flag word other than the bare armour flag), walked in
// the looter's order: the item list (Gothic II) or the nine category lists (Gothic I). Only
// asks.
[[nodiscard]] bool HoldsSomethingToGiveUp(Instance& instance, const oCNpc& npc);

}  // namespace pilfern
