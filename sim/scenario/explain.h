#pragma once

#include <optional>
#include <vector>

#include "core/instance.h"
#include "sim/scenario/game_event_report.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// One decision of an auto-loot pass about a ground item or an NPC.
struct AutoLootDecision {
    const zCVob* object = nullptr;
    std::optional<GroundVerdict> ground;
    std::optional<CorpseVerdict> corpse;
};

// Why an auto-loot step left the objects within twice its radius, in the order the passes
// judged them, in words a player understands ("ITFO_APPLE (Apple): not in direct view (wall)").
// An item the pass accepted but the taking left where it lies is explained too.
[[nodiscard]] std::vector<ReportedEvent> ExplainAutoLootStep(
    const SimGame& game, const Instance& plugin, const std::vector<AutoLootDecision>& decisions);

}  // namespace pilfern::sim
