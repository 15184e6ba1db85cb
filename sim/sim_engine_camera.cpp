// The game camera: where it stands, its world-to-camera matrix, its perspective projection
// onto the screen, and the visual effects the game plays at objects.

#include <climits>
#include <cmath>
#include <numbers>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// Where the game's camera stands behind the player, and how far above.
constexpr float kBehindPlayer = 300.0F;
constexpr float kAbovePlayer = 150.0F;

float Dot(const zVEC3& a, const zVEC3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

zVEC3 Cross(const zVEC3& a, const zVEC3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

zVEC3 Normalized(const zVEC3& v) {
    const float length = std::sqrt(Dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

std::array<float, 4> Row(const zVEC3& axis, const zVEC3& origin) {
    return {axis.x, axis.y, axis.z, -Dot(axis, origin)};
}

// The engine's world is left-handed with y up: x goes right and z forward from the camera.
zMAT34 ViewMatrix(const zCCamera& camera) {
    const zVEC3 forward = Normalized(camera.direction);
    const zVEC3 right = Normalized(Cross(zVEC3{0, 1, 0}, forward));
    const zVEC3 up = Cross(forward, right);
    return zMAT34{
        {Row(right, camera.position), Row(up, camera.position), Row(forward, camera.position)}};
}

// A float made an integer as the game's code does on its processor: rounded to the nearest,
// ties to even, and the processor's "integer indefinite" for what no int can hold.
int EngineInteger(float value) {
    if (!std::isfinite(value) || value >= 2147483648.0F || value < -2147483648.0F) {
        return INT_MIN;
    }
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void SimEngine::RenderWorld() {
    if (camera.followsPlayer && player_ != nullptr) {
        const zVEC3 ahead = Normalized(zVEC3{player_->facing.x, 0, player_->facing.z});
        const zVEC3& at = player_->vob.position;
        camera.position = zVEC3{at.x - ahead.x * kBehindPlayer, at.y + kAbovePlayer,
                                at.z - ahead.z * kBehindPlayer};
        camera.direction = ahead;
    }
    camera.view = ViewMatrix(camera);
}

zVEC2 SimEngine::Project(const zCCamera& projecting, const zVEC3& cameraSpace) const {
    const float halfWidth = static_cast<float>(screenWidth) / 2.0F;
    const float halfHeight = static_cast<float>(screenHeight) / 2.0F;
    const float halfAngle = projecting.fieldOfView * std::numbers::pi_v<float> / 360.0F;
    // Square pixels: one distance to the image plane for both axes. Screen y goes down.
    const float imageDistance = halfWidth / std::tan(halfAngle);
    return zVEC2{halfWidth + cameraSpace.x * imageDistance / cameraSpace.z,
                 halfHeight - cameraSpace.y * imageDistance / cameraSpace.z};
}

zCCamera* SimEngine::eng_game_camera(const oCGame* running) {
    Count(Op(__func__), running);
    return &camera;
}

zCCamera* SimEngine::eng_active_camera() {
    Count(Op(__func__));
    return camera.active ? &camera : nullptr;
}

void SimEngine::eng_camera_update(zCCamera* updated) {
    Count(Op(__func__), updated);
    if (updated != &camera) {
        GameFault(std::string(__func__) + " was given no camera of the game");
    }
    updated->view = ViewMatrix(*updated);
}

zMAT34 SimEngine::eng_camera_view_matrix(const zCCamera* asked) {
    Count(Op(__func__), asked);
    if (asked != &camera) {
        GameFault(std::string(__func__) + " was given no camera of the game");
    }
    return asked->view;
}

float SimEngine::eng_camera_near_plane(const zCCamera* asked) {
    Count(Op(__func__), asked);
    if (asked != &camera) {
        GameFault(std::string(__func__) + " was given no camera of the game");
    }
    return asked->nearPlane;
}

zPOINT2 SimEngine::eng_camera_project(const zCCamera* projecting, const zVEC3& cameraSpace) {
    Count(Op(__func__), projecting, cameraSpace);
    if (projecting != &camera) {
        GameFault(std::string(__func__) + " was given no camera of the game");
    }
    const zVEC2 pixel = Project(*projecting, cameraSpace);
    return zPOINT2{EngineInteger(pixel.x), EngineInteger(pixel.y)};
}

zVEC2 SimEngine::eng_camera_project_float(const zCCamera* projecting, const zVEC3& cameraSpace) {
    Count(Op(__func__), projecting, cameraSpace);
    if (projecting != &camera) {
        GameFault(std::string(__func__) + " was given no camera of the game");
    }
    return Project(*projecting, cameraSpace);
}

void SimEngine::eng_visual_effect_play(const zSTRING& name, const zCVob* origin,
                                       const zCVob* target, int level, float damage, int damageType,
                                       int isProjectile) {
    Count(Op(__func__), name, origin, target, level, damage, damageType, isProjectile);
    const VobData& start = WorldObject(origin, __func__);
    VisualEffectPlayed played;
    played.effect = name.Text();
    played.origin = start.id;
    played.at = {start.position.x, start.position.y, start.position.z};
    if (target != nullptr) {
        played.target = WorldObject(target, __func__).id;
    }
    played.level = level;
    played.damage = damage;
    played.damageType = damageType;
    played.isProjectile = isProjectile;
    played.shown = visualEffects.contains(SymbolName(name.Text()));
    Note(std::move(played));
}

}  // namespace pilfern::sim
