// What the player can see: line of sight against the world's blockers, and the rooms objects
// stand in with the game's registry of rooms.

#include <algorithm>
#include <array>
#include <cmath>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// The one mode of the engine's sight test modelled here: the line alone, wherever the NPC
// looks.
constexpr int kSightLineOnly = 1;
// How far above its position (its feet) an NPC's eyes are, in world units (centimetres).
constexpr float kEyeHeight = 170.0F;

std::array<float, 3> Coordinates(const zVEC3& v) {
    return {v.x, v.y, v.z};
}

// Where along the line from `from` to `to` (0 to 1) it enters the inside of the box; none
// when it does not pass through the inside.
std::optional<float> Entry(const Blocker& box, const zVEC3& from, const zVEC3& to) {
    const auto start = Coordinates(from);
    const auto end = Coordinates(to);
    const auto low = Coordinates(box.min);
    const auto high = Coordinates(box.max);
    float enter = 0.0F;
    float leave = 1.0F;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const float along = end.at(axis) - start.at(axis);
        if (along == 0.0F) {
            if (start.at(axis) <= low.at(axis) || start.at(axis) >= high.at(axis)) {
                return std::nullopt;
            }
            continue;
        }
        const float a = (low.at(axis) - start.at(axis)) / along;
        const float b = (high.at(axis) - start.at(axis)) / along;
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
    }
    return enter < leave ? std::optional(enter) : std::nullopt;
}

}  // namespace

const VobData& SimEngine::WorldObject(const zCVob* vob, std::string_view asking) const {
    const VobData* data = Vob(vob);
    if (data == nullptr) {
        GameFault(std::string(asking) + " was given no object of the world");
    }
    return *data;
}

std::optional<std::string> SimEngine::BlockerBetween(const zCVob& from, const zCVob& to) const {
    // An NPC looks from its eyes, above where it stands; anything else from where it is.
    zVEC3 start = WorldObject(&from, __func__).position;
    if (dynamic_cast<const SimNpc*>(&from) != nullptr) {
        start.y += kEyeHeight;
    }
    const zVEC3& end = WorldObject(&to, __func__).position;
    std::optional<std::string> first;
    float nearest = 2.0F;
    for (const Blocker& blocker : blockers) {
        const auto entry = Entry(blocker, start, end);
        if (entry && *entry < nearest) {
            nearest = *entry;
            first = blocker.id;
        }
    }
    return first;
}

bool SimEngine::eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) {
    Count(Op(__func__), npc, vob, mode);
    if (mode != kSightLineOnly) {
        GameFault(std::string(__func__) + ": the sight test with mode " + std::to_string(mode) +
                  " (which also asks where the NPC looks) is not modelled yet");
    }
    const auto* looking = dynamic_cast<const SimNpc*>(npc);
    if (looking == nullptr || vob == nullptr) {
        GameFault(std::string(__func__) + " was given no NPC or no object to see");
    }
    return !BlockerBetween(*looking, *vob).has_value();
}

oCPortalRoomManager* SimEngine::eng_game_room_registry(const oCGame* running) {
    Count(Op(__func__), running);
    return roomRegistry ? &*roomRegistry : nullptr;
}

const oCPortalRoom* SimEngine::eng_room_registry_player_room(const oCPortalRoomManager* rooms) {
    Count(Op(__func__), rooms);
    if (rooms == nullptr || !roomRegistry || rooms != &*roomRegistry) {
        GameFault(std::string(__func__) + " was given no room registry of the game");
    }
    if (player_ == nullptr || !player_->vob.roomName) {
        return nullptr;
    }
    // The registry finds its record by the room's name exactly as the world spells it.
    const auto found = std::find_if(
        rooms->rooms.begin(), rooms->rooms.end(),
        [this](const oCPortalRoom& room) { return room.name == *player_->vob.roomName; });
    return found == rooms->rooms.end() ? nullptr : &*found;
}

}  // namespace pilfern::sim
