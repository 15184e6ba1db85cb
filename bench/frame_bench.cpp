#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "bench/measures.h"
#include "bench/table.h"
#include "sim/plugin_module.h"

// A frame of the game with the plugin module in it, in five steady states, against the same
// game's frame without the plugin. The module's every allocation goes through the framework's
// heap, which counts them; the engine counts the plugin's calls.
namespace pilfern::bench {
namespace {

struct FrameState {
    const char* name;
    std::string_view options;
    bool autoLoot = false;
    std::size_t taken = 0;  // items within reach, taken before measuring
    std::size_t farItems = 0;
    std::size_t townsfolk = 0;
    bool overlay = false;
    std::uint32_t frameMs = 16;
};

const FrameState kStates[] = {
    {.name = "idle (auto-loot off)", .options = ""},
    {.name = "auto-loot on, nothing in range", .options = "", .autoLoot = true},
    {.name = "14 messages on screen",
     .options = "quickLootTimeDelay=100000000\n",
     .autoLoot = true,
     .taken = 14},
    {.name = "history overlay, 60 rows",
     .options = "quickLootTimeDelay=1\n",
     .autoLoot = true,
     .taken = 60,
     .overlay = true},
    {.name = "auto-loot step, 10000 items, 2000 NPCs",
     .options = "",
     .autoLoot = true,
     .farItems = 10000,
     .townsfolk = 2000,
     .frameMs = kAutoLootStepMs},
};

void Populate(BenchGame& bench, const FrameState& state) {
    sim::ScatterItems(bench.Game(), state.taken + state.farItems, state.taken);
    sim::ScatterTownsfolk(bench.Game(), state.townsfolk);
}

void PluginFrames(benchmark::State& run, const FrameState& state) {
    BenchGame bench(state.options);
    Populate(bench, state);
    sim::SimGame& game = bench.Game();
    const sim::LoadedPluginModule plugin(game);
    game.Init();
    sim::SettleSteadyState(game, {state.autoLoot, state.overlay}, state.frameMs);
    std::uint64_t calls = 0;
    std::uint64_t allocations = 0;
    std::uint64_t frames = 0;
    for (auto _ : run) {
        game.Frame(state.frameMs);
        calls += StepEngineCalls(game);
        allocations += game.LastStepHeap().allocations;
        ++frames;
    }
    run.counters[kCalls] = static_cast<double>(calls) / static_cast<double>(frames);
    run.counters[kAllocations] = static_cast<double>(allocations) / static_cast<double>(frames);
}

// The same game and world, played without the plugin.
void GameFrames(benchmark::State& run, const FrameState& state) {
    BenchGame bench(state.options);
    Populate(bench, state);
    sim::SimGame& game = bench.Game();
    game.Init();
    game.Frame(kPastQuietTimeMs);
    for (auto _ : run) {
        game.Frame(state.frameMs);
    }
}

}  // namespace

void RegisterFrameMeasures() {
    for (const FrameState& state : kStates) {
        const std::string name = std::string("frame: ") + state.name;
        benchmark::RegisterBenchmark(name.c_str(), PluginFrames, state);
        benchmark::RegisterBenchmark((name + kBaselineSuffix).c_str(), GameFrames, state);
    }
}

}  // namespace pilfern::bench
