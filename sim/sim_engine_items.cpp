// Items as the game makes and moves them: item script instances, making items from them,
// stacks in inventories, worn items and weapons.
//
// Every item is in at most one place: on the ground, in one inventory or in one chest. The game's
// own operations do not check this: putting an item that is still somewhere into an inventory makes
// the game hold it twice. The simulated game stops there instead, naming the fault, so that plugin
// code which would duplicate items in the game fails here first.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

SimNpc* NpcOf(oCNpc* npc) {
    return dynamic_cast<SimNpc*>(npc);
}

SimItem* ItemOf(oCItem* item) {
    return dynamic_cast<SimItem*>(item);
}

// A stack of an instance in an inventory that more items of it join: one that is not worn.
SimItem* StackOf(const SimNpc& npc, const std::string& instanceName) {
    for (oCItem* held : npc.inventory.entries.Objects()) {
        auto* stack = dynamic_cast<SimItem*>(held);
        if (stack != nullptr && (stack->flags & kItemFlagWorn) == 0 &&
            stack->vob.instanceName == instanceName) {
            return stack;
        }
    }
    return nullptr;
}

void ReleaseWeapon(SimItem*& weapon, const SimItem& item) {
    if (weapon == &item) {
        weapon = nullptr;
    }
}

}  // namespace

// ---- Item script instances ----

ItemInstance& SimEngine::DefineItemInstance(std::string_view instanceName) {
    std::string name = SymbolName(instanceName);
    const auto found = itemInstances_.find(name);
    if (found != itemInstances_.end()) {
        return found->second;
    }
    InstanceIndex(name);  // every instance of the scripts has its number
    ItemInstance definition;
    definition.instanceName = name;
    return itemInstances_.emplace(std::move(name), std::move(definition)).first->second;
}

const ItemInstance* SimEngine::FindItemInstance(std::string_view instanceName) const {
    const auto found = itemInstances_.find(SymbolName(instanceName));
    return found == itemInstances_.end() ? nullptr : &found->second;
}

const ItemInstance* SimEngine::FindItemInstance(int instanceIndex) const {
    for (const auto& [name, index] : instanceIndices_) {
        if (index == instanceIndex) {
            return FindItemInstance(name);
        }
    }
    return nullptr;
}

bool SimEngine::NumberInstance(std::string_view instanceName, int index) {
    std::string name = SymbolName(instanceName);
    if (const auto own = instanceIndices_.find(name); own != instanceIndices_.end()) {
        return own->second == index;
    }
    if (std::any_of(instanceIndices_.begin(), instanceIndices_.end(),
                    [index](const auto& other) { return other.second == index; })) {
        return false;
    }
    instanceIndices_.emplace(std::move(name), index);
    return true;
}

SimItem& SimEngine::MakeItem(std::string id, std::string_view instanceName, int amount) {
    const ItemInstance* definition = FindItemInstance(instanceName);
    if (definition == nullptr) {
        GameFault("the game's scripts define no item instance " + SymbolName(instanceName) +
                  ", so no item of it can be made");
    }
    SimItem& item = CreateItem(std::move(id), definition->instanceName);
    item.vob.inWorld = false;
    item.instanceIndex = InstanceIndex(definition->instanceName);
    item.amount = amount;
    item.name = definition->name;
    item.textField = definition->text;
    item.displayName = definition->displayName;
    item.arrowText = definition->arrowText;
    item.mainCategory = definition->category;
    // The engine adds the main category bit to the flag word of every item it makes.
    item.flags = definition->flags | definition->category;
    item.nbQuestWord = definition->questWord;
    item.munition = definition->munition;
    item.armorWord = definition->armorWord;
    return item;
}

// ---- Where items are ----

// An item in a hand is in the world's item list too, but hangs in its NPC, not on the ground.
bool SimEngine::OnGround(const oCItem* item) const {
    const auto* sim = dynamic_cast<const SimItem*>(item);
    return sim != nullptr && sim->inHandOf == nullptr && worldItems_.Contains(item);
}

SimNpc* SimEngine::HolderOf(const oCItem* item) const {
    for (const auto& npc : npcs_) {
        if (item != nullptr &&
            (npc->inventory.entries.Contains(item) || npc->inventory.packedItems.Contains(item))) {
            return npc.get();
        }
    }
    return nullptr;
}

