#pragma once

#include <filesystem>
#include <stdexcept>

namespace pilfern::sim {

class SimGame;

// The widest and tallest screenshot, in pixels.
inline constexpr int kLargestShotSide = 16384;

// The size of a screenshot in pixels; the game's whole virtual screen is mapped onto it.
struct ShotSize {
    int width = 1024;
    int height = 768;
};

// A screenshot that could not be taken: no renderer in this build, or a file that cannot be
// written.
class ScreenshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether this build can draw screenshots. The Windows build has no PNG renderer.
[[nodiscard]] bool ScreenshotsAvailable();

// Draws what the game drew in its last frame, over its world as the game camera sees it, and
// writes it as a PNG. Throws ScreenshotError when it cannot.
void WriteScreenshot(const SimGame& game, ShotSize size, const std::filesystem::path& file);

}  // namespace pilfern::sim
