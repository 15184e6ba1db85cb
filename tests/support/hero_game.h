#pragma once

#include <set>
#include <string_view>
#include <vector>

#include "support/plugin_fixture.h"

namespace pilfern::test {

// Key codes the tests press.
inline constexpr int kKeyEscape = 1;
inline constexpr int kKey0 = 11;
inline constexpr int kKeySemicolon = 39;
inline constexpr int kKeyApostrophe = 40;
inline constexpr int kKeyRightShift = 54;
inline constexpr int kMouseButtonMid = 526;

// A running game with the plugin initialised and the hero standing in the world.
class HeroGame {
public:
    explicit HeroGame(int engineVersion = 4, std::string_view gothicIni = "");

    [[nodiscard]] sim::SimGame& Game() { return fixture_.Game(); }
    [[nodiscard]] sim::SimEngine& Engine() { return fixture_.Game().engine; }
    [[nodiscard]] Instance& Plugin() { return fixture_.Running(); }
    [[nodiscard]] sim::SimNpc& Hero() { return *hero_; }
    [[nodiscard]] PluginFixture& Fixture() { return fixture_; }

    // One frame with exactly these keys down; answers the presses the game handled itself.
    std::vector<int> Frame(const std::set<int>& down = {}, std::uint32_t ms = 16);
    // The keys go down in one frame and up in the next.
    void Tap(const std::set<int>& keys);
    // Texts drawn in the last frame.
    [[nodiscard]] std::vector<sim::DrawRecord> DrawnTexts() const;
    [[nodiscard]] bool Drew(std::string_view text) const;
    [[nodiscard]] bool DrewTexture(std::string_view texture) const;
    // The engine calls of the last frame, in order, as "eng_op(argument, ...)"; the engine
    // logs them once LogCalls is on.
    void LogCalls() { Engine().LogCalls(true); }
    [[nodiscard]] std::vector<std::string> LoggedCalls();
    // A wisp NPC placed in the world.
    sim::SimNpc& AddWisp(std::string_view instance = "WISP_DETECTOR", zVEC3 at = {100, 0, 50});

private:
    PluginFixture fixture_;
    sim::SimNpc* hero_ = nullptr;
};

}  // namespace pilfern::test
