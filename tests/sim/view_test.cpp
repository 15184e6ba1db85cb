#include <climits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/scenario_game.h"

// What the simulated game lets the player see: sight against walls, the rooms the game keeps
// records of, where its camera stands and what it puts on the screen, and the visual effects
// it plays. Auto-loot asks all of these, so each must answer as the game would.
namespace pilfern::sim {
namespace {

using test::ScenarioGame;

constexpr int kSightLineOnly = 1;

// A camera-space point: the world point through the camera's world-to-camera matrix.
zVEC3 ToCamera(const zMAT34& view, const zVEC3& world) {
    const auto row = [&world](const std::array<float, 4>& r) {
        return r[0] * world.x + r[1] * world.y + r[2] * world.z + r[3];
    };
    return {row(view.rows[0]), row(view.rows[1]), row(view.rows[2])};
}

TEST(View, SightIsARayFromTheEyesAndNamesTheNearestWallItEnters) {
    // The hero stands at the origin; the apple lies 10 m ahead on the ground. A wall 1 m
    // ahead crosses the line; its height decides.
    struct Case {
        const char* name;
        const char* blockers;
        std::optional<std::string> blocking;
    };
    const std::vector<Case> cases{
        {"nothing in the way", "[]", std::nullopt},
        // The line from eyes 170 up falls to about 152 at the wall: a 1.5 m wall is
        // looked over, a 1.6 m one is not. From the feet both would block.
        {"low wall looked over",
         R"([{"id": "fence", "min": [-500, 0, 100], "max": [500, 150, 110]}])", std::nullopt},
        {"wall above the eyes' line",
         R"([{"id": "fence", "min": [-500, 0, 100], "max": [500, 160, 110]}])", "fence"},
        // The far wall is listed first; the one the line enters first is named.
        {"two walls",
         R"([{"id": "far", "min": [-500, 0, 600], "max": [500, 1000, 610]},
             {"id": "near", "min": [-500, 0, 300], "max": [500, 1000, 310]}])",
         "near"},
        // A line along a wall's face only touches it.
        {"line along a face", R"([{"id": "side", "min": [0, 0, 0], "max": [100, 1000, 2000]}])",
         std::nullopt},
        {"wall beside the line", R"([{"id": "side", "min": [50, 0, 0], "max": [100, 1000, 2000]}])",
         std::nullopt},
        {"wall behind the apple",
         R"([{"id": "back", "min": [-500, 0, 1100], "max": [500, 1000, 1110]}])", std::nullopt},
        {"wall behind the hero",
         R"([{"id": "back", "min": [-500, 0, -110], "max": [500, 1000, -100]}])", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioGame world(std::string(R"({"world": {
            "player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, 0]},
            "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, 1000]}],
            "blockers": )") +
                           c.blockers + "}}");
        SimEngine& engine = world.Engine();
        EXPECT_EQ(engine.BlockerBetween(world.Npc("hero"), world.Item("apple")), c.blocking);
        EXPECT_EQ(engine.eng_npc_can_see(&world.Npc("hero"), &world.Item("apple"), kSightLineOnly),
                  !c.blocking.has_value());
    }
}

TEST(ViewDeathTest, SightModesThatAlsoAskWhereTheNpcLooksAreNotModelled) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [0, 0, 100]}]}})");
    SimEngine& engine = world.Engine();
    for (const int mode : {0, 2}) {
        EXPECT_DEATH(static_cast<void>(
                         engine.eng_npc_can_see(&world.Npc("hero"), &world.Item("apple"), mode)),
                     "sight test with mode " + std::to_string(mode) + ".*not modelled");
    }
}

