#include "frame/frame_driver.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "support/hero_game.h"

namespace pilfern {
namespace {

using test::HeroGame;

constexpr std::uint32_t kQuietTimeOver = 10'000;

// A frame in which everything the driver can do is due: auto-loot on, a message queued, a
// wisp in the world, the quiet time after a load over. What the frame then does shows how
// far the chain of guards let it go.
struct Outcome {
    bool drawsMessages;
    bool drawsIcon;
    bool searchesWisps;
};

struct Situation {
    std::string name;
    std::function<void(HeroGame&)> arrange;
    Outcome outcome;
};

void PrintTo(const Situation& situation, std::ostream* out) {
    *out << situation.name;
}

constexpr Outcome kNothing{false, false, false};
constexpr Outcome kDrawingOnly{true, true, false};
constexpr Outcome kEverything{true, true, true};

// The hero, seen in his own body for a frame, turns into a meatbug.
sim::SimNpc& MakeTransformed(HeroGame& game) {
    game.Frame();
    sim::SimNpc& creature = game.Engine().CreateNpc("meatbug", "MEATBUG");
    creature.hitpoints = 10;
    game.Engine().Transform(creature);
    return creature;
}

std::vector<Situation> Situations() {
    std::vector<Situation> situations{
        {"free", [](HeroGame&) {}, kEverything},
        {"no player", [](HeroGame& g) { g.Engine().SetPlayer(nullptr); }, kNothing},
        {"conversation", [](HeroGame& g) { g.Engine().dialogs.conversationRunning = true; },
         kNothing},
        {"paused", [](HeroGame& g) { g.Engine().game.paused = true; }, kNothing},
        {"transformed, not allowed",
         [](HeroGame& g) {
             MakeTransformed(g);
             g.Plugin().settings.allowQuickLootInTransform = 0;
         },
         kNothing},
        {"transformed, allowed", [](HeroGame& g) { MakeTransformed(g); }, kEverything},
        {"battle, not allowed",
         [](HeroGame& g) {
             g.Hero().inBattle = true;
             g.Plugin().settings.allowQuickLootInBattle = 0;
         },
         kNothing},
        {"battle, allowed", [](HeroGame& g) { g.Hero().inBattle = true; }, kEverything},
        {"battle not allowed, but transformed and allowed so",
         [](HeroGame& g) {
             MakeTransformed(g).inBattle = true;
             g.Plugin().settings.allowQuickLootInBattle = 0;
         },
         kEverything},
        {"no hit points", [](HeroGame& g) { g.Hero().hitpoints = 0; }, kNothing},
        {"inventory open", [](HeroGame& g) { g.Hero().inventory.open = true; }, kNothing},
        {"interacting", [](HeroGame& g) { g.Hero().interactionB = &g.Hero(); }, kDrawingOnly},
        {"unconscious", [](HeroGame& g) { g.Hero().unconscious = true; }, kDrawingOnly},
        {"quiet time after a load", [](HeroGame& g) { g.Game().Load(1); }, kDrawingOnly},
        {"neither ground nor corpse auto-loot allowed",
         [](HeroGame& g) {
             g.Plugin().settings.allowPilfernGround = false;
             g.Plugin().settings.allowPilfernNpc = false;
         },
         kDrawingOnly},
        {"only corpse auto-loot allowed",
         [](HeroGame& g) { g.Plugin().settings.allowPilfernGround = false; }, kEverything},
        {"body state 23 (dead)", [](HeroGame& g) { g.Hero().bodyState = 23; }, kEverything},
    };
    for (const int state : {6, 8, 9, 10, 14, 15, 16, 20}) {
        situations.push_back({"body state " + std::to_string(state),
                              [state](HeroGame& g) { g.Hero().bodyState = state; }, kDrawingOnly});
    }
    return situations;
}

class GuardChain : public ::testing::TestWithParam<Situation> {};

TEST_P(GuardChain, DecidesWhatTheFrameDoes) {
    HeroGame game;
    Instance& plugin = game.Plugin();
    game.Game().clock = kQuietTimeOver;
    GetParam().arrange(game);
    plugin.autoLootActive = true;
    plugin.lootMessages.push_back(MessageData{CStringA("Gold x25"), 1, std::nullopt});
    game.AddWisp();

    game.Frame();

    const Outcome& expected = GetParam().outcome;
    EXPECT_EQ(game.Drew("Gold x25"), expected.drawsMessages);
    EXPECT_EQ(game.DrewTexture("QUICKLOOT_ICON"), expected.drawsIcon);
    EXPECT_EQ(!plugin.autoLootActive, expected.searchesWisps);
    EXPECT_EQ(game.Drew("Found wisp, autoloot will disable."), expected.searchesWisps);
}

INSTANTIATE_TEST_SUITE_P(Situations, GuardChain, ::testing::ValuesIn(Situations()),
                         [](const auto& param) {
                             std::string name;
                             for (const char c : param.param.name) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

// The hero is known by his body, not by a name: a body whose instance name changes is still
// his own, before and after a load.
TEST(FrameDriver, TheHeroIsHisBodyWhateverItsName) {
    HeroGame game;
    game.Frame();
    game.Hero().vob.instanceName = "MEATBUG";
    game.Frame();
    EXPECT_FALSE(game.Plugin().heroTransformed);
    game.Game().Load(1);
    game.Frame();
    EXPECT_FALSE(game.Plugin().heroTransformed);
    EXPECT_EQ(game.Plugin().heroBody, &game.Hero());
}

TEST(FrameDriver, TheIconIsDrawnWhileAutoLootIsOnAndTheViewportIsRestored) {
    HeroGame game;
    const zVIEWPORT screen = game.Plugin().statics.screenViewport;
    game.Frame();
    EXPECT_FALSE(game.DrewTexture("QUICKLOOT_ICON"));
    game.Plugin().autoLootActive = true;
    game.LogCalls();
    game.Frame();
    EXPECT_TRUE(game.DrewTexture("QUICKLOOT_ICON"));
    EXPECT_EQ(game.Engine().rendererViewport, screen);

    // Attached, drawn and detached again within the frame, then the viewport given back.
    const std::string icon = game.Engine().Describe(game.Plugin().statics.lootIconView);
    const std::vector<std::string> calls = game.LoggedCalls();
    const auto attached =
        std::find(calls.begin(), calls.end(), "eng_screen_insert(" + icon + ", 0)");
    ASSERT_NE(attached, calls.end());
    const std::string viewport = std::to_string(screen.x) + ", " + std::to_string(screen.y) + ", " +
                                 std::to_string(screen.width) + ", " +
                                 std::to_string(screen.height);
    EXPECT_EQ(std::vector<std::string>(attached, attached + 5),
              (std::vector<std::string>{
                  "eng_screen_insert(" + icon + ", 0)", "eng_view_blit(" + icon + ")",
                  "eng_view_draw(" + icon + ")", "eng_screen_remove(" + icon + ")",
                  "eng_renderer_set_viewport(" + viewport + ")"}));
}

// Auto-loot is held back for 5000 ms after each load; the wisp search shows when it runs.
TEST(FrameDriver, QuietTimeAfterALoadIsFiveSecondsAlsoAcrossTheClocksWrap) {
    for (const std::uint32_t loadedAt : {1'000U, 0x80000010U, 0xFFFFFC18U}) {
        SCOPED_TRACE(loadedAt);
        HeroGame game;
        game.AddWisp();
        game.Game().clock = loadedAt;
        game.Game().Load(1);
        game.Plugin().autoLootActive = true;
        game.Frame({}, 5000);
        EXPECT_TRUE(game.Plugin().autoLootActive) << "at 5000 ms the quiet time still holds";
        game.Frame({}, 1);
        EXPECT_FALSE(game.Plugin().autoLootActive) << "at 5001 ms auto-loot may run";
    }
}

struct WispCase {
    std::string name;
    std::string instance;
    zVEC3 position;
    bool visual;
    bool inWorld;
    bool switchesOff;
};

TEST(FrameDriver, OnlyAPlacedVisibleWispSwitchesAutoLootOff) {
    const WispCase cases[] = {
        {"detector", "WISP_DETECTOR", {100, 0, 0}, true, true, true},
        {"union wisp in lower case", "union_wisp", {0, 0, 0.5F}, true, true, true},
        {"at the origin", "WISP_DETECTOR", {0, 0, 0}, true, true, false},
        {"without visual", "UNION_WISP", {100, 0, 0}, false, true, false},
        {"not in a world", "UNION_WISP", {100, 0, 0}, true, false, false},
        {"another NPC", "WISP", {100, 0, 0}, true, true, false},
    };
    for (const WispCase& c : cases) {
        SCOPED_TRACE(c.name);
        HeroGame game;
        game.Game().clock = kQuietTimeOver;
        sim::SimNpc& wisp = game.AddWisp(c.instance, c.position);
        wisp.vob.hasVisual = c.visual;
        wisp.vob.inWorld = c.inWorld;
        game.Plugin().autoLootActive = true;
        game.Frame();
        EXPECT_EQ(!game.Plugin().autoLootActive, c.switchesOff);
    }
}

TEST(FrameDriver, AWispThatStaysSwitchesAutoLootOffAgainAtTheNextSearch) {
    HeroGame game;
    game.Game().clock = kQuietTimeOver;
    game.AddWisp();
    game.Plugin().autoLootActive = true;
    game.Frame();
    ASSERT_FALSE(game.Plugin().autoLootActive);

    game.Plugin().autoLootActive = true;  // the player switches it on again
    game.Frame({}, 1000);
    EXPECT_TRUE(game.Plugin().autoLootActive) << "the search runs every 1500 ms";
    game.Engine().ClearDrawRecords();
    game.Frame({}, 500);
    EXPECT_FALSE(game.Plugin().autoLootActive);
    EXPECT_TRUE(game.Drew("Found wisp, autoloot will disable."));
}

TEST(FrameDriver, TheWispNoticeIsRedCentredAt400AndStaysThreeSeconds) {
    HeroGame game;
    game.Game().clock = kQuietTimeOver;
    game.AddWisp();
    game.Plugin().autoLootActive = true;
    game.Frame();
    const auto notice = game.DrawnTexts();
    ASSERT_EQ(notice.size(), 1U);
    EXPECT_EQ(notice[0].y, 400);
    EXPECT_EQ(notice[0].color, (zCOLOR{0, 0, 255, 255}));
    EXPECT_EQ(notice[0].x, (8192 - game.Engine().eng_view_text_width(
                                       game.Plugin().statics.noticeView, zSTRING(notice[0].text))) /
                               2);
    game.Frame({}, 2980);
    EXPECT_TRUE(game.Drew("Found wisp, autoloot will disable."));
    game.Frame({}, 20);
    EXPECT_FALSE(game.Drew("Found wisp, autoloot will disable."));
}

TEST(FrameDriver, TheNewBalanceFlagIsLookedUpOnlyInThatModeAndUntilFound) {
    HeroGame game;
    game.Game().clock = kQuietTimeOver;
    Instance& plugin = game.Plugin();
    plugin.autoLootActive = true;
    game.Engine().SetSymbol("ISFULLSNC", 1);
    game.Frame();
    EXPECT_EQ(plugin.fullSyncState, -1) << "not in NewBalance mode";

    plugin.settings.newBalanceMode = true;
    game.Game().Load(1);
    game.Frame({}, 5001);
    EXPECT_EQ(plugin.fullSyncState, 1);
    game.Engine().SetSymbol("ISFULLSNC", 0);
    game.Frame();
    EXPECT_EQ(plugin.fullSyncState, 1) << "cached until the next load";
    game.Game().Load(1);
    EXPECT_EQ(plugin.fullSyncState, -1);
    game.Frame({}, 5001);
    EXPECT_EQ(plugin.fullSyncState, -2);
}

TEST(FrameDriver, TheTransformationIsNotedEveryFrameAlsoWithAutoLootOff) {
    HeroGame game;
    Instance& plugin = game.Plugin();
    ASSERT_FALSE(plugin.autoLootActive);
    game.Frame();
    EXPECT_FALSE(plugin.heroTransformed);

    MakeTransformed(game);
    game.Frame();
    EXPECT_TRUE(plugin.heroTransformed);

    // Turned back: looting by key must see the hero's own body again at once.
    game.Engine().TransformBack();
    game.Frame();
    EXPECT_FALSE(plugin.heroTransformed);
}

TEST(FrameDriver, AnAutoLootStepFindsTheHerosOwnBodyOnlyForTheStep) {
    HeroGame game;
    game.Game().clock = kQuietTimeOver;
    Instance& plugin = game.Plugin();
    plugin.autoLootActive = true;
    MakeTransformed(game);
    game.Frame({}, 200);
    EXPECT_TRUE(plugin.heroTransformed);
    EXPECT_EQ(plugin.heroOriginalBody, nullptr) << "only set during the step";
}

}  // namespace
}  // namespace pilfern
