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
#include <nlohmann/json.hpp>

#include "binding/engine/bind_to_game.h"
#include "binding/engine_facts.h"
#include "fakegame/engine_version_cases.h"
#include "fakegame/fake_game_environment.h"
#include "fakegame/fake_process.h"
#include "fakegame/fake_world.h"
#include "frame/plugin.h"
#include "sim/sim_game.h"
#include "support/looting_game.h"
#include "support/temp_folder.h"

namespace pilfern::fakegame {
namespace {

using test::LootRecord;

constexpr int kKeyV = 47;
constexpr int kKeyRightShift = 54;
constexpr int kKeyApostrophe = 40;

// The world both games play, and Gothic.ini.
constexpr const char* kGothicIni =
    "[VIDEO]\nzVidResFullscreenX=1920\nzVidResFullscreenY=1080\n"
    "[VARKO_UNION_PILFERN]\nneedDirectViewAutoloot=0\n";

struct SceneItem {
    const char* id;
    const char* instance;
    int amount;
};
const std::vector<FakeItemInstance> kInstances{
    {"ITFO_APPLE", "Apple", 0x200000, 0},  {"ITMI_GOLD", "Gold", 0x200000, 0},
    {"ITFO_BEER", "Beer", 0x200000, 0},    {"ITMI_NUGGET", "Ore Nugget", 0x200000, 0},
    {"ITMW_1H_BAU_AXE", "Sickle", 0, 0x2},
};
constexpr FakePosition kHeroAt{0, 0, 0};
constexpr FakePosition kAppleAt{0, 0, 100};
constexpr FakePosition kBanditAt{100, 0, 150};
constexpr FakePosition kChestAt{-100, 0, 150};
constexpr FakePosition kGoldAt{150, 0, 300};
const std::vector<SceneItem> kBanditCarries{{"bandit-gold", "ITMI_GOLD", 14},
                                            {"bandit-axe", "ITMW_1H_BAU_AXE", 1}};
const std::vector<SceneItem> kChestHolds{{"chest-nugget", "ITMI_NUGGET", 3},
                                         {"chest-beer", "ITFO_BEER", 1}};

// What the player does, frame by frame: the focus set before a frame, the keys held in it.
struct Frame {
    const char* focus = nullptr;  // "" clears the focus
    std::set<int> keys;
    std::uint32_t ms = 16;
};
std::vector<Frame> Timeline() {
    std::vector<Frame> frames(5);
    for (const char* target : {"apple", "bandit", "chest"}) {
        frames.push_back({target, {kKeyV}});
        frames.push_back({});
        frames.push_back({});
    }
    frames.push_back({"", {kKeyRightShift}});
    frames.push_back({nullptr, {kKeyRightShift, kKeyApostrophe}});
    for (int i = 0; i < 25; ++i) {
        frames.push_back({nullptr, {}, 200});
    }
    return frames;
}

nlohmann::json Position(FakePosition at) {
    return {at.x, at.y, at.z};
}
nlohmann::json Items(const std::vector<SceneItem>& items) {
    nlohmann::json list = nlohmann::json::array();
    for (const SceneItem& item : items) {
        list.push_back({{"id", item.id}, {"instance", item.instance}, {"amount", item.amount}});
    }
    return list;
}

// The world as a scenario of the simulated game.
std::string ScenarioJson() {
    nlohmann::json instances = nlohmann::json::object();
    for (const FakeItemInstance& instance : kInstances) {
        char flags[16];
        char category[16];
        std::snprintf(flags, sizeof flags, "0x%X", instance.flags);
        std::snprintf(category, sizeof category, "0x%X", instance.category);
        instances[instance.instanceName] = {
            {"name", instance.name}, {"flags", flags}, {"category", category}};
    }
    const nlohmann::json scenario{
        {"instances", instances},
        {"files", {{"System/Gothic.ini", kGothicIni}}},
        {"world",
         {{"player",
           {{"id", "hero"},
            {"instance", "PC_HERO"},
            {"name", "Hero"},
            {"position", Position(kHeroAt)},
            {"animations", {"S_WALKL"}},
            {"focusList", nlohmann::json::array()}}},
          {"npcs",
           {{{"id", "bandit"},
             {"instance", "BDT_1013_BANDIT_L"},
             {"name", "Bandit"},
             {"position", Position(kBanditAt)},
             {"hitpoints", 0},
             {"bodyState", 23},
             {"dead", true},
             {"animations", {"S_DEAD"}},
             {"inventory", Items(kBanditCarries)}}}},
          {"items",
           {{{"id", "apple"}, {"instance", "ITFO_APPLE"}, {"position", Position(kAppleAt)}},
            {{"id", "gold"},
             {"instance", "ITMI_GOLD"},
             {"amount", 12},
             {"position", Position(kGoldAt)}}}},
          {"containers",
           {{{"id", "chest"},
             {"instance", "CHESTBIG_OCCHESTLARGE"},
             {"name", "Chest"},
             {"position", Position(kChestAt)},
             {"states", 2},
             {"items", Items(kChestHolds)}}}}}}};
    return scenario.dump();
}

// The same world laid out in the fake game's process.
void BuildFakeWorld(FakeWorld& world) {
    for (const FakeItemInstance& instance : kInstances) {
        world.DefineItem(instance);
    }
    world.Animate(world.AddHero("hero", "PC_HERO", "Hero", kHeroAt), "S_WALKL");
    FakeObject& bandit = world.AddNpc("bandit", "BDT_1013_BANDIT_L", "Bandit", kBanditAt);
    for (const SceneItem& item : kBanditCarries) {
        world.GiveItem(bandit, item.id, item.instance, item.amount);
    }
    world.Kill(bandit, 23, "S_DEAD");
    world.AddGroundItem("apple", "ITFO_APPLE", 1, kAppleAt);
    world.AddGroundItem("gold", "ITMI_GOLD", 12, kGoldAt);
    FakeObject& chest = world.AddChest("chest", "CHESTBIG_OCCHESTLARGE", "Chest", kChestAt, 2);
    for (const SceneItem& item : kChestHolds) {
        world.PutInChest(chest, item.id, item.instance, item.amount);
    }
}

std::vector<LootRecord> PlaySimulatedGame(int version) {
    test::LootingGame game(ScenarioJson(), version);
    for (const Frame& frame : Timeline()) {
        if (frame.focus != nullptr) {
            const std::string focus = frame.focus;
            game.Step(R"({"npcs": [{"id": "hero", "focus": )" +
                      (focus.empty() ? std::string("null") : "\"" + focus + "\"") + "}]}");
        }
        game.Frame(frame.keys, frame.ms);
    }
    return game.Records();
}

// Watches the plugin's records in the fake game.
class Records final : public LootWatcher {
public:
    void OnLootMessage(const MessageData& message) override {
        records.push_back(test::RecordOf(message));
    }
    void OnHistoryRow(const HistoryEntity& row) override { records.push_back(test::RecordOf(row)); }
    std::vector<LootRecord> records;
};

// A stop at an engine address, said with the operations the facts give for it.
std::string Explained(const std::string& stopped, int version) {
    const auto at = stopped.find("(0x");
    if (at == std::string::npos) {
        return stopped;
    }
    const auto address =
        static_cast<std::uint32_t>(std::stoul(stopped.substr(at + 1), nullptr, 16));
    std::string names;
    for (const binding::EngineFact& fact : binding::EngineFacts(version)) {
        if (fact.kind == binding::FactKind::Function && fact.value == address) {
            names += " " + std::string(fact.operation);
        }
    }
    return stopped + (names.empty() ? "" : ":" + names);
}

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
