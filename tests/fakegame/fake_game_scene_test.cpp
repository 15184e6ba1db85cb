// The plugin in the fake game: bound to the game's process by its own detection, loaded as the
// framework loads it and driven by the game's events, it loots a ground item, a corpse and a
// chest by key and auto-loots an item, every engine call reaching the engine's own address or
// slot. What it records is what it records in the simulated game for the same world.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "binding/engine/bind_to_game.h"
#include "binding/engine_facts.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"
#include "fakegame/fake_world.h"
#include "fakegame/looting_scene.h"
#include "frame/plugin.h"
#include "sim/sim_game.h"
#include "support/looting_game.h"
#include "support/temp_folder.h"

namespace pilfern::fakegame {
namespace {

using test::LootRecord;

// Watches the plugin's records in the fake game.
class Records final : public LootWatcher {
public:
    void OnLootMessage(const MessageData& message) override {
        records.push_back(test::RecordOf(message));
    }
    void OnHistoryRow(const HistoryEntity& row) override { records.push_back(test::RecordOf(row)); }
    std::vector<LootRecord> records;
};

class FakeGameScene : public testing::TestWithParam<VersionCase> {};

TEST_P(FakeGameScene, LootsAsInTheSimulatedGame) {
    const int version = GetParam().version;
    const std::vector<LootRecord> simulated = PlaySimulatedGame(version);

    FakeProcess process(FakeEngine(), version);
    FakeWorld world(process, kGothicIni);
    BuildFakeWorld(world);
    // The framework's services (clock, files, events) are the simulated framework's; the
    // engine is the game's process, reached only through the binding.
    test::TempFolder folder;
    sim::SimGame host(folder.Path(), version);
    Records records;
    std::string stopped = RunGuarded([&] {
        const auto binding = binding::BindToGame(binding::LiveProcessMemory());
        ASSERT_NE(binding.engine, nullptr) << binding.line;
        PluginLibrary plugin(host.framework, *binding.engine);
        OnLibraryAttach(host.framework, 1);
        plugin.Find(version)->lootWatcher = &records;
        host.framework.FireEvent(sim::kEventInit);
        for (const Frame& frame : Timeline()) {
            if (frame.focus != nullptr) {
                world.SetFocus(*world.Player(),
                               *frame.focus == '\0' ? nullptr : &world.Find(frame.focus));
            }
            world.HoldKeys(frame.keys);
            host.clock += frame.ms;
            host.framework.FireEvent(sim::kEventPreLoop);
            world.CollectPlayerFocus();
            host.framework.FireEvent(sim::kEventLoop);
            ASSERT_THAT(world.Faults(), testing::IsEmpty());
        }
        plugin.Find(version)->lootWatcher = nullptr;
    });
    EXPECT_EQ(Explained(stopped, version), "");
    // Every engine string the binding made, or took as a result, went back to the engine.
    EXPECT_GT(process.Strings().made, 0U);
    EXPECT_EQ(process.Strings().live, 0U);
    EXPECT_EQ(process.Heap().foreign, 0U);
    EXPECT_THAT(world.Faults(), testing::IsEmpty());

    // The scene loots all four ways: a ground item and a corpse by key (marked "(M)"), a chest
    // by key, and a ground item by auto-loot.
    using testing::Contains;
    EXPECT_THAT(simulated, Contains(LootRecord{true, "(M) Apple x1", "", 1}));
    EXPECT_THAT(simulated, Contains(LootRecord{true, "(M) Gold x14", "Bandit", 1}));
    EXPECT_THAT(simulated, Contains(LootRecord{true, "Ore Nugget x3", "Chest", 1}));
    EXPECT_THAT(simulated, Contains(LootRecord{true, "Gold x12", "", 1}));
    EXPECT_EQ(records.records, simulated);
    // Everything went where the records say.
    const FakeObject& hero = world.Find("hero");
    EXPECT_EQ(world.AmountIn(hero, "ITFO_APPLE"), 1);
    EXPECT_EQ(world.AmountIn(hero, "ITMI_GOLD"), 14 + 12);
    EXPECT_EQ(world.AmountIn(hero, "ITMW_1H_BAU_AXE"), 1);
    EXPECT_EQ(world.AmountIn(hero, "ITMI_NUGGET"), 3);
    EXPECT_EQ(world.AmountIn(hero, "ITFO_BEER"), 1);
    EXPECT_EQ(world.AmountOnGround("ITMI_GOLD"), 0);
    EXPECT_EQ(world.AmountIn(world.Find("chest"), "ITMI_NUGGET"), 0);
}

INSTANTIATE_TEST_SUITE_P(FourEngines, FakeGameScene, testing::ValuesIn(kVersions), VersionName);

}  // namespace
}  // namespace pilfern::fakegame
