// The engine's focus: its settings in each focus mode (how far away each kind of object can be
// focused, how far to either side of where an NPC looks, and which kind goes first), and the
// choice of an NPC's focus, which the engine makes for the player every frame.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "host/engine_profile.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr int kVobTypeMob = 128;
constexpr int kVobTypeItem = 129;
constexpr int kVobTypeNpc = 130;

// The engine's vob types of the objects an NPC can focus, with their settings in a mode.
struct FocusKind {
    int vobType;
    FocusKindSettings oCNpcFocus::*settings;
};
constexpr std::array<FocusKind, 3> kFocusKinds{{
    {kVobTypeMob, &oCNpcFocus::mobs},
    {kVobTypeItem, &oCNpcFocus::items},
    {kVobTypeNpc, &oCNpcFocus::npcs},
}};

const FocusKindSettings* KindSettings(const oCNpcFocus& focus, int vobType) {
    const auto* kind = std::find_if(kFocusKinds.begin(), kFocusKinds.end(),
                                    [vobType](const FocusKind& k) { return k.vobType == vobType; });
    return kind == kFocusKinds.end() ? nullptr : &(focus.*(kind->settings));
}

// A kind of priority -1 is not focused in the mode, whatever the distance. The engine asks
// with the squared distance and keeps its ranges squared.
bool InRange(const oCNpcFocus& focus, int vobType, float squaredDistance) {
    const FocusKindSettings* kind = KindSettings(focus, vobType);
    return kind != nullptr && kind->priority >= 0 && squaredDistance >= 0.0F &&
           squaredDistance <= kind->range * kind->range;
}

// The fight modes of the game's scripts (C_NPC.weapon: 0 none, 1 fists, 2 to 4 melee weapons,
// 5 bow, 6 crossbow, 7 magic) and the focus mode each plays in; no fight mode is Focus_Normal.
struct FightFocus {
    int firstFightMode;
    int lastFightMode;
    SimEngine::FocusMode mode;
};
constexpr std::array<FightFocus, 3> kFightFocus{{
    {1, 4, SimEngine::FocusMode::Melee},
    {5, 6, SimEngine::FocusMode::Ranged},
    {7, 7, SimEngine::FocusMode::Magic},
}};

