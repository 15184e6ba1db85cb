#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/engine.h"
#include "sim/draw_record.h"
#include "sim/engine_operations.h"
#include "sim/game_events.h"
#include "sim/item_instance.h"
#include "sim/redirects.h"
#include "sim/sim_types.h"

namespace pilfern::sim {

// The engine's own bodies of the three functions a patch can replace. They are members of
// the engine and keep its member calling convention, so a replacement that does not is
// caught when the engine calls it.
int ENGINE_MEMBER_CALL EngineGetFontData(zCFont* font, unsigned char character, int& width,
                                         zVEC2& uv0, zVEC2& uv1);
void ENGINE_MEMBER_CALL EnginePrintChars(zCView* view, int x, int y, const zSTRING_Engine& text);
int ENGINE_MEMBER_CALL EngineSetState(zCInput_Win32* input, unsigned short key, int state);

enum class PatchableFunction { GetFontData, PrintChars, SetState };
// Where a patchable function starts, as patch records and the redirect table name it. Ask
// here rather than taking the address in another module: on Windows that gives the importing
// module's jump to the function, not the function.
[[nodiscard]] std::uintptr_t EngineFunctionAddress(PatchableFunction function);

// Arguments the call log writes as numbers, and the engine structures it only names.
template <class T>
concept CallNumber = std::is_arithmetic_v<T>;
template <class T>
concept PassedStructure = !std::is_convertible_v<const T*, const zCObject*>;

// The simulated engine: an in-memory game that answers every engine operation the plugin
// calls. Its public members are the simulator's own view of the game, for scenarios and
// tests; the plugin reaches it only through the Engine contract.
class SimEngine final : public Engine {
public:
    SimEngine(const std::uint32_t& clock, RedirectTable& redirects);

    // The running game, its world lists and the game-wide managers.
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

    // Objects and world objects in general.
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

    // NPCs: the player, vital and body state, focus, inventory, items and events.
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

    // Inventories.
    bool eng_inventory_is_open(const oCNpcInventory* inventory) override;
    void eng_inventory_prepare(oCNpcInventory* inventory) override;
    const zCListSort<oCItem>* eng_inventory_entry_list(const oCNpcInventory* inventory) override;
    const zCListSort<oCItem>* eng_inventory_item_list(const oCNpcInventory* inventory) override;
    std::array<const zCListSort<oCItem>*, 9> eng_inventory_category_lists(
        const oCNpcInventory* inventory) override;
    bool eng_inventory_is_empty(const oCNpcInventory* inventory) override;
    void eng_inventory_clear(oCNpcInventory* inventory) override;

    // Items.
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

    // Chests and the conversation message that announces an unlock.
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

    // The script parser.
    zCParser* eng_script_parser() override;
    zCPar_Symbol* eng_script_find_symbol(zCParser* parser, const zSTRING& name) override;
    int eng_script_symbol_int(const zCPar_Symbol* symbol) override;
    void eng_script_set_instance(zCParser* parser, const zSTRING& name, zCObject* object) override;
    int eng_script_call_by_name(zCParser* parser, const zSTRING& name) override;
    int eng_script_symbol_index(zCParser* parser, const zSTRING& name) override;
    int eng_script_call_by_index(zCParser* parser, int index) override;

    // The input manager.
    zCInput* eng_input() override;
    bool eng_input_key_pressed(zCInput* input, int key) override;
    bool eng_input_key_toggled(zCInput* input, int key) override;
    bool eng_input_mouse_right_pressed(zCInput* input) override;
    void eng_input_clear_key_buffer(zCInput* input) override;

    // The options object.
    zCOption* eng_options() override;
    int eng_options_read_int(zCOption* options, const zSTRING& section, const zSTRING& key,
                             int fallback) override;
    bool eng_options_read_bool(zCOption* options, const zSTRING& section, const zSTRING& key,
                               bool fallback) override;
    zSTRING eng_options_read_string(zCOption* options, const zSTRING& section, const zSTRING& key,
                                    const zSTRING& fallback) override;
    zSTRING eng_options_directory(const zCOption* options, int setting) override;

    // The screen, 2D views, fonts, colours, textures and the renderer.
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

