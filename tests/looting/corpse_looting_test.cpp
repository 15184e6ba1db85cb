#include "looting/corpse_looting.h"

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/engine_versions.h"
#include "support/looting_game.h"

namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;
using test::LootRecord;

// A bandit lying before the hero, with a club, gold, his worn armour, spare armour and a worn
// sword.
Json Camp() {
    return Json::parse(R"({
        "instances": {
            "ITMW_CLUB": {"name": "Club", "category": "0x2"},
            "ITMW_SWORD": {"name": "Sword", "category": "0x2"},
            "ITMI_GOLD": {"name": "Gold"},
            "ITAR_BDT_M": {"name": "Bandit's Armour", "category": "0x10"},
            "ITAR_LEATHER": {"name": "Leather Armour", "category": "0x10"}
        },
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO", "focus": "bandit"},
            "npcs": [{"id": "bandit", "instance": "BDT_1013_BANDIT_L", "name": "Bandit",
                      "position": [0, 0, 150], "hitpoints": 0, "bodyState": 23, "dead": true,
                      "animations": ["S_DEADB"],
                      "inventory": [
                          {"id": "club", "instance": "ITMW_CLUB"},
                          {"id": "gold", "instance": "ITMI_GOLD", "amount": 25},
                          {"id": "worn-armour", "instance": "ITAR_BDT_M", "worn": true},
                          {"id": "spare-armour", "instance": "ITAR_LEATHER"},
                          {"id": "sword", "instance": "ITMW_SWORD"}],
                      "drawnWeapon": "sword"}]
        }
    })");
}

// The bandit in another state: the fields given replace his.
Json CampWith(const Json& bandit) {
    Json camp = Camp();
    camp["world"]["npcs"][0].merge_patch(bandit);
    return camp;
}

struct Qualification {
    std::string name;
    int engine;
    std::string bandit;  // fields of the bandit
    bool looted;
};

void PrintTo(const Qualification& c, std::ostream* out) {
    *out << c.name;
}

class CorpseQualification : public ::testing::TestWithParam<Qualification> {};

// Who can be looted: the dead (Gothic II: by the engine's state, the dead body state and a
// death animation; Gothic I: no hit points and the dead body state) and the unconscious.
TEST_P(CorpseQualification, DecidesWhetherTheKeyLootsTheNpc) {
    const Qualification& c = GetParam();
    LootingGame game(CampWith(Json::parse(c.bandit)).dump(), c.engine);
    game.PressLootKey();
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), c.looted ? 25 : 0);
    EXPECT_EQ(game.AmountIn("inventory of bandit", "ITMI_GOLD"), c.looted ? 0 : 25);
}

INSTANTIATE_TEST_SUITE_P(
    Npcs, CorpseQualification,
    ::testing::Values(
        Qualification{"Dead", test::kGothicTwoAddon, "{}", true},
        Qualification{"DeadWithoutAnyAnimation", test::kGothicTwoAddon, R"({"animations": []})",
                      true},
        Qualification{"DeadButNotYetInADeathAnimation", test::kGothicTwoAddon,
                      R"({"animations": ["S_RUN"]})", false},
        Qualification{"DeadButNotInTheDeadBodyState", test::kGothicTwoAddon, R"({"bodyState": 0})",
                      false},
        Qualification{"NoHitPointsButNotDead", test::kGothicTwoAddon, R"({"dead": false})", false},
        Qualification{"Unconscious", test::kGothicTwoAddon,
                      R"({"dead": false, "hitpoints": 10, "unconscious": true, "bodyState": 0,
                          "animations": ["S_RUN"]})",
                      true},
        Qualification{"Alive", test::kGothicTwoAddon,
                      R"({"dead": false, "hitpoints": 10, "bodyState": 0})", false},
        Qualification{"GothicOneNoHitPointsAndDeadBodyState", test::kGothicOneClassic,
                      R"({"dead": false, "animations": ["S_RUN"]})", true},
        Qualification{"GothicOneNoHitPointsStanding", test::kGothicOneClassic,
                      R"({"bodyState": 0})", false},
        Qualification{"GothicOneUnconscious", test::kGothicOneClassic,
                      R"({"dead": false, "hitpoints": 10, "unconscious": true, "bodyState": 0})",
                      true},
        Qualification{"GothicOneAlive", test::kGothicOneClassic,
                      R"({"dead": false, "hitpoints": 10, "bodyState": 0})", false}),
    [](const auto& tested) { return tested.param.name; });

