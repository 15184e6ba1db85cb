#include "sim/render/frame_image.h"

#include <cstring>
#include <string>
#include <utility>

#include "sim/render/cairo_handles.h"
#include "sim/render/canvas.h"
#include "sim/render/screen_draws.h"
#include "sim/render/world_backdrop.h"
#include "sim/sim_game.h"

namespace pilfern::sim {

FrameImage::FrameImage(ShotSize size, std::vector<std::uint32_t> pixels)
    : size_(size), pixels_(std::move(pixels)) {}

Rgb FrameImage::At(int x, int y) const {
    const std::uint32_t pixel =
        pixels_.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width) +
                   static_cast<std::size_t>(x));
    return {static_cast<std::uint8_t>(pixel >> 16U), static_cast<std::uint8_t>(pixel >> 8U),
            static_cast<std::uint8_t>(pixel)};
}

void FrameImage::WritePng(const std::filesystem::path& file) const {
    // The pixels are opaque, so cairo's premultiplied form is the same as the plain one.
    std::vector<std::uint32_t> copy = pixels_;
    const SurfaceHandle surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(copy.data()), CAIRO_FORMAT_ARGB32, size_.width,
        size_.height, size_.width * 4));
    if (cairo_surface_write_to_png(surface.get(), file.string().c_str()) != CAIRO_STATUS_SUCCESS) {
        throw ScreenshotError("cannot write " + file.generic_string());
    }
}

FrameImage RenderFrame(const SimGame& game, ShotSize size) {
    if (size.width <= 0 || size.height <= 0 || size.width > kLargestShotSide ||
        size.height > kLargestShotSide) {
        throw ScreenshotError("a screenshot is 1 to " + std::to_string(kLargestShotSide) +
                              " pixels each way, not " + std::to_string(size.width) + "x" +
                              std::to_string(size.height));
    }
    const SurfaceHandle surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height));
    const ContextHandle cairo(cairo_create(surface.get()));
    if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
        throw ScreenshotError("no memory for a screenshot of " + std::to_string(size.width) + "x" +
                              std::to_string(size.height));
    }
    const Canvas canvas{cairo.get(), size, game.engine.screenWidth, game.engine.screenHeight};
    DrawWorldBackdrop(canvas, game.engine, game.framework.codePage);
    DrawScreenRecords(canvas, game.engine.DrawRecords(), game.framework.codePage);
    cairo_surface_flush(surface.get());

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.width) *
                                      static_cast<std::size_t>(size.height));
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int row = 0; row < size.height; ++row) {
        std::memcpy(&pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(size.width)],
                    data + static_cast<std::ptrdiff_t>(row) * stride,
                    static_cast<std::size_t>(size.width) * sizeof(std::uint32_t));
    }
    return FrameImage(size, std::move(pixels));
}

}  // namespace pilfern::sim