    // Cameras and visual effects.
    zCCamera* eng_active_camera() override;
    void eng_camera_update(zCCamera* camera) override;
    zMAT34 eng_camera_view_matrix(const zCCamera* camera) override;
    float eng_camera_near_plane(const zCCamera* camera) override;
    zPOINT2 eng_camera_project(const zCCamera* camera, const zVEC3& cameraSpace) override;
    zVEC2 eng_camera_project_float(const zCCamera* camera, const zVEC3& cameraSpace) override;
    void eng_visual_effect_play(const zSTRING& name, const zCVob* origin, const zCVob* target,
                                int level, float damage, int damageType, int isProjectile) override;

    // Engine strings.
    bool eng_string_is_empty(const zSTRING& text) override;

    // ---- The simulator's side ----

    [[nodiscard]] std::uint32_t Now() const { return clock_; }
    [[nodiscard]] const RedirectTable& Redirects() const { return redirects_; }

    // Calls of an engine operation by name, such as "eng_player", since the engine started.
    [[nodiscard]] std::uint64_t Calls(std::string_view operation) const;
    // Calls of each operation (by its number in kEngineOperations) in the current game step:
    // a frame, or an event such as init, save, load or options applied.
    [[nodiscard]] const std::array<std::uint32_t, kEngineOperationCount>& StepCalls() const {
        return stepCalls_;
    }
    // A new game step: its call counts and call log start empty.
    void BeginStep();
    // Whether the calls of each step are also logged in order, with their arguments.
    void LogCalls(bool on) { logCalls_ = on; }
    [[nodiscard]] const std::vector<EngineCall>& CallLog() const { return callLog_; }

    // How the call log names an argument: engine objects by the scenario's id or their kind,
    // texts quoted, numbers as numbers.
    [[nodiscard]] std::string Describe(const zCObject* object) const;
    [[nodiscard]] std::string Describe(const zCView* view) const;
    [[nodiscard]] std::string Describe(const zCFont* font) const;
    [[nodiscard]] std::string Describe(const oCNpcInventory* inventory) const;
    [[nodiscard]] std::string Describe(const zCModel* model) const;
    [[nodiscard]] std::string Describe(const zCEventManager* events) const;
    [[nodiscard]] std::string Describe(const zCListSort<oCItem>* node) const;
    [[nodiscard]] std::string Describe(const zCListSort<oCNpc>* node) const;
    [[nodiscard]] std::string Describe(const zCPar_Symbol* symbol) const;
    [[nodiscard]] std::string Describe(const zSTRING& text) const;
    [[nodiscard]] std::string Describe(const zCOLOR& color) const;
    [[nodiscard]] std::string Describe(const zVEC3& vector) const;
    [[nodiscard]] std::string Describe(const std::optional<int>& number) const;
    [[nodiscard]] std::string Describe(EngineClass engineClass) const;
    template <CallNumber Number>
    [[nodiscard]] std::string Describe(Number number) const {
        return DescribeNumber(static_cast<double>(number), std::is_same_v<Number, bool>);
    }
    // The engine's managers and other structures the contract only passes around.
    template <PassedStructure Structure>
    [[nodiscard]] std::string Describe(const Structure* structure) const {
        return DescribeStructure(structure);
    }
    [[nodiscard]] static std::string DescribeNumber(double number, bool isBool);
    [[nodiscard]] std::string DescribeStructure(const void* structure) const;

