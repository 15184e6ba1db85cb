// Engine operations the simulated game does not model yet. Reaching one stops the game at
// once with a message naming it: any answer made up here (no object, zero, false) could let
// wrong plugin code pass as if the game had given it. This file is the one place such
// operations live: modelling an operation moves it out.

#include <cstdio>
#include <cstdlib>

#include "sim/sim_engine.h"

namespace pilfern::sim {

void SimEngine::Unmodelled(EngineOp op) {
    std::fprintf(stderr,
                 "the simulated engine does not model %.*s yet: a game that reaches it cannot be "
                 "played here\n",
                 static_cast<int>(kEngineOperations.at(op).size()),
                 kEngineOperations.at(op).data());
    std::fflush(stderr);
    std::abort();
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

const oCNpcFocus* SimEngine::eng_focus_settings() {
    Unmodelled(Op(__func__));
}

int SimEngine::eng_focus_in_range(const oCNpcFocus* /*focus*/, int /*vobType*/,
                                  float /*distance*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_npc_refresh_focus(oCNpc* /*npc*/, std::optional<int> /*argument*/) {
    Unmodelled(Op(__func__));
}

bool SimEngine::eng_npc_can_see(const oCNpc* /*npc*/, const zCVob* /*vob*/, int /*mode*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_npc_bind_mob(oCNpc* /*npc*/, oCMobInter* /*mob*/) {
    Unmodelled(Op(__func__));
}

zCEventManager* SimEngine::eng_npc_event_manager(const oCNpc* /*npc*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_event_manager_on_message(zCEventManager* /*events*/,
                                             zCEventMessage* /*message*/, zCVob* /*source*/) {
    Unmodelled(Op(__func__));
}

const zCListSort<oCItem>* SimEngine::eng_container_item_list(const oCMobContainer* /*chest*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_container_remove_item(oCMobContainer* /*chest*/, oCItem* /*item*/) {
    Unmodelled(Op(__func__));
}

zSTRING SimEngine::eng_mob_condition_func(const oCMobInter* /*mob*/) {
    Unmodelled(Op(__func__));
}

std::uint32_t SimEngine::eng_mob_lock_flags(const oCMobLockable* /*mob*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_mob_set_lock_flags(oCMobLockable* /*mob*/, std::uint32_t /*flags*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_mob_set_locked(oCMobLockable* /*mob*/, int /*locked*/) {
    Unmodelled(Op(__func__));
}

zSTRING SimEngine::eng_mob_key_instance(const oCMobLockable* /*mob*/) {
    Unmodelled(Op(__func__));
}

int SimEngine::eng_mob_state_count(const oCMobInter* /*mob*/) {
    Unmodelled(Op(__func__));
}

zSTRING SimEngine::eng_mob_name(const oCMob* /*mob*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_mob_begin_state_change(oCMobInter* /*mob*/, oCNpc* /*user*/, int /*from*/,
                                           int /*to*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_mob_end_state_change(oCMobInter* /*mob*/, oCNpc* /*user*/, int /*from*/,
                                         int /*to*/) {
    Unmodelled(Op(__func__));
}

oCMsgConversation* SimEngine::eng_msg_conversation_create(int /*subtype*/,
                                                          const zSTRING& /*name*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_msg_target(oCMsgConversation* /*message*/, zCVob* /*target*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_msg_flag(oCMsgConversation* /*message*/, int /*flag*/) {
    Unmodelled(Op(__func__));
}

void SimEngine::eng_script_set_instance(zCParser* /*scripts*/, const zSTRING& /*name*/,
                                        zCObject* /*object*/) {
    Unmodelled(Op(__func__));
}

int SimEngine::eng_script_call_by_name(zCParser* /*scripts*/, const zSTRING& /*name*/) {
    Unmodelled(Op(__func__));
}

int SimEngine::eng_script_symbol_index(zCParser* /*scripts*/, const zSTRING& /*name*/) {
    Unmodelled(Op(__func__));
}

int SimEngine::eng_script_call_by_index(zCParser* /*scripts*/, int /*index*/) {
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
