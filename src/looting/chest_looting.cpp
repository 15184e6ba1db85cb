#include "looting/chest_looting.h"

#include "core/engine_cast.h"
#include "looting/loot_text.h"

namespace pilfern {
namespace {

constexpr std::uint32_t kLocked = 0x1;
constexpr std::string_view kSelf = "SELF";
constexpr std::string_view kUnlockMessage = "PICKLOCK_SUCCESS";
constexpr std::string_view kSecondCondition = "_s1";
constexpr int kMessageFlag = 1;

// The focused chest, when the player stands close enough to use it.
oCMobContainer* FocusedChest(Engine& engine, const oCNpc& player) {
    zCVob* field = engine.eng_npc_focus_object_field(&player);
    if (field == nullptr) {
        return nullptr;
    }
    const float distance = engine.eng_vob_distance(&player, field);
    if (engine.eng_focus_in_range(engine.eng_focus_settings(), engine.eng_vob_type(field),
                                  distance) == 0) {
        return nullptr;
    }
    zCVob* focus = engine.eng_npc_focus_vob(&player);
    return static_cast<oCMobContainer*>(EngineCast(engine, focus, EngineClass::oCMobContainer));
}

// The chest's condition function, asked with the player as SELF. The engine hands its answer
// back as a byte.
bool ConditionHolds(Engine& engine, oCNpc& player, const zSTRING& function) {
    zCParser* parser = engine.eng_script_parser();
    engine.eng_script_set_instance(parser, zSTRING(kSelf), &player);
    return (engine.eng_script_call_by_name(parser, function) & 0xFF) != 0;
}

// Opens a locked chest with its key, which the player keeps, and lets the engine play the
// unlocking. False when the chest has no key or the player does not carry it.
bool Unlock(Instance& instance, oCNpc& player, oCMobContainer& chest) {
    Engine& engine = instance.engine;
    const zSTRING key = engine.eng_mob_key_instance(&chest);
    if (engine.eng_string_is_empty(key) || !engine.eng_npc_has_items_by_name(&player, key, 1)) {
        return false;
    }
    engine.eng_mob_set_locked(&chest, 0);
    oCMsgConversation* message = engine.eng_msg_conversation_create(
        instance.profile.chestUnlockSubtype, zSTRING(kUnlockMessage));
    engine.eng_msg_target(message, &chest);
    engine.eng_msg_flag(message, kMessageFlag);
    engine.eng_event_manager_on_message(engine.eng_npc_event_manager(&player), message, &player);
    return true;
}

// The chest's second condition: the function named after its condition with "_s1", when the
// scripts have one.
bool SecondConditionHolds(Engine& engine, const zSTRING& function) {
    zCParser* parser = engine.eng_script_parser();
    const CStringA name = ToCString(function) + CStringA(kSecondCondition);
    const int index = engine.eng_script_symbol_index(parser, ToZString(name));
    return index == -1 || engine.eng_script_call_by_index(parser, index) != 0;
}

// Runs the chest through its states as a user opening and closing it would: up from 0 to
// its last state, then down again, each step begun and ended, with the chest bound to the
// player and its lock bit set for the time of the run; the player is free again after it.
void UseChest(Engine& engine, oCNpc& player, oCMobContainer& chest) {
    engine.eng_npc_bind_mob(&player, &chest);
    engine.eng_mob_set_lock_flags(&chest, engine.eng_mob_lock_flags(&chest) | kLocked);
    const int states = engine.eng_mob_state_count(&chest);
    for (int state = 0; state < states; ++state) {
        engine.eng_mob_begin_state_change(&chest, &player, state, state + 1);
        engine.eng_mob_end_state_change(&chest, &player, state, state + 1);
    }
    for (int step = 0; step < states; ++step) {
        const int from = states - step;
        engine.eng_mob_begin_state_change(&chest, &player, from, from - 1);
        engine.eng_mob_end_state_change(&chest, &player, from, from - 1);
    }
    engine.eng_mob_set_lock_flags(&chest, engine.eng_mob_lock_flags(&chest) & ~kLocked);
    // Binding is the engine's record of the player's interaction, and driving the states
    // does not end it: left bound, the player counts as busy with the chest in every later
    // frame, and auto-loot never runs again.
    engine.eng_npc_bind_mob(&player, nullptr);
}

}  // namespace

void LootContainer(Instance& instance) {
    Engine& engine = instance.engine;
    oCNpc* player = engine.eng_player();
    if (player == nullptr) {
        return;
    }
    oCMobContainer* chest = FocusedChest(engine, *player);
    if (chest == nullptr || engine.eng_inventory_is_open(engine.eng_npc_inventory(player))) {
        return;
    }
    const zCListSort<oCItem>* first = engine.eng_container_item_list(chest);
    if (first == nullptr) {
        return;
    }
    const zSTRING condition = engine.eng_mob_condition_func(chest);
    const bool hasCondition = condition.Length() > 0;
    if (hasCondition && !ConditionHolds(engine, *player, condition)) {
        // The press that met a closed condition does nothing else in the game either.
        engine.eng_input_clear_key_buffer(engine.eng_input());
        return;
    }
    if ((engine.eng_mob_lock_flags(chest) & kLocked) != 0 && !Unlock(instance, *player, *chest)) {
        return;
    }
    const zSTRING shownName = engine.eng_mob_name(chest);
    const CStringA source = shownName.HasBuffer() ? ToCString(shownName) : CStringA();
    if (hasCondition && !SecondConditionHolds(engine, condition)) {
        return;
    }

    std::vector<oCItem*>& taken = instance.takenItems;
    taken.clear();
    for (const zCListSort<oCItem>* node = first; node != nullptr;
         node = engine.eng_list_item_next(node)) {
        if (oCItem* item = engine.eng_list_item(node)) {
            taken.push_back(item);
        }
    }
    for (oCItem* item : taken) {
        engine.eng_container_remove_item(chest, item);
    }
    if (!taken.empty()) {
        UseChest(engine, *player, *chest);
    }
    for (oCItem* item : taken) {
        const CStringA text = FormatLootText(engine, *item);
        const ItemCategory category = ClassifyEngineItem(instance, *item);
        AddLootMessage(instance, category, text);
        AddHistoryRow(instance, category, text, source);
        if (engine.eng_vob_home_world(item) != nullptr) {
            engine.eng_npc_take_vob(player, item);
        } else {
            engine.eng_npc_put_in_inventory(player, item);
        }
    }
    taken.clear();
}

}  // namespace pilfern
