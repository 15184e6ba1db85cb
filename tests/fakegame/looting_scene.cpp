#include "fakegame/looting_scene.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "binding/engine_facts.h"

namespace pilfern::fakegame {
namespace {

using test::kKeyV;
using test::LootRecord;

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

}  // namespace

const char* const kGothicIni =
    "[VIDEO]\nzVidResFullscreenX=1920\nzVidResFullscreenY=1080\n"
    "[VARKO_UNION_PILFERN]\nneedDirectViewAutoloot=0\n";

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

namespace {

void PlayTimeline(test::LootingGame& game) {
    for (const Frame& frame : Timeline()) {
        if (frame.focus != nullptr) {
            const std::string focus = frame.focus;
            game.Step(R"({"npcs": [{"id": "hero", "focus": )" +
                      (focus.empty() ? std::string("null") : "\"" + focus + "\"") + "}]}");
        }
        game.Frame(frame.keys, frame.ms);
    }
}

}  // namespace

std::vector<LootRecord> PlaySimulatedGame(int version) {
    test::LootingGame game(ScenarioJson(), version);
    PlayTimeline(game);
    return game.Records();
}

std::string SimulatedSavedHistory(int version, int slot) {
    test::LootingGame game(ScenarioJson(), version);
    PlayTimeline(game);
    game.Game().Save(slot);
    return game.Game()
        .ReadGameFile("SAVES/savegame" + std::to_string(slot) + "/PILFERN.SAV")
        .value_or("");
}

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

}  // namespace pilfern::fakegame
