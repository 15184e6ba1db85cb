#include "looting/chest_looting.h"

#include <array>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/looting_game.h"

namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;
using test::LootRecord;

// The hero standing before a locked chest with gold and a torch; the hero carries its key.
Json Cellar() {
    return Json::parse(R"({
        "instances": {
            "ITMI_GOLD": {"name": "Gold"},
            "ITLSTORCH": {"name": "Torch"},
            "ITKE_CELLAR": {"name": "Cellar Key"}
        },
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO", "focus": "chest",
                       "animations": ["S_RUN"],
                       "inventory": [{"id": "key", "instance": "ITKE_CELLAR"}]},
            "containers": [{"id": "chest", "instance": "MOB_CHEST", "name": "Cellar Chest",
                            "position": [0, 0, 150], "locked": true, "key": "ITKE_CELLAR",
                            "condition": "CELLAR_COND", "states": 1,
                            "items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 50},
                                      {"id": "torch", "instance": "ITLSTORCH"}]}],
            "scripts": {"functions": {"CELLAR_COND": 1}}
        }
    })");
}

Json CellarWith(const Json& chest, const Json& world = Json::object()) {
    Json cellar = Cellar();
    cellar["world"]["containers"][0].merge_patch(chest);
    cellar["world"].merge_patch(world);
    return cellar;
}

// The game events the engine noted, by kind, in the order of sim::GameEvent's alternatives.
std::vector<std::string> EventKinds(const sim::SimEngine& engine) {
    const std::array<std::string, std::variant_size_v<sim::GameEvent>> names{
        "scriptCall", "eventMessage", "mobBinding", "mobState", "mobLock", "keyBufferCleared"};
    std::vector<std::string> kinds;
    for (const sim::GameEvent& event : engine.GameEvents()) {
        kinds.push_back(names.at(event.index()));
    }
    return kinds;
}

TEST(ChestLooting, ALockedChestOpensWithItsKeyWhichTheHeroKeeps) {
    LootingGame game(Cellar().dump());
    const auto ledger = game.Open();
    game.PressLootKey();
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 50);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITLSTORCH"), 1);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITKE_CELLAR"), 1);
    EXPECT_EQ(game.AmountIn("chest chest", "ITMI_GOLD"), 0);
    EXPECT_EQ(game.Container("chest").lockFlags & 1U, 0U) << "opened with its key";
    // Chest rows name the chest and carry no prefix.
    EXPECT_EQ(game.Records(), (std::vector<LootRecord>{{false, "Gold x50", "", 1},
                                                       {true, "Gold x50", "Cellar Chest", 1},
                                                       {false, "Torch x1", "", 1},
                                                       {true, "Torch x1", "Cellar Chest", 1}}));
    ledger.ExpectConserved();
}

// The unlock is announced to the hero's event manager with each engine's own subtype.
TEST(ChestLooting, TheUnlockMessageCarriesTheEnginesSubtype) {
    for (const auto& [engine, subtype] :
         {std::pair{1, 2}, std::pair{2, 20}, std::pair{3, 19}, std::pair{4, 19}}) {
        SCOPED_TRACE(engine);
        LootingGame game(Cellar().dump(), engine);
        game.PressLootKey();
        const auto& received = game.Hero().events.received;
        ASSERT_EQ(received.size(), 1U);
        const auto* message =
            dynamic_cast<const sim::SimConversationMessage*>(received.front().message);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->subtype, subtype);
        EXPECT_EQ(message->name.Text(), "PICKLOCK_SUCCESS");
        EXPECT_EQ(message->target, static_cast<zCVob*>(&game.Container("chest")));
        EXPECT_EQ(message->flag, 1);
        EXPECT_EQ(received.front().source, static_cast<zCVob*>(&game.Hero()));
    }
}

// Chests the key leaves shut, and what each does to the game meanwhile.
TEST(ChestLooting, ChestsTheKeyLeavesShut) {
    const struct {
        std::string name;
        Json chest;
        Json world;
        bool unlocked;
        std::vector<std::string> events;
    } cases[] = {
        {"no key instance", Json::parse(R"({"key": null})"), Json::object(), false, {"scriptCall"}},
        // Lock picks do not open a chest here: only its key does.
        {"key not carried",
         Json::object(),
         Json::parse(R"({"player": {"inventory": [{"id": "picks", "instance": "ITKE_LOCKPICK",
                                                    "amount": 5}]}})"),
         false,
         {"scriptCall"}},
        {"condition false",
         Json::object(),
         Json::parse(R"({"scripts": {"functions": {"CELLAR_COND": 0}}})"),
         false,
         {"scriptCall", "keyBufferCleared"}},
        // The companion function answering 0 keeps the chest's content, after the unlock.
        {"second condition false",
         Json::object(),
         Json::parse(R"({"scripts": {"functions": {"CELLAR_COND": 1, "CELLAR_COND_S1": 0}}})"),
         true,
         {"scriptCall", "mobLock", "eventMessage", "scriptCall"}},
        {"empty chest", Json::parse(R"({"items": []})"), Json::object(), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(CellarWith(c.chest, c.world).dump());
        const int before = game.AmountIn("chest chest", "ITMI_GOLD");
        game.Game().HoldKeys({test::kKeyV});
        game.Engine().TakeGameEvents();
        LootContainer(game.Plugin());
        EXPECT_EQ(game.AmountIn("chest chest", "ITMI_GOLD"), before);
        EXPECT_TRUE(game.Records().empty());
        EXPECT_EQ((game.Container("chest").lockFlags & 1U) == 0, c.unlocked);
        EXPECT_EQ(EventKinds(game.Engine()), c.events);
    }
}

