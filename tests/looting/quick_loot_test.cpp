#include "looting/quick_loot.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "looting/take_item.h"
#include "support/looting_game.h"

namespace pilfern {
namespace {

using test::LootingGame;
using test::LootRecord;

// The hero in a clearing, looking along +z at a purse of gold and, further on, an apple.
constexpr std::string_view kClearing = R"({
    "instances": {
        "ITMI_GOLD": {"name": "Gold"},
        "ITFO_APPLE": {"name": "Apple", "text": "Apple"},
        "ITRW_BOW": {"name": "Hunting Bow", "category": "0x4", "munition": "ITRW_ARROW"},
        "ITRW_ARROW": {"name": "Arrow", "category": "0x8", "arrowText": "Pfeil von NSC"}
    },
    "world": {
        "player": {"id": "hero", "instance": "PC_HERO", "focus": "gold",
                   "inventory": [{"id": "bow", "instance": "ITRW_BOW"}],
                   "rangedWeapon": "bow"},
        "items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 25, "position": [0, 0, 100]},
                  {"id": "apple", "instance": "ITFO_APPLE", "position": [10, 0, 300]}]
    }
})";

std::string Clearing() {
    return std::string(kClearing);
}

TEST(QuickLoot, TheLootKeyTakesTheFocusedItemAndTheEngineFocusesTheNext) {
    LootingGame game(Clearing());
    const auto ledger = game.Open();
    game.PressLootKey();

    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 25);
    EXPECT_EQ(game.AmountIn("ground", "ITMI_GOLD"), 0);
    EXPECT_EQ(game.Records(),
              (std::vector<LootRecord>{{false, "Gold x25", "", 1}, {true, "(M) Gold x25", "", 1}}));
    EXPECT_EQ(game.Engine().eng_npc_focus_vob(&game.Hero()), &game.Item("apple"));
    ledger.ExpectConserved();
}

TEST(QuickLoot, HoldingTheKeyEmptiesOneFocusAfterTheOther) {
    LootingGame game(Clearing());
    const auto ledger = game.Open();
    game.Frame({test::kKeyV});
    game.Frame({test::kKeyV});
    game.Frame({test::kKeyV});
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 25);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITFO_APPLE"), 1);
    EXPECT_EQ(game.Engine().eng_npc_focus_vob(&game.Hero()), nullptr);
    ledger.ExpectConserved();
    EXPECT_EQ(ledger.StacksMoved(), 2);
}

// When there is a request and when not; a handled request ends the frame's work.
TEST(QuickLoot, ALootRequestIsTheKeyOrTheRightButtonWhenAllowedAndNoLootBlock) {
    const struct {
        std::string name;
        std::set<int> keys;
        bool rightButtonAllowed;
        int lootBlock;
        bool handled;
    } cases[] = {
        {"loot key", {test::kKeyV}, true, 0, true},
        {"no key", {}, true, 0, false},
        {"right button", {test::kMouseButtonRight}, true, 0, true},
        {"right button not allowed", {test::kMouseButtonRight}, false, 0, false},
        {"loot block", {test::kKeyV}, true, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(Clearing());
        game.Plugin().settings.isRMBTakeAllow = c.rightButtonAllowed;
        game.Hero().lootBlock = c.lootBlock;
        game.Game().HoldKeys(c.keys);
        EXPECT_EQ(QuickLootDispatch(game.Plugin()), c.handled);
        EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), c.handled ? 25 : 0);
    }
}

TEST(QuickLoot, ARequestWithNothingFocusedIsHandledAndTakesNothing) {
    LootingGame game(Clearing());
    game.Hero().focusVob = nullptr;
    game.Hero().focusField = nullptr;
    game.Game().HoldKeys({test::kKeyV});
    EXPECT_TRUE(QuickLootDispatch(game.Plugin()));
    EXPECT_TRUE(game.Records().empty());
}