// NewBalance marks NPCs that must not be looted in its extended NPC record.
TEST(CorpseLooting, NewBalanceMarkersKeepAnExtendedNpcFromTheLooter) {
    const struct {
        std::string name;
        bool newBalance;
        bool extended;
        std::array<int, 3> markers;
        bool looted;
    } cases[] = {
        {"first marker", true, true, {1, 0, 0}, false},
        {"second marker", true, true, {0, 1, 0}, false},
        {"third marker only", true, true, {0, 0, 1}, true},
        {"not NewBalance", false, true, {1, 1, 0}, true},
        {"plain NPC", true, false, {0, 0, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Json bandit = Json::object({{"extended", c.extended}});
        if (c.extended) {
            bandit["markers"] = c.markers;
        }
        LootingGame game(CampWith(bandit).dump());
        game.Plugin().settings.newBalanceMode = c.newBalance;
        game.PressLootKey();
        EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), c.looted ? 25 : 0);
    }
}

// What the corpse gives up and what it keeps, dead or unconscious, on both engines.
TEST(CorpseLooting, TheHeroGetsCopiesOfWhatQualifiesAndTheCorpseKeepsTheRest) {
    const struct {
        std::string name;
        int engine;
        bool showArmor;
        bool unconscious;
        std::vector<std::string> taken;  // instance names the hero gets
    } cases[] = {
        {"Gothic II dead", test::kGothicTwoAddon, false, false, {"ITMI_GOLD", "ITMW_CLUB"}},
        {"Gothic II unconscious", test::kGothicTwoAddon, false, true, {"ITMI_GOLD", "ITMW_CLUB"}},
        {"Gothic II with ShowArmor",
         test::kGothicTwoAddon,
         true,
         false,
         {"ITAR_LEATHER", "ITMI_GOLD", "ITMW_CLUB"}},
        // Gothic I takes the worn sword off and takes it; armour never goes, worn or not.
        {"Gothic I dead",
         test::kGothicOneClassic,
         true,
         false,
         {"ITMI_GOLD", "ITMW_CLUB", "ITMW_SWORD"}},
        {"Gothic I unconscious",
         test::kGothicOneClassic,
         false,
         true,
         {"ITMI_GOLD", "ITMW_CLUB", "ITMW_SWORD"}},
    };
    const std::vector<std::string> everything{"ITAR_BDT_M", "ITAR_LEATHER", "ITMI_GOLD",
                                              "ITMW_CLUB", "ITMW_SWORD"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Json bandit = c.unconscious ? Json::parse(R"({"dead": false, "hitpoints": 10,
                                                            "unconscious": true})")
                                          : Json::object();
        LootingGame game(CampWith(bandit).dump(), c.engine);
        game.Plugin().settings.showArmor = c.showArmor;
        const auto ledger = game.Open();
        game.PressLootKey();
        for (const std::string& instance : everything) {
            const bool taken = std::find(c.taken.begin(), c.taken.end(), instance) != c.taken.end();
            const int amount = instance == "ITMI_GOLD" ? 25 : 1;
            EXPECT_EQ(game.AmountIn("inventory of hero", instance), taken ? amount : 0) << instance;
            EXPECT_EQ(game.AmountIn("inventory of bandit", instance), taken ? 0 : amount)
                << instance << " stays with the corpse when not taken";
        }
        EXPECT_EQ(ledger.StacksMoved(), static_cast<int>(c.taken.size()));
        ledger.ExpectConserved();
    }
}

TEST(CorpseLooting, RowsNameTheNpcAndComeBeforeTheirMessages) {
    LootingGame game(Camp().dump());
    game.PressLootKey();
    EXPECT_EQ(game.Records(), (std::vector<LootRecord>{{true, "(M) Club x1", "Bandit", 3},
                                                       {false, "Club x1", "", 3},
                                                       {true, "(M) Gold x25", "Bandit", 1},
                                                       {false, "Gold x25", "", 1}}));
    EXPECT_TRUE(game.Plugin().targetMarkers.empty()) << "the key marks nothing";
}

TEST(CorpseLooting, ACorpseWithNothingToGiveYieldsNoRecord) {
    LootingGame game(CampWith(Json::parse(R"({"inventory": [], "drawnWeapon": null})")).dump());
    game.PressLootKey();
    EXPECT_TRUE(game.Records().empty());
}

TEST(CorpseLooting, AnOpenInventoryKeepsTheCorpseShut) {
    for (const std::string npc : {"hero", "bandit"}) {
        SCOPED_TRACE(npc);
        LootingGame game(Camp().dump());
        game.Npc(npc).inventory.open = true;
        game.Frame({test::kKeyV});
        EXPECT_EQ(game.AmountIn("inventory of bandit", "ITMI_GOLD"), 25);
    }
}

