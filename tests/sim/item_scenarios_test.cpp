#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/world_builder.h"
#include "sim/sim_game.h"
#include "support/item_census.h"
#include "support/temp_folder.h"

// Items, their instances and inventory steps as a scenario gives them.
namespace pilfern::sim {
namespace {

// A game built from a scenario written as JSON, as the runner builds it.
class ScenarioWorld {
public:
    explicit ScenarioWorld(const std::string& json)
        : scenario_(ParseScenario(json, "items.json")),
          game_(folder_.Path(), scenario_.engineVersion) {
        SetUpGame(game_, scenario_);
    }

    [[nodiscard]] SimEngine& Engine() { return game_.engine; }
    [[nodiscard]] SimNpc& Npc(std::string_view id) { return *game_.engine.FindNpc(id); }
    [[nodiscard]] SimItem& Item(std::string_view id) { return *game_.engine.FindItem(id); }
    // Plays the scenario's timeline step `index`, a world step.
    std::vector<InventoryChange> Step(std::size_t index) {
        return ApplyWorldStep(game_, std::get<WorldStep>(scenario_.timeline.at(index)));
    }

private:
    test::TempFolder folder_;
    Scenario scenario_;
    SimGame game_;
};

TEST(ItemScenario, ItemsTakeTheirInstancesDefinitionAndMayOverrideIt) {
    ScenarioWorld world(R"({
        "instances": {"ItRw_Bow_L_01": {"name": "Short Bow", "category": "0x4", "flags": "0x80000",
                                        "munition": "itrw_arrow", "text": "Damage"},
                      "ITAR_BDT_M": {"category": 16, "armor": 35, "instanceIndex": 40}},
        "world": {"items": [
            {"id": "bow", "instance": "ITRW_BOW_L_01"},
            {"id": "old-bow", "instance": "itrw_bow_l_01", "name": "Old Bow", "category": 2},
            {"id": "armour", "instance": "ITAR_BDT_M"},
            {"id": "gold", "instance": "ItMi_Gold", "name": "Gold", "category": 1,
             "flags": "0x200000", "instanceIndex": 2},
            {"id": "more-gold", "instance": "ITMI_GOLD", "amount": 5},
            {"id": "bolt", "instance": "ITRW_BOLT", "munition": 7}]}})");
    SimEngine& engine = world.Engine();
    const SimItem& bow = world.Item("bow");
    EXPECT_EQ(engine.eng_item_name(&bow).Text(), "Short Bow");
    EXPECT_EQ(engine.eng_item_text_field(&bow).Text(), "Damage");
    EXPECT_EQ(engine.eng_item_flags(&bow), 0x80004U);
    EXPECT_EQ(engine.eng_item_munition(&bow), engine.InstanceIndex("ITRW_ARROW"));
    // An item's own fields override its instance's; the category bit follows its category.
    const SimItem& oldBow = world.Item("old-bow");
    EXPECT_EQ(engine.eng_item_name(&oldBow).Text(), "Old Bow");
    EXPECT_EQ(engine.eng_item_text_field(&oldBow).Text(), "Damage");
    EXPECT_EQ(engine.eng_item_flags(&oldBow), 0x80002U);
    EXPECT_EQ(engine.eng_item_instance(&oldBow), engine.eng_item_instance(&bow));
    // A definition without a name names its items after the instance.
    const SimItem& armour = world.Item("armour");
    EXPECT_EQ(engine.eng_item_name(&armour).Text(), "ITAR_BDT_M");
    EXPECT_EQ(engine.eng_item_flags(&armour), 0x10U);
    EXPECT_EQ(engine.eng_item_armor_word(&armour), 35);
    EXPECT_EQ(engine.eng_item_instance(&armour), 40);
    // The first item of an instance the scenario does not define defines it.
    const SimItem& moreGold = world.Item("more-gold");
    EXPECT_EQ(engine.eng_item_name(&moreGold).Text(), "Gold");
    EXPECT_EQ(engine.eng_item_flags(&moreGold), 0x200001U);
    EXPECT_EQ(engine.eng_item_amount(&moreGold), 5);
    EXPECT_EQ(engine.eng_item_instance(&moreGold), 2);
    EXPECT_EQ(engine.FindItemInstance(2), engine.FindItemInstance("ITMI_GOLD"));
    EXPECT_EQ(engine.eng_item_munition(&world.Item("bolt")), 7);
    // Numbers the scenario gives are taken before play: no instance is handed one of them.
    for (const char* name : {"ITRW_BOW_L_01", "ITRW_ARROW", "ITRW_BOLT"}) {
        EXPECT_NE(engine.InstanceIndex(name), 2) << name;
        EXPECT_NE(engine.InstanceIndex(name), 40) << name;
    }
}

TEST(ItemScenario, WeaponsAreWornItemsOfTheInventoryUntilTakenOff) {
    ScenarioWorld world(R"({
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO",
                       "inventory": [{"id": "bow", "instance": "ITRW_BOW", "category": 4},
                                     {"id": "armour", "instance": "ITAR_PIR", "category": 16,
                                      "worn": true},
                                     {"id": "sword", "instance": "ITMW_SWORD", "category": 2}],
                       "rangedWeapon": "bow"}},
        "timeline": [
            {"world": {"npcs": [{"id": "hero", "drawnWeapon": "sword"}]}},
            {"world": {"npcs": [{"id": "hero", "drawnWeapon": null}],
                       "items": [{"id": "bow", "worn": false}]}}]})");
    SimEngine& engine = world.Engine();
    SimNpc& hero = world.Npc("hero");
    const std::vector<const SimItem*> items{&world.Item("bow"), &world.Item("armour"),
                                            &world.Item("sword")};
    const auto worn = [&engine, &items] {
        std::vector<bool> flags;
        for (const SimItem* item : items) {
            flags.push_back(engine.eng_item_has_flag(item, kItemFlagWorn));
        }
        return flags;
    };
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&hero), &world.Item("bow"));
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&hero), nullptr);
    EXPECT_EQ(worn(), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(engine.eng_item_flags(&world.Item("armour")), 0x10U | kItemFlagWorn);

    world.Step(0);
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&hero), &world.Item("sword"));
    EXPECT_EQ(worn(), (std::vector<bool>{true, true, true}));

    world.Step(1);
    EXPECT_EQ(engine.eng_npc_weapon_query_1(&hero), nullptr);
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&hero), nullptr) << "the bow was taken off";
    EXPECT_EQ(worn(), (std::vector<bool>{false, true, true})) << "a sheathed sword is still worn";
}