TEST(View, TheRegistryRecordsThePlayersRoomByItsExactName) {
    struct Case {
        const char* name;
        const char* playerRoom;  // JSON
        const char* registry;    // JSON
        bool hasRegistry;
        std::optional<std::string> record;
    };
    const std::vector<Case> cases{
        {"recorded", R"("Tavern")", R"({"rooms": ["Cellar", "Tavern"]})", true, "Tavern"},
        {"other letter case", R"("TAVERN")", R"({"rooms": ["Tavern"]})", true, std::nullopt},
        {"not recorded", R"("Tavern")", R"({"rooms": ["Cellar"]})", true, std::nullopt},
        {"in the open", "null", R"({"rooms": ["Tavern"]})", true, std::nullopt},
        {"no registry", R"("Tavern")", "null", false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioGame world(std::string(R"({"world": {
            "player": {"id": "hero", "instance": "PC_HERO", "room": )") +
                           c.playerRoom + R"(}, "roomRegistry": )" + c.registry + "}}");
        SimEngine& engine = world.Engine();
        oCPortalRoomManager* registry = engine.eng_game_room_registry(&engine.game);
        ASSERT_EQ(registry != nullptr, c.hasRegistry);
        if (registry == nullptr) {
            continue;
        }
        const oCPortalRoom* record = engine.eng_room_registry_player_room(registry);
        EXPECT_EQ(record != nullptr ? std::optional(record->name) : std::nullopt, c.record);
    }
}

TEST(View, WorldStepsChangeTheRegistryAndThePlayersRoom) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO", "room": "SMITHY"},
        "items": [{"id": "blade", "instance": "ITMW_1H_SWORD", "room": "STOREROOM"}]}})");
    SimEngine& engine = world.Engine();
    EXPECT_EQ(engine.eng_game_room_registry(&engine.game), nullptr);
    EXPECT_EQ(engine.eng_vob_room_name(&world.Item("blade")).Text(), std::string("STOREROOM"));

    world.Step(R"({"roomRegistry": {"rooms": ["SMITHY"]}})");
    oCPortalRoomManager* registry = engine.eng_game_room_registry(&engine.game);
    ASSERT_NE(registry, nullptr);
    ASSERT_NE(engine.eng_room_registry_player_room(registry), nullptr);
    EXPECT_EQ(engine.eng_room_registry_player_room(registry)->name, "SMITHY");

    world.Step(R"({"npcs": [{"id": "hero", "room": "STOREROOM"}]})");
    EXPECT_EQ(engine.eng_room_registry_player_room(registry), nullptr);
    EXPECT_EQ(engine.eng_vob_room_name(&world.Npc("hero")).Text(), std::string("STOREROOM"));

    world.Step(R"({"roomRegistry": null})");
    EXPECT_EQ(engine.eng_game_room_registry(&engine.game), nullptr);
}

TEST(View, APlacedCameraProjectsOntoTheScreenInPerspective) {
    // The camera 10 m back from the origin looking along z, 90 degrees across an 800 wide
    // screen: the image plane lies 400 pixels away, so at 10 m depth 1 m is 40 pixels.
    ScenarioGame world(R"({"screen": {"width": 800, "height": 600}, "world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "camera": {"position": [0, 0, -1000], "direction": [0, 0, 1]}}})");
    SimEngine& engine = world.Engine();
    zCCamera* camera = engine.eng_active_camera();
    ASSERT_NE(camera, nullptr);
    engine.eng_camera_update(camera);
    const zMAT34 view = engine.eng_camera_view_matrix(camera);
    struct Case {
        zVEC3 world;
        zPOINT2 pixel;
    };
    const std::vector<Case> cases{
        {{0, 0, 0}, {400, 300}},          // straight ahead: the centre
        {{1000, 0, 0}, {800, 300}},       // 45 degrees right: the right edge
        {{-100, 0, 0}, {360, 300}},       // left
        {{0, 100, 0}, {400, 260}},        // up is up the screen
        {{0, 0, 1000}, {400, 300}},       // further ahead stays centred
        {{100, -100, 1000}, {420, 320}},  // and shrinks with depth
        {{11, 0, 0}, {404, 300}},         // 404.4 rounds down
        {{14, 0, 0}, {406, 300}},         // 405.6 rounds up
    };
    for (const Case& c : cases) {
        const zVEC3 seen = ToCamera(view, c.world);
        EXPECT_EQ(engine.eng_camera_project(camera, seen), c.pixel)
            << c.world.x << ' ' << c.world.y << ' ' << c.world.z;
    }
    EXPECT_FLOAT_EQ(engine.eng_camera_near_plane(camera), 1.0F);
    // In the camera's own plane there is no pixel: the processor's indefinite integer, for
    // y as well (0 / 0).
    const zPOINT2 nowhere = engine.eng_camera_project(camera, ToCamera(view, {100, 0, -1000}));
    EXPECT_EQ(nowhere, (zPOINT2{INT_MIN, INT_MIN}));
}

