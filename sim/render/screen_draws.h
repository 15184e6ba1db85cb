#pragma once

#include <vector>

#include "sim/draw_record.h"
#include "sim/render/canvas.h"

namespace pilfern::sim {

// Draws what the engine recorded in one frame, in the order it was drawn: each textured view
// as a stand-in for its texture, each text in its colour and height, blended as the view
// blends. Texts are in the game's code page.
void DrawScreenRecords(const Canvas& canvas, const std::vector<DrawRecord>& records, int codePage);

}  // namespace pilfern::sim