TEST(ItemScenario, InventoryStepsGiveTakeAndDropKeepingEveryItemInOnePlace) {
    ScenarioWorld world(R"({
        "instances": {"ITRW_ARROW": {"name": "Arrow", "category": 8, "flags": "0x200000"}},
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO"},
            "npcs": [{"id": "bandit", "instance": "BDT_1", "position": [300, 0, 200],
                      "inventory": [{"id": "arrows", "instance": "ITRW_ARROW", "amount": 20},
                                    {"id": "bow", "instance": "ITRW_BOW", "category": 4}],
                      "rangedWeapon": "bow"}]},
        "timeline": [
            {"world": {"give": {"bandit": [{"id": "more", "instance": "ITRW_ARROW", "amount": 5},
                                           {"id": "ring", "instance": "ITRI_GOLD",
                                            "worn": true}],
                                "hero": [{"id": "hero-arrows", "instance": "ITRW_ARROW"}]}}},
            {"world": {"take": ["ring"], "drop": ["bow"]}},
            {"world": {"take": ["more"]}}]})");
    SimEngine& engine = world.Engine();
    SimNpc& bandit = world.Npc("bandit");

    const std::vector<InventoryChange> given = world.Step(0);
    ASSERT_EQ(given.size(), 3U);
    EXPECT_EQ(given[0].npc, "bandit");
    EXPECT_EQ(given[0].item, "more");
    EXPECT_EQ(given[0].amount, 5);
    EXPECT_EQ(given[2].npc, "hero");
    // Given arrows join the bandit's stack; a given item is made from its instance.
    EXPECT_EQ(engine.eng_item_amount(&world.Item("arrows")), 25);
    EXPECT_EQ(engine.eng_item_name(&world.Item("hero-arrows")).Text(), "Arrow");
    EXPECT_TRUE(engine.eng_item_has_flag(&world.Item("ring"), kItemFlagWorn));

    const std::vector<InventoryChange> moved = world.Step(1);
    ASSERT_EQ(moved.size(), 2U);
    EXPECT_EQ(moved[0].kind, InventoryChange::Kind::Take);
    EXPECT_EQ(moved[1].kind, InventoryChange::Kind::Drop);
    EXPECT_EQ(moved[1].at.x, 300.0F);
    const SimItem& bow = world.Item("bow");
    EXPECT_EQ(engine.HolderOf(&bow), nullptr);
    EXPECT_TRUE(engine.OnGround(&bow));
    EXPECT_EQ(engine.eng_vob_home_world(&bow), engine.eng_game_world(engine.eng_game()));
    EXPECT_EQ(engine.eng_vob_position(&bow).z, 200.0F);
    EXPECT_FALSE(engine.eng_item_has_flag(&bow, kItemFlagWorn)) << "a dropped item is not worn";
    EXPECT_EQ(engine.eng_npc_weapon_query_2(&bandit), nullptr);

    const test::ItemCensus census = test::TakeCensus(engine);
    EXPECT_EQ(census.InSeveralPlaces(), std::vector<std::string>{});
    EXPECT_EQ(census.amounts, (std::map<std::string, int>{{"ITRW_ARROW", 26}, {"ITRW_BOW", 1}}));
    EXPECT_EQ(census.AmountIn("ground", "ITRW_BOW"), 1);
    EXPECT_EQ(census.AmountIn("inventory of bandit", "ITRW_ARROW"), 25);

    // "more" joined a stack when it was given: it is no inventory's item of its own any more.
    EXPECT_THROW(world.Step(2), std::runtime_error);
}