// The chest is used as a player would use it: bound, driven up through its states and down
// again, each change begun and ended, with the lock bit held meanwhile.
TEST(ChestLooting, TheChestIsDrivenUpThroughItsStatesAndDownAgain) {
    LootingGame game(CellarWith(Json::parse(R"({"states": 3, "locked": false})")).dump());
    game.Game().HoldKeys({test::kKeyV});
    game.Engine().TakeGameEvents();
    LootContainer(game.Plugin());
    std::vector<std::string> changes;
    for (const sim::GameEvent& event : game.Engine().GameEvents()) {
        if (const auto* state = std::get_if<sim::MobStateChanged>(&event)) {
            changes.push_back(std::to_string(state->from) + ">" + std::to_string(state->to) +
                              (state->phase == sim::StatePhase::Begin ? " begin" : " end"));
            EXPECT_EQ(state->fault, "");
        }
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"0>1 begin", "0>1 end", "1>2 begin", "1>2 end",
                                                 "2>3 begin", "2>3 end", "3>2 begin", "3>2 end",
                                                 "2>1 begin", "2>1 end", "1>0 begin", "1>0 end"}));
    EXPECT_EQ(game.Container("chest").state, 0);
    EXPECT_EQ(game.Container("chest").lockFlags, 0U);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 50);
}

// Looting a chest binds the hero to it, which is what the game's "interacting" answer reads;
// left bound, every later frame would stop there and auto-loot would never run again.
TEST(ChestLooting, AfterAChestTheHeroIsFreeAndAutoLootTakesWhatLiesAround) {
    for (const int states : {1, 0}) {
        SCOPED_TRACE("states " + std::to_string(states));
        LootingGame game(
            CellarWith(Json{{"states", states}},
                       Json::parse(R"({"items": [{"id": "coins", "instance": "ITMI_GOLD",
                                                   "amount": 5, "position": [100, 0, 0]}]})"))
                .dump());
        game.PressLootKey();
        ASSERT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 50);
        EXPECT_EQ(game.Engine().eng_npc_interaction_a(&game.Hero()), nullptr);
        game.Plugin().autoLootActive = true;
        game.Plugin().settings.needDirectViewAutoloot = false;
        game.Frame({}, 5001);
        game.Frame({}, 200);
        EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), 55);
    }
}

// Chests open only in passing (standing, walking or running); items and corpses in any state.
// A hero whose model is not loaded plays no animation, and the game is not asked about one.
TEST(ChestLooting, OnlyAHeroStandingWalkingOrRunningOpensChests) {
    const struct {
        std::string animation;
        int allowChests;
        bool opened;
        bool model = true;
    } cases[] = {
        {"S_RUN", 1, true},         {"S_RUNL", 1, true},  {"S_WALK", 1, true},
        {"S_WALKL", 1, true},       {"T_JUMP", 1, false}, {"S_WALKL", 0, false},
        {"S_RUN", 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.animation + " " + std::to_string(c.allowChests) +
                     (c.model ? "" : " without model"));
        LootingGame game(Cellar().dump());
        game.Hero().model.activeAnimations = {c.animation};
        game.Hero().hasModel = c.model;
        game.Plugin().settings.allowQuickLootChests = c.allowChests;
        game.PressLootKey();
        EXPECT_EQ(game.AmountIn("inventory of hero", "ITMI_GOLD"), c.opened ? 50 : 0);
    }
}

TEST(ChestLooting, AChestOutOfFocusRangeStaysShut) {
    LootingGame game(CellarWith(Json::parse(R"({"position": [0, 0, 900]})")).dump());
    game.PressLootKey();
    EXPECT_EQ(game.AmountIn("chest chest", "ITMI_GOLD"), 50);
}

// An item of a chest placed in a world is taken from there; the others are put into the
// inventory.
TEST(ChestLooting, WorldPlacedItemsAreTakenAndOthersPutIntoTheInventory) {
    Json cellar = Cellar();
    cellar["world"]["containers"][0]["items"][0]["inWorld"] = true;
    LootingGame game(cellar.dump());
    game.Engine().LogCalls(true);
    game.Frame({test::kKeyV});
    std::vector<std::string> gives;
    for (const sim::EngineCall& call : game.Engine().CallLog()) {
        const std::string text = sim::CallText(call);
        if (text.starts_with("eng_npc_take_vob") || text.starts_with("eng_npc_put_in_inventory")) {
            gives.push_back(text);
        }
    }
    EXPECT_EQ(gives, (std::vector<std::string>{"eng_npc_take_vob(hero, gold)",
                                               "eng_npc_put_in_inventory(hero, torch)"}));
}

}  // namespace
}  // namespace pilfern
