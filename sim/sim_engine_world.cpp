// The game, its world and the objects in it: NPCs and items (inventories are in
// sim_engine_inventories).

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <type_traits>
#include <utility>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

constexpr int kVobTypeMob = 128;
constexpr int kVobTypeItem = 129;
constexpr int kVobTypeNpc = 130;

const VobData* VobOf(const zCVob* vob) {
    if (const auto* item = dynamic_cast<const SimItem*>(vob)) {
        return &item->vob;
    }
    if (const auto* npc = dynamic_cast<const SimNpc*>(vob)) {
        return &npc->vob;
    }
    if (const auto* container = dynamic_cast<const SimContainer*>(vob)) {
        return &container->vob;
    }
    return nullptr;
}

const SimNpc* NpcOf(const oCNpc* npc) {
    return dynamic_cast<const SimNpc*>(npc);
}

// A field of the simulator's side of an engine object, or `fallback` for an object that is
// not one of the simulator's (or none).
template <class Sim, class Object, class Value>
Value Read(const Object* object, Value Sim::*field, std::type_identity_t<Value> fallback) {
    const auto* sim = dynamic_cast<const Sim*>(object);
    return sim == nullptr ? fallback : sim->*field;
}
SimNpc* NpcOf(oCNpc* npc) {
    return dynamic_cast<SimNpc*>(npc);
}
const SimItem* ItemOf(const oCItem* item) {
    return dynamic_cast<const SimItem*>(item);
}

