#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "sim/scenario/scenario.h"

namespace pilfern::sim {

struct RunOptions {
    bool json = false;  // JSON Lines instead of plain words
    // The working game folder to use and keep; a fresh temporary one when absent.
    std::optional<std::filesystem::path> gameDir;
};

// Loads the plugin into a simulated game built from the scenario, fires attach and init,
// plays the timeline and reports what happened, ending with the state. The scenario's own
// folder is never written: the game reads its game folder in place, and what the game
// writes lands in the working folder laid over it. Throws ScenarioError when the working
// folder cannot be used.
void RunScenario(const Scenario& scenario, const RunOptions& options, std::ostream& out);

}  // namespace pilfern::sim
