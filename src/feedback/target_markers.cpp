#include "feedback/target_markers.h"

#include <array>
#include <optional>
#include <vector>

#include "core/world_units.h"

namespace pilfern {
namespace {

constexpr int kEffectMarkers = 3;
constexpr std::string_view kMarkerEffect = "SPELLFX_SLEEP_ORIGIN";
constexpr std::uint32_t kMarkerLifetimeMs = 2000;
constexpr int kStayOnTop = 0;

// The marker's point in the camera's space: the view matrix applied to the world point.
zVEC3 InCameraSpace(const zMAT34& view, const zVEC3& at) {
    const auto row = [&at](const std::array<float, 4>& r) {
        return r[0] * at.x + r[1] * at.y + r[2] * at.z + r[3];
    };
    return {row(view.rows[0]), row(view.rows[1]), row(view.rows[2])};
}

void DrawMarker(Instance& instance, zCCamera* camera, const TargetData& marker) {
    Engine& engine = instance.engine;
    engine.eng_camera_update(camera);
    const zVEC3 at{static_cast<float>(marker.x), static_cast<float>(marker.y),
                   static_cast<float>(marker.z)};
    const zVEC3 inCamera = InCameraSpace(engine.eng_camera_view_matrix(camera), at);
    zCView* screen = engine.eng_screen();
    int x = 0;
    int y = 0;
    bool onScreen = inCamera.z > 0.0F;
    if (onScreen) {
        // A point just in front of the camera can project to pixels no integer holds: such a
        // marker is not drawn, as one behind the camera.
        const zVEC2 pixel = engine.eng_camera_project_float(camera, inCamera);
        const std::optional<std::int32_t> pixelX = WholeUnits(pixel.x);
        const std::optional<std::int32_t> pixelY = WholeUnits(pixel.y);
        onScreen = pixelX.has_value() && pixelY.has_value();
        if (onScreen) {
            x = engine.eng_view_pixel_to_virtual_x(screen, *pixelX);
            y = engine.eng_view_pixel_to_virtual_y(screen, *pixelY);
        }
    }
    // The marker covers `sizeTarget` pixels each way, whatever the screen's resolution.
    const int width = engine.eng_view_pixel_to_virtual_x(screen, instance.settings.sizeTarget);
    const int height = engine.eng_view_pixel_to_virtual_y(screen, instance.settings.sizeTarget);
    if (!onScreen) {
        return;  // behind the camera: kept, not drawn
    }
    zCView* view = instance.statics.targetView;
    engine.eng_screen_insert(view, kStayOnTop);
    engine.eng_view_set_size(view, width, height);
    engine.eng_view_set_position(view, x - width / 2, y - height / 2);
    engine.eng_view_blit(view);
    engine.eng_view_draw(view);
    engine.eng_screen_remove(view);
}

}  // namespace

void AddTargetMarker(Instance& instance, const zCVob& object, bool automatic) {
    if (!automatic) {
        return;
    }
    Engine& engine = instance.engine;
    const int mode = instance.settings.textureIdx;
    if (mode == kEffectMarkers) {
        engine.eng_visual_effect_play(zSTRING(kMarkerEffect), &object, nullptr, 0, 0.0F, 0, 0);
        return;
    }
    if (mode <= 0) {
        return;
    }
    // Whole world units, cut toward zero; a place that has none gets no marker.
    const zVEC3 at = engine.eng_vob_position(&object);
    const std::optional<std::int32_t> x = WholeUnits(at.x);
    const std::optional<std::int32_t> y = WholeUnits(at.y);
    const std::optional<std::int32_t> z = WholeUnits(at.z);
    if (!x || !y || !z) {
        return;
    }
    instance.targetMarkers.push_back(TargetData{instance.framework.GetTime(), *x, *y, *z});
}

void DrawTargetMarkers(Instance& instance) {
    std::vector<TargetData>& markers = instance.targetMarkers;
    Engine& engine = instance.engine;
    if (markers.empty()) {
        return;
    }
    zCCamera* camera = engine.eng_active_camera();
    if (camera == nullptr) {
        return;
    }
    const std::uint32_t now = instance.framework.GetTime();
    // A marker lives 2000 ms, measured as an unsigned difference so that the clock passing
    // 2^31 or wrapping at 2^32 changes nothing.
    std::erase_if(markers, [now](const TargetData& marker) {
        return now - marker.createdAt >= kMarkerLifetimeMs;
    });
    for (const TargetData& marker : markers) {
        DrawMarker(instance, camera, marker);
    }
    const zVIEWPORT& viewport = instance.statics.screenViewport;
    engine.eng_renderer_set_viewport(viewport.x, viewport.y, viewport.width, viewport.height);
}

}  // namespace pilfern