    // World content. Objects live as long as the engine; lists only link them.
    // Instance names are kept as the script parser keeps every symbol: in upper case.
    SimItem& CreateItem(std::string id, std::string_view instanceName);
    // An NPC of the world; `extended` makes it the framework's extended NPC (oCNpcEx).
    SimNpc& CreateNpc(std::string id, std::string_view instanceName, bool extended = false);
    [[nodiscard]] static std::string SymbolName(std::string_view name);
    // The simulator's side of a world object (an item, NPC or chest); none for anything else.
    [[nodiscard]] static const VobData* Vob(const zCVob* vob);
    void PlaceInWorld(SimItem& item);
    void PlaceInWorld(SimNpc& npc);
    void RemoveFromWorld(SimItem& item);
    void RemoveFromWorld(SimNpc& npc);
    // Empty nodes in the world's item and NPC lists, at places counted in the lists they make.
    void InsertEmptyWorldNodes(const std::vector<int>& itemPlaces,
                               const std::vector<int>& npcPlaces);
    void SetPlayer(SimNpc* npc) { player_ = npc; }
    // The game's transformation spell: the creature's body stands in the world where the
    // player stands and becomes the player; the hero's own body stays where it stood, kept
    // by the game until the transformation ends. Refused while the player is transformed.
    void Transform(SimNpc& creature);
    // The transformation ends: the creature's body leaves the world, and the hero's own body
    // stands where it stood and is the player again. Refused while the player is not
    // transformed.
    void TransformBack();
    // A world that starts with the player transformed (a game saved so): the hero's own body.
    void SetOwnBody(SimNpc& body) { ownBody_ = &body; }
    // The hero's own body while the player is transformed; none otherwise.
    [[nodiscard]] SimNpc* OwnBody() const { return ownBody_; }
    [[nodiscard]] SimNpc* Player() const { return player_; }
    [[nodiscard]] SimItem* FindItem(std::string_view id) const;
    [[nodiscard]] SimNpc* FindNpc(std::string_view id) const;
    [[nodiscard]] const std::vector<std::unique_ptr<SimNpc>>& Npcs() const { return npcs_; }
    [[nodiscard]] const NodeList<oCItem>& WorldItems() const { return worldItems_; }
    [[nodiscard]] const NodeList<oCNpc>& WorldNpcs() const { return worldNpcs_; }
    // Script instance numbers by instance name, handed out in order of first use from 1.
    int InstanceIndex(std::string_view instanceName);

    // Chests. A chest is placed in the world when made; it is in no world list, as the
    // contract has none for mobs.
    SimContainer& CreateContainer(std::string id, std::string_view instanceName);
    [[nodiscard]] SimContainer* FindContainer(std::string_view id) const;
    [[nodiscard]] const std::vector<std::unique_ptr<SimContainer>>& Containers() const {
        return containers_;
    }
    void PlaceInWorld(SimContainer& container);
    void RemoveFromWorld(SimContainer& container);
    // The NPC bound to the chest, if any (the first in the order NPCs were made).
    [[nodiscard]] const SimNpc* UserOf(const SimContainer& chest) const;

    // The conversation messages the engine made, in order.
    [[nodiscard]] const std::vector<std::unique_ptr<SimConversationMessage>>& Messages() const {
        return messages_;
    }

    // The game events since the last TakeGameEvents, in the order they happened. The engine
    // always keeps them; whoever reports them takes them.
    [[nodiscard]] const std::vector<GameEvent>& GameEvents() const { return journal_; }
    std::vector<GameEvent> TakeGameEvents();

    oCGame game;
    oCInformationManager dialogs;
    // The engine's focus modes as the game's scripts set them (Focus_Normal, Focus_Melee,
    // Focus_Ranged, Focus_Magic); the player's fight mode chooses the one the engine uses.
    enum class FocusMode { Normal, Melee, Ranged, Magic };
    [[nodiscard]] static std::array<oCNpcFocus, 4> ScriptFocusModes();
    std::array<oCNpcFocus, 4> focusModes = ScriptFocusModes();
    [[nodiscard]] oCNpcFocus& Focus(FocusMode mode) {
        return focusModes.at(static_cast<std::size_t>(mode));
    }
    // The focus mode of an NPC's fight mode (the weapon it holds ready, or none).
    [[nodiscard]] static FocusMode FocusModeOf(const SimNpc& npc);
    // The engine collects the player's focus anew, as it does every frame before the frame's
    // events: it keeps the focus while that is still the one to choose, else chooses anew.
    void CollectPlayerFocus();
    // An object that leaves the world is no longer anyone's focus.
    void ForgetFocusOn(const zCVob* vob);
    zCInput_Win32 input;
    zCOption options;
    zCParser parser;
    int uiBlock = 0;
    zVIEWPORT rendererViewport{0, 0, 1920, 1080};
    // The GD3D11 renderer draws text itself, scaled by its own factor, past the engine's
    // text functions.
    bool rendererDrawsText = false;
    int screenWidth = 1920;  // pixels
    int screenHeight = 1080;

