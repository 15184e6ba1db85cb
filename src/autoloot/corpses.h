#pragma once

#include "core/instance.h"

namespace pilfern {

// One auto-loot pass over the world's NPCs: the first corpse within the radius that still
// has something the looter gives up is looted; at most one per pass.
void AutoLootCorpses(Instance& instance);

// What the pass decides about one NPC: `Take`, or the first test it fails. Only asks; the
// line of sight is asked last.
[[nodiscard]] CorpseVerdict JudgeCorpse(Instance& instance, const oCNpc& player, const oCNpc& npc);

}  // namespace pilfern
