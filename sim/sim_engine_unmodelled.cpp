// Engine operations the simulated game does not model yet. Each answers a neutral value
// (no object, zero, false, a text without character buffer) and is counted like any other.
// This file is the one place such answers live: modelling an operation moves it out.

#include "sim/sim_engine.h"

namespace pilfern::sim {

zCCamera* SimEngine::eng_game_camera(const oCGame* /*game*/) {
    Count(__func__);
    return nullptr;
}

oCPortalRoomManager* SimEngine::eng_game_room_registry(const oCGame* /*game*/) {
    Count(__func__);
    return nullptr;
}

const oCPortalRoom* SimEngine::eng_room_registry_player_room(const oCPortalRoomManager* /*rooms*/) {
    Count(__func__);
    return nullptr;
}

zSTRING SimEngine::eng_savegame_slot_folder(const oCGame* /*game*/, int /*slot*/) {
    Count(__func__);
    return {};
}

const oCNpcFocus* SimEngine::eng_focus_settings() {
    Count(__func__);
    return nullptr;
}

int SimEngine::eng_focus_in_range(const oCNpcFocus* /*focus*/, int /*vobType*/, float /*distance*/) {
    Count(__func__);
    return 0;
}

void SimEngine::eng_npc_refresh_focus(oCNpc* /*npc*/, std::optional<int> /*argument*/) {
    Count(__func__);
}

bool SimEngine::eng_npc_can_see(const oCNpc* /*npc*/, const zCVob* /*vob*/, int /*mode*/) {
    Count(__func__);
    return false;
}

oCItem* SimEngine::eng_npc_weapon_query_1(const oCNpc* /*npc*/) {
    Count(__func__);
    return nullptr;
}

oCItem* SimEngine::eng_npc_weapon_query_2(const oCNpc* /*npc*/) {
    Count(__func__);
    return nullptr;
}

void SimEngine::eng_npc_put_in_inventory(oCNpc* /*npc*/, oCItem* /*item*/) { Count(__func__); }

void SimEngine::eng_npc_create_items(oCNpc* /*npc*/, int /*instance*/, int /*amount*/) {
    Count(__func__);
}

void SimEngine::eng_npc_remove_items(oCNpc* /*npc*/, oCItem* /*item*/, int /*amount*/) {
    Count(__func__);
}

void SimEngine::eng_npc_unequip(oCNpc* /*npc*/, oCItem* /*item*/) { Count(__func__); }

void SimEngine::eng_npc_bind_mob(oCNpc* /*npc*/, oCMobInter* /*mob*/) { Count(__func__); }

zCEventManager* SimEngine::eng_npc_event_manager(const oCNpc* /*npc*/) {
    Count(__func__);
    return nullptr;
}

void SimEngine::eng_event_manager_on_message(zCEventManager* /*events*/,
                                             zCEventMessage* /*message*/, zCVob* /*source*/) {
    Count(__func__);
}

std::array<const zCListSort<oCItem>*, 9> SimEngine::eng_inventory_category_lists(
    const oCNpcInventory* /*inventory*/) {
    Count(__func__);
    return {};
}

const zCListSort<oCItem>* SimEngine::eng_container_item_list(const oCMobContainer* /*chest*/) {
    Count(__func__);
    return nullptr;
}

void SimEngine::eng_container_remove_item(oCMobContainer* /*chest*/, oCItem* /*item*/) {
    Count(__func__);
}

zSTRING SimEngine::eng_mob_condition_func(const oCMobInter* /*mob*/) {
    Count(__func__);
    return {};
}

std::uint32_t SimEngine::eng_mob_lock_flags(const oCMobLockable* /*mob*/) {
    Count(__func__);
    return 0;
}

void SimEngine::eng_mob_set_lock_flags(oCMobLockable* /*mob*/, std::uint32_t /*flags*/) {
    Count(__func__);
}

void SimEngine::eng_mob_set_locked(oCMobLockable* /*mob*/, int /*locked*/) { Count(__func__); }

zSTRING SimEngine::eng_mob_key_instance(const oCMobLockable* /*mob*/) {
    Count(__func__);
    return {};
}

int SimEngine::eng_mob_state_count(const oCMobInter* /*mob*/) {
    Count(__func__);
    return 0;
}

zSTRING SimEngine::eng_mob_name(const oCMob* /*mob*/) {
    Count(__func__);
    return {};
}

void SimEngine::eng_mob_begin_state_change(oCMobInter* /*mob*/, oCNpc* /*user*/, int /*from*/,
                                           int /*to*/) {
    Count(__func__);
}

void SimEngine::eng_mob_end_state_change(oCMobInter* /*mob*/, oCNpc* /*user*/, int /*from*/,
                                         int /*to*/) {
    Count(__func__);
}

oCMsgConversation* SimEngine::eng_msg_conversation_create(int /*subtype*/, const zSTRING& /*name*/) {
    Count(__func__);
    return nullptr;
}

void SimEngine::eng_msg_target(oCMsgConversation* /*message*/, zCVob* /*target*/) {
    Count(__func__);
}

void SimEngine::eng_msg_flag(oCMsgConversation* /*message*/, int /*flag*/) { Count(__func__); }

void SimEngine::eng_script_set_instance(zCParser* /*parser*/, const zSTRING& /*name*/,
                                        zCObject* /*object*/) {
    Count(__func__);
}

int SimEngine::eng_script_call_by_name(zCParser* /*parser*/, const zSTRING& /*name*/) {
    Count(__func__);
    return 0;
}

int SimEngine::eng_script_symbol_index(zCParser* /*parser*/, const zSTRING& /*name*/) {
    Count(__func__);
    return -1;
}

int SimEngine::eng_script_call_by_index(zCParser* /*parser*/, int /*index*/) {
    Count(__func__);
    return 0;
}

zCCamera* SimEngine::eng_active_camera() {
    Count(__func__);
    return nullptr;
}

void SimEngine::eng_camera_update(zCCamera* /*camera*/) { Count(__func__); }

zMAT34 SimEngine::eng_camera_view_matrix(const zCCamera* /*camera*/) {
    Count(__func__);
    return {};
}

float SimEngine::eng_camera_near_plane(const zCCamera* /*camera*/) {
    Count(__func__);
    return 0.0F;
}

zPOINT2 SimEngine::eng_camera_project(const zCCamera* /*camera*/, const zVEC3& /*cameraSpace*/) {
    Count(__func__);
    return {};
}

zVEC2 SimEngine::eng_camera_project_float(const zCCamera* /*camera*/,
                                          const zVEC3& /*cameraSpace*/) {
    Count(__func__);
    return {};
}

void SimEngine::eng_visual_effect_play(const zSTRING& /*name*/, const zCVob* /*origin*/,
                                       const zCVob* /*target*/, int /*level*/, float /*damage*/,
                                       int /*damageType*/, int /*isProjectile*/) {
    Count(__func__);
}

}  // namespace pilfern::sim
