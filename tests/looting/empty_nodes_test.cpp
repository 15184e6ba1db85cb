#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/looting_game.h"

// The game's lists may hold nodes without an object. Every walk of the plugin (the ground
// pass, the corpse pass, the corpse and chest looters on every engine) passes over them: a
// world with empty nodes everywhere is looted exactly as the same world without them.
namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;
using test::LootRecord;

constexpr std::uint32_t kQuietTimeOver = 10'000;

Json Camp(bool emptyNodes) {
    Json camp = Json::parse(R"({
        "instances": {"ITMI_GOLD": {"name": "Gold"},
                      "ITFO_APPLE": {"name": "Apple"},
                      "ITMW_SWORD": {"name": "Sword", "category": "0x2"}},
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO", "animations": ["S_RUN"],
                       "focus": "chest"},
            "containers": [{"id": "chest", "instance": "MOB_CHEST", "name": "Chest",
                            "position": [0, 0, 150],
                            "items": [{"id": "c-gold", "instance": "ITMI_GOLD", "amount": 20},
                                      {"id": "c-apple", "instance": "ITFO_APPLE"}]}],
            "npcs": [{"id": "bandit", "instance": "BDT_1", "name": "Bandit",
                      "position": [0, 0, 200], "hitpoints": 0, "bodyState": 23, "dead": true,
                      "inventory": [{"id": "b-gold", "instance": "ITMI_GOLD", "amount": 7},
                                    {"id": "b-sword", "instance": "ITMW_SWORD"}]},
                     {"id": "thief", "instance": "BDT_2", "name": "Thief",
                      "position": [300, 0, 0], "hitpoints": 0, "bodyState": 23, "dead": true,
                      "inventory": [{"id": "t-apple", "instance": "ITFO_APPLE", "amount": 2}]}],
            "items": [{"id": "g-gold", "instance": "ITMI_GOLD", "amount": 3,
                       "position": [100, 0, 100]},
                      {"id": "g-apple", "instance": "ITFO_APPLE", "position": [-100, 0, 50]},
                      {"id": "g-sword", "instance": "ITMW_SWORD", "position": [50, 0, -200]}]
        }
    })");
    if (emptyNodes) {
        Json& world = camp["world"];
        // At the start, between objects and past the end of every list.
        world["emptyNodes"] = {{"items", {0, 2, 99}}, {"npcs", {0, 2, 3, 99}}};
        world["containers"][0]["emptyNodes"] = {0, 2, 99};
        world["npcs"][0]["emptyInventoryNodes"] = {0, 1, 99};
        world["npcs"][1]["emptyInventoryNodes"] = {0};
    }
    return camp;
}

// Opens the chest and loots the bandit with the key, then lets auto-loot take the rest.
std::vector<LootRecord> Loot(bool emptyNodes, int engine) {
    LootingGame game(Camp(emptyNodes).dump(), engine);
    game.PressLootKey();
    game.Step(R"({"npcs": [{"id": "hero", "focus": "bandit"}]})");
    game.PressLootKey();
    Instance& plugin = game.Plugin();
    plugin.settings.autoLootDistance = 600;
    plugin.settings.needDirectViewAutoloot = false;
    plugin.settings.allowPilfernGround = true;
    plugin.settings.allowPilfernNpc = true;
    plugin.autoLootActive = true;
    game.Game().clock = kQuietTimeOver;
    for (int period = 0; period < 4; ++period) {
        game.Frame({}, 200);
    }
    EXPECT_EQ(game.AmountIn("ground", "ITMI_GOLD") + game.AmountIn("ground", "ITFO_APPLE") +
                  game.AmountIn("chest chest", "ITMI_GOLD") +
                  game.AmountIn("inventory of thief", "ITFO_APPLE"),
              0)
        << "everything within reach taken";
    return game.Records();
}

TEST(EmptyListNodes, AWorldWithEmptyNodesIsLootedAsTheSameWorldWithout) {
    for (const int engine : {1, 2, 3, 4}) {
        SCOPED_TRACE("engine " + std::to_string(engine));
        const std::vector<LootRecord> without = Loot(false, engine);
        const std::vector<LootRecord> with = Loot(true, engine);
        EXPECT_GE(without.size(), 14U) << "chest, corpses and ground looted";
        EXPECT_EQ(with, without);
    }
}

// The game keeps its empty nodes while objects come and go, and an inventory of nothing but
// empty nodes is empty to the engine though its entry list has a node.
TEST(EmptyListNodes, TheGameKeepsThemAndAnInventoryOfThemHoldsNothing) {
    LootingGame game(Camp(true).dump());
    sim::SimEngine& engine = game.Engine();
    const auto nodes = [](const auto& list) {
        std::string shape;
        for (const auto* node = list.First(); node != nullptr; node = node->next) {
            shape += node->data == nullptr ? '-' : 'o';
        }
        return shape;
    };
    EXPECT_EQ(nodes(engine.WorldItems()), "-o-oo-");
    EXPECT_EQ(nodes(game.Container("chest").items), "-o-o-");
    game.Step(R"({"remove": ["g-apple"]})");
    EXPECT_EQ(nodes(engine.WorldItems()), "-o-o-");

    sim::SimNpc& thief = game.Npc("thief");
    game.Step(R"({"take": ["t-apple"]})");
    EXPECT_EQ(nodes(thief.inventory.entries), "-");
    EXPECT_TRUE(engine.eng_inventory_is_empty(&thief.inventory));
    EXPECT_NE(engine.eng_inventory_entry_list(&thief.inventory), nullptr);
}

}  // namespace
}  // namespace pilfern
