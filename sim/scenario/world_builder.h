#pragma once

#include <string>
#include <vector>

#include "sim/scenario/scenario.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// Puts a scenario's world into the simulated game. Texts are converted from the
// scenario's UTF-8 to the game's code page.
void BuildWorld(SimGame& game, const WorldSpec& world);
// Gives the game the fonts and textures a scenario's game data names, before the game starts.
void ApplyGameData(SimGame& game, const GameDataSpec& data);
// Gives the game's scripts the scenario's item instances and script numbers, before the world
// is built.
void DefineItemInstances(SimGame& game, const Scenario& scenario);

// Makes the game the scenario describes before it starts: its clock, language, code page,
// screen, framework, game data, item instances and world.
void SetUpGame(SimGame& game, const Scenario& scenario);

// What an inventory step of a world step did: items given to an NPC, taken out of the game,
// or dropped onto the ground at the NPC's feet.
struct InventoryChange {
    enum class Kind { Give, Take, Drop };
    Kind kind = Kind::Give;
    std::string npc;   // whose inventory changed
    std::string item;  // the item's id
    std::string instance;
    int amount = 0;
    zVEC3 at;  // where a dropped item lies
};

// Changes the world as a timeline step says; answers what its inventory steps did, in order.
// Throws std::runtime_error when the game has moved an item a step names to where the step
// cannot take it from.
std::vector<InventoryChange> ApplyWorldStep(SimGame& game, const WorldStep& step);

}  // namespace pilfern::sim
