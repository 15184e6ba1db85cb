#pragma once

#include "sim/render/canvas.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {

// Draws the world faintly, as the game camera sees it: sky and ground with a grid, the walls,
// chests, NPCs and ground items as simple labelled shapes, farthest first. Through the same
// camera and projection that place the plugin's markers, so a marker sits on what it marks.
// Names are in the game's code page.
void DrawWorldBackdrop(const Canvas& canvas, const SimEngine& engine, int codePage);

}  // namespace pilfern::sim
