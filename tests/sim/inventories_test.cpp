#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/death_tests.h"
#include "support/engine_versions.h"
#include "support/item_census.h"
#include "support/scenario_game.h"

// NPCs' inventories as each engine answers them: packed after a savegame load until the engine
// unpacks them, and Gothic I's nine category lists where Gothic II has one list.
namespace pilfern::sim {
namespace {

using test::kGothicOneAddon;
using test::kGothicOneClassic;
using test::kGothicTwoAddon;
using test::kGothicTwoClassic;

using test::ScenarioGame;

// The hero with his gold, a dead bandit with gold and an apple, and a guard who wears the
// sword he holds drawn and carries a torch.
constexpr const char* kCamp = R"({
    "instances": {"ITMI_GOLD": {"name": "Gold", "category": "0x1", "flags": "0x200000"},
                  "ITFO_APPLE": {"name": "Apple", "category": "0x20"},
                  "ITMW_SWORD": {"name": "Sword", "category": "0x2"},
                  "ITLSTORCH": {"name": "Torch", "category": "0x100"}},
    "world": {
        "player": {"id": "hero", "instance": "PC_HERO",
                   "inventory": [{"id": "hero-gold", "instance": "ITMI_GOLD", "amount": 3}]},
        "npcs": [
            {"id": "bandit", "instance": "BDT_1", "hitpoints": 0, "dead": true,
             "inventory": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25},
                           {"id": "apple", "instance": "ITFO_APPLE"}]},
            {"id": "guard", "instance": "GRD_1",
             "inventory": [{"id": "sword", "instance": "ITMW_SWORD", "worn": true},
                           {"id": "torch", "instance": "ITLSTORCH"}],
             "drawnWeapon": "sword"}]}})";

bool GothicOne(int engineVersion) {
    return engineVersion <= kGothicOneAddon;
}

std::vector<std::string> Ids(const SimEngine& engine, const zCListSort<oCItem>* node) {
    std::vector<std::string> ids;
    for (; node != nullptr; node = node->next) {
        ids.push_back(engine.Describe(node->data));
    }
    return ids;
}

// An inventory as the engine shows it to a reader that has not prepared it: the items in its
// lists (Gothic II's one list, Gothic I's nine category lists in order), whether the engine
// calls it empty, and Gothic II's item list as of its last preparation.
struct Seen {
    std::vector<std::string> listed;
    bool empty = false;
    std::vector<std::string> walkable;
    friend bool operator==(const Seen&, const Seen&) = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    const auto print = [out](const std::vector<std::string>& ids) {
        for (const std::string& id : ids) {
            *out << id << ' ';
        }
    };
    *out << "listed [ ";
    print(seen.listed);
    *out << "] " << (seen.empty ? "empty" : "not empty") << ", walkable [ ";
    print(seen.walkable);
    *out << "]";
}

Seen Look(SimEngine& engine, const SimNpc& npc) {
    oCNpcInventory* inventory = engine.eng_npc_inventory(&npc);
    Seen seen;
    seen.empty = engine.eng_inventory_is_empty(inventory);
    if (GothicOne(engine.EngineVersion())) {
        for (const zCListSort<oCItem>* list : engine.eng_inventory_category_lists(inventory)) {
            const std::vector<std::string> ids = Ids(engine, list);
            seen.listed.insert(seen.listed.end(), ids.begin(), ids.end());
        }
    } else {
        seen.listed = Ids(engine, engine.eng_inventory_entry_list(inventory));
        seen.walkable = Ids(engine, engine.eng_inventory_item_list(inventory));
    }
    return seen;
}

class PackedInventories : public ::testing::TestWithParam<int> {};

