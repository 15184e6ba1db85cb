#pragma once

#include "sim/scenario/scenario.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

// Puts a scenario's world into the simulated game. Texts are converted from the
// scenario's UTF-8 to the game's code page.
void BuildWorld(SimGame& game, const WorldSpec& world);
// Gives the game the fonts and textures a scenario's game data names, before the game starts.
void ApplyGameData(SimGame& game, const GameDataSpec& data);
// Changes the world as a timeline step says.
void ApplyWorldStep(SimGame& game, const WorldStep& step);

}  // namespace pilfern::sim
