#include "feedback/target_markers.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "looting/take_item.h"
#include "support/looting_game.h"

namespace pilfern {
namespace {

using Json = nlohmann::json;
using test::LootingGame;

constexpr std::uint32_t kLifetime = 2000;

// The hero with gold at its feet, an apple behind the camera, and the camera fixed 1000 units
// behind the gold looking at it, over a 1920 by 1080 screen.
const char* const kCamp = R"({
    "instances": {"ITMI_GOLD": {"name": "Gold"}},
    "world": {
        "player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, -50]},
        "items": [{"id": "gold", "instance": "ITMI_GOLD", "position": [0, 0, 0]},
                  {"id": "behind", "instance": "ITMI_GOLD", "position": [0, 0, -2000]}],
        "camera": {"position": [0, 0, -1000], "direction": [0, 0, 1]}
    }
})";

// The texture quads drawn by one call of DrawTargetMarkers at `now`.
std::vector<sim::DrawRecord> DrawAt(LootingGame& game, std::uint32_t now) {
    game.Game().clock = now;
    game.Engine().ClearDrawRecords();
    DrawTargetMarkers(game.Plugin());
    std::vector<sim::DrawRecord> quads;
    for (const sim::DrawRecord& record : game.Engine().DrawRecords()) {
        if (record.kind == sim::DrawRecord::Kind::Quad) {
            quads.push_back(record);
        }
    }
    return quads;
}

// A marker lives 2000 ms, wherever the clock stands: also across 2^31 and across the wrap
// at 2^32, where a signed comparison would keep it for ever or drop it at once.
TEST(TargetMarkers, AreDrawnUntil2000MsAndGoneFromThen) {
    for (const std::uint32_t madeAt : {1000U, 0x7FFFFFFFU - 500U, 0xFFFFFFFFU - 500U}) {
        SCOPED_TRACE(madeAt);
        LootingGame game(kCamp);
        game.Game().clock = madeAt;
        AddTargetMarker(game.Plugin(), game.Item("gold"), true);
        EXPECT_EQ(DrawAt(game, madeAt).size(), 1U);
        EXPECT_EQ(DrawAt(game, madeAt + kLifetime - 1).size(), 1U);
        EXPECT_TRUE(DrawAt(game, madeAt + kLifetime).empty());
        EXPECT_TRUE(game.Plugin().targetMarkers.empty());
    }
}

// The marker covers sizeTarget pixels each way, centred on where the spot shows on screen,
// and the renderer's viewport is the screen's again afterwards.
TEST(TargetMarkers, CoverSizeTargetPixelsCentredOnTheSpot) {
    LootingGame game(kCamp);
    game.Plugin().settings.sizeTarget = 128;
    AddTargetMarker(game.Plugin(), game.Item("gold"), true);
    const auto quads = DrawAt(game, 100);
    ASSERT_EQ(quads.size(), 1U);
    // 128 of 1920 pixels across, 128 of 1080 down, in virtual units; the gold is straight
    // ahead, at the screen's centre (4096, 4096).
    const int width = 128 * 8192 / 1920;
    const int height = 128 * 8192 / 1080;
    EXPECT_EQ(quads[0].width, width);
    EXPECT_EQ(quads[0].height, height);
    EXPECT_EQ(quads[0].x, 4096 - width / 2);
    EXPECT_EQ(quads[0].y, 4096 - height / 2);
    EXPECT_EQ(quads[0].texture, "QUICKLOOT_TARGET_GREEN");
    const zVIEWPORT screen{0, 0, 1920, 1080};
    const zVIEWPORT& now = game.Engine().rendererViewport;
    EXPECT_EQ((std::vector<int>{now.x, now.y, now.width, now.height}),
              (std::vector<int>{screen.x, screen.y, screen.width, screen.height}));
}

TEST(TargetMarkers, BehindTheCameraOrWithoutACameraAreKeptAndNotDrawn) {
    LootingGame game(kCamp);
    AddTargetMarker(game.Plugin(), game.Item("behind"), true);
    EXPECT_TRUE(DrawAt(game, 100).empty());
    EXPECT_EQ(game.Plugin().targetMarkers.size(), 1U);

    // No active camera: not even an expired marker is dropped.
    game.Engine().camera.active = false;
    EXPECT_TRUE(DrawAt(game, 100 + 5 * kLifetime).empty());
    EXPECT_EQ(game.Plugin().targetMarkers.size(), 1U);
    game.Engine().camera.active = true;
    EXPECT_TRUE(DrawAt(game, 100 + 5 * kLifetime).empty());
    EXPECT_TRUE(game.Plugin().targetMarkers.empty());
}

// What taking the gold leaves behind, by marker mode and whether the taking was automatic.
TEST(TargetMarkers, TheModeDecidesBetweenMarkerEffectAndNothingAndKeyLootingMarksNothing) {
    const struct {
        int mode;
        bool automatic;
        std::size_t markers;
        bool effect;
    } cases[] = {
        {2, true, 1, false}, {1, true, 1, false},  {5, true, 1, false},  {3, true, 0, true},
        {0, true, 0, false}, {-1, true, 0, false}, {2, false, 0, false}, {3, false, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + (c.automatic ? " auto" : " key"));
        LootingGame game(kCamp);
        game.Plugin().settings.textureIdx = c.mode;
        game.Engine().TakeGameEvents();
        TakeItem(game.Plugin(), &game.Item("gold"), c.automatic);
        ASSERT_FALSE(game.Engine().OnGround(&game.Item("gold")));
        EXPECT_EQ(game.Plugin().targetMarkers.size(), c.markers);
        std::vector<sim::VisualEffectPlayed> effects;
        for (const sim::GameEvent& event : game.Engine().TakeGameEvents()) {
            if (const auto* effect = std::get_if<sim::VisualEffectPlayed>(&event)) {
                effects.push_back(*effect);
            }
        }
        ASSERT_EQ(effects.size(), c.effect ? 1U : 0U);
        if (c.effect) {
            EXPECT_EQ(effects[0].effect, "SPELLFX_SLEEP_ORIGIN");
            EXPECT_EQ(effects[0].origin, "gold");
            EXPECT_EQ(effects[0].at, (std::array<float, 3>{0, 0, 0}));
            EXPECT_FALSE(effects[0].target.has_value());
            EXPECT_TRUE(effects[0].shown);
        }
    }
}

}  // namespace
}  // namespace pilfern
