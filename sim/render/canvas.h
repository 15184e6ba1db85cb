#pragma once

#include <cairo.h>

#include <string_view>

#include "sim/render/screenshot.h"

namespace pilfern::sim {

// A colour with its opacity, each part 0 to 1.
struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

// The picture being drawn and how the game's coordinates map onto it: the virtual screen
// (8192 units each way) and the game's screen pixels both cover the whole picture.
struct Canvas {
    static constexpr double kVirtualSize = 8192.0;

    cairo_t* cairo = nullptr;  // borrowed for the one picture
    ShotSize size;
    int screenWidth = 1920;  // the game's screen, pixels
    int screenHeight = 1080;

    [[nodiscard]] double VirtualX(double units) const { return units * size.width / kVirtualSize; }
    [[nodiscard]] double VirtualY(double units) const { return units * size.height / kVirtualSize; }
    [[nodiscard]] double ScreenX(double pixels) const { return pixels * size.width / screenWidth; }
    [[nodiscard]] double ScreenY(double pixels) const {
        return pixels * size.height / screenHeight;
    }
    void SetColour(const Colour& colour) const {
        cairo_set_source_rgba(cairo, colour.r, colour.g, colour.b, colour.a);
    }
};

// The font every text of a screenshot is set in.
inline constexpr std::string_view kScreenshotFont = "DejaVu Sans";

}  // namespace pilfern::sim
