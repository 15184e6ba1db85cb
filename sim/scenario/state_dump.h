#pragma once

#include <nlohmann/json.hpp>

#include "core/instance.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// The state of a played scenario as outside checks read it. The keys are fixed: lootHistory,
// lootMessages, targetMarkers, autoLootActive, historyVisible, inventories, worldItems,
// containers, files. Texts are converted from the game's code page to UTF-8; files holds only
// what the game wrote, as text when it is UTF-8 and as {"bytes": base64} when not.
[[nodiscard]] nlohmann::ordered_json DumpState(const SimGame& game, const Instance* instance);

// A text of the game in UTF-8.
[[nodiscard]] std::string Utf8(const SimGame& game, const std::string& text);

}  // namespace pilfern::sim