// Steps that name an item where the game no longer has it cannot be played: the run ends
// naming the item, rather than moving an item from where it is not.
TEST(ItemScenario, AStepTheGameHasMadeImpossibleEndsTheRunNamingTheItem) {
    const std::string world = R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO",
                   "inventory": [{"id": "arrows", "instance": "ITRW_ARROW", "amount": 20}]},
        "npcs": [{"id": "bandit", "instance": "BDT_1"}],
        "items": [{"id": "axe", "instance": "ITMW_AXE"}]},
        "timeline": [)";
    const std::vector<std::pair<std::string, std::string>> steps{
        {R"({"world": {"take": ["axe"]}})",
         "take: the item \"axe\" is in no inventory when the step is played"},
        {R"({"world": {"items": [{"id": "axe", "worn": true}]}})",
         "worn: the item \"axe\" is in no inventory when the step is played"},
        {R"({"world": {"items": [{"id": "arrows", "worn": true}]}})",
         "worn: the item \"arrows\" is a stack of 20 when the step is played; a worn item is "
         "one item"},
        {R"({"world": {"npcs": [{"id": "bandit", "drawnWeapon": "arrows"}]}})",
         "bandit.drawnWeapon: the item \"arrows\" is not in the inventory of bandit when the "
         "step is played"},
        {R"({"world": {"npcs": [{"id": "hero", "rangedWeapon": "arrows"}]}})",
         "hero.rangedWeapon: the item \"arrows\" is a stack of 20 when the step is played; a worn "
         "item is one item"},
        {R"({"world": {"transformBack": true}})", "transformBack: the player is not transformed"},
    };
    for (const auto& [step, message] : steps) {
        SCOPED_TRACE(step);
        ScenarioWorld game(world + step + "]}");
        try {
            game.Step(0);
            ADD_FAILURE() << "played";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
}

std::vector<nlohmann::json> Events(const std::string& json, const std::string& kind) {
    std::ostringstream out;
    RunScenario(ParseScenario(json, "items.json"), RunOptions{true, std::nullopt}, out);
    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const nlohmann::json event = nlohmann::json::parse(line);
        if (event.value("event", "") == kind || (kind == "state" && event.contains("state"))) {
            events.push_back(event);
        }
    }
    return events;
}

TEST(ItemScenario, TheRunReportsEachInventoryStep) {
    const std::string json = R"({
        "world": {"player": {"id": "hero", "instance": "PC_HERO", "position": [1, 2, 3],
                             "inventory": [{"id": "torch", "instance": "ITLSTORCH"}]}},
        "timeline": [{"world": {"give": {"hero": [{"id": "gold", "instance": "ITMI_GOLD",
                                                   "amount": 7}]},
                                "drop": ["torch"]}},
                     {"world": {"take": ["gold"]}}]})";
    for (const auto& [kind, expected] : std::vector<std::pair<std::string, std::string>>{
             {"give", R"({"npc": "hero", "id": "gold", "instance": "ITMI_GOLD", "amount": 7})"},
             {"drop", R"({"npc": "hero", "id": "torch", "instance": "ITLSTORCH", "amount": 1,
                          "position": [1.0, 2.0, 3.0]})"},
             {"take", R"({"npc": "hero", "id": "gold", "instance": "ITMI_GOLD", "amount": 7})"}}) {
        SCOPED_TRACE(kind);
        const std::vector<nlohmann::json> events = Events(json, kind);
        ASSERT_EQ(events.size(), 1U);
        nlohmann::json fields = events.front();
        fields.erase("t");
        fields.erase("event");
        EXPECT_EQ(fields, nlohmann::json::parse(expected));
    }
    const nlohmann::json state = Events(json, "state").front().at("state");
    EXPECT_EQ(state.at("inventories").at("hero"), nlohmann::json::array());
    EXPECT_EQ(state.at("worldItems"),
              nlohmann::json::parse(R"([{"id": "torch", "instance": "ITLSTORCH", "amount": 1}])"));
}

}  // namespace
}  // namespace pilfern::sim
