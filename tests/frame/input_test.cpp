#include "frame/input.h"

#include <gtest/gtest.h>

#include "support/hero_game.h"

namespace pilfern {
namespace {

using namespace test;

struct HotKeyCase {
    std::string name;
    int base;
    int second;
    std::set<int> held;     // down since an earlier frame
    std::set<int> pressed;  // went down in this frame
    bool answer;
    bool secondConsumed;
};

TEST(HotKeyPair, AnswersAndConsumesTheSecondKeyOnlyWhenTheBaseIsHeldOrAbsent) {
    const HotKeyCase cases[] = {
        {"base held, second pressed",
         kKeyRightShift,
         kKeyApostrophe,
         {kKeyRightShift},
         {kKeyApostrophe},
         true,
         true},
        {"both pressed together",
         kKeyRightShift,
         kKeyApostrophe,
         {},
         {kKeyRightShift, kKeyApostrophe},
         true,
         true},
        {"second without base", kKeyRightShift, kKeyApostrophe, {}, {kKeyApostrophe}, false, false},
        {"base held, second held from before",
         kKeyRightShift,
         kKeyApostrophe,
         {kKeyRightShift, kKeyApostrophe},
         {},
         false,
         false},
        {"no base key, second pressed", 0, kMouseButtonMid, {}, {kMouseButtonMid}, true, true},
        {"no base key, nothing pressed", 0, kMouseButtonMid, {}, {}, false, false},
    };
    for (const HotKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        HeroGame game;
        sim::SimEngine& engine = game.Engine();
        for (const int key : c.held) {
            engine.SetKeyState(key, true);
        }
        static_cast<void>(engine.TakeUnhandledKeyPresses());  // a frame has passed
        for (const int key : c.pressed) {
            engine.SetKeyState(key, true);
        }
        EXPECT_EQ(HotKeyPressed(engine, c.base, c.second), c.answer);
        const bool stillPending = engine.eng_input_key_toggled(&engine.input, c.second);
        EXPECT_EQ(!stillPending && c.pressed.contains(c.second), c.secondConsumed);
    }
}

TEST(HotKeys, HoldingTheBaseKeyAndPressingTheSecondOnceFlipsOnce) {
    HeroGame game;
    Instance& plugin = game.Plugin();
    for (int frame = 0; frame < 3; ++frame) {
        game.Frame({kKeyRightShift});
    }
    game.Frame({kKeyRightShift, kKeySemicolon});
    for (int frame = 0; frame < 5; ++frame) {
        game.Frame({kKeyRightShift, kKeySemicolon});
    }
    EXPECT_TRUE(plugin.historyVisible);
    game.Frame({kKeyRightShift});
    game.Frame({kKeyRightShift, kKeySemicolon});
    EXPECT_FALSE(plugin.historyVisible);

    game.Frame({kKeyRightShift, kKeyApostrophe});
    game.Frame({kKeyRightShift, kKeyApostrophe});
    EXPECT_TRUE(plugin.autoLootActive);
    game.Frame();
    game.Tap({kKeyRightShift, kKeyApostrophe});
    EXPECT_FALSE(plugin.autoLootActive);
}

TEST(HotKeys, ASecondKeyWithoutItsBaseFlipsNothingAndReachesTheGame) {
    HeroGame game;
    const std::vector<int> handledByGame = game.Frame({kKeyApostrophe});
    EXPECT_FALSE(game.Plugin().autoLootActive);
    EXPECT_EQ(handledByGame, std::vector<int>{kKeyApostrophe});
}

TEST(HotKeys, APairWithoutBaseKeyFlipsOnTheSecondKeyAlone) {
    HeroGame game;
    game.Plugin().settings.autoLootEnabledBase = 0;
    game.Plugin().settings.autoLootEnabledSecond = kMouseButtonMid;
    game.Tap({kMouseButtonMid});
    EXPECT_TRUE(game.Plugin().autoLootActive);
    game.Tap({kMouseButtonMid});
    EXPECT_FALSE(game.Plugin().autoLootActive);
}

struct EscapeCase {
    std::string name;
    std::function<void(HeroGame&)> arrange;
    bool closes;
};

TEST(EscapeKey, ClosesTheShownOverlayOnlyWhileThePlayerIsFree) {
    const EscapeCase cases[] = {
        {"free", [](HeroGame&) {}, true},
        {"overlay hidden", [](HeroGame& g) { g.Plugin().historyVisible = false; }, false},
        {"in battle", [](HeroGame& g) { g.Hero().inBattle = true; }, false},
        {"first player check fails", [](HeroGame& g) { g.Hero().queryA = false; }, false},
        {"second player check holds", [](HeroGame& g) { g.Hero().queryB = true; }, false},
        {"inventory open", [](HeroGame& g) { g.Hero().inventory.open = true; }, false},
        {"paused", [](HeroGame& g) { g.Engine().game.paused = true; }, false},
        {"interface blocked", [](HeroGame& g) { g.Engine().uiBlock = 1; }, false},
        {"no player", [](HeroGame& g) { g.Engine().SetPlayer(nullptr); }, false},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        HeroGame game;
        game.Plugin().historyVisible = true;
        c.arrange(game);
        const bool wasShown = game.Plugin().historyVisible;
        const std::vector<int> handledByGame = game.Frame({kKeyEscape});
        EXPECT_EQ(game.Plugin().historyVisible, wasShown && !c.closes);
        // The ESC that closed the overlay does nothing else in the game.
        EXPECT_EQ(handledByGame.empty(), c.closes);
    }
}

TEST(InputPatch, GothicOneEnginesNeverRecordKeyZero) {
    for (const int version : {1, 2, 3, 4}) {
        SCOPED_TRACE(version);
        HeroGame game(version);
        sim::SimEngine& engine = game.Engine();
        game.Frame({kKey0, kKeyApostrophe});
        const bool gothicOne = version <= 2;
        EXPECT_EQ(engine.input.held.at(kKey0), !gothicOne);
        EXPECT_TRUE(engine.input.held.at(kKeyApostrophe));
    }
}

}  // namespace
}  // namespace pilfern
