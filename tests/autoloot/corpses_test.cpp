#include "autoloot/corpses.h"

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

constexpr std::uint32_t kQuietTimeOver = 10'000;

Json Corpse(const std::string& id, float z, const std::vector<Json>& inventory,
            const Json& fields = Json::object()) {
    Json corpse{{"id", id},         {"instance", "BDT_" + id},
                {"name", "Bandit"}, {"position", {0.0F, 0.0F, z}},
                {"hitpoints", 0},   {"bodyState", 23},
                {"dead", true},     {"inventory", inventory}};
    corpse.merge_patch(fields);
    return corpse;
}

Json Gold(const std::string& id, int amount = 5) {
    return {{"id", id}, {"instance", "ITMI_GOLD"}, {"amount", amount}};
}

Json Battlefield(const std::vector<Json>& npcs) {
    Json field = Json::parse(R"({
        "instances": {"ITMI_GOLD": {"name": "Gold"},
                      "ITMW_SWORD": {"name": "Sword", "category": "0x2"},
                      "ITAR_LEATHER": {"name": "Leather Armour", "category": "0x10"}},
        "world": {"player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, 0]}}
    })");
    field["world"]["npcs"] = npcs;
    return field;
}

// A game with auto-loot switched on, past the quiet time after a load, direct view off.
struct AutoLootOn {
    explicit AutoLootOn(const Json& json, int engine = 4) : game(json.dump(), engine) {
        Instance& plugin = game.Plugin();
        plugin.settings.autoLootDistance = 600;
        plugin.settings.needDirectViewAutoloot = false;
        plugin.autoLootActive = true;
        game.Game().clock = kQuietTimeOver;
    }
    LootingGame game;
};

TEST(CorpseAutoLoot, OneCorpseAPeriodInListOrder) {
    AutoLootOn on(Battlefield({Corpse("a", 100, {Gold("ga")}), Corpse("b", 200, {Gold("gb")}),
                               Corpse("c", 300, {Gold("gc")})}));
    LootingGame& game = on.game;
    const auto ledger = game.Open();
    std::vector<std::vector<int>> left;
    for (int period = 0; period < 3; ++period) {
        game.Frame({}, 200);
        left.push_back({game.AmountIn("inventory of a", "ITMI_GOLD"),
                        game.AmountIn("inventory of b", "ITMI_GOLD"),
                        game.AmountIn("inventory of c", "ITMI_GOLD")});
    }
    EXPECT_EQ(left, (std::vector<std::vector<int>>{{0, 5, 5}, {0, 0, 5}, {0, 0, 0}}));
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 15);
    EXPECT_EQ(game.Plugin().targetMarkers.size(), 3U) << "each corpse marked";
    ledger.ExpectConserved();
}

// A corpse whose remaining items the looter refuses is passed over, not chosen again every
// period ahead of the corpses after it.
TEST(CorpseAutoLoot, ACorpseWithNothingTheLooterTakesDoesNotStallTheOthers) {
    const std::vector<Json> leftovers{{{"id", "armour"}, {"instance", "ITAR_LEATHER"}},
                                      {{"id", "none"}, {"instance", "ITMI_GOLD"}, {"amount", 0}}};
    for (const int engine : {4, test::kGothicOneClassic}) {
        SCOPED_TRACE(engine);
        AutoLootOn on(
            Battlefield({Corpse("first", 100, leftovers), Corpse("second", 200, {Gold("g")})}),
            engine);
        on.game.Frame({}, 200);
        EXPECT_EQ(on.game.AmountIn("inventory of second", "ITMI_GOLD"), 0);
        EXPECT_EQ(on.game.AmountIn("inventory of first", "ITAR_LEATHER"), 1);
        EXPECT_EQ(on.game.Plugin().targetMarkers.size(), 1U);
    }
}

// An NPC at 0 hit points in the dead body state that the engine does not call dead yet is
// refused by the looter, so the pass passes it over instead of choosing it every period.
TEST(CorpseAutoLoot, ACorpseTheEngineDoesNotCallDeadYetDoesNotStallTheOthers) {
    AutoLootOn on(Battlefield({Corpse("dying", 100, {Gold("gd")}, {{"dead", false}}),
                               Corpse("second", 200, {Gold("g")})}));
    on.game.Frame({}, 200);
    EXPECT_EQ(on.game.AmountIn("inventory of second", "ITMI_GOLD"), 0);
    EXPECT_EQ(on.game.AmountIn("inventory of dying", "ITMI_GOLD"), 5);
}

// With "ShowArmor" on, the looter would take armour and nameless items, but auto-loot counts an
// item only when it also passes its own measure: a name, and armour with an armour word and a
// flag word other than the bare armour flag (the engine adds the category to the flags, so
// armour whose scripts set no flag of their own has exactly that).
TEST(CorpseAutoLoot, AnItemCountsWhenTheLooterTakesItAndAutoLootThinksItWorthACorpse) {
    const struct {
        std::string name;
        Json item;
        CorpseVerdict verdict;
    } cases[] = {
        {"a named item", {{"id", "i"}, {"instance", "ITMI_GOLD"}}, CorpseVerdict::Take},
        {"a nameless item",
         {{"id", "i"}, {"instance", "ITMI_NAMELESS"}},
         CorpseVerdict::NothingToTake},
        {"armour without an armour word",
         {{"id", "i"}, {"instance", "ITAR_LEATHER"}},
         CorpseVerdict::NothingToTake},
        {"armour with an armour word and a flag of its own",
         {{"id", "i"}, {"instance", "ITAR_PLATE"}},
         CorpseVerdict::Take},
        {"armour with an armour word and the armour flag alone",
         {{"id", "i"}, {"instance", "ITAR_MILITIA"}},
         CorpseVerdict::NothingToTake},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Json field = Battlefield({Corpse("npc", 300, {c.item})});
        field["instances"].merge_patch(Json::parse(R"({
            "ITMI_NAMELESS": {"name": ""},
            "ITAR_PLATE": {"name": "Plate Armour", "category": "0x10", "armor": 30, "flags": "0x1000"},
            "ITAR_MILITIA": {"name": "Militia Armour", "category": "0x10", "armor": 30}
        })"));
        AutoLootOn on(field);
        on.game.Plugin().settings.showArmor = true;
        EXPECT_EQ(JudgeCorpse(on.game.Plugin(), on.game.Hero(), on.game.Npc("npc")), c.verdict);
    }
}

