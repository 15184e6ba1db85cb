// Engine operations the simulated game does not model yet. Reaching one stops the game at
// once with a message naming it: any answer made up here (no object, zero, false) could let
// wrong plugin code pass as if the game had given it. This file is the one place such
// operations live: modelling an operation moves it out.

#include "sim/sim_engine.h"

namespace pilfern::sim {

void SimEngine::Unmodelled(EngineOp op) {
    GameFault("the simulated engine does not model " + std::string(kEngineOperations.at(op)) +
              " yet: a game that reaches it cannot be played here");
}

zCCamera* SimEngine::eng_game_camera(const oCGame* /*running*/) {
    Unmodelled(Op(__func__));
}

oCPortalRoomManager* SimEngine::eng_game_room_registry(const oCGame* /*running*/) {
    Unmodelled(Op(__func__));
}

const oCPortalRoom* SimEngine::eng_room_registry_player_room(const oCPortalRoomManager* /*rooms*/) {
    Unmodelled(Op(__func__));
}

zSTRING SimEngine::eng_savegame_slot_folder(const oCGame* /*running*/, int /*slot*/) {
    Unmodelled(Op(__func__));
}

bool SimEngine::eng_npc_can_see(const oCNpc* /*npc*/, const zCVob* /*vob*/, int /*mode*/) {
    Unmodelled(Op(__func__));
}

zCCamera* SimEngine::eng_active_camera() {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_camera_update(zCCamera* /*camera*/) {
    Unmodelled(Op(__func__));
}

zMAT34 SimEngine::eng_camera_view_matrix(const zCCamera* /*camera*/) {
    Unmodelled(Op(__func__));
}

float SimEngine::eng_camera_near_plane(const zCCamera* /*camera*/) {
    Unmodelled(Op(__func__));
}

zPOINT2 SimEngine::eng_camera_project(const zCCamera* /*camera*/, const zVEC3& /*cameraSpace*/) {
    Unmodelled(Op(__func__));
}

zVEC2 SimEngine::eng_camera_project_float(const zCCamera* /*camera*/,
                                          const zVEC3& /*cameraSpace*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_visual_effect_play(const zSTRING& /*name*/, const zCVob* /*origin*/,
                                       const zCVob* /*target*/, int /*level*/, float /*damage*/,
                                       int /*damageType*/, int /*isProjectile*/) {
    Unmodelled(Op(__func__));
}

}  // namespace pilfern::sim