// Auto-loot while transformed: the hero's own body gets the loot; under NewBalance's full
// sync the transformed body gets it, looking at the corpse meanwhile, and the own body a copy.
TEST(CorpseLooting, WhileTransformedTheOwnBodyOrBothBodiesReceive) {
    const struct {
        std::string name;
        bool fullSync;
        int heroGold;
        int bodyGold;
    } cases[] = {
        {"own body", false, 0, 25},
        {"full sync", true, 25, 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Json camp = CampWith(Json::parse(R"({"extended": true, "markers": [0, 0, 0]})"));
        camp["world"]["npcs"].push_back(
            Json::parse(R"({"id": "body", "instance": "PC_HERO", "position": [500, 0, 0]})"));
        LootingGame game(camp.dump());
        Instance& plugin = game.Plugin();
        plugin.settings.newBalanceMode = true;
        plugin.fullSyncState = c.fullSync ? 1 : -2;
        plugin.heroTransformed = true;
        plugin.heroOriginalBody = &game.Npc("body");
        game.Hero().focusVob = nullptr;
        game.Engine().LogCalls(true);
        game.Engine().BeginStep();
        const auto ledger = game.Open();
        LootCorpse(plugin, &game.Npc("bandit"), false, true);

        EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), c.heroGold);
        EXPECT_EQ(game.AmountIn("inventory of body", "ITMI_GOLD"), c.bodyGold);
        EXPECT_EQ(game.AmountIn("inventory of bandit", "ITMI_GOLD"), 0);
        ledger.ExpectConserved(c.fullSync
                                   ? std::map<std::string, int>{{"ITMI_GOLD", 25}, {"ITMW_CLUB", 1}}
                                   : std::map<std::string, int>{});
        EXPECT_EQ(plugin.targetMarkers.size(), 1U) << "auto-loot marks the corpse";
        // The focus switch: the hero looks at the corpse for each copy, then at nothing again.
        std::vector<std::string> focus;
        for (const sim::EngineCall& call : game.Engine().CallLog()) {
            const std::string text = sim::CallText(call);
            if (text.starts_with("eng_npc_set_focus") || text.starts_with("eng_npc_clear_focus")) {
                focus.push_back(text);
            }
        }
        const std::vector<std::string> switched{
            "eng_npc_set_focus(hero, bandit)", "eng_npc_clear_focus(hero)",
            "eng_npc_set_focus(hero, bandit)", "eng_npc_clear_focus(hero)"};
        EXPECT_EQ(focus, c.fullSync ? switched : std::vector<std::string>{});
    }
}

// The records made, in an order of their own: the game sorts an inventory's list, which the
// simulated game does not, so an unpacked inventory may list its items in another order.
std::vector<LootRecord> Sorted(std::vector<LootRecord> records) {
    std::sort(records.begin(), records.end(), [](const LootRecord& a, const LootRecord& b) {
        return std::tie(a.history, a.text, a.source, a.category) <
               std::tie(b.history, b.text, b.source, b.category);
    });
    return records;
}

// After a savegame load the bandit's inventory comes back packed, but for what he wears, until
// the engine unpacks it: the key and auto-loot unpack it before they look, and take what they
// take from a corpse of a new game.
TEST(CorpseLooting, ACorpseAfterASavegameLoadGivesWhatItGivesInANewGame) {
    const struct {
        std::string name;
        int engine;
        bool automatic;
    } cases[] = {{"Gothic II, key", test::kGothicTwoAddon, false},
                 {"Gothic II, auto-loot", test::kGothicTwoAddon, true},
                 {"Gothic I, key", test::kGothicOneClassic, false},
                 {"Gothic I, auto-loot", test::kGothicOneClassic, true}};
    const auto loot = [](LootingGame& game, bool automatic) {
        if (!automatic) {
            game.PressLootKey();
            return;
        }
        Instance& plugin = game.Plugin();
        plugin.settings.autoLootDistance = 600;
        plugin.settings.needDirectViewAutoloot = false;
        plugin.autoLootActive = true;
        game.Frame({}, 5100);  // past the quiet time after the load
        game.Frame({}, 200);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame newGame(Camp().dump(), c.engine);
        newGame.Game().NewGame();
        loot(newGame, c.automatic);

        LootingGame loaded(Camp().dump(), c.engine);
        loaded.Game().Load(1);
        std::vector<std::string> listed;
        for (const oCItem* entry : loaded.Npc("bandit").inventory.entries.Objects()) {
            listed.push_back(loaded.Engine().Describe(entry));
        }
        EXPECT_EQ(listed, (std::vector<std::string>{"worn-armour", "sword"}))
            << "the game keeps the rest packed";
        const auto ledger = loaded.Open();
        loot(loaded, c.automatic);
        EXPECT_EQ(loaded.AmountIn("inventory of hero", "ITMI_GOLD"), 25);
        EXPECT_EQ(loaded.AmountIn("inventory of bandit", "ITMI_GOLD"), 0);
        EXPECT_FALSE(loaded.Records().empty());
        EXPECT_EQ(Sorted(loaded.Records()), Sorted(newGame.Records()));
        ledger.ExpectConserved();
    }
}

}  // namespace
}  // namespace pilfern