SimContainer* SimEngine::ChestHolding(const oCItem* item) const {
    for (const auto& chest : containers_) {
        if (item != nullptr && chest->items.Contains(item)) {
            return chest.get();
        }
    }
    return nullptr;
}

SimItem& SimEngine::Stow(SimNpc& npc, SimItem& item) {
    item.vob.inWorld = false;
    ForgetFocusOn(&item);
    // Stackable items of one instance share a stack; a worn item is one item of its own. An
    // item that joins a stack is freed by the game, its amount added to the stack's.
    if ((item.flags & (kItemFlagWorn | kItemFlagMulti)) == kItemFlagMulti) {
        if (SimItem* stack = StackOf(npc, item.vob.instanceName)) {
            stack->amount += item.amount;
            item.joinedStack = stack->vob.id;
            return *stack;
        }
    }
    npc.inventory.entries.Append(&item);
    return item;
}

SimItem& SimEngine::PutInInventory(SimNpc& npc, SimItem& item) {
    if (OnGround(&item)) {
        RemoveFromWorld(item);
    }
    if (SimContainer* chest = ChestHolding(&item)) {
        chest->items.Remove(&item);
    }
    TakeOutOfInventory(item);
    return Stow(npc, item);
}

void SimEngine::TakeOutOfInventory(SimItem& item) {
    if (SimNpc* holder = HolderOf(&item)) {
        TakeOff(item);
        holder->inventory.entries.Remove(&item);
        holder->inventory.packedItems.Remove(&item);
    }
}

void SimEngine::TakeOff(SimItem& item) {
    ReleaseFromHand(item);
    item.flags &= ~kItemFlagWorn;
    for (const auto& npc : npcs_) {
        ReleaseWeapon(npc->rangedWeapon, item);
    }
}

// ---- What NPCs hold in their hands ----

SimItem* SimEngine::InHand(const SimNpc& npc, Hand hand) {
    return hand == Hand::Right ? npc.drawnWeapon : npc.leftHand;
}

void SimEngine::Hold(SimNpc& npc, Hand hand, SimItem* item) {
    SimItem* holding = InHand(npc, hand);
    if (holding == item) {
        return;
    }
    if (holding != nullptr) {
        ReleaseFromHand(*holding);
    }
    if (item == nullptr) {
        return;
    }
    ReleaseFromHand(*item);
    (hand == Hand::Right ? npc.drawnWeapon : npc.leftHand) = item;
    item->inHandOf = &npc;
    item->flagsOfHand = (kItemFlagWorn | NotFocusableFlag()) & ~item->flags;
    item->flags |= item->flagsOfHand;
    item->vob.position = npc.vob.position;
    if (npc.vob.inWorld) {
        item->vob.inWorld = true;
        worldItems_.Append(item);
    }
}

void SimEngine::ReleaseFromHand(SimItem& item) {
    SimNpc* holder = item.inHandOf;
    if (holder == nullptr) {
        return;
    }
    ReleaseWeapon(holder->drawnWeapon, item);
    ReleaseWeapon(holder->leftHand, item);
    item.inHandOf = nullptr;
    // Put away, the item loses what the hand gave it; a weapon worn before stays worn, sheathed.
    item.flags &= ~item.flagsOfHand;
    item.flagsOfHand = 0;
    worldItems_.Remove(&item);
    item.vob.inWorld = false;
    ForgetFocusOn(&item);
}

void SimEngine::CarryHeldItems(const SimNpc& npc) {
    for (SimItem* held : {npc.drawnWeapon, npc.leftHand}) {
        if (held != nullptr) {
            held->vob.position = npc.vob.position;
        }
    }
}

void SimEngine::FreedItemFault(EngineOp op, const SimItem& item) {
    GameFault(std::string(kEngineOperations.at(op)) + " was called with the item " + item.vob.id +
              ", which joined the stack " + *item.joinedStack +
              " and was freed by the game: the call would use freed memory");
}

