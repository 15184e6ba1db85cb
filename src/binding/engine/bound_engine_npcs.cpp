// The bound engine: NPCs, their inventories and items.

#include "binding/engine/bound_calls.h"
#include "binding/engine/bound_engine.h"

namespace pilfern::binding {

oCNpc* BoundEngine::eng_player() {
    return bound::Global<oCNpc*>(At(OperationIndex("eng_player")));
}

int BoundEngine::eng_npc_hitpoints(const oCNpc* npc) {
    return bound::Field<int>(npc, At(OperationIndex("eng_npc_hitpoints")));
}

bool BoundEngine::eng_npc_is_dead(const oCNpc* npc) {
    return bound::Call<int>(At(OperationIndex("eng_npc_is_dead")), npc) != 0;
}

bool BoundEngine::eng_npc_is_unconscious(const oCNpc* npc) {
    return bound::Call<int>(At(OperationIndex("eng_npc_is_unconscious")), npc) != 0;
}

int BoundEngine::eng_npc_body_state(const oCNpc* npc) {
    return bound::Call<int>(At(OperationIndex("eng_npc_body_state")), npc);
}

// The engine asks the game, not the NPC, whether the hero fights: the hero's status 2.
bool BoundEngine::eng_npc_in_battle(const oCNpc* /*npc*/) {
    constexpr int kFighting = 2;
    const oCGame* game = eng_game();
    return game != nullptr &&
           bound::Call<int>(At(OperationIndex("eng_npc_in_battle")), game) == kFighting;
}

const zCVob* BoundEngine::eng_npc_interaction_a(const oCNpc* npc) {
    return bound::Field<const zCVob*>(npc, At(OperationIndex("eng_npc_interaction_a")));
}

const zCVob* BoundEngine::eng_npc_interaction_b(const oCNpc* npc) {
    return bound::Field<const zCVob*>(npc, At(OperationIndex("eng_npc_interaction_b")));
}

bool BoundEngine::eng_npc_query_a(const oCNpc* npc) {
    return bound::Call<int>(At(OperationIndex("eng_npc_query_a")), npc) != 0;
}

bool BoundEngine::eng_npc_query_b(const oCNpc* npc) {
    return bound::Call<int>(At(OperationIndex("eng_npc_query_b")), npc) != 0;
}

int BoundEngine::eng_npc_loot_block(const oCNpc* npc) {
    return bound::Field<int>(npc, At(OperationIndex("eng_npc_loot_block")));
}

zSTRING BoundEngine::eng_npc_name(const oCNpc* npc) {
    return abi::ReceiveText(support_.strings, [&](void* result) {
        bound::CallInto(At(OperationIndex("eng_npc_name")), npc, result, 0);
    });
}

zCVob* BoundEngine::eng_npc_focus_vob(const oCNpc* npc) {
    return bound::Call<zCVob*>(At(OperationIndex("eng_npc_focus_vob")), npc);
}

oCNpc* BoundEngine::eng_npc_focus_npc(const oCNpc* npc) {
    return bound::Call<oCNpc*>(At(OperationIndex("eng_npc_focus_npc")), npc);
}

zCVob* BoundEngine::eng_npc_focus_object_field(const oCNpc* npc) {
    return bound::Field<zCVob*>(npc, At(OperationIndex("eng_npc_focus_object_field")));
}

void BoundEngine::eng_npc_set_focus(oCNpc* npc, zCVob* vob) {
    bound::Call<void>(At(OperationIndex("eng_npc_set_focus")), npc, vob);
}

void BoundEngine::eng_npc_clear_focus(oCNpc* npc) {
    bound::Call<void>(At(OperationIndex("eng_npc_clear_focus")), npc);
}

// Gothic I's focus collector takes no argument, Gothic II's one: the profile says which.
void BoundEngine::eng_npc_refresh_focus(oCNpc* npc, std::optional<int> argument) {
    const Member& collect = At(OperationIndex("eng_npc_refresh_focus"));
    if (argument) {
        bound::Call<void>(collect, npc, *argument);
    } else {
        bound::Call<void>(collect, npc);
    }
}

bool BoundEngine::eng_npc_can_see(const oCNpc* npc, const zCVob* vob, int mode) {
    return bound::Call<int>(At(OperationIndex("eng_npc_can_see")), npc, vob, mode) != 0;
}

// The inventory lies inside the NPC.
oCNpcInventory* BoundEngine::eng_npc_inventory(const oCNpc* npc) {
    if (npc == nullptr) {
        return nullptr;
    }
    return static_cast<oCNpcInventory*>(
        abi::FieldAddress(npc, At(OperationIndex("eng_npc_inventory")).value));
}

zCModel* BoundEngine::eng_npc_model(const oCNpc* npc) {
    return bound::Call<zCModel*>(At(OperationIndex("eng_npc_model")), npc);
}

oCItem* BoundEngine::eng_npc_weapon_query_1(const oCNpc* npc) {
    return bound::Call<oCItem*>(At(OperationIndex("eng_npc_weapon_query_1")), npc);
}

oCItem* BoundEngine::eng_npc_weapon_query_2(const oCNpc* npc) {
    return bound::Call<oCItem*>(At(OperationIndex("eng_npc_weapon_query_2")), npc);
}

void BoundEngine::eng_npc_take_vob(oCNpc* npc, zCVob* vob) {
    bound::Call<int>(At(OperationIndex("eng_npc_take_vob")), npc, vob);
}

void BoundEngine::eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) {
    bound::Call<oCItem*>(At(OperationIndex("eng_npc_put_in_inventory")), npc, item);
}