// A world that comes back from a savegame comes back packed: a savegame's, or a level's the
// player left before and returns to; a new game and a level's first visit leave every
// inventory as it was. The player's is never packed, and what an NPC
// wears stays in its lists. Preparing the inventory brings everything back.
TEST_P(PackedInventories, ASavegameLoadPacksEveryNpcButThePlayerUntilTheEnginePrepares) {
    const int engineVersion = GetParam();
    const bool gothicOne = GothicOne(engineVersion);
    // Gothic I lists by category: the food before plain things such as gold and torches.
    const std::vector<std::string> banditsItems = gothicOne
                                                      ? std::vector<std::string>{"apple", "gold"}
                                                      : std::vector<std::string>{"gold", "apple"};
    const std::vector<std::string> none;
    const struct {
        const char* name;
        std::function<void(SimGame&)> play;
        bool packs;
    } loads[] = {
        {"new game", [](SimGame& game) { game.NewGame(); }, false},
        {"savegame", [](SimGame& game) { game.Load(1); }, true},
        {"first visit of a level",
         [](SimGame& game) { game.ChangeLevel("OLDWORLD.ZEN", "START_OW"); }, false},
        {"return to a level saved before",
         [](SimGame& game) {
             const std::string home = game.WorldName();
             game.ChangeLevel("OLDWORLD.ZEN", "START_OW");
             game.ChangeLevel(home, "START");
         },
         true},
    };
    for (const auto& load : loads) {
        SCOPED_TRACE(load.name);
        ScenarioGame world(kCamp, engineVersion);
        SimEngine& engine = world.Engine();
        const test::ItemCensus before = test::TakeCensus(engine);
        load.play(world.Game());

        EXPECT_EQ(test::TakeCensus(engine).amounts, before.amounts) << "a load loses nothing";
        EXPECT_EQ(Look(engine, world.Npc("hero")), (Seen{{"hero-gold"}, false, {}}));
        const Seen bandit = Look(engine, world.Npc("bandit"));
        const Seen guard = Look(engine, world.Npc("guard"));
        if (load.packs) {
            EXPECT_EQ(bandit, (Seen{none, true, none}));
            EXPECT_EQ(guard, (Seen{{"sword"}, false, none}));
        } else {
            EXPECT_EQ(bandit, (Seen{banditsItems, false, none}));
        }

        engine.eng_inventory_prepare(engine.eng_npc_inventory(&world.Npc("bandit")));
        engine.eng_inventory_prepare(engine.eng_npc_inventory(&world.Npc("guard")));
        EXPECT_EQ(Look(engine, world.Npc("bandit")),
                  (Seen{banditsItems, false, gothicOne ? none : banditsItems}));
        const std::vector<std::string> guardsItems{"sword", "torch"};
        EXPECT_EQ(Look(engine, world.Npc("guard")),
                  (Seen{guardsItems, false, gothicOne ? none : guardsItems}));
        EXPECT_EQ(world.Npc("guard").drawnWeapon, &world.Item("sword")) << "still worn";
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, PackedInventories,
                         ::testing::Values(kGothicOneClassic, kGothicOneAddon, kGothicTwoClassic,
                                           kGothicTwoAddon),
                         [](const auto& tested) {
                             return "Engine" + std::to_string(tested.param);
                         });

// Unpacked items join the inventory as any item does: a stack the NPC was given while packed
// takes in the packed stack of its instance.
TEST(PackedInventories, UnpackedItemsStackWithWhatTheNpcWasGivenMeanwhile) {
    ScenarioGame world(kCamp);
    SimEngine& engine = world.Engine();
    world.Game().Load(1);
    SimNpc& bandit = world.Npc("bandit");
    engine.eng_npc_create_items(&bandit, engine.InstanceIndex("ITMI_GOLD"), 5);
    engine.eng_inventory_prepare(engine.eng_npc_inventory(&bandit));

    const std::vector<oCItem*> entries = bandit.inventory.entries.Objects();
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(engine.eng_item_amount(entries.at(0)), 30) << "one stack of gold";
    EXPECT_EQ(entries.at(1), &world.Item("apple"));
    EXPECT_TRUE(world.Item("gold").joinedStack.has_value()) << "the packed stack joined it";
}

// Gothic I's inventory has no list of all its entries: where Gothic II's list lies, Gothic I
// has the first of its category lists, the one of items without a category.
TEST(InventoryLists, GothicOnesEntryListIsItsListOfItemsWithoutACategory) {
    constexpr const char* kStash = R"({
        "instances": {"ITMI_NOTHING": {"name": "Nothing", "category": "0"},
                      "ITMW_SWORD": {"name": "Sword", "category": "0x2"}},
        "world": {"npcs": [{"id": "thief", "instance": "VLK_1",
                            "inventory": [{"id": "sword", "instance": "ITMW_SWORD"},
                                          {"id": "nothing", "instance": "ITMI_NOTHING"}]}]}})";
    for (const auto& [engineVersion, listed] :
         std::vector<std::pair<int, std::vector<std::string>>>{
             {kGothicOneClassic, {"nothing"}},
             {kGothicOneAddon, {"nothing"}},
             {kGothicTwoClassic, {"sword", "nothing"}},
             {kGothicTwoAddon, {"sword", "nothing"}}}) {
        SCOPED_TRACE("engine " + std::to_string(engineVersion));
        ScenarioGame world(kStash, engineVersion);
        SimEngine& engine = world.Engine();
        EXPECT_EQ(Ids(engine, engine.eng_inventory_entry_list(&world.Npc("thief").inventory)),
                  listed);
    }
}

