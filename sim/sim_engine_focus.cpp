// The engine's focus: its settings (how far each kind of object can be focused, and how far
// to either side of where an NPC looks) and the choice of an NPC's next focus.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// The engine's vob types of the objects an NPC can focus, with their focus range.
struct FocusKind {
    int vobType;
    float oCNpcFocus::*range;
};
constexpr std::array<FocusKind, 3> kFocusKinds{{
    {128, &oCNpcFocus::mobRange},
    {129, &oCNpcFocus::itemRange},
    {130, &oCNpcFocus::npcRange},
}};

bool InRange(const oCNpcFocus& focus, int vobType, float distance) {
    const auto* kind = std::find_if(kFocusKinds.begin(), kFocusKinds.end(),
                                    [vobType](const FocusKind& k) { return k.vobType == vobType; });
    return kind != kFocusKinds.end() && distance >= 0.0F && distance <= focus.*(kind->range);
}

float Distance(const zVEC3& a, const zVEC3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// Whether `at` lies within the focus azimuth of where the NPC looks, along the ground. An
// object where the NPC stands is in front of it.
bool InFront(const SimNpc& npc, const zVEC3& at, float azimuthDegrees) {
    const float dx = at.x - npc.vob.position.x;
    const float dz = at.z - npc.vob.position.z;
    const float along = std::hypot(dx, dz);
    const float facing = std::hypot(npc.facing.x, npc.facing.z);
    if (along == 0.0F || facing == 0.0F) {
        return along == 0.0F;
    }
    const float cosine = (dx * npc.facing.x + dz * npc.facing.z) / (along * facing);
    constexpr float kTolerance = 1e-5F;
    return cosine + kTolerance >= std::cos(azimuthDegrees * std::numbers::pi_v<float> / 180.0F);
}

}  // namespace

zCVob* SimEngine::NearestInFocus(const SimNpc& npc) const {
    zCVob* nearest = nullptr;
    float nearestDistance = std::numeric_limits<float>::infinity();
    const auto consider = [&](zCVob* candidate, const VobData& vob, float range) {
        const float distance = Distance(npc.vob.position, vob.position);
        if (candidate == &npc || !vob.inWorld || distance > range || distance >= nearestDistance ||
            !InFront(npc, vob.position, focus.azimuth)) {
            return;
        }
        nearest = candidate;
        nearestDistance = distance;
    };
    for (oCItem* listed : worldItems_.Objects()) {
        if (auto* item = dynamic_cast<SimItem*>(listed)) {
            consider(item, item->vob, focus.itemRange);
        }
    }
    for (oCNpc* listed : worldNpcs_.Objects()) {
        if (auto* other = dynamic_cast<SimNpc*>(listed)) {
            consider(other, other->vob, focus.npcRange);
        }
    }
    for (const auto& container : containers_) {
        consider(container.get(), container->vob, focus.mobRange);
    }
    return nearest;
}

const oCNpcFocus* SimEngine::eng_focus_settings() {
    Count(Op(__func__));
    return &focus;
}

int SimEngine::eng_focus_in_range(const oCNpcFocus* settings, int vobType, float distance) {
    Count(Op(__func__), settings, vobType, distance);
    return settings != nullptr && InRange(*settings, vobType, distance) ? 1 : 0;
}

// The engine chooses the NPC's next focus: the next object of the scenario's list that is still
// in the world, when the scenario gives one, else the nearest focusable object in front.
void SimEngine::eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) {
    Count(Op(__func__), npc, argument);
    auto* sim = dynamic_cast<SimNpc*>(npc);
    if (sim == nullptr) {
        return;
    }
    zCVob* next = nullptr;
    if (sim->focusList) {
        auto& listed = *sim->focusList;
        const auto inWorld = std::find_if(listed.begin(), listed.end(), [](const zCVob* vob) {
            const VobData* data = Vob(vob);
            return data != nullptr && data->inWorld;
        });
        next = inWorld == listed.end() ? nullptr : *inWorld;
        listed.erase(listed.begin(), inWorld == listed.end() ? inWorld : std::next(inWorld));
    } else {
        next = NearestInFocus(*sim);
    }
    sim->focusVob = next;
    sim->focusField = next;
}

}  // namespace pilfern::sim
