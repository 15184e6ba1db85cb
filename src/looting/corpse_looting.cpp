#include "looting/corpse_looting.h"

#include <string_view>

#include "core/engine_cast.h"
#include "feedback/target_markers.h"
#include "looting/loot_text.h"

namespace pilfern {
namespace {

constexpr std::uint32_t kFlagArmor = 0x10;
constexpr std::uint32_t kFlagWorn = 0x40000000;
constexpr std::uint32_t kCategoryArmor = 0x10;
constexpr int kBodyStateDead = 23;
constexpr std::string_view kDeathAnimationPart = "_Dead";

// How one corpse is looted: by whom, for whom, and what the walk over its items skips.
struct CorpseLoot {
    oCNpc* npc = nullptr;
    oCNpc* receiver = nullptr;
    oCNpc* secondReceiver = nullptr;  // the hero's own body under NewBalance's full sync
    const oCNpcEx* extended = nullptr;
    bool fullSync = false;
    bool automatic = false;
};

// A corpse's items go to the hero's own body while the hero is transformed, when that body is
// known, and to the player otherwise.
oCNpc* CorpseReceiver(const Instance& instance, oCNpc& player) {
    oCNpc* ownBody = instance.heroTransformed ? instance.heroOriginalBody : nullptr;
    return ownBody != nullptr ? ownBody : &player;
}

// Hands one item's copy to the receivers and records it. Under full sync the receiver looks
// at the corpse while it gets the copy, as the game's own looting has it, and looks back after.
void HandOver(Instance& instance, const CorpseLoot& loot, oCItem& item) {
    Engine& engine = instance.engine;
    bool switchFocus = false;
    oCNpc* remembered = nullptr;
    if (loot.fullSync && loot.extended != nullptr &&
        engine.eng_npc_ex_marker_3(loot.extended) == 0) {
        remembered = engine.eng_npc_focus_npc(loot.receiver);
        switchFocus = remembered == nullptr || remembered != loot.npc;
    }
    const ItemCategory category = ClassifyEngineItem(instance, item);
    const int itemInstance = engine.eng_item_instance(&item);
    const int amount = engine.eng_item_amount(&item);
    if (switchFocus) {
        engine.eng_npc_set_focus(loot.receiver, loot.npc);
    }
    engine.eng_npc_create_items(loot.receiver, itemInstance, amount);
    if (loot.secondReceiver != nullptr) {
        engine.eng_npc_create_items(loot.secondReceiver, itemInstance, amount);
    }
    instance.takenItems.push_back(&item);
    if (switchFocus) {
        if (remembered != nullptr) {
            engine.eng_npc_set_focus(loot.receiver, remembered);
        } else {
            engine.eng_npc_clear_focus(loot.receiver);
        }
    }
    const CStringA text = FormatLootText(engine, item);
    AddHistoryRow(instance, category, PrefixLootText(instance.settings, text, loot.automatic),
                  ToCString(engine.eng_npc_name(loot.npc)));
    AddLootMessage(instance, category, text);
}

// Takes the handed-over items, and only those, from the corpse, and marks it for auto-loot.
// The engine's clearing of an inventory would drop the worn items and the armour the walk
// left on purpose, so the corpse loses exactly what the receiver got, dead or unconscious.
void FinishCorpse(Instance& instance, const CorpseLoot& loot) {
    if (instance.takenItems.empty()) {
        return;
    }
    Engine& engine = instance.engine;
    for (oCItem* item : instance.takenItems) {
        engine.eng_npc_remove_items(loot.npc, item, engine.eng_item_amount(item));
    }
    instance.takenItems.clear();
    AddTargetMarker(instance, *loot.npc, loot.automatic);
}

template <class Visit>
bool ForEachListItem(Engine& engine, const zCListSort<oCItem>* node, Visit visit) {
    for (; node != nullptr; node = engine.eng_list_item_next(node)) {
        if (oCItem* item = engine.eng_list_item(node)) {
            if (visit(*item)) {
                return true;
            }
        }
    }
    return false;
}

// Corpse auto-loot's own measure of an item worth a corpse (Gothic II): one with a name, and
// armour only with an armour word and a flag word other than the bare armour flag.
bool WorthAutoLooting(Engine& engine, const oCItem& item) {
    if (engine.eng_item_category(&item) == kCategoryArmor &&
        (engine.eng_item_armor_word(&item) == 0 || engine.eng_item_flags(&item) == kFlagArmor)) {
        return false;
    }
    return !engine.eng_string_is_empty(engine.eng_item_name(&item));
}

bool AnyInventoryOpen(Engine& engine, const oCNpc& npc, const oCNpc& player) {
    return engine.eng_inventory_is_open(engine.eng_npc_inventory(&npc)) ||
           engine.eng_inventory_is_open(engine.eng_npc_inventory(&player));
}

}  // namespace

CorpseTakeRule CorpseTakeRuleOf(const Instance& instance) {
    if (instance.profile.gothicOneRules) {
        return {false, true};
    }
    return {instance.settings.showArmor, false};
}

bool GivesUp(Engine& engine, const oCItem& item, CorpseTakeRule rule) {
    if (!rule.takeArmor && engine.eng_item_has_flag(&item, kFlagArmor)) {
        return false;
    }
    if (engine.eng_item_has_flag(&item, kFlagWorn) &&
        !(rule.takesOffWornWeapons && engine.eng_item_category(&item) != kCategoryArmor)) {
        return false;
    }
    return engine.eng_item_amount(&item) > 0 && engine.eng_item_instance(&item) != -1;
}

bool ShowsDeathAnimation(Engine& engine, const oCNpc& npc) {
    // Compared where the engine's text lies: corpse auto-loot asks this every period.
    const zSTRING name = NpcAnimationName(engine, npc);
    return name.Text().empty() || ContainsIgnoringCase(name.Text(), kDeathAnimationPart);
}

bool LooterTakesOn(Instance& instance, const oCNpc& npc, const oCNpc& player) {
    Engine& engine = instance.engine;
    const bool noHitpoints = engine.eng_npc_hitpoints(&npc) <= 0;
    if (instance.profile.gothicOneRules) {
        const bool qualifies = noHitpoints ? engine.eng_npc_body_state(&npc) == kBodyStateDead
                                           : engine.eng_npc_is_unconscious(&npc);
        return qualifies && !AnyInventoryOpen(engine, npc, player);
    }
    const bool dead = noHitpoints && engine.eng_npc_is_dead(&npc);
    if (!dead && !engine.eng_npc_is_unconscious(&npc)) {
        return false;
    }
    if (AnyInventoryOpen(engine, npc, player)) {
        return false;
    }
    return !dead ||
           (engine.eng_npc_body_state(&npc) == kBodyStateDead && ShowsDeathAnimation(engine, npc));
}

bool HoldsSomethingToGiveUp(Instance& instance, const oCNpc& npc) {
    Engine& engine = instance.engine;
    const CorpseTakeRule rule = CorpseTakeRuleOf(instance);
    const bool gothicOne = instance.profile.gothicOneRules;
    const auto givenUp = [&engine, rule, gothicOne](const oCItem& item) {
        return GivesUp(engine, item, rule) && (gothicOne || WorthAutoLooting(engine, item));
    };
    oCNpcInventory* inventory = engine.eng_npc_inventory(&npc);
    engine.eng_inventory_prepare(inventory);
    if (!instance.profile.gothicOneRules) {
        return ForEachListItem(engine, engine.eng_inventory_item_list(inventory), givenUp);
    }
    for (const zCListSort<oCItem>* list : engine.eng_inventory_category_lists(inventory)) {
        if (ForEachListItem(engine, list, givenUp)) {
            return true;
        }
    }
    return false;
}

void LootCorpseOfEngine(Instance& instance, oCNpc* npc, bool automatic) {
    if (instance.profile.gothicOneRules) {
        LootCorpseGothicOne(instance, npc, automatic);
    } else {
        LootCorpse(instance, npc, !automatic, automatic);
    }
}

zSTRING NpcAnimationName(Engine& engine, const oCNpc& npc) {
    const zCModel* model = engine.eng_npc_model(&npc);
    if (model == nullptr) {
        return zSTRING("");
    }
    return engine.eng_model_first_active_animation_name(model);
}

void LootCorpse(Instance& instance, oCNpc* npc, bool requireItems, bool automatic) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    oCNpc* player = engine.eng_player();
    if (npc == nullptr || player == nullptr) {
        return;
    }
    if (!LooterTakesOn(instance, *npc, *player)) {
        return;
    }
    oCNpcInventory* inventory = engine.eng_npc_inventory(npc);
    engine.eng_inventory_prepare(inventory);
    if (requireItems && engine.eng_inventory_entry_list(inventory) == nullptr) {
        return;
    }
    CorpseLoot loot;
    loot.npc = npc;
    loot.automatic = automatic;
    if (settings.newBalanceMode) {
        loot.extended = ExtendedNpcOf(engine, *npc);
        if (loot.extended != nullptr && (engine.eng_npc_ex_marker_1(loot.extended) == 1 ||
                                         engine.eng_npc_ex_marker_2(loot.extended) == 1)) {
            return;
        }
    }
    loot.fullSync = automatic && settings.newBalanceMode && instance.fullSyncState == 1;
    loot.receiver = CorpseReceiver(instance, *player);
    if (instance.heroTransformed && loot.fullSync) {
        // Under full sync the transformed body takes the loot, and the own body a copy.
        loot.receiver = player;
        loot.secondReceiver = instance.heroOriginalBody;
    }
    instance.takenItems.clear();
    const CorpseTakeRule rule = CorpseTakeRuleOf(instance);
    ForEachListItem(engine, engine.eng_inventory_item_list(inventory), [&](oCItem& item) {
        if (GivesUp(engine, item, rule)) {
            HandOver(instance, loot, item);
        }
        return false;
    });
    FinishCorpse(instance, loot);
}