bool SameInstance(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

float Distance(const zCVob* from, const zCVob* to) {
    const VobData* a = VobOf(from);
    const VobData* b = VobOf(to);
    if (a == nullptr || b == nullptr) {
        return 0.0F;
    }
    const float dx = a->position.x - b->position.x;
    const float dy = a->position.y - b->position.y;
    const float dz = a->position.z - b->position.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

const VobData* SimEngine::Vob(const zCVob* vob) {
    return VobOf(vob);
}

std::string SimEngine::SymbolName(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

SimItem& SimEngine::CreateItem(std::string id, std::string_view instanceName) {
    auto& item = items_.emplace_back(std::make_unique<SimItem>());
    item->vob.id = std::move(id);
    item->vob.instanceName = SymbolName(instanceName);
    return *item;
}

SimNpc& SimEngine::CreateNpc(std::string id, std::string_view instanceName, bool extended) {
    auto& npc =
        npcs_.emplace_back(extended ? std::make_unique<SimNpcEx>() : std::make_unique<SimNpc>());
    npc->vob.id = std::move(id);
    npc->vob.instanceName = SymbolName(instanceName);
    npc->inventory.owner = npc.get();
    return *npc;
}

void SimEngine::PlaceInWorld(SimItem& item) {
    // An item placed in the world leaves the inventory that held it.
    TakeOutOfInventory(item);
    item.vob.inWorld = true;
    if (!OnGround(&item)) {
        worldItems_.Append(&item);
    }
}

void SimEngine::PlaceInWorld(SimNpc& npc) {
    npc.vob.inWorld = true;
    worldNpcs_.Append(&npc);
    // What it holds in its hands comes into the world with it.
    CarryHeldItems(npc);
    for (SimItem* held : {npc.drawnWeapon, npc.leftHand}) {
        if (held != nullptr && !held->vob.inWorld) {
            held->vob.inWorld = true;
            worldItems_.Append(held);
        }
    }
}

// An item in a hand that leaves the world is put away; it stays in the NPC's inventory.
void SimEngine::RemoveFromWorld(SimItem& item) {
    ReleaseFromHand(item);
    worldItems_.Remove(&item);
    item.vob.inWorld = false;
    ForgetFocusOn(&item);
}

void SimEngine::Transform(SimNpc& creature) {
    if (ownBody_ != nullptr) {
        GameFault("transform: the player is transformed already");
    }
    if (player_ == nullptr) {
        GameFault("transform: there is no player to transform");
    }
    creature.vob.position = player_->vob.position;
    PlaceInWorld(creature);
    ownBody_ = player_;
    player_ = &creature;
}

void SimEngine::TransformBack() {
    if (ownBody_ == nullptr) {
        GameFault("transformBack: the player is not transformed");
    }
    if (player_ == nullptr) {
        GameFault("transformBack: there is no player to turn back");
    }
    SimNpc& creature = *player_;
    ownBody_->vob.position = creature.vob.position;
    CarryHeldItems(*ownBody_);
    RemoveFromWorld(creature);
    if (!ownBody_->vob.inWorld) {
        PlaceInWorld(*ownBody_);
    }
    player_ = ownBody_;
    ownBody_ = nullptr;
}

void SimEngine::InsertEmptyWorldNodes(const std::vector<int>& itemPlaces,
                                      const std::vector<int>& npcPlaces) {
    worldItems_.InsertEmpty(itemPlaces);
    worldNpcs_.InsertEmpty(npcPlaces);
}

void SimEngine::RemoveFromWorld(SimNpc& npc) {
    worldNpcs_.Remove(&npc);
    npc.vob.inWorld = false;
    ForgetFocusOn(&npc);
    // What it holds in its hands leaves the world with it, and stays in its hands.
    for (SimItem* held : {npc.drawnWeapon, npc.leftHand}) {
        if (held != nullptr && held->vob.inWorld) {
            worldItems_.Remove(held);
            held->vob.inWorld = false;
            ForgetFocusOn(held);
        }
    }
}

int SimEngine::InstanceIndex(std::string_view instanceName) {
    std::string key(instanceName);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto found = instanceIndices_.find(key);
    if (found != instanceIndices_.end()) {
        return found->second;
    }
    // The next number no instance has: numbers given by NumberInstance are taken.
    int index = 1;
    while (std::any_of(instanceIndices_.begin(), instanceIndices_.end(),
                       [index](const auto& numbered) { return numbered.second == index; })) {
        ++index;
    }
    instanceIndices_.emplace(std::move(key), index);
    return index;
}

SimItem* SimEngine::FindItem(std::string_view id) const {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [id](const auto& item) { return item->vob.id == id; });
    return found == items_.end() ? nullptr : found->get();
}

SimNpc* SimEngine::FindNpc(std::string_view id) const {
    const auto found = std::find_if(npcs_.begin(), npcs_.end(),
                                    [id](const auto& npc) { return npc->vob.id == id; });
    return found == npcs_.end() ? nullptr : found->get();
}

// ---- The running game, its world lists and the game-wide managers ----

oCGame* SimEngine::eng_game() {
    Count(Op(__func__));
    return &game;
}

bool SimEngine::eng_game_paused(const oCGame* running) {
    Count(Op(__func__), running);
    return running != nullptr && running->paused;
}

zCWorld* SimEngine::eng_game_world(const oCGame* running) {
    Count(Op(__func__), running);
    return &world_;
}

const zCListSort<oCItem>* SimEngine::eng_world_item_list(const zCWorld* world) {
    Count(Op(__func__), world);
    return world == &world_ ? worldItems_.First() : nullptr;
}

const zCListSort<oCNpc>* SimEngine::eng_world_npc_list(const zCWorld* world) {
    Count(Op(__func__), world);
    return world == &world_ ? worldNpcs_.First() : nullptr;
}

oCItem* SimEngine::eng_list_item(const zCListSort<oCItem>* node) {
    Count(Op(__func__), node);
    return node == nullptr ? nullptr : node->data;
}

const zCListSort<oCItem>* SimEngine::eng_list_item_next(const zCListSort<oCItem>* node) {
    Count(Op(__func__), node);
    return node == nullptr ? nullptr : node->next;
}

oCNpc* SimEngine::eng_list_npc(const zCListSort<oCNpc>* node) {
    Count(Op(__func__), node);
    return node == nullptr ? nullptr : node->data;
}

const zCListSort<oCNpc>* SimEngine::eng_list_npc_next(const zCListSort<oCNpc>* node) {
    Count(Op(__func__), node);
    return node == nullptr ? nullptr : node->next;
}

oCInformationManager* SimEngine::eng_dialog_manager() {
    Count(Op(__func__));
    return &dialogs;
}

bool SimEngine::eng_dialog_is_over(const oCInformationManager* manager) {
    Count(Op(__func__), manager);
    return manager == nullptr || !manager->conversationRunning;
}

int SimEngine::eng_ui_block_global() {
    Count(Op(__func__));
    return uiBlock;
}

// ---- Objects and world objects ----

zSTRING SimEngine::eng_object_instance_name(const zCObject* object) {
    Count(Op(__func__), object);
    if (const VobData* vob = VobOf(dynamic_cast<const zCVob*>(object))) {
        return zSTRING(vob->instanceName);
    }
    if (const auto* texture = dynamic_cast<const SimTexture*>(object)) {
        return zSTRING(texture->name);
    }
    return {};
}

bool SimEngine::eng_object_class_is(const zCObject* object, EngineClass engineClass) {
    Count(Op(__func__), object, engineClass);
    // The engine knows its objects by the simulator's own classes. Every NPC is laid out as an
    // extended one (sim_types.h); only those the engine made so (SimNpcEx) are.
    const std::array<std::pair<EngineClass, bool>, 4> kClasses{{
        {EngineClass::oCItem, dynamic_cast<const oCItem*>(object) != nullptr},
        {EngineClass::oCNpc, dynamic_cast<const oCNpc*>(object) != nullptr},
        {EngineClass::oCNpcEx, dynamic_cast<const SimNpcEx*>(object) != nullptr},
        {EngineClass::oCMobContainer, dynamic_cast<const oCMobContainer*>(object) != nullptr},
    }};
    for (const auto& [candidate, is] : kClasses) {
        if (candidate == engineClass) {
            return is;
        }
    }
    return false;
}

void SimEngine::eng_object_add_ref(zCObject* object) {
    Count(Op(__func__), object);
    if (auto* texture = dynamic_cast<SimTexture*>(object)) {
        ++texture->references;
    }
}

void SimEngine::eng_object_release(zCObject* object) {
    Count(Op(__func__), object);
    if (auto* texture = dynamic_cast<SimTexture*>(object)) {
        --texture->references;
    }
}

zVEC3 SimEngine::eng_vob_position(const zCVob* vob) {
    Count(Op(__func__), vob);
    const VobData* data = VobOf(vob);
    return data == nullptr ? zVEC3{} : data->position;
}

zCWorld* SimEngine::eng_vob_home_world(const zCVob* vob) {
    Count(Op(__func__), vob);
    const VobData* data = VobOf(vob);
    return (data != nullptr && data->inWorld) ? &world_ : nullptr;
}

zCVisual* SimEngine::eng_vob_visual(const zCVob* vob) {
    Count(Op(__func__), vob);
    const VobData* data = VobOf(vob);
    return (data != nullptr && data->hasVisual) ? &visual_ : nullptr;
}

zSTRING SimEngine::eng_vob_room_name(const zCVob* vob) {
    Count(Op(__func__), vob);
    const VobData* data = VobOf(vob);
    return (data != nullptr && data->roomName) ? zSTRING(*data->roomName) : zSTRING();
}

float SimEngine::eng_vob_distance_to(const zCVob* from, const zCVob* to) {
    Count(Op(__func__), from, to);
    return Distance(from, to);
}

// The engine's GetDistanceToVob2: the distance squared.
float SimEngine::eng_vob_distance(const zCVob* from, const zCVob* to) {
    Count(Op(__func__), from, to);
    const float distance = Distance(from, to);
    return distance * distance;
}

int SimEngine::eng_vob_type(const zCVob* vob) {
    Count(Op(__func__), vob);
    if (dynamic_cast<const SimItem*>(vob) != nullptr) {
        return kVobTypeItem;
    }
    if (dynamic_cast<const SimContainer*>(vob) != nullptr) {
        return kVobTypeMob;
    }
    return dynamic_cast<const SimNpc*>(vob) != nullptr ? kVobTypeNpc : 0;
}

int SimEngine::eng_vob_flag_bits(const zCVob* vob) {
    Count(Op(__func__), vob);
    const VobData* data = VobOf(vob);
    return data == nullptr ? 0 : data->flagBits;
}

// ---- NPCs ----

oCNpc* SimEngine::eng_player() {
    Count(Op(__func__));
    return player_;
}

int SimEngine::eng_npc_hitpoints(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::hitpoints, 0);
}

bool SimEngine::eng_npc_is_dead(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::dead, false);
}

