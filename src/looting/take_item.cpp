#include "looting/take_item.h"

#include "config/item_lists.h"
#include "feedback/target_markers.h"
#include "looting/loot_text.h"

namespace pilfern {

oCNpc* LootReceiver(const Instance& instance, oCNpc& player) {
    return instance.heroTransformed ? instance.heroOriginalBody : &player;
}

void TakeItem(Instance& instance, oCItem* item, bool automatic) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    oCNpc* player = engine.eng_player();
    if (player == nullptr) {
        return;
    }
    const zCVob* focus = engine.eng_npc_focus_vob(player);
    const bool wasFocus = focus != nullptr && focus == item;
    if (item == nullptr) {
        return;
    }
    // Conjured weapons of NewBalance vanish with their spell; they are never looted.
    if (settings.newBalanceMode &&
        IsSummonedItemName(settings, ToCString(engine.eng_object_instance_name(item)))) {
        return;
    }
    if (engine.eng_item_instance(item) == -1 || engine.eng_item_amount(item) <= 0) {
        return;
    }
    const CStringA text = FormatLootText(engine, *item);
    const ItemCategory category = ClassifyEngineItem(instance, *item);
    // While the hero is transformed and the own body is unknown, nobody can take the item: it
    // stays where it lies, and the player is told of nothing.
    oCNpc* receiver = LootReceiver(instance, *player);
    if (receiver == nullptr) {
        return;
    }
    AddTargetMarker(instance, *item, automatic);
    engine.eng_npc_take_vob(receiver, item);
    if (wasFocus) {
        engine.eng_npc_clear_focus(player);
    }
    AddLootMessage(instance, category, text);
    AddHistoryRow(instance, category, PrefixLootText(settings, text, automatic), CStringA());
    if (wasFocus) {
        engine.eng_npc_refresh_focus(player, instance.profile.focusRefreshArgument);
    }
}

}  // namespace pilfern
