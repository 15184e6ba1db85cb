#pragma once

#include <cstdint>
#include <string>

#include "host/engine.h"

namespace pilfern::sim {

// One thing the engine put on screen: a textured rectangle of a view, or a line of text.
// Positions and rectangle sizes are virtual screen units; text width and font height are
// pixels, as the font measures them.
struct DrawRecord {
    enum class Kind { Quad, Text };
    Kind kind = Kind::Quad;
    std::uint32_t time = 0;
    int viewId = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string texture;
    std::string text;
    zCOLOR color;
    int fontHeight = 0;
    // How the view blends onto what lies below it (the engine's alpha function of the view).
    int blendMode = 0;
};

}  // namespace pilfern::sim