// What the game does with an inventory's packed items, but for unpacking them, is not
// modelled; Gothic I's container list of an NPC's inventory is not either.
TEST(InventoryListsDeathTest, OperationsNotModelledStopTheGameNamingThem) {
    test::UseTheSafestDeathTestStyle();
    const struct {
        std::string name;
        int engineVersion;
        std::function<void(SimEngine&, SimNpc&)> act;
        std::string message;
    } faults[] = {
        {"clearing a packed inventory", kGothicTwoAddon,
         [](SimEngine& engine, SimNpc& bandit) { engine.eng_inventory_clear(&bandit.inventory); },
         "eng_inventory_clear was called on the packed inventory of bandit: what the game does "
         "with the items it keeps packed there is not modelled"},
        {"asking a packed inventory for items", kGothicOneClassic,
         [](SimEngine& engine, SimNpc& bandit) {
             static_cast<void>(engine.eng_npc_has_items_by_name(&bandit, zSTRING("ITMI_GOLD"), 1));
         },
         "eng_npc_has_items_by_name was called on the packed inventory of bandit"},
        {"Gothic I's container list", kGothicOneAddon,
         [](SimEngine& engine, SimNpc& bandit) {
             engine.eng_inventory_prepare(&bandit.inventory);
             static_cast<void>(engine.eng_inventory_item_list(&bandit.inventory));
         },
         "eng_inventory_item_list: an inventory of Gothic_I_Addon keeps its items in nine "
         "category lists"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.name);
        ScenarioGame world(kCamp, fault.engineVersion);
        world.Game().Load(1);
        EXPECT_DEATH(fault.act(world.Engine(), world.Npc("bandit")), fault.message);
    }
}

// A scenario's world can start as a savegame load leaves it, NPC by NPC; the game unpacks an
// inventory it opens.
TEST(PackedInventories, AScenarioWorldStartsWithAnInventoryPackedAndOpeningItUnpacks) {
    ScenarioGame world(R"({
        "world": {"npcs": [
            {"id": "bandit", "instance": "BDT_1", "inventoryPacked": true,
             "inventory": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25},
                           {"id": "armour", "instance": "ITAR_BDT_M", "worn": true}]},
            {"id": "wolf", "instance": "WOLF",
             "inventory": [{"id": "fur", "instance": "ITAT_WOLFFUR"}]}]}})");
    SimEngine& engine = world.Engine();
    EXPECT_EQ(Look(engine, world.Npc("bandit")), (Seen{{"armour"}, false, {}}));
    EXPECT_EQ(Look(engine, world.Npc("wolf")), (Seen{{"fur"}, false, {}}));
    EXPECT_EQ(engine.HolderOf(&world.Item("gold")), &world.Npc("bandit")) << "packed, still his";

    world.Step(R"({"npcs": [{"id": "bandit", "inventoryOpen": true}]})");
    EXPECT_EQ(Look(engine, world.Npc("bandit")), (Seen{{"armour", "gold"}, false, {}}));
}

}  // namespace
}  // namespace pilfern::sim
