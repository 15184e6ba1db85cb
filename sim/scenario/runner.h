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
// folder is never written: the game plays in a working copy of its game folder. Throws
// ScenarioError when the working folder cannot be used.
void RunScenario(const Scenario& scenario, const RunOptions& options, std::ostream& out);

}  // namespace pilfern::sim
