// Engine operations the simulated game does not model yet. Each answers a neutral value
// (no object, zero, false, a text without character buffer) and is counted like any other.
// This file is the one place such answers live: modelling an operation moves it out.

#include "sim/sim_engine.h"

namespace pilfern::sim {

zCCamera* SimEngine::eng_game_camera(const oCGame* running) {
    Count(Op(__func__), running);
    return nullptr;
}

oCPortalRoomManager* SimEngine::eng_game_room_registry(const oCGame* running) {
    Count(Op(__func__), running);
    return nullptr;
}

const oCPortalRoom* SimEngine::eng_room_registry_player_room(const oCPortalRoomManager* rooms) {
    Count(Op(__func__), rooms);
    return nullptr;
}

zSTRING SimEngine::eng_savegame_slot_folder(const oCGame* running, int slot) {
    Count(Op(__func__), running, slot);
    return {};
}

const oCNpcFocus* SimEngine::eng_focus_settings() {
    Count(Op(__func__));
    return nullptr;
}

int SimEngine::eng_focus_in_range(const oCNpcFocus* focus, int vobType, float distance) {
    Count(Op(__func__), focus, vobType, distance);
    return 0;
}

void SimEngine::eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) {
    Count(Op(__func__), npc, argument);
}

bool SimEngine::eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) {
    Count(Op(__func__), npc, vob, mode);
    return false;
}

oCItem* SimEngine::eng_npc_weapon_query_1(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return nullptr;
}

oCItem* SimEngine::eng_npc_weapon_query_2(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return nullptr;
}

void SimEngine::eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) {
    Count(Op(__func__), npc, item);
}

void SimEngine::eng_npc_create_items(oCNpc* npc, int instance, int amount) {
    Count(Op(__func__), npc, instance, amount);
}

void SimEngine::eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) {
    Count(Op(__func__), npc, item, amount);
}

void SimEngine::eng_npc_unequip(oCNpc* npc, oCItem* item) {
    Count(Op(__func__), npc, item);
}

void SimEngine::eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) {
    Count(Op(__func__), npc, mob);
}

zCEventManager* SimEngine::eng_npc_event_manager(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return nullptr;
}

void SimEngine::eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                             zCVob* source) {
    Count(Op(__func__), events, message, source);
}

std::array<const zCListSort<oCItem>*, 9> SimEngine::eng_inventory_category_lists(
    const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    return {};
}

const zCListSort<oCItem>* SimEngine::eng_container_item_list(const oCMobContainer* chest) {
    Count(Op(__func__), chest);
    return nullptr;
}

void SimEngine::eng_container_remove_item(oCMobContainer* chest, oCItem* item) {
    Count(Op(__func__), chest, item);
}

zSTRING SimEngine::eng_mob_condition_func(const oCMobInter* mob) {
    Count(Op(__func__), mob);
    return {};
}

std::uint32_t SimEngine::eng_mob_lock_flags(const oCMobLockable* mob) {
    Count(Op(__func__), mob);
    return 0;
}

void SimEngine::eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) {
    Count(Op(__func__), mob, flags);
}

void SimEngine::eng_mob_set_locked(oCMobLockable* mob, int locked) {
    Count(Op(__func__), mob, locked);
}

zSTRING SimEngine::eng_mob_key_instance(const oCMobLockable* mob) {
    Count(Op(__func__), mob);
    return {};
}

int SimEngine::eng_mob_state_count(const oCMobInter* mob) {
    Count(Op(__func__), mob);
    return 0;
}

zSTRING SimEngine::eng_mob_name(const oCMob* mob) {
    Count(Op(__func__), mob);
    return {};
}

void SimEngine::eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    Count(Op(__func__), mob, user, from, to);
}

void SimEngine::eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) {
    Count(Op(__func__), mob, user, from, to);
}

oCMsgConversation* SimEngine::eng_msg_conversation_create(int subtype, const zSTRING& name) {
    Count(Op(__func__), subtype, name);
    return nullptr;
}

void SimEngine::eng_msg_target(oCMsgConversation* message, zCVob* target) {
    Count(Op(__func__), message, target);
}

void SimEngine::eng_msg_flag(oCMsgConversation* message, int flag) {
    Count(Op(__func__), message, flag);
}

void SimEngine::eng_script_set_instance(zCParser* scripts, const zSTRING& name, zCObject* object) {
    Count(Op(__func__), scripts, name, object);
}

int SimEngine::eng_script_call_by_name(zCParser* scripts, const zSTRING& name) {
    Count(Op(__func__), scripts, name);
    return 0;
}

int SimEngine::eng_script_symbol_index(zCParser* scripts, const zSTRING& name) {
    Count(Op(__func__), scripts, name);
    return -1;
}

int SimEngine::eng_script_call_by_index(zCParser* scripts, int index) {
    Count(Op(__func__), scripts, index);
    return 0;
}

zCCamera* SimEngine::eng_active_camera() {
    Count(Op(__func__));
    return nullptr;
}

void SimEngine::eng_camera_update(zCCamera* camera) {
    Count(Op(__func__), camera);
}

zMAT34 SimEngine::eng_camera_view_matrix(const zCCamera* camera) {
    Count(Op(__func__), camera);
    return {};
}

float SimEngine::eng_camera_near_plane(const zCCamera* camera) {
    Count(Op(__func__), camera);
    return 0.0F;
}

zPOINT2 SimEngine::eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) {
    Count(Op(__func__), camera, cameraSpace);
    return {};
}

zVEC2 SimEngine::eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) {
    Count(Op(__func__), camera, cameraSpace);
    return {};
}

void SimEngine::eng_visual_effect_play(const zSTRING& name, const zCVob* origin,
                                       const zCVob* target, int level, float damage, int damageType,
                                       int isProjectile) {
    Count(Op(__func__), name, origin, target, level, damage, damageType, isProjectile);
}

}  // namespace pilfern::sim