float Distance(const zVEC3& a, const zVEC3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// Whether `at` lies within `azimuthDegrees` of where the NPC looks, along the ground. An object
// where the NPC stands is in front of it.
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

std::array<oCNpcFocus, 4> SimEngine::ScriptFocusModes() {
    // Focus_Normal is the class's own default. In the fight modes the engine focuses only NPCs:
    // items and chests have priority -1 there.
    constexpr FocusKindSettings kNever{};
    oCNpcFocus melee;
    melee.items = kNever;
    melee.mobs = kNever;
    melee.npcs = {400.0F, 45.0F, 1};
    melee.npcLongRange = 600.0F;
    oCNpcFocus ranged = melee;
    ranged.npcs = {3000.0F, 45.0F, 1};
    ranged.npcLongRange = 3500.0F;
    oCNpcFocus magic = melee;
    magic.npcs = {2500.0F, 45.0F, 1};
    magic.npcLongRange = 3000.0F;
    return {oCNpcFocus{}, melee, ranged, magic};
}

SimEngine::FocusMode SimEngine::FocusModeOf(const SimNpc& npc) {
    const auto* row =
        std::find_if(kFightFocus.begin(), kFightFocus.end(), [&npc](const FightFocus& f) {
            return npc.lootBlock >= f.firstFightMode && npc.lootBlock <= f.lastFightMode;
        });
    return row == kFightFocus.end() ? FocusMode::Normal : row->mode;
}

bool SimEngine::Focusable(const zCVob* vob) const {
    const VobData* data = Vob(vob);
    if (data == nullptr || !data->inWorld) {
        return false;
    }
    const auto* item = dynamic_cast<const SimItem*>(vob);
    if (item == nullptr) {
        return true;
    }
    return (item->flags & NotFocusableFlag()) == 0;
}

std::uint32_t SimEngine::NotFocusableFlag() const {
    const EngineProfile* profile = FindEngineProfile(EngineVersion());
    return profile == nullptr ? kEngineProfiles.back().notFocusableFlag : profile->notFocusableFlag;
}

zCVob* SimEngine::ChooseFocus(const SimNpc& npc) const {
    const oCNpcFocus& mode = focusModes.at(static_cast<std::size_t>(FocusModeOf(npc)));
    zCVob* best = nullptr;
    int bestPriority = -1;
    float bestDistance = std::numeric_limits<float>::infinity();
    const auto consider = [&](zCVob* candidate, const VobData& vob, int vobType) {
        const FocusKindSettings* kind = KindSettings(mode, vobType);
        if (candidate == &npc || kind->priority < 0 || kind->priority < bestPriority ||
            !Focusable(candidate)) {
            return;
        }
        // An NPC in focus stays in focus out to the long range.
        const float range = vobType == kVobTypeNpc && candidate == npc.focusVob
                                ? std::max(kind->range, mode.npcLongRange)
                                : kind->range;
        const float distance = Distance(npc.vob.position, vob.position);
        if (distance > range || !InFront(npc, vob.position, kind->azimuth) ||
            (kind->priority == bestPriority && distance >= bestDistance)) {
            return;
        }
        best = candidate;
        bestPriority = kind->priority;
        bestDistance = distance;
    };
    for (oCItem* listed : worldItems_.Objects()) {
        if (auto* item = dynamic_cast<SimItem*>(listed)) {
            consider(item, item->vob, kVobTypeItem);
        }
    }
    for (oCNpc* listed : worldNpcs_.Objects()) {
        if (auto* other = dynamic_cast<SimNpc*>(listed)) {
            consider(other, other->vob, kVobTypeNpc);
        }
    }
    for (const auto& container : containers_) {
        consider(container.get(), container->vob, kVobTypeMob);
    }
    return best;
}

// With a scenario's list, the focus is the author's: the frame's collection keeps it while the
// engine can focus it and drops it when not, and a refresh takes the next listed object the
// engine can focus. Without one the engine chooses among the objects in front.
void SimEngine::CollectFocus(SimNpc& npc, bool refresh) {
    zCVob* next = nullptr;
    if (npc.focusList && !refresh) {
        next = npc.focusVob != nullptr && Focusable(npc.focusVob) ? npc.focusVob : nullptr;
    } else if (npc.focusList) {
        auto& listed = *npc.focusList;
        const auto focusable = std::find_if(listed.begin(), listed.end(),
                                            [this](const zCVob* vob) { return Focusable(vob); });
        next = focusable == listed.end() ? nullptr : *focusable;
        listed.erase(listed.begin(), focusable == listed.end() ? focusable : std::next(focusable));
    } else {
        next = ChooseFocus(npc);
    }
    if (next != npc.focusVob || refresh) {
        npc.focusVob = next;
        npc.focusField = next;
    }
}

void SimEngine::CollectPlayerFocus() {
    if (player_ != nullptr && player_->vob.inWorld) {
        CollectFocus(*player_, false);
    }
}

void SimEngine::ForgetFocusOn(const zCVob* vob) {
    for (const auto& npc : npcs_) {
        if (npc->focusVob == vob) {
            npc->focusVob = nullptr;
        }
        if (npc->focusField == vob) {
            npc->focusField = nullptr;
        }
    }
}

const oCNpcFocus* SimEngine::eng_focus_settings() {
    Count(Op(__func__));
    return &Focus(player_ == nullptr ? FocusMode::Normal : FocusModeOf(*player_));
}

int SimEngine::eng_focus_in_range(const oCNpcFocus* settings, int vobType, float distance) {
    Count(Op(__func__), settings, vobType, distance);
    return settings != nullptr && InRange(*settings, vobType, distance) ? 1 : 0;
}

void SimEngine::eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) {
    Count(Op(__func__), npc, argument);
    if (auto* sim = dynamic_cast<SimNpc*>(npc)) {
        CollectFocus(*sim, true);
    }
}

}  // namespace pilfern::sim
