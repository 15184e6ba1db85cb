#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fakegame/fake_world.h"
#include "support/looting_game.h"

// The looting scene both fake-game scenes play: a world with an apple, a dead bandit, a chest
// and a stack of gold, the player's timeline through it, and the same world as a scenario of
// the simulated game.
namespace pilfern::fakegame {

inline constexpr int kKeyRightShift = 54;
inline constexpr int kKeyApostrophe = 40;

// Gothic.ini of both games.
extern const char* const kGothicIni;

// What the player does, frame by frame: the focus set before a frame, the keys held in it.
struct Frame {
    const char* focus = nullptr;  // "" clears the focus
    std::set<int> keys;
    std::uint32_t ms = 16;
};
[[nodiscard]] std::vector<Frame> Timeline();

// The world laid out in the fake game's process.
void BuildFakeWorld(FakeWorld& world);
// The world as a scenario of the simulated game.
[[nodiscard]] std::string ScenarioJson();
// The simulated game playing the timeline: its records, in order.
[[nodiscard]] std::vector<test::LootRecord> PlaySimulatedGame(int version);

// The history file the simulated game's plugin saves into a slot after the timeline.
[[nodiscard]] std::string SimulatedSavedHistory(int version, int slot);

// A stop at an engine address, said with the operations the facts give for it.
[[nodiscard]] std::string Explained(const std::string& stopped, int version);

}  // namespace pilfern::fakegame
