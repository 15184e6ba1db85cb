#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "frame/hooks.h"
#include "frame/plugin.h"
#include "support/plugin_fixture.h"

namespace pilfern {
namespace {

using test::PluginFixture;

using sim::PatchableFunction;

bool Redirected(const sim::SimGame& game, PatchableFunction function) {
    return game.redirects.IsRedirected(sim::EngineFunctionAddress(function));
}

class RunningEngine : public ::testing::TestWithParam<int> {};

TEST_P(RunningEngine, OnlyItsInstanceRegistersTheSlotTable) {
    const int version = GetParam();
    PluginFixture fixture(version);
    fixture.Load();

    const sim::SimFramework& framework = fixture.Game().framework;
    ASSERT_EQ(framework.Registrations(), 1);
    const EventTable& table = *framework.Handlers();
    const InstanceEntryPoints& own = EntryPointsFor(static_cast<std::size_t>(version - 1));
    const std::map<int, EventHandler> expected{
        {2, own.onGameInit},  {4, own.onFrameInput},      {5, own.onFrame},
        {9, own.onGameSave},  {11, own.onGameLoad},       {13, own.onGameLoad},
        {15, own.onGameLoad}, {21, own.onOptionsApplied},
    };
    for (int slot = 1; slot <= 21; ++slot) {
        const EventHandler handler = table.at(static_cast<std::size_t>(slot - 1));
        const auto found = expected.find(slot);
        EXPECT_EQ(handler, found == expected.end() ? &EmptyHandler : found->second)
            << "slot " << slot;
    }
}

TEST_P(RunningEngine, OnlyItsInstanceStagesPatches) {
    const int version = GetParam();
    PluginFixture fixture(version);
    PluginLibrary& plugin = fixture.Load();
    for (int other = 1; other <= 4; ++other) {
        const PatchRecords& patches = plugin.Find(other)->patches;
        const bool running = other == version;
        EXPECT_EQ(patches.getFontData != nullptr, running) << "instance " << other;
        EXPECT_EQ(patches.printChars != nullptr, running) << "instance " << other;
        EXPECT_EQ(patches.setState != nullptr, running) << "instance " << other;
    }
}

INSTANTIATE_TEST_SUITE_P(AllEngines, RunningEngine, ::testing::Values(1, 2, 3, 4));

TEST(PluginEntry, UnknownEngineVersionsRegisterNothing) {
    for (const int version : {0, 5}) {
        PluginFixture fixture(version);
        PluginLibrary& plugin = fixture.Load();
        EXPECT_EQ(fixture.Game().framework.Registrations(), 0) << "version " << version;
        EXPECT_EQ(plugin.Find(version), nullptr);
    }
}

TEST(PluginEntry, AttachTellsTheFrameworkTheRuntimeVersionOnProcessAttachOnly) {
    PluginFixture fixture;
    sim::SimFramework& framework = fixture.Game().framework;
    EXPECT_TRUE(OnLibraryAttach(framework, 0));
    EXPECT_FALSE(framework.CrtVersion().has_value());
    EXPECT_TRUE(OnLibraryAttach(framework, 1));
    EXPECT_EQ(framework.CrtVersion(), (std::array<int, 4>{14, 16, 27045, 0}));
}

TEST(PluginEntry, GameLoadResetsSessionStateButKeepsAutoLoot) {
    PluginFixture fixture(4);
    fixture.Load();
    sim::SimGame& game = fixture.Game();
    game.Init();
    Instance& instance = fixture.Running();
    instance.autoLootActive = true;
    instance.historyVisible = true;
    instance.fullSyncState = 1;
    const sim::SimNpc& hero = game.engine.CreateNpc("hero", "PC_HERO");
    instance.lootMessages.push_back(MessageData{CStringA("Gold x25"), 1, 100U});
    instance.targetMarkers.push_back(TargetData{100, 1, 2, 3});

    // The three loads the game plays: a savegame's, a new game's and a level change's.
    const std::vector<std::pair<const char*, std::function<void()>>> loads{
        {"savegame", [&game] { game.Load(1); }},
        {"new game", [&game] { game.NewGame(); }},
        {"level change", [&game] { game.ChangeLevel("OLDWORLD.ZEN", "START"); }},
    };
    for (const auto& [kind, load] : loads) {
        game.clock += 1000;
        instance.historyVisible = true;
        // A load makes every object anew: the bodies seen before are gone.
        instance.heroBody = &hero;
        instance.lastPlayerBody = &hero;
        load();
        EXPECT_EQ(instance.loadTime, game.clock) << kind;
        EXPECT_FALSE(instance.historyVisible);
        EXPECT_TRUE(instance.lootMessages.empty());
        EXPECT_TRUE(instance.targetMarkers.empty());
        EXPECT_EQ(instance.fullSyncState, -1);
        EXPECT_TRUE(instance.autoLootActive);
        EXPECT_EQ(instance.heroBody, nullptr);
        EXPECT_EQ(instance.lastPlayerBody, nullptr);
    }
}

TEST(PluginEntry, InitArmsTheInputPatchUnderGothicOneOnly) {
    for (const int version : {1, 2, 3, 4}) {
        PluginFixture fixture(version);
        fixture.Load();
        fixture.Game().Init();
        const bool gothicOne = version <= 2;
        EXPECT_EQ(Redirected(fixture.Game(), PatchableFunction::SetState), gothicOne) << version;
        EXPECT_EQ(fixture.Running().gothicOneRoomRule, gothicOne) << version;
        EXPECT_NE(fixture.Running().patches.setState, nullptr) << "staged under " << version;
    }
}

TEST(PluginEntry, MissingEngineFunctionLeavesOnlyItsPatchUnstaged) {
    PluginFixture fixture(1);
    fixture.Game().framework.missingFunctions = {"zCView::PrintChars"};
    fixture.Load();
    fixture.Game().Init();
    const PatchRecords& patches = fixture.Running().patches;
    EXPECT_EQ(patches.printChars, nullptr);
    EXPECT_NE(patches.getFontData, nullptr);
    ASSERT_NE(patches.setState, nullptr);
    EXPECT_TRUE(Redirected(fixture.Game(), PatchableFunction::SetState));
    // The game keeps running with the rest of the plugin.
    fixture.Game().Frame(16);
}

TEST(PluginEntry, UnloadTakesEveryPatchOutOfTheEngine) {
    PluginFixture fixture(1);
    fixture.Load();
    fixture.Game().Init();
    ASSERT_TRUE(Redirected(fixture.Game(), PatchableFunction::SetState));
    fixture.Unload();
    EXPECT_FALSE(Redirected(fixture.Game(), PatchableFunction::SetState));
    EXPECT_FALSE(Redirected(fixture.Game(), PatchableFunction::GetFontData));
    EXPECT_FALSE(Redirected(fixture.Game(), PatchableFunction::PrintChars));
}

}  // namespace
}  // namespace pilfern
