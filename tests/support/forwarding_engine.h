#pragma once

#include "host/engine.h"

namespace pilfern::test {

// An engine that answers every operation as another engine does, for test doubles that change
// one answer: derive from it and override that operation. A new operation of the contract
// that is missing here leaves this class abstract, so the suite does not compile until it is
// forwarded too.
class ForwardingEngine : public Engine {
public:
    explicit ForwardingEngine(Engine& inner) : inner_(inner) {}

    oCGame* eng_game() override { return inner_.eng_game(); }
    bool eng_game_paused(const oCGame* game) override { return inner_.eng_game_paused(game); }
    zCWorld* eng_game_world(const oCGame* game) override { return inner_.eng_game_world(game); }
    zCCamera* eng_game_camera(const oCGame* game) override { return inner_.eng_game_camera(game); }
    oCPortalRoomManager* eng_game_room_registry(const oCGame* game) override {
        return inner_.eng_game_room_registry(game);
    }
    const oCPortalRoom* eng_room_registry_player_room(const oCPortalRoomManager* rooms) override {
        return inner_.eng_room_registry_player_room(rooms);
    }
    zSTRING eng_savegame_slot_folder(const oCGame* game, int slot) override {
        return inner_.eng_savegame_slot_folder(game, slot);
    }
    const zCListSort<oCItem>* eng_world_item_list(const zCWorld* world) override {
        return inner_.eng_world_item_list(world);
    }
    const zCListSort<oCNpc>* eng_world_npc_list(const zCWorld* world) override {
        return inner_.eng_world_npc_list(world);
    }
    oCItem* eng_list_item(const zCListSort<oCItem>* node) override {
        return inner_.eng_list_item(node);
    }
    const zCListSort<oCItem>* eng_list_item_next(const zCListSort<oCItem>* node) override {
        return inner_.eng_list_item_next(node);
    }
    oCNpc* eng_list_npc(const zCListSort<oCNpc>* node) override {
        return inner_.eng_list_npc(node);
    }
    const zCListSort<oCNpc>* eng_list_npc_next(const zCListSort<oCNpc>* node) override {
        return inner_.eng_list_npc_next(node);
    }
    oCInformationManager* eng_dialog_manager() override { return inner_.eng_dialog_manager(); }
    bool eng_dialog_is_over(const oCInformationManager* dialogs) override {
        return inner_.eng_dialog_is_over(dialogs);
    }
    int eng_ui_block_global() override { return inner_.eng_ui_block_global(); }
    const oCNpcFocus* eng_focus_settings() override { return inner_.eng_focus_settings(); }
    int eng_focus_in_range(const oCNpcFocus* focus, int vobType, float distance) override {
        return inner_.eng_focus_in_range(focus, vobType, distance);
    }
    zSTRING eng_object_instance_name(const zCObject* object) override {
        return inner_.eng_object_instance_name(object);
    }
    bool eng_object_class_is(const zCObject* object, EngineClass engineClass) override {
        return inner_.eng_object_class_is(object, engineClass);
    }
    void eng_object_add_ref(zCObject* object) override { inner_.eng_object_add_ref(object); }
    void eng_object_release(zCObject* object) override { inner_.eng_object_release(object); }
    zVEC3 eng_vob_position(const zCVob* vob) override { return inner_.eng_vob_position(vob); }
    zCWorld* eng_vob_home_world(const zCVob* vob) override {
        return inner_.eng_vob_home_world(vob);
    }
    zCVisual* eng_vob_visual(const zCVob* vob) override { return inner_.eng_vob_visual(vob); }
    zSTRING eng_vob_room_name(const zCVob* vob) override { return inner_.eng_vob_room_name(vob); }
    float eng_vob_distance_to(const zCVob* from, const zCVob* to) override {
        return inner_.eng_vob_distance_to(from, to);
    }
    float eng_vob_distance(const zCVob* from, const zCVob* to) override {
        return inner_.eng_vob_distance(from, to);
    }
    int eng_vob_type(const zCVob* vob) override { return inner_.eng_vob_type(vob); }
    int eng_vob_flag_bits(const zCVob* vob) override { return inner_.eng_vob_flag_bits(vob); }
    oCNpc* eng_player() override { return inner_.eng_player(); }
    int eng_npc_hitpoints(const oCNpc* npc) override { return inner_.eng_npc_hitpoints(npc); }
    bool eng_npc_is_dead(const oCNpc* npc) override { return inner_.eng_npc_is_dead(npc); }
    bool eng_npc_is_unconscious(const oCNpc* npc) override {
        return inner_.eng_npc_is_unconscious(npc);
    }
    int eng_npc_body_state(const oCNpc* npc) override { return inner_.eng_npc_body_state(npc); }
    bool eng_npc_in_battle(const oCNpc* npc) override { return inner_.eng_npc_in_battle(npc); }
    const zCVob* eng_npc_interaction_a(const oCNpc* npc) override {
        return inner_.eng_npc_interaction_a(npc);
    }
    const zCVob* eng_npc_interaction_b(const oCNpc* npc) override {
        return inner_.eng_npc_interaction_b(npc);
    }
    bool eng_npc_query_a(const oCNpc* npc) override { return inner_.eng_npc_query_a(npc); }
    bool eng_npc_query_b(const oCNpc* npc) override { return inner_.eng_npc_query_b(npc); }
    int eng_npc_loot_block(const oCNpc* npc) override { return inner_.eng_npc_loot_block(npc); }
    zSTRING eng_npc_name(const oCNpc* npc) override { return inner_.eng_npc_name(npc); }
    zCVob* eng_npc_focus_vob(const oCNpc* npc) override { return inner_.eng_npc_focus_vob(npc); }
    oCNpc* eng_npc_focus_npc(const oCNpc* npc) override { return inner_.eng_npc_focus_npc(npc); }
    zCVob* eng_npc_focus_object_field(const oCNpc* npc) override {
        return inner_.eng_npc_focus_object_field(npc);
    }
    void eng_npc_set_focus(oCNpc* npc, zCVob* vob) override { inner_.eng_npc_set_focus(npc, vob); }
    void eng_npc_clear_focus(oCNpc* npc) override { inner_.eng_npc_clear_focus(npc); }
    void eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) override {
        inner_.eng_npc_refresh_focus(npc, argument);
    }
    bool eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) override {
        return inner_.eng_npc_can_see(npc, vob, mode);
    }
    oCNpcInventory* eng_npc_inventory(const oCNpc* npc) override {
        return inner_.eng_npc_inventory(npc);
    }
    zCModel* eng_npc_model(const oCNpc* npc) override { return inner_.eng_npc_model(npc); }
    oCItem* eng_npc_weapon_query_1(const oCNpc* npc) override {
        return inner_.eng_npc_weapon_query_1(npc);
    }
    oCItem* eng_npc_weapon_query_2(const oCNpc* npc) override {
        return inner_.eng_npc_weapon_query_2(npc);
    }
    void eng_npc_take_vob(oCNpc* npc, zCVob* vob) override { inner_.eng_npc_take_vob(npc, vob); }
    void eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) override {
        inner_.eng_npc_put_in_inventory(npc, item);
    }
    void eng_npc_create_items(oCNpc* npc, int instance, int amount) override {
        inner_.eng_npc_create_items(npc, instance, amount);
    }
    void eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) override {
        inner_.eng_npc_remove_items(npc, item, amount);
    }
    void eng_npc_unequip(oCNpc* npc, oCItem* item) override { inner_.eng_npc_unequip(npc, item); }
    bool eng_npc_has_items_by_name(const oCNpc* npc, const zSTRING& instanceName,
                                   int amount) override {
        return inner_.eng_npc_has_items_by_name(npc, instanceName, amount);
    }
    void eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) override {
        inner_.eng_npc_bind_mob(npc, mob);
    }
    zCEventManager* eng_npc_event_manager(const oCNpc* npc) override {
        return inner_.eng_npc_event_manager(npc);
    }
    int eng_npc_ex_marker_1(const oCNpcEx* npc) override { return inner_.eng_npc_ex_marker_1(npc); }
    int eng_npc_ex_marker_2(const oCNpcEx* npc) override { return inner_.eng_npc_ex_marker_2(npc); }
    int eng_npc_ex_marker_3(const oCNpcEx* npc) override { return inner_.eng_npc_ex_marker_3(npc); }
    void eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                      zCVob* source) override {
        inner_.eng_event_manager_on_message(events, message, source);
    }
    bool eng_model_is_animation_active(const zCModel* model, const zSTRING& name) override {
        return inner_.eng_model_is_animation_active(model, name);
    }
    zSTRING eng_model_first_active_animation_name(const zCModel* model) override {
        return inner_.eng_model_first_active_animation_name(model);
    }
    bool eng_inventory_is_open(const oCNpcInventory* inventory) override {
        return inner_.eng_inventory_is_open(inventory);
    }
    void eng_inventory_prepare(oCNpcInventory* inventory) override {
        inner_.eng_inventory_prepare(inventory);
    }
    const zCListSort<oCItem>* eng_inventory_entry_list(const oCNpcInventory* inventory) override {
        return inner_.eng_inventory_entry_list(inventory);
    }
    const zCListSort<oCItem>* eng_inventory_item_list(const oCNpcInventory* inventory) override {
        return inner_.eng_inventory_item_list(inventory);
    }
    std::array<const zCListSort<oCItem>*, 9> eng_inventory_category_lists(
        const oCNpcInventory* inventory) override {
        return inner_.eng_inventory_category_lists(inventory);
    }
    bool eng_inventory_is_empty(const oCNpcInventory* inventory) override {
        return inner_.eng_inventory_is_empty(inventory);
    }
    void eng_inventory_clear(oCNpcInventory* inventory) override {
        inner_.eng_inventory_clear(inventory);
    }
    int eng_item_amount(const oCItem* item) override { return inner_.eng_item_amount(item); }
    int eng_item_instance(const oCItem* item) override { return inner_.eng_item_instance(item); }
    std::uint32_t eng_item_category(const oCItem* item) override {
        return inner_.eng_item_category(item);
    }
    std::uint32_t eng_item_flags(const oCItem* item) override {
        return inner_.eng_item_flags(item);
    }
    bool eng_item_has_flag(const oCItem* item, std::uint32_t flag) override {
        return inner_.eng_item_has_flag(item, flag);
    }
    std::uint32_t eng_item_nb_quest_word(const oCItem* item) override {
        return inner_.eng_item_nb_quest_word(item);
    }
    zSTRING eng_item_name(const oCItem* item) override { return inner_.eng_item_name(item); }
    zSTRING eng_item_text_field(const oCItem* item) override {
        return inner_.eng_item_text_field(item);
    }
    zSTRING eng_item_display_name(const oCItem* item) override {
        return inner_.eng_item_display_name(item);
    }
    zSTRING eng_item_arrow_text(const oCItem* item) override {
        return inner_.eng_item_arrow_text(item);
    }
    int eng_item_munition(const oCItem* item) override { return inner_.eng_item_munition(item); }
    bool eng_item_ground_check(const oCItem* item) override {
        return inner_.eng_item_ground_check(item);
    }
    int eng_item_armor_word(const oCItem* item) override {
        return inner_.eng_item_armor_word(item);
    }
    const zCListSort<oCItem>* eng_container_item_list(const oCMobContainer* chest) override {
        return inner_.eng_container_item_list(chest);
    }
    void eng_container_remove_item(oCMobContainer* chest, oCItem* item) override {
        inner_.eng_container_remove_item(chest, item);
    }
    zSTRING eng_mob_condition_func(const oCMobInter* mob) override {
        return inner_.eng_mob_condition_func(mob);
    }
    std::uint32_t eng_mob_lock_flags(const oCMobLockable* mob) override {
        return inner_.eng_mob_lock_flags(mob);
    }
    void eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) override {
        inner_.eng_mob_set_lock_flags(mob, flags);
    }
    void eng_mob_set_locked(oCMobLockable* mob, int locked) override {
        inner_.eng_mob_set_locked(mob, locked);
    }
    zSTRING eng_mob_key_instance(const oCMobLockable* mob) override {
        return inner_.eng_mob_key_instance(mob);
    }
    int eng_mob_state_count(const oCMobInter* mob) override {
        return inner_.eng_mob_state_count(mob);
    }
    zSTRING eng_mob_name(const oCMob* mob) override { return inner_.eng_mob_name(mob); }
    void eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) override {
        inner_.eng_mob_begin_state_change(mob, user, from, to);
    }
    void eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) override {
        inner_.eng_mob_end_state_change(mob, user, from, to);
    }
    oCMsgConversation* eng_msg_conversation_create(int subtype, const zSTRING& name) override {
        return inner_.eng_msg_conversation_create(subtype, name);
    }
    void eng_msg_target(oCMsgConversation* message, zCVob* target) override {
        inner_.eng_msg_target(message, target);
    }
    void eng_msg_flag(oCMsgConversation* message, int flag) override {
        inner_.eng_msg_flag(message, flag);
    }
    zCParser* eng_script_parser() override { return inner_.eng_script_parser(); }
    zCPar_Symbol* eng_script_find_symbol(zCParser* parser, const zSTRING& name) override {
        return inner_.eng_script_find_symbol(parser, name);
    }
    int eng_script_symbol_int(const zCPar_Symbol* symbol) override {
        return inner_.eng_script_symbol_int(symbol);
    }
    void eng_script_set_instance(zCParser* parser, const zSTRING& name, zCObject* object) override {
        inner_.eng_script_set_instance(parser, name, object);
    }
    int eng_script_call_by_name(zCParser* parser, const zSTRING& name) override {
        return inner_.eng_script_call_by_name(parser, name);
    }
    int eng_script_symbol_index(zCParser* parser, const zSTRING& name) override {
        return inner_.eng_script_symbol_index(parser, name);
    }
    int eng_script_call_by_index(zCParser* parser, int index) override {
        return inner_.eng_script_call_by_index(parser, index);
    }
    zCInput* eng_input() override { return inner_.eng_input(); }
    bool eng_input_key_pressed(zCInput* input, int key) override {
        return inner_.eng_input_key_pressed(input, key);
    }
    bool eng_input_key_toggled(zCInput* input, int key) override {
        return inner_.eng_input_key_toggled(input, key);
    }
    bool eng_input_mouse_right_pressed(zCInput* input) override {
        return inner_.eng_input_mouse_right_pressed(input);
    }
    void eng_input_clear_key_buffer(zCInput* input) override {
        inner_.eng_input_clear_key_buffer(input);
    }
    zCOption* eng_options() override { return inner_.eng_options(); }
    int eng_options_read_int(zCOption* options, const zSTRING& section, const zSTRING& key,
                             int fallback) override {
        return inner_.eng_options_read_int(options, section, key, fallback);
    }
    bool eng_options_read_bool(zCOption* options, const zSTRING& section, const zSTRING& key,
                               bool fallback) override {
        return inner_.eng_options_read_bool(options, section, key, fallback);
    }
    zSTRING eng_options_read_string(zCOption* options, const zSTRING& section, const zSTRING& key,
                                    const zSTRING& fallback) override {
        return inner_.eng_options_read_string(options, section, key, fallback);
    }
    zSTRING eng_options_directory(const zCOption* options, int setting) override {
        return inner_.eng_options_directory(options, setting);
    }
    zCView* eng_screen() override { return inner_.eng_screen(); }
    void eng_screen_insert(zCView* view, int stayOnTop) override {
        inner_.eng_screen_insert(view, stayOnTop);
    }
    void eng_screen_remove(zCView* view) override { inner_.eng_screen_remove(view); }
    zCView* eng_view_construct() override { return inner_.eng_view_construct(); }
    zCView* eng_view_construct_rect(int x1, int y1, int x2, int y2, int kind) override {
        return inner_.eng_view_construct_rect(x1, y1, x2, y2, kind);
    }
    void eng_view_set_texture(zCView* view, zCTexture* texture) override {
        inner_.eng_view_set_texture(view, texture);
    }
    void eng_view_set_texture_name(zCView* view, const zSTRING& name) override {
        inner_.eng_view_set_texture_name(view, name);
    }
    void eng_view_set_blend_mode(zCView* view, int mode) override {
        inner_.eng_view_set_blend_mode(view, mode);
    }
    zSTRING eng_view_get_font_name(const zCView* view) override {
        return inner_.eng_view_get_font_name(view);
    }
    void eng_view_set_font(zCView* view, const zSTRING& fontName) override {
        inner_.eng_view_set_font(view, fontName);
    }
    zCFont* eng_view_font(const zCView* view) override { return inner_.eng_view_font(view); }
    int eng_view_font_height(const zCView* view) override {
        return inner_.eng_view_font_height(view);
    }
    int eng_view_text_width(const zCView* view, const zSTRING& text) override {
        return inner_.eng_view_text_width(view, text);
    }
    void eng_view_set_font_color(zCView* view, const zCOLOR& color) override {
        inner_.eng_view_set_font_color(view, color);
    }
    void eng_view_set_position(zCView* view, int x, int y) override {
        inner_.eng_view_set_position(view, x, y);
    }
    void eng_view_set_size(zCView* view, int width, int height) override {
        inner_.eng_view_set_size(view, width, height);
    }
    void eng_view_clear_text(zCView* view) override { inner_.eng_view_clear_text(view); }
    void eng_view_print(zCView* view, int x, int y, const zSTRING& text) override {
        inner_.eng_view_print(view, x, y, text);
    }
    void eng_view_print_timed_cx(zCView* view, int y, const zSTRING& text, float time,
                                 const zCOLOR& color) override {
        inner_.eng_view_print_timed_cx(view, y, text, time, color);
    }
    void eng_view_window_print(zCView* view, const zSTRING& text) override {
        inner_.eng_view_window_print(view, text);
    }
    void eng_view_refresh(zCView* view) override { inner_.eng_view_refresh(view); }
    void eng_view_blit(zCView* view) override { inner_.eng_view_blit(view); }
    void eng_view_draw(zCView* view) override { inner_.eng_view_draw(view); }
    zVIEWPORT eng_view_get_viewport(const zCView* view) override {
        return inner_.eng_view_get_viewport(view);
    }
    int eng_view_pixel_to_virtual_x(const zCView* view, int pixels) override {
        return inner_.eng_view_pixel_to_virtual_x(view, pixels);
    }
    int eng_view_pixel_to_virtual_y(const zCView* view, int pixels) override {
        return inner_.eng_view_pixel_to_virtual_y(view, pixels);
    }
    int eng_view_virtual_to_pixel_x(const zCView* view, int virtualUnits) override {
        return inner_.eng_view_virtual_to_pixel_x(view, virtualUnits);
    }
    int eng_font_height(const zCFont* font) override { return inner_.eng_font_height(font); }
    void eng_font_set_height(zCFont* font, int height) override {
        inner_.eng_font_set_height(font, height);
    }
    zCOLOR eng_color_make(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                          std::uint8_t alpha) override {
        return inner_.eng_color_make(r, g, b, alpha);
    }
    zCOLOR eng_color_default_text() override { return inner_.eng_color_default_text(); }
    zCTexture* eng_texture_load(const zSTRING& name, int flags) override {
        return inner_.eng_texture_load(name, flags);
    }
    void eng_renderer_set_viewport(int x, int y, int width, int height) override {
        inner_.eng_renderer_set_viewport(x, y, width, height);
    }
    zCCamera* eng_active_camera() override { return inner_.eng_active_camera(); }
    void eng_camera_update(zCCamera* camera) override { inner_.eng_camera_update(camera); }
    zMAT34 eng_camera_view_matrix(const zCCamera* camera) override {
        return inner_.eng_camera_view_matrix(camera);
    }
    float eng_camera_near_plane(const zCCamera* camera) override {
        return inner_.eng_camera_near_plane(camera);
    }
    zPOINT2 eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) override {
        return inner_.eng_camera_project(camera, cameraSpace);
    }
    zVEC2 eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) override {
        return inner_.eng_camera_project_float(camera, cameraSpace);
    }
    void eng_visual_effect_play(const zSTRING& name, const zCVob* origin, const zCVob* target,
                                int level, float damage, int damageType,
                                int isProjectile) override {
        inner_.eng_visual_effect_play(name, origin, target, level, damage, damageType,
                                      isProjectile);
    }
    bool eng_string_is_empty(const zSTRING& text) override {
        return inner_.eng_string_is_empty(text);
    }

private:
    Engine& inner_;
};

}  // namespace pilfern::test
