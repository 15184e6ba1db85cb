#pragma once

#include <nlohmann/json.hpp>

#include "core/instance.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// The state of a played scenario as outside checks read it. The keys are fixed: lootHistory,
// lootMessages, targetMarkers, autoLootActive, historyVisible, inventories, worldItems,
// containers, files. Texts are converted from the game's code page to UTF-8; files holds only
// what the game wrote, as text when it is UTF-8 and as {"bytes": base64} when not. With
// `calls`, two keys follow: engineCalls (the calls of each operation since the game started)
// and heap (the framework heap's allocations and releases since then, and what it holds).
[[nodiscard]] nlohmann::ordered_json DumpState(const SimGame& game, const Instance* instance,
                                               bool calls = false);

// A text of the game in UTF-8.
[[nodiscard]] std::string Utf8(const SimGame& game, std::string_view text);

}  // namespace pilfern::sim
