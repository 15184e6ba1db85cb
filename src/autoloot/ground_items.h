#pragma once

#include "core/instance.h"

namespace pilfern {

// One auto-loot pass over the world's ground items: every item within the radius that the
// rules allow is taken, in list order.
void AutoLootGroundItems(Instance& instance);

// What the pass decides about one ground item: `Take`, or the first test it fails. Only asks:
// the pass takes what it accepts, and explaining a decision costs the pass nothing. The cheap
// tests come first, so that the line of sight, a ray cast in the game, is asked only for
// items within the radius that pass all others.
[[nodiscard]] GroundVerdict JudgeGroundItem(Instance& instance, const oCNpc& player,
                                            const oCItem& item);

}  // namespace pilfern