void BoundEngine::eng_npc_create_items(oCNpc* npc, int instance, int amount) {
    bound::Call<void>(At(OperationIndex("eng_npc_create_items")), npc, instance, amount);
}

void BoundEngine::eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) {
    bound::Call<oCItem*>(At(OperationIndex("eng_npc_remove_items")), npc, item, amount);
}

void BoundEngine::eng_npc_unequip(oCNpc* npc, oCItem* item) {
    bound::Call<void>(At(OperationIndex("eng_npc_unequip")), npc, item);
}

// The engine answers the item found, or none.
bool BoundEngine::eng_npc_has_items_by_name(const oCNpc* npc, const zSTRING& instanceName,
                                            int amount) {
    const abi::EngineString name(support_.strings, instanceName);
    return bound::Call<const void*>(At(OperationIndex("eng_npc_has_items_by_name")), npc,
                                    name.Object(), amount) != nullptr;
}

void BoundEngine::eng_npc_bind_mob(oCNpc* npc, oCMobInter* mob) {
    bound::Call<void>(At(OperationIndex("eng_npc_bind_mob")), npc, mob);
}

// The vob's event manager, made if it has none yet (argument 0: do not refuse to make one).
zCEventManager* BoundEngine::eng_npc_event_manager(const oCNpc* npc) {
    return bound::Call<zCEventManager*>(At(OperationIndex("eng_npc_event_manager")), npc, 0);
}

// NewBalance's extended NPC has no layout the binding knows, and the class test answers that no
// NPC is one: its markers are never asked, and answer "not set" if they are.
int BoundEngine::eng_npc_ex_marker_1(const oCNpcEx* /*npc*/) {
    return 0;
}
int BoundEngine::eng_npc_ex_marker_2(const oCNpcEx* /*npc*/) {
    return 0;
}
int BoundEngine::eng_npc_ex_marker_3(const oCNpcEx* /*npc*/) {
    return 0;
}

void BoundEngine::eng_event_manager_on_message(zCEventManager* events, zCEventMessage* message,
                                               zCVob* source) {
    bound::Call<void>(At(OperationIndex("eng_event_manager_on_message")), events, message, source);
}

// The engine's own test takes an animation object, found by name through two functions the
// facts do not name yet; the name of the animation the model's first channel plays says the
// same for that channel. Compared where the engine keeps it, without a copy.
bool BoundEngine::eng_model_is_animation_active(const zCModel* model, const zSTRING& name) {
    const zSTRING_Engine* playing = FirstAnimationName(model);
    return playing != nullptr && playing->HasBuffer() && name.HasBuffer() &&
           playing->Text() == name.Text();
}

zSTRING BoundEngine::eng_model_first_active_animation_name(const zCModel* model) {
    const zSTRING_Engine* playing = FirstAnimationName(model);
    return playing == nullptr ? zSTRING() : abi::PluginTextOf(*playing);
}

const zSTRING_Engine* BoundEngine::FirstAnimationName(const zCModel* model) const {
    if (model == nullptr) {
        return nullptr;
    }
    const auto* channel = bound::Field<const void*>(
        model, At(OperationIndex("eng_model_first_active_animation_name")));
    const auto* animation =
        channel == nullptr ? nullptr : abi::ReadAt<const void*>(channel, support_.channelAnimation);
    return animation == nullptr ? nullptr : &abi::StringAt(animation, support_.animationName);
}

