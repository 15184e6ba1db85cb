#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>

#include "host/engine_string.h"
#include "host/zstring.h"

// Engine object classes. The plugin holds pointers to them and never looks inside; the
// engine behind the contract gives them their content. In the game they are the engine's own
// objects, whose run-time type information the plugin's compiler does not describe: the
// plugin never asks C++ what an engine object is (no dynamic casts, no type ids), only the
// engine's own class test (Engine::eng_object_class_is; core/engine_cast.h converts by it).
// As in the engine, each class derives from one class before it, never virtually, with the
// object's virtual-table pointer first: an object has one address whatever engine class it
// is seen as, so a conversion the engine's class test allows changes no address.
class zCObject {
public:
    zCObject(const zCObject&) = delete;
    zCObject& operator=(const zCObject&) = delete;
    zCObject(zCObject&&) = delete;
    zCObject& operator=(zCObject&&) = delete;
    virtual ~zCObject() = default;

protected:
    zCObject() = default;
};
class zCVob : public zCObject {};
class oCItem : public zCVob {};
class oCNpc : public zCVob {};
// The framework's extended NPC: the very NPC object, at the same address, when the engine's
// class test says it is one. Not every NPC is one.
class oCNpcEx : public oCNpc {};
class oCMob : public zCVob {};
class oCMobInter : public oCMob {};
class oCMobLockable : public oCMobInter {};
class oCMobContainer : public oCMobLockable {};
class zCWorld : public zCObject {};
class zCVisual : public zCObject {};
class zCTexture : public zCObject {};
class zCEventMessage : public zCObject {};
class oCMsgConversation : public zCEventMessage {};

// Engine structures the plugin only passes back to the engine.
class oCGame;
class oCInformationManager;
class oCPortalRoomManager;
class oCPortalRoom;
class oCNpcFocus;
class oCNpcInventory;
class zCModel;
class zCEventManager;
class zCParser;
class zCPar_Symbol;
class zCInput;
class zCInput_Win32;
class zCOption;
class zCView;
class zCFont;
class zCCamera;
template <class T>
class zCListSort;

// Small engine values passed by copy, or by reference to the replaced engine functions.
struct zVEC2 {
    float x = 0;
    float y = 0;
};
// GetFontData writes the glyph's texture coordinates through references into the engine's
// memory, and its width through an int reference: the engine's layouts in every build.
static_assert(std::is_standard_layout_v<zVEC2> && sizeof(zVEC2) == 8);
static_assert(offsetof(zVEC2, x) == 0 && offsetof(zVEC2, y) == 4);
static_assert(sizeof(int) == 4 && sizeof(float) == 4 && sizeof(unsigned short) == 2);
struct zVEC3 {
    float x = 0;
    float y = 0;
    float z = 0;
};
struct zMAT34 {
    std::array<std::array<float, 4>, 3> rows{};
};
struct zPOINT2 {
    int x = 0;
    int y = 0;
    friend bool operator==(const zPOINT2&, const zPOINT2&) = default;
};
struct zCOLOR {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t alpha = 0;
    friend bool operator==(const zCOLOR&, const zCOLOR&) = default;
};
struct zVIEWPORT {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const zVIEWPORT&, const zVIEWPORT&) = default;
};

// Classes the engine's own class test knows.
enum class EngineClass { oCItem, oCNpc, oCNpcEx, oCMobContainer };

// The engine's member functions take their object in ECX and their arguments on the stack,
// which the callee removes: __thiscall of 32-bit Windows. A replacement of one, and a call of
// the engine's own through a patch record, must use that convention too, or the first call
// in the game corrupts the stack. A 32-bit Linux build uses the same convention (GCC's
// thiscall), so that it proves the replacements where no 32-bit Windows program can run.
// Where the convention does not exist (64-bit builds), the alias is empty.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define ENGINE_MEMBER_CALL __thiscall
#elif defined(__i386__)
#define ENGINE_MEMBER_CALL __attribute__((thiscall))
#else
#define ENGINE_MEMBER_CALL
#endif

// The three engine functions the plugin may replace, as functions of the engine's member
// convention taking the object first. The engine reaches them through the framework's patch
// records. They take the engine's own types at the engine's layout: what they receive by
// reference is the engine's memory, read and written in place. PrintChars receives the
// engine's string object (zSTRING_Engine, host/engine_string.h), not the plugin's zSTRING.
using FontGetFontDataFn = int(ENGINE_MEMBER_CALL*)(zCFont* font, unsigned char character,
                                                   int& width, zVEC2& uv0, zVEC2& uv1);
using ViewPrintCharsFn = void(ENGINE_MEMBER_CALL*)(zCView* view, int x, int y,
                                                   const zSTRING_Engine& text);
