#include "autoloot/ground_items.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/engine_versions.h"
#include "support/looting_game.h"

namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;

// The hero in an open field, auto-loot on, direct view off unless a test asks for it.
Json Field(const std::vector<Json>& items, const Json& world = Json::object()) {
    Json field = Json::parse(R"({
        "instances": {"ITMI_GOLD": {"name": "Gold"}, "ITFO_APPLE": {"name": "Apple"}},
        "world": {"player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, 0]}}
    })");
    field["world"]["items"] = items;
    field["world"].merge_patch(world);
    return field;
}

Json Item(const std::string& id, float z, const Json& fields = Json::object()) {
    Json item{{"id", id}, {"instance", "ITMI_GOLD"}, {"position", {0.0F, 0.0F, z}}};
    item.merge_patch(fields);
    return item;
}

// A game on `json` with a radius of 600 and direct view off.
struct Pass {
    explicit Pass(const Json& json, int engine = 4) : game(json.dump(), engine) {
        game.Plugin().settings.autoLootDistance = 600;
        game.Plugin().settings.needDirectViewAutoloot = false;
    }
    // The ids of the ground items left after one pass.
    std::vector<std::string> LeftAfterPass() {
        AutoLootGroundItems(game.Plugin());
        std::vector<std::string> left;
        for (const oCItem* item : game.Engine().WorldItems().Objects()) {
            left.push_back(sim::SimEngine::Vob(item)->id);
        }
        return left;
    }
    LootingGame game;
};

TEST(GroundAutoLoot, TheDistanceIsCutToWholeUnitsBeforeTheRadius) {
    Pass pass(Field({Item("in", 600.9F), Item("out", 601.0F)}));
    EXPECT_EQ(pass.LeftAfterPass(), (std::vector<std::string>{"out"}));
}

// A distance that is not a number, or too large to count in whole units, is never within the
// radius (a plain conversion gives the smallest integer on x86, which passed). The place of an
// item taken where no whole units hold it gets no marker.
TEST(GroundAutoLoot, ADistanceOrPlaceBeyondWholeUnitsIsNeverWithinReachNorMarked) {
    Pass pass(Field(
        {Item("far", 3.0e9F), Item("farther", 1.0e30F), Item("nan", 0.0F), Item("near", 10.0F)}));
    pass.game.Item("nan").vob.position.x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(pass.LeftAfterPass(), (std::vector<std::string>{"far", "farther", "nan"}));
    EXPECT_EQ(pass.game.Plugin().targetMarkers.size(), 1U) << "the near item is marked";

    Pass faraway(Field({Item("there", 3.0e9F)},
                       {{"player", {{"id", "hero"}, {"position", {0.0F, 0.0F, 3.0e9F}}}}}));
    EXPECT_TRUE(faraway.LeftAfterPass().empty()) << "beside the hero, wherever he stands";
    EXPECT_TRUE(faraway.game.Plugin().targetMarkers.empty());
}

TEST(GroundAutoLoot, TakesEveryQualifyingItemOfOnePassInListOrder) {
    std::vector<Json> items;
    for (int i = 0; i < 10; ++i) {
        items.push_back(
            Item("gold" + std::to_string(i), static_cast<float>(10 * i), {{"amount", i + 1}}));
    }
    Pass pass(Field(items));
    const auto ledger = pass.game.Open();
    EXPECT_TRUE(pass.LeftAfterPass().empty());
    std::vector<std::string> texts;
    for (const test::LootRecord& record : pass.game.Records()) {
        if (!record.history) {
            texts.push_back(record.text);
        }
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Gold x1", "Gold x2", "Gold x3", "Gold x4", "Gold x5",
                                        "Gold x6", "Gold x7", "Gold x8", "Gold x9", "Gold x10"}));
    EXPECT_EQ(pass.game.Records().at(1).text, "Gold x1") << "auto-loot rows carry no (M)";
    ledger.ExpectConserved();
}

