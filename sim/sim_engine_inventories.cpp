// NPCs' inventories: their entries, the item list the engine prepares for a walk, Gothic I's
// category lists, and the packing a savegame load leaves them in.
//
// After a savegame load the engine keeps every NPC's inventory but the player's packed: the
// items the NPC does not wear are a text of instances and amounts, in none of the inventory's
// lists, until something unpacks them (oCNpcInventory::UnpackAllItems, which preparing an
// inventory is). Until then every list of the inventory lacks them and the inventory counts
// as empty when it wears nothing, so whoever reads an inventory without preparing it first
// misses everything a corpse carries after a load.

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "host/engine_profile.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// Brings a list to `wanted`, keeping the nodes of the objects it still holds: nodes the game
// keeps while the list only grows stay valid, as the game's do.
void KeepInStep(NodeList<oCItem>& list, const std::vector<oCItem*>& wanted) {
    for (oCItem* held : list.Objects()) {
        if (std::find(wanted.begin(), wanted.end(), held) == wanted.end()) {
            list.Remove(held);
        }
    }
    const std::vector<oCItem*> kept = list.Objects();
    if (kept.size() > wanted.size() || !std::equal(kept.begin(), kept.end(), wanted.begin())) {
        list.Clear();
    }
    for (std::size_t i = list.Objects().size(); i < wanted.size(); ++i) {
        list.Append(wanted[i]);
    }
}

// Sorts the inventory's entries into Gothic I's nine category lists, keeping the lists' nodes
// where it can.
void SortIntoCategoryLists(const oCNpcInventory& inventory) {
    std::array<std::vector<oCItem*>, 9> wanted;
    for (oCItem* held : inventory.entries.Objects()) {
        const auto* sim = dynamic_cast<const SimItem*>(held);
        wanted.at(GothicOneCategoryList(sim == nullptr ? 0 : sim->mainCategory)).push_back(held);
    }
    for (std::size_t list = 0; list < wanted.size(); ++list) {
        KeepInStep(inventory.categoryLists.at(list), wanted.at(list));
    }
}

bool GothicOne(const EngineProfile* profile) {
    return profile != nullptr && profile->gothicOneRules;
}

std::string EngineName(const EngineProfile* profile, int version) {
    return profile == nullptr ? "engine version " + std::to_string(version)
                              : std::string(profile->engineNamespace);
}

}  // namespace

// ---- Packing ----

void SimEngine::PackInventory(SimNpc& npc) {
    oCNpcInventory& inventory = npc.inventory;
    for (oCItem* held : inventory.entries.Objects()) {
        const auto* item = dynamic_cast<const SimItem*>(held);
        // What the NPC wears stays an item of its own: the NPC still wears it.
        if (item != nullptr && (item->flags & kItemFlagWorn) == 0) {
            inventory.entries.Remove(held);
            inventory.packedItems.Append(held);
        }
    }
    inventory.packed = true;
    // The loaded inventory has never been prepared for a walk.
    inventory.itemList.Clear();
}

void SimEngine::UnpackInventory(SimNpc& npc) {
    oCNpcInventory& inventory = npc.inventory;
    const std::vector<oCItem*> packed = inventory.packedItems.Objects();
    inventory.packedItems.Clear();
    inventory.packed = false;
    // Unpacked items join the inventory as any item does, stacking with a stack of their
    // instance it already holds.
    for (oCItem* held : packed) {
        if (auto* item = dynamic_cast<SimItem*>(held)) {
            Stow(npc, *item);
        }
    }
}

void SimEngine::PackInventoriesForLoad() {
    for (const auto& npc : npcs_) {
        // The player's inventory is never packed; nor is the hero's own body's while the
        // player is transformed: it is the hero's inventory the game gives back.
        if (npc.get() != player_ && npc.get() != ownBody_) {
            PackInventory(*npc);
        }
    }
}