// What TakeItem leaves where it is: nothing taken, nothing recorded, nothing marked.
TEST(QuickLoot, ItemsTheKeyLeavesWhereTheyLie) {
    const struct {
        std::string name;
        void (*arrange)(LootingGame&);
    } cases[] = {
        {"no script instance", [](LootingGame& g) { g.Item("gold").instanceIndex = -1; }},
        {"no amount", [](LootingGame& g) { g.Item("gold").amount = 0; }},
        {"conjured under NewBalance",
         [](LootingGame& g) {
             g.Item("gold").vob.instanceName = "ITMW_1H_MISC_SWORD_SUM";
             g.Plugin().settings.newBalanceMode = true;
         }},
        // While transformed the hero's own body takes the loot; in a frame without an
        // auto-loot step it is not known, so nobody can take the item.
        {"transformed",
         [](LootingGame& g) {
             g.Frame();  // the hero's own body is noted in the first frame
             sim::SimNpc& hero = g.Hero();
             g.Step(R"({"transform": {"id": "meatbug", "instance": "MEATBUG"}})");
             g.Hero().focusVob = hero.focusVob;
             g.Hero().focusField = hero.focusField;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(Clearing());
        c.arrange(game);
        game.PressLootKey();
        EXPECT_EQ(game.AmountIn("ground", "ITMI_GOLD") +
                      game.AmountIn("ground", "ITMW_1H_MISC_SWORD_SUM"),
                  game.Item("gold").amount);
        EXPECT_TRUE(game.Records().empty());
        EXPECT_TRUE(game.Plugin().targetMarkers.empty());
    }
}

TEST(QuickLoot, AConjuredItemIsTakenOutsideNewBalance) {
    LootingGame game(Clearing());
    game.Item("gold").vob.instanceName = "ITMW_1H_MISC_SWORD_SUM";
    game.PressLootKey();
    EXPECT_EQ(game.Records().size(), 2U);
}

TEST(QuickLoot, WhileTransformedTheHerosOwnBodyTakesTheItem) {
    LootingGame game(Clearing());
    sim::SimNpc& body = game.Engine().CreateNpc("body", "PC_HERO");
    game.Engine().PlaceInWorld(body);
    Instance& plugin = game.Plugin();
    plugin.heroTransformed = true;
    plugin.heroOriginalBody = &body;
    const auto ledger = game.Open();
    TakeItem(plugin, &game.Item("gold"), true);
    EXPECT_EQ(game.AmountIn("inventory of body", "ITMI_GOLD"), 25);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 0);
    EXPECT_EQ(game.Records().back(), (LootRecord{true, "Gold x25", "", 1}))
        << "auto-loot puts no (M)";
    ledger.ExpectConserved();
}

// An arrow or bolt an NPC shot, of the kind the hero's bow fires, stays where it lies.
TEST(QuickLoot, NpcArrowsOfTheHerosMunitionStayOnTheGround) {
    const struct {
        std::string name;
        void (*arrange)(LootingGame&);
        bool stays;
    } cases[] = {
        {"an NPC's arrow", [](LootingGame&) {}, true},
        {"no arrow text", [](LootingGame& g) { g.Item("arrow").arrowText = zSTRING(); }, false},
        {"another text", [](LootingGame& g) { g.Item("arrow").arrowText = zSTRING("Pfeil"); },
         false},
        {"vob bits clear", [](LootingGame& g) { g.Item("arrow").vob.flagBits = 0x4; }, false},
        {"no weapon", [](LootingGame& g) { g.Hero().rangedWeapon = nullptr; }, false},
        {"not the bow's munition",
         [](LootingGame& g) { g.Item("bow").munition = g.Engine().InstanceIndex("ITRW_BOLT"); },
         false},
        {"the drawn weapon asked first",
         [](LootingGame& g) {
             g.Engine().DefineItemInstance("ITMW_SWORD").category = 0x2;
             sim::SimItem& sword = g.Engine().MakeItem("sword", "ITMW_SWORD");
             sim::SimEngine::Wear(sword);
             g.Engine().PutInInventory(g.Hero(), sword);
             g.Hero().drawnWeapon = &sword;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(Clearing());
        sim::SimItem& arrow = game.Engine().MakeItem("arrow", "ITRW_ARROW", 3);
        arrow.vob.position = zVEC3{0, 0, 50};
        arrow.vob.flagBits = 0x1;
        game.Engine().PlaceInWorld(arrow);
        game.Hero().focusVob = &arrow;
        game.Hero().focusField = &arrow;
        c.arrange(game);
        game.PressLootKey();
        EXPECT_EQ(game.AmountIn("ground", "ITRW_ARROW"), c.stays ? 3 : 0);
    }
}

}  // namespace
}  // namespace pilfern