    // The engine version the game runs, in the framework's numbering (1 to 4): some engine
    // structures exist in one game only. Gothic II Addon (4), the framework's default, until
    // a game ties it to its framework's (SimGame does).
    void FollowEngineVersion(const int& version) { engineVersion_ = &version; }
    [[nodiscard]] int EngineVersion() const { return *engineVersion_; }

    // Item script instances, named in any case. DefineItemInstance answers the instance's
    // definition, made empty when the scripts have none yet; items made afterwards take it.
    ItemInstance& DefineItemInstance(std::string_view instanceName);
    [[nodiscard]] const ItemInstance* FindItemInstance(std::string_view instanceName) const;
    [[nodiscard]] const ItemInstance* FindItemInstance(int instanceIndex) const;
    // Gives an instance its script number; false when it has another one already or another
    // instance has this one. Numbers given so are never handed out by InstanceIndex.
    bool NumberInstance(std::string_view instanceName, int index);
    // `amount` of an item made from its instance's definition, as the game makes one: in no
    // place yet. The instance must be defined.
    SimItem& MakeItem(std::string id, std::string_view instanceName, int amount = 1);

    // Where an item is: on the ground (the world's item list), in one NPC's inventory, or in no
    // place at all (made and not placed yet, or gone from the game).
    [[nodiscard]] bool OnGround(const oCItem* item) const;
    [[nodiscard]] SimNpc* HolderOf(const oCItem* item) const;
    [[nodiscard]] SimContainer* ChestHolding(const oCItem* item) const;
    // Puts an item into an NPC's inventory, out of the place it was in. It joins a stack of its
    // instance there that is not worn, as the game stacks; answers the entry that holds it.
    SimItem& PutInInventory(SimNpc& npc, SimItem& item);
    // Takes an item out of the inventory that holds it, taken off first; it is then in no place.
    void TakeOutOfInventory(SimItem& item);
    // Packed inventories. A savegame load leaves every NPC's inventory packed but the
    // player's (and the hero's own body's while the player is transformed); a new game does
    // not pack. PackInventory packs one as a load leaves it: the items the NPC does not wear
    // leave the inventory's lists for its packed text. UnpackInventory unpacks it, as the
    // engine's preparation of an inventory does: the packed items join its entries again.
    void PackInventoriesForLoad();
    void PackInventory(SimNpc& npc);
    void UnpackInventory(SimNpc& npc);
    // The NPC holding an item puts it on, or takes it off (it stops being the NPC's weapon and
    // leaves its hand).
    static void Wear(SimItem& item) { item.flags |= kItemFlagWorn; }
    void TakeOff(SimItem& item);
    // An NPC's hands: the right holds its drawn weapon, the left such things as a torch.
    enum class Hand { Right, Left };
    [[nodiscard]] static SimItem* InHand(const SimNpc& npc, Hand hand);
    // The NPC takes a worn item of its inventory into a hand (none puts away what the hand
    // holds). As in the game, what a hand holds is also an object of the world, at the NPC's
    // place and moving with it: in the world's item list, marked active and not focusable, and
    // not on the ground. Put away, it leaves the world and stays in the inventory, worn.
    void Hold(SimNpc& npc, Hand hand, SimItem* item);
    // What the NPC holds in its hands goes where the NPC now stands.
    static void CarryHeldItems(const SimNpc& npc);

    // Script symbols with integer values.
    void SetSymbol(std::string_view name, int value);
    [[nodiscard]] const zCPar_Symbol* FindSymbol(std::string_view name) const;
    // Script functions, with the result they answer. Functions share the one symbol table of
    // the scripts with their variables and instance variables (SELF, OTHER, VICTIM, ITEM and
    // HERO, which every script set declares); setting a symbol declares it as that kind.
    void SetFunction(std::string_view name, int result);