bool SimEngine::eng_npc_is_unconscious(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::unconscious, false);
}

int SimEngine::eng_npc_body_state(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::bodyState, 0);
}

bool SimEngine::eng_npc_in_battle(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::inBattle, false);
}

const zCVob* SimEngine::eng_npc_interaction_a(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::interactionA, nullptr);
}

const zCVob* SimEngine::eng_npc_interaction_b(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::interactionB, nullptr);
}

bool SimEngine::eng_npc_query_a(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::queryA, false);
}

bool SimEngine::eng_npc_query_b(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::queryB, false);
}

int SimEngine::eng_npc_loot_block(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::lootBlock, 0);
}

zSTRING SimEngine::eng_npc_name(const oCNpc* npc) {
    Count(Op(__func__), npc);
    const SimNpc* sim = NpcOf(npc);
    return sim == nullptr ? zSTRING() : zSTRING(sim->name);
}

zCVob* SimEngine::eng_npc_focus_vob(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::focusVob, nullptr);
}

oCNpc* SimEngine::eng_npc_focus_npc(const oCNpc* npc) {
    Count(Op(__func__), npc);
    const SimNpc* sim = NpcOf(npc);
    return sim == nullptr ? nullptr : dynamic_cast<oCNpc*>(sim->focusVob);
}