using InputSetStateFn = int(ENGINE_MEMBER_CALL*)(zCInput_Win32* input, unsigned short key,
                                                 int state);

namespace pilfern {

class Engine {
public:
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    Engine(Engine&&) = delete;
    Engine& operator=(Engine&&) = delete;
    virtual ~Engine() = default;

    // The running game, its world lists and the game-wide managers.
    virtual oCGame* eng_game() = 0;
    virtual bool eng_game_paused(const oCGame* game) = 0;
    virtual zCWorld* eng_game_world(const oCGame* game) = 0;
    virtual zCCamera* eng_game_camera(const oCGame* game) = 0;
    virtual oCPortalRoomManager* eng_game_room_registry(const oCGame* game) = 0;
    virtual const oCPortalRoom* eng_room_registry_player_room(const oCPortalRoomManager* rooms) = 0;
    virtual zSTRING eng_savegame_slot_folder(const oCGame* game, int slot) = 0;
    virtual const zCListSort<oCItem>* eng_world_item_list(const zCWorld* world) = 0;
    virtual const zCListSort<oCNpc>* eng_world_npc_list(const zCWorld* world) = 0;
    virtual oCItem* eng_list_item(const zCListSort<oCItem>* node) = 0;
    virtual const zCListSort<oCItem>* eng_list_item_next(const zCListSort<oCItem>* node) = 0;
    virtual oCNpc* eng_list_npc(const zCListSort<oCNpc>* node) = 0;
    virtual const zCListSort<oCNpc>* eng_list_npc_next(const zCListSort<oCNpc>* node) = 0;
    virtual oCInformationManager* eng_dialog_manager() = 0;
    virtual bool eng_dialog_is_over(const oCInformationManager* dialogs) = 0;
    virtual int eng_ui_block_global() = 0;
    virtual const oCNpcFocus* eng_focus_settings() = 0;
    virtual int eng_focus_in_range(const oCNpcFocus* focus, int vobType, float distance) = 0;

    // Objects and world objects in general.
    virtual zSTRING eng_object_instance_name(const zCObject* object) = 0;
    virtual bool eng_object_class_is(const zCObject* object, EngineClass engineClass) = 0;
    virtual void eng_object_add_ref(zCObject* object) = 0;
    virtual void eng_object_release(zCObject* object) = 0;
    virtual zVEC3 eng_vob_position(const zCVob* vob) = 0;
    virtual zCWorld* eng_vob_home_world(const zCVob* vob) = 0;
    virtual zCVisual* eng_vob_visual(const zCVob* vob) = 0;
    virtual zSTRING eng_vob_room_name(const zCVob* vob) = 0;
    virtual float eng_vob_distance_to(const zCVob* from, const zCVob* to) = 0;
    virtual float eng_vob_distance(const zCVob* from, const zCVob* to) = 0;
    virtual int eng_vob_type(const zCVob* vob) = 0;
    virtual int eng_vob_flag_bits(const zCVob* vob) = 0;