// Inventories.

bool BoundEngine::eng_inventory_is_open(const oCNpcInventory* inventory) {
    return bound::Call<int>(At(OperationIndex("eng_inventory_is_open")), inventory) != 0;
}

void BoundEngine::eng_inventory_prepare(oCNpcInventory* inventory) {
    bound::Call<void>(At(OperationIndex("eng_inventory_prepare")), inventory);
}

const zCListSort<oCItem>* BoundEngine::eng_inventory_entry_list(const oCNpcInventory* inventory) {
    if (inventory == nullptr) {
        return nullptr;
    }
    return FirstItemNode(
        abi::FieldAddress(inventory, At(OperationIndex("eng_inventory_entry_list")).value));
}

const zCListSort<oCItem>* BoundEngine::eng_inventory_item_list(const oCNpcInventory* inventory) {
    if (inventory == nullptr) {
        return nullptr;
    }
    return FirstItemNode(
        bound::Field<const void*>(inventory, At(OperationIndex("eng_inventory_item_list"))));
}

// Gothic I keeps nine category lists side by side in the inventory.
std::array<const zCListSort<oCItem>*, 9> BoundEngine::eng_inventory_category_lists(
    const oCNpcInventory* inventory) {
    std::array<const zCListSort<oCItem>*, 9> lists{};
    if (inventory == nullptr) {
        return lists;
    }
    const std::uint32_t first = At(OperationIndex("eng_inventory_category_lists")).value;
    for (std::uint32_t i = 0; i < lists.size(); ++i) {
        lists[i] = FirstItemNode(abi::FieldAddress(inventory, first + i * support_.listNodeSize));
    }
    return lists;
}

bool BoundEngine::eng_inventory_is_empty(const oCNpcInventory* inventory) {
    return bound::Call<int>(At(OperationIndex("eng_inventory_is_empty")), inventory) != 0;
}

void BoundEngine::eng_inventory_clear(oCNpcInventory* inventory) {
    bound::Call<void>(At(OperationIndex("eng_inventory_clear")), inventory);
}

// Items.

int BoundEngine::eng_item_amount(const oCItem* item) {
    return bound::Field<int>(item, At(OperationIndex("eng_item_amount")));
}

int BoundEngine::eng_item_instance(const oCItem* item) {
    return bound::Field<int>(item, At(OperationIndex("eng_item_instance")));
}

std::uint32_t BoundEngine::eng_item_category(const oCItem* item) {
    return bound::Field<std::uint32_t>(item, At(OperationIndex("eng_item_category")));
}

std::uint32_t BoundEngine::eng_item_flags(const oCItem* item) {
    return bound::Field<std::uint32_t>(item, At(OperationIndex("eng_item_flags")));
}

bool BoundEngine::eng_item_has_flag(const oCItem* item, std::uint32_t flag) {
    return bound::Call<int>(At(OperationIndex("eng_item_has_flag")), item, flag) != 0;
}

std::uint32_t BoundEngine::eng_item_nb_quest_word(const oCItem* item) {
    return bound::Field<std::uint32_t>(item, At(OperationIndex("eng_item_nb_quest_word")));
}

zSTRING BoundEngine::eng_item_name(const oCItem* item) {
    return TextAt(item, OperationIndex("eng_item_name"));
}

zSTRING BoundEngine::eng_item_text_field(const oCItem* item) {
    return TextAt(item, OperationIndex("eng_item_text_field"));
}

zSTRING BoundEngine::eng_item_display_name(const oCItem* item) {
    return TextAt(item, OperationIndex("eng_item_display_name"));
}

zSTRING BoundEngine::eng_item_arrow_text(const oCItem* item) {
    return TextAt(item, OperationIndex("eng_item_arrow_text"));
}

int BoundEngine::eng_item_munition(const oCItem* item) {
    return bound::Field<int>(item, At(OperationIndex("eng_item_munition")));
}

// The engine's test says whether the item hangs in a parent vob (an NPC's hand, a slot): an
// item on the ground hangs in none.
bool BoundEngine::eng_item_ground_check(const oCItem* item) {
    return bound::Call<int>(At(OperationIndex("eng_item_ground_check")), item) == 0;
}

int BoundEngine::eng_item_armor_word(const oCItem* item) {
    return bound::Field<int>(item, At(OperationIndex("eng_item_armor_word")));
}

}  // namespace pilfern::binding