zCVob* SimEngine::eng_npc_focus_object_field(const oCNpc* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpc::focusField, nullptr);
}

void SimEngine::eng_npc_set_focus(oCNpc* npc, zCVob* vob) {
    Count(Op(__func__), npc, vob);
    if (SimNpc* sim = NpcOf(npc)) {
        sim->focusVob = vob;
        sim->focusField = vob;
    }
}

void SimEngine::eng_npc_clear_focus(oCNpc* npc) {
    Count(Op(__func__), npc);
    if (SimNpc* sim = NpcOf(npc)) {
        sim->focusVob = nullptr;
        sim->focusField = nullptr;
    }
}

oCNpcInventory* SimEngine::eng_npc_inventory(const oCNpc* npc) {
    Count(Op(__func__), npc);
    auto* sim = const_cast<SimNpc*>(NpcOf(npc));
    return sim == nullptr ? nullptr : &sim->inventory;
}

zCModel* SimEngine::eng_npc_model(const oCNpc* npc) {
    Count(Op(__func__), npc);
    auto* sim = const_cast<SimNpc*>(NpcOf(npc));
    return sim == nullptr || !sim->hasModel ? nullptr : &sim->model;
}

void SimEngine::RequireModel(EngineOp op, const zCModel* model) {
    if (model == nullptr) {
        GameFault(std::string(kEngineOperations.at(op)) +
                  " was called on no model: the game would crash");
    }
}

