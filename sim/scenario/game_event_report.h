#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "sim/game_events.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// A game event as a scenario's output shows it: its kind, its fields for JSON Lines and its
// plain words.
struct ReportedEvent {
    std::string kind;
    nlohmann::ordered_json fields;
    std::string words;
};

// How the output reports a game event; the game's texts are converted from its code page to
// UTF-8.
[[nodiscard]] ReportedEvent ReportGameEvent(const SimGame& game, const GameEvent& event);

}  // namespace pilfern::sim