    // The game's data: the fonts it has (by name, with their height in pixels; the first is
    // the screen's) and the textures it has (upper-case names). A font or texture the game
    // does not have fails to load. Change them before the game starts.
    zCFont& AddFont(std::string_view name, int height);
    void ClearFonts() { fonts_.clear(); }
    [[nodiscard]] zCFont* FindFont(std::string_view name) const;
    std::set<std::string, std::less<>> textureFiles;
    [[nodiscard]] zCView& Screen() { return *screen_; }
    [[nodiscard]] const std::vector<std::unique_ptr<zCView>>& Views() const { return views_; }
    [[nodiscard]] const std::vector<std::unique_ptr<SimTexture>>& Textures() const {
        return textures_;
    }

    // The savegame manager's own folder names by slot ("MySave3\\"); for a slot without one
    // it answers an empty name and the game uses its default, "savegame3\\".
    std::map<int, std::string> savegameFolderNames;
    // The folder a slot's savegame lies in, below the savegame directory, as the game names it.
    [[nodiscard]] std::string SlotFolder(int slot) const;

    // The game camera, the active one while the game runs.
    zCCamera camera;
    // What stands in the way of sight in the world.
    std::vector<Blocker> blockers;
    // The game's registry of rooms it keeps records of; none when the world has no registry.
    std::optional<oCPortalRoomManager> roomRegistry;
    // The visual effects the game's scripts define (upper-case names).
    std::set<std::string, std::less<>> visualEffects;
    // The first blocker, by id, that the straight line between two world objects passes
    // through; none when the line is free. An NPC looks from its eyes, 170 units above its
    // position. Both must be objects of the world.
    [[nodiscard]] std::optional<std::string> BlockerBetween(const zCVob& from,
                                                            const zCVob& to) const;
    // The game draws its world: a camera that follows the player takes its place behind the
    // player, and the camera's matrix is brought up to date.
    void RenderWorld();
    // Where a camera-space point lands on the screen, in pixels, by the camera's perspective
    // (the screenshots draw the world through it too).
    [[nodiscard]] zVEC2 Project(const zCCamera& projecting, const zVEC3& cameraSpace) const;

    // What was drawn since the last call of ClearDrawRecords.
    [[nodiscard]] const std::vector<DrawRecord>& DrawRecords() const { return drawRecords_; }
    void ClearDrawRecords() { drawRecords_.clear(); }
    void Record(DrawRecord record);
    // Draws the views attached to the screen, as the engine does at the end of each frame.
    void RenderScreen();

    // Input as the engine's own input processing sees it, through the patchable SetState;
    // answers what SetState answered.
    int SetKeyState(int key, bool down);
    // The game's own handling of the presses no one consumed, at the end of a frame.
    std::vector<int> TakeUnhandledKeyPresses();

    // Stops the game: its data or an operation asked of it is at fault, as `message` says.
    [[noreturn]] static void GameFault(const std::string& message);

private:
    // Stops the game: `op` is not modelled yet.
    [[noreturn]] static void Unmodelled(EngineOp op);
    // Puts an item in no place into an inventory, stacking as the game does.
    SimItem& Stow(SimNpc& npc, SimItem& item);
    // Stops the game when an engine operation `op` would read or change what a packed
    // inventory keeps packed, which is not modelled.
    static void RequireUnpacked(EngineOp op, const oCNpcInventory& inventory);
    // Stops the game when an engine operation `op` would put an item into a second place.
    void RequireNoHolder(EngineOp op, const SimItem& item) const;
    // Stops the game when a model operation `op` is called on no model: the game would crash.
    static void RequireModel(EngineOp op, const zCModel* model);
    // Counts a call of `op`, and logs it with its arguments when asked to.
    template <class... Args>
    void Count(EngineOp op, const Args&... args) {
        (RequireNotFreed(op, args), ...);
        ++stepCalls_.at(op);
        ++totalCalls_.at(op);
        if (logCalls_) {
            callLog_.push_back(EngineCall{op, {Describe(args)...}});
        }
    }
    // An item that joined a stack is freed memory in the game: a call that passes one would
    // read or write whatever lies there now, so it stops the simulated game.
    template <class Arg>
    static void RequireNotFreed(EngineOp op, const Arg& arg) {
        if constexpr (std::is_pointer_v<Arg> && std::is_convertible_v<Arg, const zCObject*>) {
            const auto* item = dynamic_cast<const SimItem*>(static_cast<const zCObject*>(arg));
            if (item != nullptr && item->joinedStack) {
                FreedItemFault(op, *item);
            }
        }
    }
    [[noreturn]] static void FreedItemFault(EngineOp op, const SimItem& item);
    zCView& NewView();
    // The texture of that name, or none when the game's data has no such texture.
    SimTexture* LoadTexture(std::string_view name);
    [[nodiscard]] int PixelToVirtualX(const zCView& view, int pixels) const;
    [[nodiscard]] int PixelToVirtualY(const zCView& view, int pixels) const;
    [[nodiscard]] int TextWidth(const zCView& view, std::string_view text) const;
    void DrawView(zCView& view);
    void RecordRendererText(const zCView& view, zPOINT2 at, const std::string& text);
    [[nodiscard]] zPOINT2 ScreenPosition(const zCView& view, int x, int y) const;

