#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pilfern::sim {

// Every operation of the engine contract in the order the contract declares them. An
// operation's place here is its number in the engine's call tables.
inline constexpr std::array<std::string_view, 159> kEngineOperations{
    "eng_game",
    "eng_game_paused",
    "eng_game_world",
    "eng_game_camera",
    "eng_game_room_registry",
    "eng_room_registry_player_room",
    "eng_savegame_slot_folder",
    "eng_world_item_list",
    "eng_world_npc_list",
    "eng_list_item",
    "eng_list_item_next",
    "eng_list_npc",
    "eng_list_npc_next",
    "eng_dialog_manager",
    "eng_dialog_is_over",
    "eng_ui_block_global",
    "eng_focus_settings",
    "eng_focus_in_range",
    "eng_object_instance_name",
    "eng_object_class_is",
    "eng_object_add_ref",
    "eng_object_release",
    "eng_vob_position",
    "eng_vob_home_world",
    "eng_vob_visual",
    "eng_vob_room_name",
    "eng_vob_distance_to",
    "eng_vob_distance",
    "eng_vob_type",
    "eng_vob_flag_bits",
    "eng_player",
    "eng_npc_hitpoints",
    "eng_npc_is_dead",
    "eng_npc_is_unconscious",
    "eng_npc_body_state",
    "eng_npc_in_battle",
    "eng_npc_interaction_a",
    "eng_npc_interaction_b",
    "eng_npc_query_a",
    "eng_npc_query_b",
    "eng_npc_loot_block",
    "eng_npc_name",
    "eng_npc_focus_vob",
    "eng_npc_focus_npc",
    "eng_npc_focus_object_field",
    "eng_npc_set_focus",
    "eng_npc_clear_focus",
    "eng_npc_refresh_focus",
    "eng_npc_can_see",
    "eng_npc_inventory",
    "eng_npc_model",
    "eng_npc_weapon_query_1",
    "eng_npc_weapon_query_2",
    "eng_npc_take_vob",
    "eng_npc_put_in_inventory",
    "eng_npc_create_items",
    "eng_npc_remove_items",
    "eng_npc_unequip",
    "eng_npc_has_items_by_name",
    "eng_npc_bind_mob",
    "eng_npc_event_manager",
    "eng_npc_ex_marker_1",
    "eng_npc_ex_marker_2",
    "eng_npc_ex_marker_3",
    "eng_event_manager_on_message",
    "eng_model_is_animation_active",
    "eng_model_first_active_animation_name",
    "eng_inventory_is_open",
    "eng_inventory_prepare",
    "eng_inventory_entry_list",
    "eng_inventory_item_list",
    "eng_inventory_category_lists",
    "eng_inventory_is_empty",
    "eng_inventory_clear",
    "eng_item_amount",
    "eng_item_instance",
    "eng_item_category",
    "eng_item_flags",
    "eng_item_has_flag",
    "eng_item_nb_quest_word",
    "eng_item_name",
    "eng_item_text_field",
    "eng_item_display_name",
    "eng_item_arrow_text",
    "eng_item_munition",
    "eng_item_ground_check",
    "eng_item_armor_word",
    "eng_container_item_list",
    "eng_container_remove_item",
    "eng_mob_condition_func",
    "eng_mob_lock_flags",
    "eng_mob_set_lock_flags",
    "eng_mob_set_locked",
    "eng_mob_key_instance",
    "eng_mob_state_count",
    "eng_mob_name",
    "eng_mob_begin_state_change",
    "eng_mob_end_state_change",
    "eng_msg_conversation_create",
    "eng_msg_target",
    "eng_msg_flag",
    "eng_script_parser",
    "eng_script_find_symbol",
    "eng_script_symbol_int",
    "eng_script_set_instance",
    "eng_script_call_by_name",
    "eng_script_symbol_index",
    "eng_script_call_by_index",
    "eng_input",
    "eng_input_key_pressed",
    "eng_input_key_toggled",
    "eng_input_mouse_right_pressed",
    "eng_input_clear_key_buffer",
    "eng_options",
    "eng_options_read_int",
    "eng_options_read_bool",
    "eng_options_read_string",
    "eng_options_directory",
    "eng_screen",
    "eng_screen_insert",
    "eng_screen_remove",
    "eng_view_construct",
    "eng_view_construct_rect",
    "eng_view_set_texture",
    "eng_view_set_texture_name",
    "eng_view_set_blend_mode",
    "eng_view_get_font_name",
    "eng_view_set_font",
    "eng_view_font",
    "eng_view_font_height",
    "eng_view_text_width",
    "eng_view_set_font_color",
    "eng_view_set_position",
    "eng_view_set_size",
    "eng_view_clear_text",
    "eng_view_print",
    "eng_view_print_timed_cx",
    "eng_view_window_print",
    "eng_view_refresh",
    "eng_view_blit",
    "eng_view_draw",
    "eng_view_get_viewport",
    "eng_view_pixel_to_virtual_x",
    "eng_view_pixel_to_virtual_y",
    "eng_view_virtual_to_pixel_x",
    "eng_font_height",
    "eng_font_set_height",
    "eng_color_make",
    "eng_color_default_text",
    "eng_texture_load",
    "eng_renderer_set_viewport",
    "eng_active_camera",
    "eng_camera_update",
    "eng_camera_view_matrix",
    "eng_camera_near_plane",
    "eng_camera_project",
    "eng_camera_project_float",
    "eng_visual_effect_play",
    "eng_string_is_empty",
};

using EngineOp = std::size_t;
inline constexpr std::size_t kEngineOperationCount = kEngineOperations.size();

// The number of an operation, found while compiling: an unknown name does not compile.
consteval EngineOp Op(std::string_view name) {
    for (std::size_t i = 0; i < kEngineOperations.size(); ++i) {
        if (kEngineOperations[i] == name) {
            return i;
        }
    }
    throw "not an operation of the engine contract";
}

// One call of the engine as the call log keeps it.
struct EngineCall {
    EngineOp op = 0;
    std::vector<std::string> arguments;
};

// A logged call as it reads: "eng_view_print(view 5, 800, 5950, \"Gold x25\")". Texts stay in
// the game's code page.
[[nodiscard]] std::string CallText(const EngineCall& call);

}  // namespace pilfern::sim
