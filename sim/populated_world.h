#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/sim_game.h"

namespace pilfern::sim {

// Worlds of many objects around the hero, for measuring the plugin's passes and frames: the
// hero at the origin looking along +z with the camera behind, objects within reach laid out
// in front of the hero where the camera sees them, all others on a ring far beyond any
// auto-loot radius.
inline constexpr float kWithinReach = 300.0F;
inline constexpr float kFarRing = 5000.0F;

// The hero, standing in the world as the player.
SimNpc& PlaceHero(SimGame& game);

// `count` items of one named instance on the ground; `withinReach` of them in front of the
// hero, spread evenly through the world's item list, the others on the far ring.
std::vector<SimItem*> ScatterItems(SimGame& game, std::size_t count, std::size_t withinReach);

// `count` NPCs; `corpsesWithinReach` of them dead in front of the hero with an item to give,
// spread evenly through the world's NPC list, the others dead on the far ring with nothing
// left (so each costs a corpse pass its whole judgement up to the distance).
std::vector<SimNpc*> ScatterCorpses(SimGame& game, std::size_t count,
                                    std::size_t corpsesWithinReach);

// `count` living NPCs on the far ring, as a town's people.
void ScatterTownsfolk(SimGame& game, std::size_t count);

// Past the plugin's quiet time after the game starts, and longer than an auto-loot period.
inline constexpr std::uint32_t kPastQuietTimeMs = 5100;
inline constexpr std::uint32_t kAutoLootStepMs = 250;

// Which of the player's two switches a steady state has on.
struct SteadySwitches {
    bool autoLoot = false;
    bool overlay = false;
};

// Plays a started game into a steady state: past the quiet time, the switches turned on with
// the player's hot keys (auto-loot then given one step), then twenty frames of `frameMs` so
// that the plugin's lists settle.
void SettleSteadyState(SimGame& game, SteadySwitches switches, std::uint32_t frameMs);

// Gives a corpse a new item to take, as the world did before it was looted.
void RestockCorpse(SimGame& game, SimNpc& corpse);

}  // namespace pilfern::sim