// Which items the room rule leaves, with a registry of the rooms the game keeps records of.
TEST(GroundAutoLoot, TheRoomRuleDecidesByBothRoomsTheRegistryAndQuestItems) {
    const struct {
        std::string name;
        Json player;
        Json item;
        Json world;
        bool taken;
    } cases[] = {
        {"both outside", Json::object(), Json::object(), Json::object(), true},
        {"item outside, player in a room",
         {{"room", "TAVERN"}},
         Json::object(),
         Json::object(),
         true},
        {"item in a room, player outside",
         Json::object(),
         {{"room", "TAVERN"}},
         Json::object(),
         false},
        {"different rooms", {{"room", "TAVERN"}}, {{"room", "CELLAR"}}, Json::object(), false},
        {"same room, letter case aside",
         {{"room", "tavern"}},
         {{"room", "TAVERN"}},
         Json::object(),
         true},
        {"same room, registry keeps a record of it",
         {{"room", "TAVERN"}},
         {{"room", "TAVERN"}},
         {{"roomRegistry", {{"rooms", {"TAVERN"}}}}},
         false},
        {"same room, registry without its record",
         {{"room", "TAVERN"}},
         {{"room", "TAVERN"}},
         {{"roomRegistry", {{"rooms", {"CELLAR"}}}}},
         true},
        {"quest item, registry without its record",
         {{"room", "TAVERN"}},
         {{"room", "TAVERN"}, {"flags", "0x1000"}},
         {{"roomRegistry", {{"rooms", Json::array()}}}},
         false},
        {"quest item, no registry",
         {{"room", "TAVERN"}},
         {{"room", "TAVERN"}, {"flags", "0x1000"}},
         Json::object(),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Json field = Field({Item("gold", 100, c.item)}, c.world);
        field["world"]["player"].merge_patch(c.player);
        Pass pass(field);
        // A quest item is told by its flag whether quest items are marked or not.
        pass.game.Plugin().settings.allowMarkQuestItems = false;
        EXPECT_EQ(pass.LeftAfterPass().empty(), c.taken);
    }
}

TEST(GroundAutoLoot, GothicOneNeverTakesAnItemFromARoom) {
    Json field = Field({Item("gold", 100, {{"room", "HUT"}}), Item("apple", 120)});
    field["world"]["player"]["room"] = "HUT";
    Pass pass(field, test::kGothicOneClassic);
    EXPECT_EQ(pass.LeftAfterPass(), (std::vector<std::string>{"gold"}));
}

// The hero carries a bow that fires ITRW_ARROW: an arrow an NPC shot stays, one of the
// hero's own is taken.
TEST(GroundAutoLoot, LeavesExcludedItemsArrowsAndItemsNotOnTheGround) {
    Json field = Field(
        {Item("ornament", 100, {{"instance", "ITMI_ORNAMENTEFFEKT_FARM_ADDON"}}),
         Item("floating", 110, {{"groundCheck", false}}), Item("nameless", 120, {{"name", ""}}),
         Item("unfocusable", 130, {{"flags", "0x800000"}}),
         Item("npc-arrow", 135, {{"instance", "ITRW_ARROW"}, {"vobBits", 1}}),
         Item("own-arrow", 138, {{"instance", "ITRW_ARROW"}, {"vobBits", 1}, {"arrowText", ""}}),
         Item("apple", 140, {{"instance", "ITFO_APPLE"}})});
    field["instances"]["ITRW_BOW"] = {
        {"name", "Bow"}, {"category", "0x4"}, {"munition", "ITRW_ARROW"}};
    field["instances"]["ITRW_ARROW"] = {
        {"name", "Arrow"}, {"category", "0x8"}, {"arrowText", "Pfeil von NSC"}};
    field["world"]["player"]["inventory"] = {{{"id", "bow"}, {"instance", "ITRW_BOW"}}};
    field["world"]["player"]["rangedWeapon"] = "bow";
    Pass pass(field);
    EXPECT_EQ(pass.LeftAfterPass(), (std::vector<std::string>{"ornament", "floating", "nameless",
                                                              "unfocusable", "npc-arrow"}));
}

// The engine never focuses an item with its not-focusable flag, and auto-loot leaves such an
// item too; Gothic Sequel moved that flag to 1 << 24 and marks staffs with 0x800000.
TEST(GroundAutoLoot, LeavesWhatTheRunningEngineNeverFocuses) {
    const struct {
        int engine;
        std::vector<std::string> left;
    } cases[] = {
        {1, {"flag-0x800000"}},
        {2, {"flag-1<<24"}},
        {3, {"flag-0x800000"}},
        {4, {"flag-0x800000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.engine);
        Pass pass(Field({Item("flag-0x800000", 100, {{"flags", "0x800000"}}),
                         Item("flag-1<<24", 120, {{"flags", "0x1000000"}})}),
                  c.engine);
        EXPECT_EQ(pass.LeftAfterPass(), c.left);
    }
}

// With direct view on, the game camera stands 4000 units behind the player, looking where
// the player looks, over a screen of 8192 pixels square: a point 4096 units in front of the
// camera lands on pixel 4096 + x, 4096 - y, which is also its virtual position.
Json InCameraView(const std::vector<Json>& items) {
    Json field =
        Field(items, {{"camera", {{"position", {0, 0, -4000}}, {"direction", {0, 0, 1}}}}});
    field["screen"] = {{"width", 8192}, {"height", 8192}};
    return field;
}

struct ViewPass : Pass {
    explicit ViewPass(const Json& json) : Pass(json) {
        game.Plugin().settings.autoLootDistance = 5000;
        game.Plugin().settings.needDirectViewAutoloot = true;
    }
};

TEST(GroundAutoLoot, WithDirectViewTakesWhatIsOnScreenInsideItsEdges) {
    const struct {
        std::string name;
        Json position;
        bool taken;
    } cases[] = {
        {"left edge, virtual x 0", {-4096, 0, 96}, false},
        {"virtual x 1", {-4095, 0, 96}, true},
        {"virtual x 8191", {4095, 0, 96}, true},
        {"right edge, virtual x 8192", {4096, 0, 96}, false},
        {"top edge, virtual y 0", {0, 4096, 96}, false},
        {"virtual y 1", {0, 4095, 96}, true},
        {"virtual y 8191", {0, -4095, 96}, true},
        {"bottom edge, virtual y 8192", {0, -4096, 96}, false},
        {"on the near plane", {0, 0, -3999}, false},
        {"just beyond the near plane", {0, 0, -3998}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewPass pass(InCameraView({Item("gold", 0, {{"position", c.position}})}));
        EXPECT_EQ(pass.LeftAfterPass().empty(), c.taken);
    }
}

TEST(GroundAutoLoot, DirectViewLeavesWhatAWallHidesAndWithoutItTakesIt) {
    const auto world = [] {
        Json field =
            InCameraView({Item("hidden", 300), Item("open", 0, {{"position", {200, 0, 300}}}),
                          Item("behind", -4500)});
        field["world"]["blockers"] = {
            {{"id", "wall"}, {"min", {-50, -100, 100}}, {"max", {50, 300, 120}}}};
        return field;
    };
    ViewPass withView(world());
    EXPECT_EQ(withView.LeftAfterPass(), (std::vector<std::string>{"hidden", "behind"}));
    ViewPass withoutView(world());
    withoutView.game.Plugin().settings.needDirectViewAutoloot = false;
    EXPECT_TRUE(withoutView.LeftAfterPass().empty());
}

// The line-of-sight test is a ray cast in the game: a pass asks it only for the items that
// pass the cheap tests, not for every item of the world.
TEST(GroundAutoLoot, AsksLineOfSightOnlyForItemsWithinTheRadius) {
    std::vector<Json> items{Item("near", 100)};
    for (int i = 0; i < 20; ++i) {
        items.push_back(Item("far" + std::to_string(i), 9000.0F + static_cast<float>(i)));
    }
    ViewPass pass(InCameraView(items));
    const auto before = pass.game.Engine().Calls("eng_npc_can_see");
    pass.LeftAfterPass();
    EXPECT_EQ(pass.game.Engine().Calls("eng_npc_can_see") - before, 1U);
}

TEST(GroundAutoLoot, MarksEachTakenItemWhereItLayCutTowardZero) {
    Pass pass(Field({Item("gold", 0, {{"position", {-10.7, 5.9, 100.2}}})}));
    pass.game.Game().clock = 7000;
    pass.LeftAfterPass();
    ASSERT_EQ(pass.game.Plugin().targetMarkers.size(), 1U);
    const TargetData& marker = pass.game.Plugin().targetMarkers.front();
    EXPECT_EQ(marker.createdAt, 7000U);
    EXPECT_EQ(marker.x, -10);
    EXPECT_EQ(marker.y, 5);
    EXPECT_EQ(marker.z, 100);
}

}  // namespace
}  // namespace pilfern
