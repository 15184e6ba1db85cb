#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/framework.h"
#include "sim/game_heaps.h"
#include "sim/plugin_module.h"
#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "support/death_tests.h"
#include "support/temp_folder.h"

// The framework's heap: what the plugin module allocates, counted apart from the simulated
// engine's own memory, and a block never given back to the wrong heap.
namespace pilfern::sim {
namespace {

HeapFigures Since(const HeapFigures& before) {
    const HeapFigures now = FrameworkHeapFigures();
    return {now.allocations - before.allocations, now.releases - before.releases,
            now.bytesInUse - before.bytesInUse};
}

TEST(FrameworkHeap, CountsAllocationsReleasesAndTheBytesInUse) {
    const HeapFigures before = FrameworkHeapFigures();
    void* block = FrameworkHeapAlloc(100);
    ASSERT_NE(block, nullptr);
    std::memset(block, 'a', 100);
    HeapFigures done = Since(before);
    EXPECT_EQ(done.allocations, 1U);
    EXPECT_EQ(done.bytesInUse, 100);

    // A resize keeps the content and counts as a new block for the old one.
    block = FrameworkHeapRealloc(block, 300);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<const char*>(block)[99], 'a');
    done = Since(before);
    EXPECT_EQ(done.allocations, 2U);
    EXPECT_EQ(done.releases, 1U);
    EXPECT_EQ(done.bytesInUse, 300);

    FrameworkHeapFree(block);
    FrameworkHeapFree(nullptr);
    done = Since(before);
    EXPECT_EQ(done.releases, 2U);
    EXPECT_EQ(done.bytesInUse, 0);
}

TEST(FrameworkHeapDeathTest, ABlockGivenBackToTheWrongHeapStopsTheGame) {
    test::UseTheSafestDeathTestStyle();
    EXPECT_DEATH(FrameworkHeapFree(EngineHeapAlloc(8)), "framework heap was given a block");
    EXPECT_DEATH(EngineHeapFree(FrameworkHeapAlloc(8)), "engine heap was given a block");
}

TEST(FrameworkHeap, TheModulesAllocationsAreCountedAndTheEnginesOwnAreNot) {
    const test::TempFolder folder;
    SimGame game(folder.Path(), 4);
    const HeapFigures beforeLoad = FrameworkHeapFigures();
    {
        const LoadedPluginModule plugin(game);
        ASSERT_NE(plugin.Running(), nullptr);
        EXPECT_GT(Since(beforeLoad).allocations, 0U) << "the module builds its instances";

        // The simulated engine's own work takes nothing from the framework's heap.
        const HeapFigures beforeWorld = FrameworkHeapFigures();
        for (int i = 0; i < 50; ++i) {
            SimItem& item = game.engine.CreateItem("item" + std::to_string(i), "ITFO_APPLE");
            game.engine.PlaceInWorld(item);
        }
        game.engine.eng_view_print(game.engine.eng_view_construct(), 0, 0,
                                   zSTRING("a text long enough to need memory of its own"));
        EXPECT_EQ(Since(beforeWorld).allocations, 0U);

        game.Init();
        EXPECT_GT(game.LastStepHeap().allocations, 0U) << "option loading makes texts";
    }
    // Unloading gives back everything the module took.
    EXPECT_EQ(Since(beforeLoad).bytesInUse, 0);
}

// What `pilfern-sim run --calls` reports for each frame, here for frames in which the plugin
// has nothing to do: the engine calls of its guard chain, and no heap work at all.
TEST(FrameworkHeap, AnIdleFramesCallsAndHeapWorkAreReported) {
    const Scenario scenario = ParseScenario(R"({
        "world": {"player": {"id": "hero", "instance": "PC_HERO"}},
        "timeline": [{"frames": 3}]
    })",
                                            "idle.json");
    std::ostringstream out;
    RunOptions options;
    options.json = true;
    options.calls = true;
    RunScenario(scenario, options, out);

    std::vector<nlohmann::ordered_json> frames;
    nlohmann::ordered_json state;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const auto json = nlohmann::ordered_json::parse(line);
        if (json.contains("event") && json.at("event") == "calls" && json.at("step") == "frame") {
            frames.push_back(json);
        }
        if (json.contains("state")) {
            state = json.at("state");
        }
    }
    ASSERT_EQ(frames.size(), 3U);
    for (const auto& frame : frames) {
        int sum = 0;
        for (const auto& [operation, calls] : frame.at("engine").items()) {
            sum += calls.get<int>();
        }
        EXPECT_EQ(frame.at("engineCalls").get<int>(), sum);
        EXPECT_GT(frame.at("engine").at("eng_player").get<int>(), 0);
        EXPECT_EQ(frame.at("heap").at("allocations"), 0);
        EXPECT_EQ(frame.at("heap").at("releases"), 0);
        EXPECT_EQ(frame.at("heap").at("bytesChange"), 0);
    }
    ASSERT_TRUE(state.contains("engineCalls"));
    EXPECT_GE(state.at("engineCalls").at("eng_player").get<int>(), 6);
    EXPECT_GT(state.at("heap").at("allocations").get<int>(), 0);
}

}  // namespace
}  // namespace pilfern::sim