    // NPCs: the player, vital and body state, focus, inventory, items and events.
    virtual oCNpc* eng_player() = 0;
    virtual int eng_npc_hitpoints(const oCNpc* npc) = 0;
    virtual bool eng_npc_is_dead(const oCNpc* npc) = 0;
    virtual bool eng_npc_is_unconscious(const oCNpc* npc) = 0;
    virtual int eng_npc_body_state(const oCNpc* npc) = 0;
    virtual bool eng_npc_in_battle(const oCNpc* npc) = 0;
    virtual const zCVob* eng_npc_interaction_a(const oCNpc* npc) = 0;
    virtual const zCVob* eng_npc_interaction_b(const oCNpc* npc) = 0;
    virtual bool eng_npc_query_a(const oCNpc* npc) = 0;
    virtual bool eng_npc_query_b(const oCNpc* npc) = 0;
    virtual int eng_npc_loot_block(const oCNpc* npc) = 0;
    virtual zSTRING eng_npc_name(const oCNpc* npc) = 0;
    virtual zCVob* eng_npc_focus_vob(const oCNpc* npc) = 0;
    virtual oCNpc* eng_npc_focus_npc(const oCNpc* npc) = 0;
    virtual zCVob* eng_npc_focus_object_field(const oCNpc* npc) = 0;
    virtual void eng_npc_set_focus(oCNpc* npc, zCVob* vob) = 0;
    virtual void eng_npc_clear_focus(oCNpc* npc) = 0;
    virtual void eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) = 0;
    virtual bool eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) = 0;
    virtual oCNpcInventory* eng_npc_inventory(const oCNpc* npc) = 0;
    virtual zCModel* eng_npc_model(const oCNpc* npc) = 0;
    virtual oCItem* eng_npc_weapon_query_1(const oCNpc* npc) = 0;
    virtual oCItem* eng_npc_weapon_query_2(const oCNpc* npc) = 0;
    virtual void eng_npc_take_vob(oCNpc* npc, zCVob* vob) = 0;
    virtual void eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) = 0;
    virtual void eng_npc_create_items(oCNpc* npc, int instance, int amount) = 0;
    virtual void eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) = 0;
    virtual void eng_npc_unequip(oCNpc* npc, oCItem* item) = 0;
    virtual bool eng_npc_has_items_by_name(const oCNpc* npc, const zSTRING& instanceName,
                                           int amount) = 0;
    virtual void eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) = 0;
    virtual zCEventManager* eng_npc_event_manager(const oCNpc* npc) = 0;
    virtual int eng_npc_ex_marker_1(const oCNpcEx* npc) = 0;
    virtual int eng_npc_ex_marker_2(const oCNpcEx* npc) = 0;
    virtual int eng_npc_ex_marker_3(const oCNpcEx* npc) = 0;
    virtual void eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                              zCVob* source) = 0;
    virtual bool eng_model_is_animation_active(const zCModel* model, const zSTRING& name) = 0;
    virtual zSTRING eng_model_first_active_animation_name(const zCModel* model) = 0;

    // Inventories.
    virtual bool eng_inventory_is_open(const oCNpcInventory* inventory) = 0;
    virtual void eng_inventory_prepare(oCNpcInventory* inventory) = 0;
    virtual const zCListSort<oCItem>* eng_inventory_entry_list(const oCNpcInventory* inventory) = 0;
    virtual const zCListSort<oCItem>* eng_inventory_item_list(const oCNpcInventory* inventory) = 0;
    virtual std::array<const zCListSort<oCItem>*, 9> eng_inventory_category_lists(
        const oCNpcInventory* inventory) = 0;
    virtual bool eng_inventory_is_empty(const oCNpcInventory* inventory) = 0;
    virtual void eng_inventory_clear(oCNpcInventory* inventory) = 0;

    // Items.
    virtual int eng_item_amount(const oCItem* item) = 0;
    virtual int eng_item_instance(const oCItem* item) = 0;
    virtual std::uint32_t eng_item_category(const oCItem* item) = 0;
    virtual std::uint32_t eng_item_flags(const oCItem* item) = 0;
    virtual bool eng_item_has_flag(const oCItem* item, std::uint32_t flag) = 0;
    virtual std::uint32_t eng_item_nb_quest_word(const oCItem* item) = 0;
    virtual zSTRING eng_item_name(const oCItem* item) = 0;
    virtual zSTRING eng_item_text_field(const oCItem* item) = 0;
    virtual zSTRING eng_item_display_name(const oCItem* item) = 0;
    virtual zSTRING eng_item_arrow_text(const oCItem* item) = 0;
    virtual int eng_item_munition(const oCItem* item) = 0;
    virtual bool eng_item_ground_check(const oCItem* item) = 0;
    virtual int eng_item_armor_word(const oCItem* item) = 0;

    // Chests and the conversation message that announces an unlock.
    virtual const zCListSort<oCItem>* eng_container_item_list(const oCMobContainer* chest) = 0;
    virtual void eng_container_remove_item(oCMobContainer* chest, oCItem* item) = 0;
    virtual zSTRING eng_mob_condition_func(const oCMobInter* mob) = 0;
    virtual std::uint32_t eng_mob_lock_flags(const oCMobLockable* mob) = 0;
    virtual void eng_mob_set_lock_flags(oCMobLockable* mob, std::uint32_t flags) = 0;
    virtual void eng_mob_set_locked(oCMobLockable* mob, int locked) = 0;
    virtual zSTRING eng_mob_key_instance(const oCMobLockable* mob) = 0;
    virtual int eng_mob_state_count(const oCMobInter* mob) = 0;
    virtual zSTRING eng_mob_name(const oCMob* mob) = 0;
    virtual void eng_mob_begin_state_change(oCMobInter* mob, oCNpc* user, int from, int to) = 0;
    virtual void eng_mob_end_state_change(oCMobInter* mob, oCNpc* user, int from, int to) = 0;
    virtual oCMsgConversation* eng_msg_conversation_create(int subtype, const zSTRING& name) = 0;
    virtual void eng_msg_target(oCMsgConversation* message, zCVob* target) = 0;
    virtual void eng_msg_flag(oCMsgConversation* message, int flag) = 0;

    // The script parser.
    virtual zCParser* eng_script_parser() = 0;
    virtual zCPar_Symbol* eng_script_find_symbol(zCParser* parser, const zSTRING& name) = 0;
    virtual int eng_script_symbol_int(const zCPar_Symbol* symbol) = 0;
    virtual void eng_script_set_instance(zCParser* parser, const zSTRING& name,
                                         zCObject* object) = 0;
    virtual int eng_script_call_by_name(zCParser* parser, const zSTRING& name) = 0;
    virtual int eng_script_symbol_index(zCParser* parser, const zSTRING& name) = 0;
    virtual int eng_script_call_by_index(zCParser* parser, int index) = 0;

    // The input manager.
    virtual zCInput* eng_input() = 0;
    virtual bool eng_input_key_pressed(zCInput* input, int key) = 0;
    virtual bool eng_input_key_toggled(zCInput* input, int key) = 0;
    virtual bool eng_input_mouse_right_pressed(zCInput* input) = 0;
    virtual void eng_input_clear_key_buffer(zCInput* input) = 0;

    // The options object.
    virtual zCOption* eng_options() = 0;
    virtual int eng_options_read_int(zCOption* options, const zSTRING& section, const zSTRING& key,
                                     int fallback) = 0;
    virtual bool eng_options_read_bool(zCOption* options, const zSTRING& section,
                                       const zSTRING& key, bool fallback) = 0;
    virtual zSTRING eng_options_read_string(zCOption* options, const zSTRING& section,
                                            const zSTRING& key, const zSTRING& fallback) = 0;
    virtual zSTRING eng_options_directory(const zCOption* options, int setting) = 0;

    // The screen, 2D views, fonts, colours, textures and the renderer.
    virtual zCView* eng_screen() = 0;
    virtual void eng_screen_insert(zCView* view, int stayOnTop) = 0;
    virtual void eng_screen_remove(zCView* view) = 0;
    virtual zCView* eng_view_construct() = 0;
    virtual zCView* eng_view_construct_rect(int x1, int y1, int x2, int y2, int kind) = 0;
    virtual void eng_view_set_texture(zCView* view, zCTexture* texture) = 0;
    virtual void eng_view_set_texture_name(zCView* view, const zSTRING& name) = 0;
    virtual void eng_view_set_blend_mode(zCView* view, int mode) = 0;
    virtual zSTRING eng_view_get_font_name(const zCView* view) = 0;
    virtual void eng_view_set_font(zCView* view, const zSTRING& fontName) = 0;
    virtual zCFont* eng_view_font(const zCView* view) = 0;
    virtual int eng_view_font_height(const zCView* view) = 0;
    virtual int eng_view_text_width(const zCView* view, const zSTRING& text) = 0;
    virtual void eng_view_set_font_color(zCView* view, const zCOLOR& color) = 0;
    virtual void eng_view_set_position(zCView* view, int x, int y) = 0;
    virtual void eng_view_set_size(zCView* view, int width, int height) = 0;
    virtual void eng_view_clear_text(zCView* view) = 0;
    virtual void eng_view_print(zCView* view, int x, int y, const zSTRING& text) = 0;
    virtual void eng_view_print_timed_cx(zCView* view, int y, const zSTRING& text, float time,
                                         const zCOLOR& color) = 0;
    virtual void eng_view_window_print(zCView* view, const zSTRING& text) = 0;
    virtual void eng_view_refresh(zCView* view) = 0;
    virtual void eng_view_blit(zCView* view) = 0;
    virtual void eng_view_draw(zCView* view) = 0;
    virtual zVIEWPORT eng_view_get_viewport(const zCView* view) = 0;
    virtual int eng_view_pixel_to_virtual_x(const zCView* view, int pixels) = 0;
    virtual int eng_view_pixel_to_virtual_y(const zCView* view, int pixels) = 0;
    virtual int eng_view_virtual_to_pixel_x(const zCView* view, int virtualUnits) = 0;
    virtual int eng_font_height(const zCFont* font) = 0;
    virtual void eng_font_set_height(zCFont* font, int height) = 0;
    virtual zCOLOR eng_color_make(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                  std::uint8_t alpha) = 0;
    virtual zCOLOR eng_color_default_text() = 0;
    virtual zCTexture* eng_texture_load(const zSTRING& name, int flags) = 0;
    virtual void eng_renderer_set_viewport(int x, int y, int width, int height) = 0;

    // Cameras and visual effects.
    virtual zCCamera* eng_active_camera() = 0;
    virtual void eng_camera_update(zCCamera* camera) = 0;
    virtual zMAT34 eng_camera_view_matrix(const zCCamera* camera) = 0;
    virtual float eng_camera_near_plane(const zCCamera* camera) = 0;
    virtual zPOINT2 eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) = 0;
    virtual zVEC2 eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) = 0;
    virtual void eng_visual_effect_play(const zSTRING& name, const zCVob* origin,
                                        const zCVob* target, int level, float damage,
                                        int damageType, int isProjectile) = 0;

    // Engine strings.
    virtual bool eng_string_is_empty(const zSTRING& text) = 0;
};

}  // namespace pilfern
