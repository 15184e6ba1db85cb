// The build without a PNG renderer (the Windows build): screenshots are refused.

#include "sim/render/screenshot.h"

namespace pilfern::sim {

bool ScreenshotsAvailable() {
    return false;
}

void WriteScreenshot(const SimGame& /*game*/, ShotSize /*size*/,
                     const std::filesystem::path& /*file*/) {
    throw ScreenshotError("screenshots are not available in this build");
}

}  // namespace pilfern::sim
