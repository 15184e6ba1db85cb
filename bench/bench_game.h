#pragma once

#include <cstdint>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <string_view>

#include "frame/plugin.h"
#include "sim/populated_world.h"
#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern::bench {

inline constexpr int kEngineVersion = 4;
using sim::kAutoLootStepMs;
using sim::kPastQuietTimeMs;

// A simulated game in a fresh folder, its Gothic.ini holding `options` in the plugin's
// section, with the hero standing in the world.
class BenchGame {
public:
    explicit BenchGame(std::string_view options = "");

    [[nodiscard]] sim::SimGame& Game() { return *game_; }
    [[nodiscard]] sim::SimEngine& Engine() { return game_->engine; }

    // The plugin's code built into this program, loaded as the module's static construction
    // does, and the game started: for measures that call a pass or a hook directly.
    Instance& LoadPluginAndStart();

private:
    test::TempFolder folder_;
    std::unique_ptr<sim::SimGame> game_;
    std::optional<PluginLibrary> plugin_;
};

[[nodiscard]] inline std::uint64_t StepEngineCalls(const sim::SimGame& game) {
    const auto& calls = game.engine.StepCalls();
    return std::accumulate(calls.begin(), calls.end(), std::uint64_t{0});
}

}  // namespace pilfern::bench
