#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "sim/render/screenshot.h"

namespace pilfern::sim {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One frame as the player sees it, drawn at a chosen size: every pixel opaque.
class FrameImage {
public:
    // `pixels` row after row, each 0xAARRGGBB.
    FrameImage(ShotSize size, std::vector<std::uint32_t> pixels);

    [[nodiscard]] ShotSize Size() const { return size_; }
    [[nodiscard]] Rgb At(int x, int y) const;
    // Throws ScreenshotError when the file cannot be written.
    void WritePng(const std::filesystem::path& file) const;

private:
    ShotSize size_;
    std::vector<std::uint32_t> pixels_;
};

// Draws the game's last frame: its world through the game camera, then the engine's draws of
// the frame on top. The size must be positive (ScreenshotError otherwise).
[[nodiscard]] FrameImage RenderFrame(const SimGame& game, ShotSize size);

}  // namespace pilfern::sim