void LootCorpseGothicOne(Instance& instance, oCNpc* npc, bool automatic) {
    Engine& engine = instance.engine;
    oCNpc* player = engine.eng_player();
    if (npc == nullptr || player == nullptr) {
        return;
    }
    if (!LooterTakesOn(instance, *npc, *player)) {
        return;
    }
    oCNpcInventory* inventory = engine.eng_npc_inventory(npc);
    engine.eng_inventory_prepare(inventory);
    if (engine.eng_inventory_is_empty(inventory)) {
        return;
    }
    CorpseLoot loot;
    loot.npc = npc;
    loot.automatic = automatic;
    loot.receiver = CorpseReceiver(instance, *player);
    instance.takenItems.clear();
    // The weapons are taken off here, so the worn flag is asked again after: an item the
    // engine still counts as worn stays, and the hero never gets a copy of what the NPC keeps.
    const CorpseTakeRule rule{CorpseTakeRuleOf(instance).takeArmor, false};
    for (const zCListSort<oCItem>* list : engine.eng_inventory_category_lists(inventory)) {
        ForEachListItem(engine, list, [&](oCItem& item) {
            // A weapon the corpse still wears is taken off so that it can be taken; worn
            // armour stays on.
            if (engine.eng_item_has_flag(&item, kFlagWorn) &&
                engine.eng_item_category(&item) != kCategoryArmor) {
                engine.eng_npc_unequip(npc, &item);
            }
            if (GivesUp(engine, item, rule)) {
                HandOver(instance, loot, item);
            }
            return false;
        });
    }
    FinishCorpse(instance, loot);
}

}  // namespace pilfern