TEST(View, TheGamesCameraTakesItsPlaceBehindThePlayerWhenTheWorldIsDrawn) {
    ScenarioGame world(R"({"world": {
        "player": {"id": "hero", "instance": "PC_HERO", "position": [1000, 0, 0],
                   "facing": [1, 0, 0]}}})");
    SimGame& game = world.Game();
    SimEngine& engine = world.Engine();
    game.Frame(16);
    zCCamera* camera = engine.eng_active_camera();
    ASSERT_NE(camera, nullptr);
    const auto heroSeen = [&] {
        return ToCamera(engine.eng_camera_view_matrix(camera),
                        engine.Vob(&world.Npc("hero"))->position);
    };
    // 300 behind and 150 above, looking the way the hero faces.
    EXPECT_NEAR(heroSeen().x, 0.0F, 1e-3F);
    EXPECT_NEAR(heroSeen().y, -150.0F, 1e-3F);
    EXPECT_NEAR(heroSeen().z, 300.0F, 1e-3F);

    // The hero moves; the camera follows when the game next draws the world.
    world.Step(R"({"npcs": [{"id": "hero", "position": [2000, 0, 0]}]})");
    EXPECT_NEAR(heroSeen().z, 1300.0F, 1e-2F);
    game.Frame(16);
    EXPECT_NEAR(heroSeen().z, 300.0F, 1e-3F);

    // A camera the world puts somewhere stays there.
    world.Step(R"({"camera": {"position": [0, 0, 0], "direction": [1, 0, 0]}})");
    game.Frame(16);
    EXPECT_NEAR(heroSeen().z, 2000.0F, 1e-2F);
    EXPECT_NEAR(heroSeen().y, 0.0F, 1e-3F);

    world.Step(R"({"camera": {"active": false}})");
    EXPECT_EQ(engine.eng_active_camera(), nullptr);
}

TEST(View, VisualEffectsArePlayedAtTheirOriginAndShownOnlyWhenTheScriptsDefineThem) {
    ScenarioGame world(R"({"gameData": {"visualEffects": ["spellfx_glow"]}, "world": {
        "player": {"id": "hero", "instance": "PC_HERO"},
        "items": [{"id": "apple", "instance": "ITFO_APPLE", "position": [10, 20, 30]}]}})");
    SimEngine& engine = world.Engine();
    engine.TakeGameEvents();
    for (const char* effect : {"SPELLFX_GLOW", "SPELLFX_SLEEP_ORIGIN"}) {
        engine.eng_visual_effect_play(zSTRING(effect), &world.Item("apple"), nullptr, 0, 0.0F, 0,
                                      0);
    }
    std::vector<VisualEffectPlayed> played;
    for (const GameEvent& event : engine.TakeGameEvents()) {
        if (const auto* effect = std::get_if<VisualEffectPlayed>(&event)) {
            played.push_back(*effect);
        }
    }
    ASSERT_EQ(played.size(), 2U);
    EXPECT_TRUE(played[0].shown) << "names compare as the scripts keep them, in upper case";
    EXPECT_EQ(played[0].origin, "apple");
    EXPECT_FLOAT_EQ(played[0].at[2], 30.0F);
    EXPECT_FALSE(played[1].shown) << "this game's scripts define no sleep effect";
}

}  // namespace
}  // namespace pilfern::sim
