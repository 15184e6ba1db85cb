#pragma once

#include <cairo.h>

#include <memory>

namespace pilfern::sim {

// cairo's objects, released with them.
struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
struct PatternRelease {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextHandle = std::unique_ptr<cairo_t, ContextRelease>;
using PatternHandle = std::unique_ptr<cairo_pattern_t, PatternRelease>;

}  // namespace pilfern::sim