void SimEngine::eng_npc_take_vob(oCNpc* npc, zCVob* vob) {
    Count(Op(__func__), npc, vob);
    SimNpc* receiver = NpcOf(npc);
    auto* item = dynamic_cast<SimItem*>(vob);
    if (receiver == nullptr || item == nullptr) {
        return;
    }
    RequireNoHolder(Op(__func__), *item);
    RemoveFromWorld(*item);
    Stow(*receiver, *item);
}

bool SimEngine::eng_npc_has_items_by_name(const oCNpc* npc, const zSTRING& instanceName,
                                          int amount) {
    Count(Op(__func__), npc, instanceName, amount);
    const SimNpc* sim = NpcOf(npc);
    if (sim == nullptr) {
        return false;
    }
    RequireUnpacked(Op(__func__), sim->inventory);
    int owned = 0;
    for (const oCItem* held : sim->inventory.entries.Objects()) {
        const SimItem* item = ItemOf(held);
        if (item != nullptr && SameInstance(item->vob.instanceName, instanceName.Text())) {
            owned += item->amount;
        }
    }
    return owned >= amount;
}

int SimEngine::eng_npc_ex_marker_1(const oCNpcEx* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpcEx::exMarkers, {}).at(0);
}

int SimEngine::eng_npc_ex_marker_2(const oCNpcEx* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpcEx::exMarkers, {}).at(1);
}

int SimEngine::eng_npc_ex_marker_3(const oCNpcEx* npc) {
    Count(Op(__func__), npc);
    return Read(npc, &SimNpcEx::exMarkers, {}).at(2);
}

bool SimEngine::eng_model_is_animation_active(const zCModel* model, const zSTRING& name) {
    Count(Op(__func__), model, name);
    RequireModel(Op(__func__), model);
    return std::any_of(
        model->activeAnimations.begin(), model->activeAnimations.end(),
        [&name](const std::string& active) { return SameInstance(active, name.Text()); });
}

zSTRING SimEngine::eng_model_first_active_animation_name(const zCModel* model) {
    Count(Op(__func__), model);
    RequireModel(Op(__func__), model);
    if (model->activeAnimations.empty()) {
        return zSTRING("");
    }
    return zSTRING(model->activeAnimations.front());
}

// ---- Items ----

int SimEngine::eng_item_amount(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::amount, 0);
}

int SimEngine::eng_item_instance(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::instanceIndex, -1);
}

std::uint32_t SimEngine::eng_item_category(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::mainCategory, 0);
}

std::uint32_t SimEngine::eng_item_flags(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::flags, 0);
}

bool SimEngine::eng_item_has_flag(const oCItem* item, std::uint32_t flag) {
    Count(Op(__func__), item, flag);
    const SimItem* sim = ItemOf(item);
    return sim != nullptr && (sim->flags & flag) != 0;
}

std::uint32_t SimEngine::eng_item_nb_quest_word(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::nbQuestWord, 0);
}

zSTRING SimEngine::eng_item_name(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::name, zSTRING());
}

zSTRING SimEngine::eng_item_text_field(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::textField, zSTRING());
}

zSTRING SimEngine::eng_item_display_name(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::displayName, zSTRING());
}

zSTRING SimEngine::eng_item_arrow_text(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::arrowText, zSTRING());
}

int SimEngine::eng_item_munition(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::munition, 0);
}

// The engine's ground check answers no for an item that hangs in a parent object, as what an
// NPC holds in its hand does.
bool SimEngine::eng_item_ground_check(const oCItem* item) {
    Count(Op(__func__), item);
    const SimItem* sim = ItemOf(item);
    return sim != nullptr && sim->groundCheck && sim->inHandOf == nullptr;
}

int SimEngine::eng_item_armor_word(const oCItem* item) {
    Count(Op(__func__), item);
    return Read(item, &SimItem::armorWord, 0);
}

// ---- Engine strings ----

bool SimEngine::eng_string_is_empty(const zSTRING& text) {
    Count(Op(__func__), text);
    return text.Length() == 0;
}

}  // namespace pilfern::sim
