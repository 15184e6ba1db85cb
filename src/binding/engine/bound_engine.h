#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "binding/abi/engine_string.h"
#include "binding/engine_fact.h"
#include "binding/engine_facts_table.h"
#include "host/engine.h"

namespace pilfern::binding {

// The number of an operation of the engine contract, found while compiling: a name the
// contract does not have does not compile.
consteval std::size_t OperationIndex(std::string_view operation) {
    for (std::size_t i = 0; i < kContractOperations.size(); ++i) {
        if (kContractOperations[i] == operation) {
            return i;
        }
    }
    throw "not an operation of the engine contract";
}

// The engine contract answered by the game's own engine, for one of the four executables,
// from that version's facts: each operation reads the field, calls the function or the
// virtual slot its fact names, with the convention the fact gives. Built once the version is
// known and confirmed; every engine address is looked up then, never while the game plays.
class BoundEngine final : public Engine {
public:
    // Throws when the facts of the version lack what the binding needs.
    explicit BoundEngine(int engineVersion);

    oCGame* eng_game() override;
    bool eng_game_paused(const oCGame* game) override;
    zCWorld* eng_game_world(const oCGame* game) override;
    zCCamera* eng_game_camera(const oCGame* game) override;
    oCPortalRoomManager* eng_game_room_registry(const oCGame* game) override;
    const oCPortalRoom* eng_room_registry_player_room(const oCPortalRoomManager* rooms) override;
    zSTRING eng_savegame_slot_folder(const oCGame* game, int slot) override;
    const zCListSort<oCItem>* eng_world_item_list(const zCWorld* world) override;
    const zCListSort<oCNpc>* eng_world_npc_list(const zCWorld* world) override;
    oCItem* eng_list_item(const zCListSort<oCItem>* node) override;
    const zCListSort<oCItem>* eng_list_item_next(const zCListSort<oCItem>* node) override;
    oCNpc* eng_list_npc(const zCListSort<oCNpc>* node) override;
    const zCListSort<oCNpc>* eng_list_npc_next(const zCListSort<oCNpc>* node) override;
    oCInformationManager* eng_dialog_manager() override;
    bool eng_dialog_is_over(const oCInformationManager* dialogs) override;
    int eng_ui_block_global() override;
    const oCNpcFocus* eng_focus_settings() override;
    int eng_focus_in_range(const oCNpcFocus* focus, int vobType, float distance) override;
    zSTRING eng_object_instance_name(const zCObject* object) override;
    bool eng_object_class_is(const zCObject* object, EngineClass engineClass) override;
    void eng_object_add_ref(zCObject* object) override;
    void eng_object_release(zCObject* object) override;
    zVEC3 eng_vob_position(const zCVob* vob) override;
    zCWorld* eng_vob_home_world(const zCVob* vob) override;
    zCVisual* eng_vob_visual(const zCVob* vob) override;
    zSTRING eng_vob_room_name(const zCVob* vob) override;
    float eng_vob_distance_to(const zCVob* from, const zCVob* to) override;
    float eng_vob_distance(const zCVob* from, const zCVob* to) override;
    int eng_vob_type(const zCVob* vob) override;
    int eng_vob_flag_bits(const zCVob* vob) override;
    oCNpc* eng_player() override;
    int eng_npc_hitpoints(const oCNpc* npc) override;
    bool eng_npc_is_dead(const oCNpc* npc) override;
    bool eng_npc_is_unconscious(const oCNpc* npc) override;
    int eng_npc_body_state(const oCNpc* npc) override;
    bool eng_npc_in_battle(const oCNpc* npc) override;
    const zCVob* eng_npc_interaction_a(const oCNpc* npc) override;
    const zCVob* eng_npc_interaction_b(const oCNpc* npc) override;
    bool eng_npc_query_a(const oCNpc* npc) override;
    bool eng_npc_query_b(const oCNpc* npc) override;
    int eng_npc_loot_block(const oCNpc* npc) override;
    zSTRING eng_npc_name(const oCNpc* npc) override;
    zCVob* eng_npc_focus_vob(const oCNpc* npc) override;
    oCNpc* eng_npc_focus_npc(const oCNpc* npc) override;
    zCVob* eng_npc_focus_object_field(const oCNpc* npc) override;
    void eng_npc_set_focus(oCNpc* npc, zCVob* vob) override;
    void eng_npc_clear_focus(oCNpc* npc) override;
    void eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) override;
    bool eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) override;
    oCNpcInventory* eng_npc_inventory(const oCNpc* npc) override;
    zCModel* eng_npc_model(const oCNpc* npc) override;
    oCItem* eng_npc_weapon_query_1(const oCNpc* npc) override;
    oCItem* eng_npc_weapon_query_2(const oCNpc* npc) override;
    void eng_npc_take_vob(oCNpc* npc, zCVob* vob) override;
    void eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) override;
    void eng_npc_create_items(oCNpc* npc, int instance, int amount) override;
    void eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) override;
    void eng_npc_unequip(oCNpc* npc, oCItem* item) override;
    bool eng_npc_has_items_by_name(const oCNpc* npc, const zSTRING& instanceName,
                                   int amount) override;
    void eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) override;
    zCEventManager* eng_npc_event_manager(const oCNpc* npc) override;
    int eng_npc_ex_marker_1(const oCNpcEx* npc) override;
    int eng_npc_ex_marker_2(const oCNpcEx* npc) override;
    int eng_npc_ex_marker_3(const oCNpcEx* npc) override;
    void eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                      zCVob* source) override;
    bool eng_model_is_animation_active(const zCModel* model, const zSTRING& name) override;
    zSTRING eng_model_first_active_animation_name(const zCModel* model) override;
    bool eng_inventory_is_open(const oCNpcInventory* inventory) override;
    void eng_inventory_prepare(oCNpcInventory* inventory) override;
    const zCListSort<oCItem>* eng_inventory_entry_list(const oCNpcInventory* inventory) override;
    const zCListSort<oCItem>* eng_inventory_item_list(const oCNpcInventory* inventory) override;
    std::array<const zCListSort<oCItem>*, 9> eng_inventory_category_lists(
        const oCNpcInventory* inventory) override;
    bool eng_inventory_is_empty(const oCNpcInventory* inventory) override;
    void eng_inventory_clear(oCNpcInventory* inventory) override;
    int eng_item_amount(const oCItem* item) override;
    int eng_item_instance(const oCItem* item) override;
    std::uint32_t eng_item_category(const oCItem* item) override;
    std::uint32_t eng_item_flags(const oCItem* item) override;
    bool eng_item_has_flag(const oCItem* item, std::uint32_t flag) override;
    std::uint32_t eng_item_nb_quest_word(const oCItem* item) override;
    zSTRING eng_item_name(const oCItem* item) override;
    zSTRING eng_item_text_field(const oCItem* item) override;
    zSTRING eng_item_display_name(const oCItem* item) override;
    zSTRING eng_item_arrow_text(const oCItem* item) override;
    int eng_item_munition(const oCItem* item) override;
    bool eng_item_ground_check(const oCItem* item) override;
    int eng_item_armor_word(const oCItem* item) override;
    const zCListSort<oCItem>* eng_container_item_list(const oCMobContainer* chest) override;
    void eng_container_remove_item(oCMobContainer* chest, oCItem* item) override;
    zSTRING eng_mob_condition_func(const oCMobInter* mob) override;
    std::uint32_t eng_mob_lock_flags(const oCMobLockable* mob) override;
    void eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) override;
    void eng_mob_set_locked(oCMobLockable* mob, int locked) override;
    zSTRING eng_mob_key_instance(const oCMobLockable* mob) override;
    int eng_mob_state_count(const oCMobInter* mob) override;
    zSTRING eng_mob_name(const oCMob* mob) override;
    void eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) override;
    void eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) override;
    oCMsgConversation* eng_msg_conversation_create(int subtype, const zSTRING& name) override;
    void eng_msg_target(oCMsgConversation* message, zCVob* target) override;
    void eng_msg_flag(oCMsgConversation* message, int flag) override;
    zCParser* eng_script_parser() override;
    zCPar_Symbol* eng_script_find_symbol(zCParser* parser, const zSTRING& name) override;
    int eng_script_symbol_int(const zCPar_Symbol* symbol) override;
    void eng_script_set_instance(zCParser* parser, const zSTRING& name, zCObject* object) override;
    int eng_script_call_by_name(zCParser* parser, const zSTRING& name) override;
    int eng_script_symbol_index(zCParser* parser, const zSTRING& name) override;
    int eng_script_call_by_index(zCParser* parser, int index) override;
    zCInput* eng_input() override;
    bool eng_input_key_pressed(zCInput* input, int key) override;
    bool eng_input_key_toggled(zCInput* input, int key) override;
    bool eng_input_mouse_right_pressed(zCInput* input) override;
    void eng_input_clear_key_buffer(zCInput* input) override;
    zCOption* eng_options() override;
    int eng_options_read_int(zCOption* options, const zSTRING& section, const zSTRING& key,
                             int fallback) override;
    bool eng_options_read_bool(zCOption* options, const zSTRING& section, const zSTRING& key,
                               bool fallback) override;
    zSTRING eng_options_read_string(zCOption* options, const zSTRING& section, const zSTRING& key,
                                    const zSTRING& fallback) override;
    zSTRING eng_options_directory(const zCOption* options, int setting) override;
    zCView* eng_screen() override;
    void eng_screen_insert(zCView* view, int stayOnTop) override;
    void eng_screen_remove(zCView* view) override;
    zCView* eng_view_construct() override;
    zCView* eng_view_construct_rect(int x1, int y1, int x2, int y2, int kind) override;
    void eng_view_set_texture(zCView* view, zCTexture* texture) override;
    void eng_view_set_texture_name(zCView* view, const zSTRING& name) override;
    void eng_view_set_blend_mode(zCView* view, int mode) override;
    zSTRING eng_view_get_font_name(const zCView* view) override;
    void eng_view_set_font(zCView* view, const zSTRING& fontName) override;
    zCFont* eng_view_font(const zCView* view) override;
    int eng_view_font_height(const zCView* view) override;
    int eng_view_text_width(const zCView* view, const zSTRING& text) override;
    void eng_view_set_font_color(zCView* view, const zCOLOR& color) override;
    void eng_view_set_position(zCView* view, int x, int y) override;
    void eng_view_set_size(zCView* view, int width, int height) override;
    void eng_view_clear_text(zCView* view) override;
    void eng_view_print(zCView* view, int x, int y, const zSTRING& text) override;
    void eng_view_print_timed_cx(zCView* view, int y, const zSTRING& text, float time,
                                 const zCOLOR& color) override;
    void eng_view_window_print(zCView* view, const zSTRING& text) override;
    void eng_view_refresh(zCView* view) override;
    void eng_view_blit(zCView* view) override;
    void eng_view_draw(zCView* view) override;
    zVIEWPORT eng_view_get_viewport(const zCView* view) override;
    int eng_view_pixel_to_virtual_x(const zCView* view, int pixels) override;
    int eng_view_pixel_to_virtual_y(const zCView* view, int pixels) override;
    int eng_view_virtual_to_pixel_x(const zCView* view, int virtualUnits) override;
    int eng_font_height(const zCFont* font) override;
    void eng_font_set_height(zCFont* font, int height) override;
    zCOLOR eng_color_make(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                          std::uint8_t alpha) override;
    zCOLOR eng_color_default_text() override;
    zCTexture* eng_texture_load(const zSTRING& name, int flags) override;
    void eng_renderer_set_viewport(int x, int y, int width, int height) override;
    zCCamera* eng_active_camera() override;
    void eng_camera_update(zCCamera* camera) override;
    zMAT34 eng_camera_view_matrix(const zCCamera* camera) override;
    float eng_camera_near_plane(const zCCamera* camera) override;
    zPOINT2 eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) override;
    zVEC2 eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) override;
    void eng_visual_effect_play(const zSTRING& name, const zCVob* origin, const zCVob* target,
                                int level, float damage, int damageType, int isProjectile) override;
    bool eng_string_is_empty(const zSTRING& text) override;

    // What an operation's fact names: how to reach it and where.
    struct Member {
        FactKind kind = FactKind::Unknown;
        CallConvention convention = CallConvention::None;
        std::uint32_t value = 0;
    };

    // What the binding needs besides the operations' own members.
    struct Support {
        abi::EngineStringCalls strings;
        std::array<abi::EngineAddress, 3> classRecords{};  // oCItem, oCNpc, oCMobContainer
        std::uint32_t classRecordSlot = 0;                 // the object's class record
        std::uint32_t listNodeSize = 0;                    // a sorted list's node
        abi::EngineAddress operatorNew = 0;
        std::uint32_t viewSize = 0;
        std::uint32_t messageSize = 0;
        abi::EngineAddress renderer = 0;     // the global holding the renderer
        std::uint32_t savegameManager = 0;   // in the game object
        std::uint32_t channelAnimation = 0;  // in an active animation channel
        std::uint32_t animationName = 0;     // in an animation
    };

    [[nodiscard]] int Version() const { return version_; }

private:
    [[nodiscard]] const Member& At(std::size_t operation) const { return members_[operation]; }
    [[nodiscard]] zSTRING TextAt(const void* object, std::size_t operation) const;
    // The engine's lists begin with a head node that holds no element; the contract's begin
    // with the first node that does, and are none when there is none. `next` is the list
    // operation that reads a node's successor.
    template <class T>
    [[nodiscard]] const zCListSort<T>* FirstNode(const void* head, std::size_t next) const {
        return head == nullptr ? nullptr : abi::ReadAt<const zCListSort<T>*>(head, At(next).value);
    }
    [[nodiscard]] const zCListSort<oCItem>* FirstItemNode(const void* head) const {
        return FirstNode<oCItem>(head, OperationIndex("eng_list_item_next"));
    }
    // The engine's name of the animation the model's first channel plays, where it lies; none
    // when the channel is idle.
    [[nodiscard]] const zSTRING_Engine* FirstAnimationName(const zCModel* model) const;

    int version_;
    std::array<Member, kContractOperations.size()> members_{};
    Support support_;
};

}  // namespace pilfern::binding
