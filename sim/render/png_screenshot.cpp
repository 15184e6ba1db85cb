// The build with the PNG renderer: screenshots are drawn with cairo.

#include "sim/render/frame_image.h"
#include "sim/render/screenshot.h"

namespace pilfern::sim {

bool ScreenshotsAvailable() {
    return true;
}

void WriteScreenshot(const SimGame& game, ShotSize size, const std::filesystem::path& file) {
    RenderFrame(game, size).WritePng(file);
}

}  // namespace pilfern::sim