// Who is a corpse for auto-loot, on both engines.
TEST(CorpseAutoLoot, JudgesNpcsByLifeDistanceDeathAndContent) {
    const struct {
        std::string name;
        int engine;
        Json fields;
        CorpseVerdict verdict;
    } cases[] = {
        {"corpse", 4, Json::object(), CorpseVerdict::Take},
        {"alive, whatever its body state", 4, {{"hitpoints", 5}}, CorpseVerdict::Alive},
        {"at 600.5 with a radius of 600", 4, {{"position", {0, 0, 600.5}}}, CorpseVerdict::Take},
        {"at 601", 4, {{"position", {0, 0, 601}}}, CorpseVerdict::TooFar},
        {"death animation in any case", 4, {{"animations", {"s_deadb"}}}, CorpseVerdict::Take},
        {"still falling", 4, {{"animations", {"T_STUMBLE"}}}, CorpseVerdict::NoDeathAnimation},
        {"not in the dead body state", 4, {{"bodyState", 0}}, CorpseVerdict::NotDeadBodyState},
        {"at the origin", 4, {{"position", {0, 0, 0}}}, CorpseVerdict::AtOrigin},
        {"only worn items",
         4,
         {{"inventory", {{{"id", "a"}, {"instance", "ITAR_LEATHER"}, {"worn", true}}}}},
         CorpseVerdict::NothingToTake},
        {"Gothic I: a worn weapon counts",
         test::kGothicOneClassic,
         {{"inventory", {{{"id", "w"}, {"instance", "ITMW_SWORD"}, {"worn", true}}}}},
         CorpseVerdict::Take},
        {"Gothic I: worn armour does not",
         test::kGothicOneClassic,
         {{"inventory", {{{"id", "a"}, {"instance", "ITAR_LEATHER"}, {"worn", true}}}}},
         CorpseVerdict::NothingToTake},
        {"NewBalance marker",
         4,
         {{"extended", true}, {"markers", {0, 1, 0}}},
         CorpseVerdict::NewBalanceMarked},
        {"lying dead, but not dead to the engine yet",
         4,
         {{"dead", false}},
         CorpseVerdict::LooterRefuses},
        {"unconscious at 0 hit points",
         4,
         {{"dead", false}, {"unconscious", true}},
         CorpseVerdict::Take},
        {"Gothic I: the engine's own death state is not asked",
         test::kGothicOneClassic,
         {{"dead", false}},
         CorpseVerdict::Take},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AutoLootOn on(Battlefield({Corpse("npc", 300, {Gold("g")}, c.fields)}), c.engine);
        on.game.Plugin().settings.newBalanceMode = true;
        EXPECT_EQ(JudgeCorpse(on.game.Plugin(), on.game.Hero(), on.game.Npc("npc")), c.verdict);
        EXPECT_EQ(JudgeCorpse(on.game.Plugin(), on.game.Hero(), on.game.Hero()),
                  CorpseVerdict::Alive);
    }
}

// A corpse three billion units away, or at a place without a distance, is out of reach.
TEST(CorpseAutoLoot, ADistanceBeyondWholeUnitsIsNeverWithinTheRadius) {
    AutoLootOn on(Battlefield({Corpse("far", 3.0e9F, {Gold("gf")}), Corpse("nan", 50, {Gold("gn")}),
                               Corpse("near", 100, {Gold("g")})}));
    LootingGame& game = on.game;
    game.Npc("nan").vob.position.y = std::numeric_limits<float>::infinity();
    for (int period = 0; period < 3; ++period) {
        game.Frame({}, 200);
    }
    EXPECT_EQ(game.AmountIn("inventory of far", "ITMI_GOLD"), 5);
    EXPECT_EQ(game.AmountIn("inventory of nan", "ITMI_GOLD"), 5);
    EXPECT_EQ(game.AmountIn("inventory of near", "ITMI_GOLD"), 0);
}

TEST(CorpseAutoLoot, NothingIsLootedInTheFirstFiveSecondsAfterALoad) {
    AutoLootOn on(Battlefield({Corpse("a", 100, {Gold("ga")})}));
    on.game.Game().Load(1);
    on.game.Frame({}, 200);
    on.game.Frame({}, 4800);
    EXPECT_EQ(on.game.AmountIn("inventory of a", "ITMI_GOLD"), 5);
    on.game.Frame({}, 200);
    EXPECT_EQ(on.game.AmountIn("inventory of a", "ITMI_GOLD"), 0);
}

}  // namespace
}  // namespace pilfern
