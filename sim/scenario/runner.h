#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "sim/render/screenshot.h"
#include "sim/scenario/scenario.h"
#include "sim/stop_request.h"

namespace pilfern::sim {

struct RunOptions {
    bool json = false;  // JSON Lines instead of plain words
    // The working game folder to use and keep; a fresh temporary one when absent.
    std::optional<std::filesystem::path> gameDir;
    // Where the fresh temporary working folder is made; the system's temporary folder when
    // absent.
    std::optional<std::filesystem::path> temporaryRoot = std::nullopt;
    // After every frame and event: the engine calls the plugin made and the framework heap's
    // work; with callLog also every call in order with its arguments.
    bool calls = false;
    bool callLog = false;
    // After every auto-loot step: each object within twice the radius that was left, and why.
    bool explain = false;
    // Where screenshots are written: a PNG per screenshot step of the timeline. None: the
    // screenshot steps take none.
    std::optional<std::filesystem::path> shotsDir = std::nullopt;
    // With shotsDir, also a screenshot after every this many frames (0: none).
    int shotEvery = 0;
    ShotSize shotSize = {};
    // Plain words of the story only: notes, loot, messages expiring, switches, notices, saves
    // and loads, options, screenshots and key presses; one line each.
    bool brief = false;
};

// A --game-dir the run refuses to write into: a game installation or a folder inside one.
class GameDirError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads the plugin into a simulated game built from the scenario, fires attach and init,
// plays the timeline and reports what happened, ending with the state. The scenario's own
// folder is never written: the game reads its game folder in place, and what the game
// writes lands in the working folder laid over it. Throws ScenarioError when the working
// folder lies in the scenario's game folder, GameDirError when it lies in a game installation
// (both before anything is written), RunInterrupted when a stop was requested.
void RunScenario(const Scenario& scenario, const RunOptions& options, std::ostream& out);

}  // namespace pilfern::sim