    [[nodiscard]] const VobData& WorldObject(const zCVob* vob, std::string_view asking) const;

    // Stops the game: the game's scripts lack what a call asks for.
    [[noreturn]] static void ScriptFault(const std::string& problem);
    // Keeps a game event for whoever reports them.
    void Note(GameEvent event) { journal_.push_back(std::move(event)); }
    zCPar_Symbol& Declare(std::string_view name, zCPar_Symbol::Kind kind);
    // The function a call asks for; stops the game when the scripts have none.
    const zCPar_Symbol& CalledFunction(const zCParser* scripts, const zSTRING& name) const;
    int Call(const zCPar_Symbol& function);
    [[nodiscard]] SimNpc* NpcOwning(const zCEventManager* events) const;
    // The object the engine focuses for `npc`: of the focusable objects in front of it within
    // their kind's range, one of the highest priority, the nearest of those.
    [[nodiscard]] zCVob* ChooseFocus(const SimNpc& npc) const;
    // Whether the engine can focus the object at all: it is in the world, and an item not
    // flagged as never focused.
    [[nodiscard]] bool Focusable(const zCVob* vob) const;
    // The item flag the running engine never focuses (Gothic Sequel moved it).
    [[nodiscard]] std::uint32_t NotFocusableFlag() const;
    // Chooses the NPC's focus, every frame or when asked to `refresh` it: a new choice sets
    // both the focus and the focus field, as does a refresh.
    void CollectFocus(SimNpc& npc, bool refresh);
    // An item leaves the hand that holds it, and the world with it.
    void ReleaseFromHand(SimItem& item);

    const std::uint32_t& clock_;
    RedirectTable& redirects_;
    std::array<std::uint32_t, kEngineOperationCount> stepCalls_{};
    std::array<std::uint64_t, kEngineOperationCount> totalCalls_{};
    bool logCalls_ = false;
    std::vector<EngineCall> callLog_;
    std::vector<std::unique_ptr<SimItem>> items_;
    std::vector<std::unique_ptr<SimNpc>> npcs_;
    std::map<std::string, int, std::less<>> instanceIndices_;
    std::map<std::string, ItemInstance, std::less<>> itemInstances_;
    int itemsMade_ = 0;  // items the engine made itself, for their ids
    int ownEngineVersion_ = 4;
    const int* engineVersion_ = &ownEngineVersion_;
    NodeList<oCItem> worldItems_;
    NodeList<oCNpc> worldNpcs_;
    SimNpc* player_ = nullptr;
    SimNpc* ownBody_ = nullptr;
    SimWorldObject world_;
    SimVisual visual_;
    std::vector<std::unique_ptr<zCFont>> fonts_;
    std::vector<std::unique_ptr<zCView>> views_;
    std::vector<std::unique_ptr<SimTexture>> textures_;
    zCView* screen_ = nullptr;
    std::vector<zCView*> screenChildren_;
    std::vector<DrawRecord> drawRecords_;
    std::vector<std::unique_ptr<SimContainer>> containers_;
    std::vector<std::unique_ptr<SimConversationMessage>> messages_;
    std::vector<GameEvent> journal_;
};

}  // namespace pilfern::sim