void SimEngine::RequireNoHolder(EngineOp op, const SimItem& item) const {
    if (item.inHandOf != nullptr) {
        GameFault(std::string(kEngineOperations.at(op)) + " was asked to put " + item.vob.id +
                  " into an inventory while " + item.inHandOf->vob.id +
                  " holds it in its hand: an item in someone's hand is no loot, and the game "
                  "would hold it twice");
    }
    if (const SimNpc* holder = HolderOf(&item)) {
        GameFault(std::string(kEngineOperations.at(op)) + " was asked to put " + item.vob.id +
                  " into an inventory while the inventory of " + holder->vob.id +
                  " holds it: the game would hold the item twice");
    }
    if (const SimContainer* chest = ChestHolding(&item)) {
        GameFault(std::string(kEngineOperations.at(op)) + " was asked to put " + item.vob.id +
                  " into an inventory while the chest " + chest->vob.id +
                  " holds it: the game would hold the item twice (eng_container_remove_item "
                  "takes it out first)");
    }
}

// ---- The engine's operations ----

oCItem* SimEngine::eng_npc_weapon_query_1(const oCNpc* npc) {
    Count(Op(__func__), npc);
    const auto* sim = dynamic_cast<const SimNpc*>(npc);
    return sim == nullptr ? nullptr : sim->drawnWeapon;
}

oCItem* SimEngine::eng_npc_weapon_query_2(const oCNpc* npc) {
    Count(Op(__func__), npc);
    const auto* sim = dynamic_cast<const SimNpc*>(npc);
    return sim == nullptr ? nullptr : sim->rangedWeapon;
}

void SimEngine::eng_npc_put_in_inventory(oCNpc* npc, oCItem* item) {
    Count(Op(__func__), npc, item);
    SimNpc* receiver = NpcOf(npc);
    SimItem* put = ItemOf(item);
    if (receiver == nullptr || put == nullptr) {
        return;
    }
    // The game puts the item into the inventory as it is: one still in a world stays there too.
    if (OnGround(put)) {
        GameFault(std::string(__func__) + " was asked to put " + put->vob.id +
                  ", which lies in the world, into the inventory of " + receiver->vob.id +
                  ": the game would hold the item twice (eng_npc_take_vob takes it from there)");
    }
    RequireNoHolder(Op(__func__), *put);
    Stow(*receiver, *put);
}

void SimEngine::eng_npc_create_items(oCNpc* npc, int instance, int amount) {
    Count(Op(__func__), npc, instance, amount);
    SimNpc* receiver = NpcOf(npc);
    if (receiver == nullptr) {
        return;
    }
    const ItemInstance* definition = FindItemInstance(instance);
    if (definition == nullptr) {
        const auto named =
            std::find_if(instanceIndices_.begin(), instanceIndices_.end(),
                         [instance](const auto& numbered) { return numbered.second == instance; });
        GameFault(std::string(__func__) + " was asked for items of instance " +
                  std::to_string(instance) +
                  (named == instanceIndices_.end() ? "" : " (" + named->first + ")") +
                  ", which the game's scripts do not define as an item");
    }
    if (amount <= 0) {
        return;
    }
    // Stackable items are made as one stack, which joins the NPC's stack of the instance;
    // others one by one, each an entry of its own.
    const bool stackable = (definition->flags & kItemFlagMulti) != 0;
    if (stackable) {
        if (SimItem* stack = StackOf(*receiver, definition->instanceName)) {
            stack->amount += amount;
            return;
        }
    }
    for (int made = 0; made < (stackable ? 1 : amount); ++made) {
        // A made item has no id in the scenario; the engine names it after its instance.
        const std::string id = definition->instanceName + " #" + std::to_string(++itemsMade_);
        receiver->inventory.entries.Append(
            &MakeItem(id, definition->instanceName, stackable ? amount : 1));
    }
}

void SimEngine::eng_npc_remove_items(oCNpc* npc, oCItem* item, int amount) {
    Count(Op(__func__), npc, item, amount);
    SimNpc* owner = NpcOf(npc);
    SimItem* stack = ItemOf(item);
    // The game removes only what the NPC's own inventory holds.
    if (owner == nullptr || stack == nullptr || amount <= 0 || HolderOf(stack) != owner) {
        return;
    }
    if (amount < stack->amount) {
        stack->amount -= amount;
        return;
    }
    TakeOutOfInventory(*stack);
}

void SimEngine::eng_npc_unequip(oCNpc* npc, oCItem* item) {
    Count(Op(__func__), npc, item);
    SimNpc* wearer = NpcOf(npc);
    SimItem* worn = ItemOf(item);
    if (wearer == nullptr || worn == nullptr || HolderOf(worn) != wearer) {
        return;
    }
    TakeOff(*worn);
}

}  // namespace pilfern::sim
