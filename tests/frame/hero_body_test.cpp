#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/looting_game.h"

namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;

constexpr std::uint32_t kQuietTimeOver = 5001;
constexpr std::uint32_t kAutoLootStep = 200;

// The hero on a pasture; far off grazes a sheep of the instance the hero's transformation
// spell makes. `transformed`: the game was saved while the hero was a sheep, so the world
// starts with the player in the sheep's body beside the hero's own.
Json Pasture(bool transformed) {
    Json pasture = Json::parse(R"({
        "instances": {"ITMI_GOLD": {"name": "Gold"}, "ITFO_APPLE": {"name": "Apple"}},
        "world": {
            "player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, 0]},
            "npcs": [{"id": "stranger", "instance": "SHEEP", "position": [4000, 0, 0]}]
        }
    })");
    if (transformed) {
        Json& world = pasture["world"];
        world["npcs"].push_back(world["player"]);
        world["player"] = {{"id", "hero-sheep"}, {"instance", "SHEEP"}, {"position", {0, 0, 0}}};
        world["transformedFrom"] = "hero";
    }
    return pasture;
}

// Each transformation makes a body of its own, named `id`.
std::function<void(LootingGame&)> TransformInto(const std::string& id) {
    return [id](LootingGame& game) {
        game.Step(Json{{"transform", {{"id", id}, {"instance", "SHEEP"}}}}.dump());
    };
}

void TurnBack(LootingGame& game) {
    game.Step(R"({"transformBack": true})");
}

void SaveAndLoad(LootingGame& game) {
    game.Game().Save(1);
    game.Game().Load(1);
}

// Loot must only ever reach the player or the hero's own body, whatever the hero turned into
// and whenever the plugin first saw him. A world that starts transformed gives the plugin no
// sign of the hero's own body until he turns back: until then his current body counts as his.
TEST(HeroBody, AutoLootGoesToTheHerosOwnBodyOrThePlayerNeverToAStranger) {
    const struct {
        std::string name;
        bool startsTransformed;
        std::vector<std::function<void(LootingGame&)>> sequence;
        std::string receiver;
    } cases[] = {
        {"in his own body", false, {}, "hero"},
        {"turned into a sheep", false, {TransformInto("spell-sheep")}, "hero"},
        {"turned into a sheep and back", false, {TransformInto("spell-sheep"), TurnBack}, "hero"},
        {"turned twice",
         false,
         {TransformInto("spell-sheep"), TurnBack, TransformInto("spell-sheep-2")},
         "hero"},
        {"loaded while a sheep", true, {}, "hero-sheep"},
        {"loaded while a sheep, turned back", true, {TurnBack}, "hero"},
        {"loaded while a sheep, turned back and again",
         true,
         {TurnBack, TransformInto("spell-sheep")},
         "hero"},
        {"a sheep, saved and loaded, turned back",
         false,
         {TransformInto("spell-sheep"), SaveAndLoad, TurnBack},
         "hero"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LootingGame game(Pasture(c.startsTransformed).dump());
        game.Plugin().autoLootActive = true;
        game.Plugin().settings.needDirectViewAutoloot = false;
        game.Frame({}, kQuietTimeOver);
        for (const auto& step : c.sequence) {
            step(game);
            game.Frame({}, kQuietTimeOver);
        }
        game.Step(
            R"({"spawn": {"items": [{"id": "gold", "instance": "ITMI_GOLD", "amount": 7,
                                     "position": [0, 0, 50]}]}})");
        game.Frame({}, kAutoLootStep);
        EXPECT_EQ(game.AmountIn("inventory of " + c.receiver, "ITMI_GOLD"), 7);
        EXPECT_EQ(game.AmountIn("inventory of stranger", "ITMI_GOLD"), 0);
    }
}

// A hero first seen in a sheep's body, where looting while transformed is not allowed, loots
// again as soon as he is back in his own body.
TEST(HeroBody, LootingComesBackWithTheHerosOwnBody) {
    Json pasture = Pasture(true);
    pasture["world"]["items"] =
        Json::parse(R"([{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, 50]}])");
    LootingGame game(pasture.dump());
    game.Plugin().settings.allowQuickLootInTransform = 0;
    game.Frame();
    TurnBack(game);
    game.Frame();
    game.Hero().focusVob = &game.Item("apple");
    game.Hero().focusField = &game.Item("apple");
    game.PressLootKey();
    EXPECT_FALSE(game.Plugin().heroTransformed);
    EXPECT_EQ(game.AmountIn("inventory of hero", "ITFO_APPLE"), 1);
}

}  // namespace
}  // namespace pilfern
