#include "feedback/target_markers.h"

namespace pilfern {
namespace {

constexpr int kEffectMarkers = 3;
constexpr std::string_view kMarkerEffect = "SPELLFX_SLEEP_ORIGIN";

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
    // Whole world units, cut toward zero.
    const zVEC3 at = engine.eng_vob_position(&object);
    instance.targetMarkers.push_back(TargetData{instance.framework.GetTime(),
                                                static_cast<std::int32_t>(at.x),
                                                static_cast<std::int32_t>(at.y),
                                                static_cast<std::int32_t>(at.z)});
}

// Target markers are not drawn yet.
void DrawTargetMarkers(Instance& /*instance*/) {}

}  // namespace pilfern
