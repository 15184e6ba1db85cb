#include <cstddef>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "sim/plugin_module.h"
#include "sim/populated_world.h"
#include "sim/sim_game.h"
#include "support/hero_game.h"
#include "support/temp_folder.h"

// A plugin runs inside the game's frame budget: once what it shows has settled, a frame of it
// must not touch the heap, or the player feels the hitches. These frames are played with the
// plugin module itself, whose every allocation goes through the framework's heap.
namespace pilfern {
namespace {

using sim::kAutoLootStepMs;
// Long enough for several auto-loot steps and a wisp search at 16 ms a frame.
constexpr int kMeasuredFrames = 100;

struct SteadyState {
    const char* name;
    std::string_view options;  // lines of the plugin's section of Gothic.ini
    bool autoLoot = false;
    std::size_t taken = 0;  // items within reach, taken by the first auto-loot steps
    std::size_t farItems = 0;
    std::size_t townsfolk = 0;
    bool overlay = false;
    std::uint32_t frameMs = 16;
    // What must be on screen in every measured frame, so the state is the one named.
    std::size_t messages = 0;
    std::size_t historyRows = 0;
};

void PrintTo(const SteadyState& state, std::ostream* out) {
    *out << state.name;
}

class SteadyFrames : public ::testing::TestWithParam<SteadyState> {};

std::uint64_t EngineCalls(const sim::SimGame& game) {
    const auto& calls = game.engine.StepCalls();
    return std::accumulate(calls.begin(), calls.end(), std::uint64_t{0});
}

TEST_P(SteadyFrames, MakeNoHeapAllocation) {
    const SteadyState& state = GetParam();
    const test::TempFolder folder;
    folder.Write("System/Gothic.ini", "[VARKO_UNION_PILFERN]\n" + std::string(state.options));
    sim::SimGame game(folder.Path(), 4);
    game.ReadGameIni();
    sim::PlaceHero(game);
    sim::ScatterItems(game, state.taken + state.farItems, state.taken);
    sim::ScatterTownsfolk(game, state.townsfolk);
    const sim::LoadedPluginModule plugin(game);
    const Instance& instance = *plugin.Running();
    game.Init();
    sim::SettleSteadyState(game, {state.autoLoot, state.overlay}, state.frameMs);
    ASSERT_EQ(instance.autoLootActive, state.autoLoot);
    ASSERT_EQ(instance.historyVisible, state.overlay);

    std::uint64_t engineCalls = 0;
    for (int frame = 0; frame < kMeasuredFrames; ++frame) {
        game.Frame(state.frameMs);
        ASSERT_EQ(instance.lootMessages.size(), state.messages);
        ASSERT_EQ(instance.lootHistory.size(), state.historyRows);
        EXPECT_EQ(game.LastStepHeap().allocations, 0U) << "frame " << frame;
        engineCalls += EngineCalls(game);
    }
    // The plugin did its frame's work, it was not skipped.
    EXPECT_GT(engineCalls, 0U);
}

INSTANTIATE_TEST_SUITE_P(States, SteadyFrames,
                         ::testing::Values(SteadyState{.name = "Idle", .options = ""},
                                           SteadyState{.name = "AutoLootOnNothingInReach",
                                                       .options = "",
                                                       .autoLoot = true},
                                           SteadyState{.name = "FourteenMessagesOnScreen",
                                                       .options = "quickLootTimeDelay=100000000\n",
                                                       .autoLoot = true,
                                                       .taken = 14,
                                                       .messages = 14,
                                                       .historyRows = 14},
                                           SteadyState{.name = "HistoryOverlayWith60Rows",
                                                       .options = "quickLootTimeDelay=1\n",
                                                       .autoLoot = true,
                                                       .taken = 60,
                                                       .overlay = true,
                                                       .historyRows = 60},
                                           SteadyState{.name = "AutoLootStepInAPopulatedWorld",
                                                       .options = "",
                                                       .autoLoot = true,
                                                       .farItems = 2000,
                                                       .townsfolk = 400,
                                                       .frameMs = kAutoLootStepMs}),
                         [](const ::testing::TestParamInfo<SteadyState>& tested) {
                             return std::string(tested.param.name);
                         });

}  // namespace
}  // namespace pilfern