void SimEngine::RequireUnpacked(EngineOp op, const oCNpcInventory& inventory) {
    if (inventory.packed && !inventory.packedItems.HoldsNone()) {
        const auto* owner = dynamic_cast<const SimNpc*>(inventory.owner);
        GameFault(std::string(kEngineOperations.at(op)) + " was called on the packed inventory" +
                  (owner == nullptr ? "" : " of " + owner->vob.id) +
                  ": what the game does with the items it keeps packed there is not modelled; "
                  "eng_inventory_prepare unpacks them first");
    }
}

// ---- The engine's operations ----

bool SimEngine::eng_inventory_is_open(const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    return inventory != nullptr && inventory->open;
}

void SimEngine::eng_inventory_prepare(oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    if (inventory == nullptr) {
        return;
    }
    if (auto* owner = dynamic_cast<SimNpc*>(inventory->owner); owner != nullptr) {
        UnpackInventory(*owner);
    }
    inventory->itemList.Clear();
    for (oCItem* item : inventory->entries.Objects()) {
        inventory->itemList.Append(item);
    }
}

const zCListSort<oCItem>* SimEngine::eng_inventory_entry_list(const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    if (inventory == nullptr) {
        return nullptr;
    }
    // Gothic I's inventory has no list of all its entries: where Gothic II keeps its one list,
    // Gothic I keeps the first of its nine category lists, the one of items of no category.
    if (GothicOne(FindEngineProfile(EngineVersion()))) {
        SortIntoCategoryLists(*inventory);
        return inventory->categoryLists.at(kNoCategoryList).First();
    }
    return inventory->entries.First();
}

const zCListSort<oCItem>* SimEngine::eng_inventory_item_list(const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    // Gothic I's container list of an NPC's inventory is the category its inventory screen
    // shows, which the simulated game does not model; an answer made up here would let plugin
    // code that walks it under Gothic I pass.
    const EngineProfile* profile = FindEngineProfile(EngineVersion());
    if (GothicOne(profile)) {
        GameFault(std::string(__func__) + ": an inventory of " +
                  EngineName(profile, EngineVersion()) +
                  " keeps its items in nine category lists (eng_inventory_category_lists); its "
                  "container list is the category its inventory screen shows, which is not "
                  "modelled");
    }
    return inventory == nullptr ? nullptr : inventory->itemList.First();
}

bool SimEngine::eng_inventory_is_empty(const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    // Packed items are in no list of the inventory: a packed inventory that wears nothing is
    // empty to the engine.
    return inventory == nullptr || inventory->entries.HoldsNone();
}

void SimEngine::eng_inventory_clear(oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    if (inventory != nullptr) {
        RequireUnpacked(Op(__func__), *inventory);
        for (oCItem* held : inventory->entries.Objects()) {
            if (auto* item = dynamic_cast<SimItem*>(held)) {
                TakeOff(*item);
            }
        }
        inventory->entries.Clear();
        inventory->itemList.Clear();
    }
}

std::array<const zCListSort<oCItem>*, 9> SimEngine::eng_inventory_category_lists(
    const oCNpcInventory* inventory) {
    Count(Op(__func__), inventory);
    // Only Gothic I's inventory keeps category lists; Gothic II's has one list. Lists made up
    // here would let plugin code that asks for them under Gothic II pass.
    const EngineProfile* profile = FindEngineProfile(EngineVersion());
    if (!GothicOne(profile)) {
        GameFault(std::string(__func__) + ": an inventory of " +
                  EngineName(profile, EngineVersion()) +
                  " has no category lists; only Gothic I keeps one list per category");
    }
    std::array<const zCListSort<oCItem>*, 9> firsts{};
    if (inventory == nullptr) {
        return firsts;
    }
    SortIntoCategoryLists(*inventory);
    for (std::size_t list = 0; list < firsts.size(); ++list) {
        firsts.at(list) = inventory->categoryLists.at(list).First();
    }
    return firsts;
}

}  // namespace pilfern::sim
