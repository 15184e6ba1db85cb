#include "looting/quick_loot.h"

#include <array>
#include <string_view>

#include "core/engine_cast.h"
#include "looting/chest_looting.h"
#include "looting/corpse_looting.h"
#include "looting/take_item.h"

namespace pilfern {
namespace {

constexpr int kMouseButtonRight = 525;
constexpr int kVobTypeItem = 129;
constexpr std::uint32_t kCategoryRanged = 0x4;
constexpr std::string_view kNpcArrowText = "PFEIL VON NSC";

// The animations in which the player may open a chest in passing: standing, walking or
// running, asked in this order.
constexpr std::array<std::string_view, 4> kChestAnimations{"S_RUN", "S_RUNL", "S_WALK", "S_WALKL"};

bool LootRequested(Instance& instance) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;
    zCInput* input = engine.eng_input();
    if (engine.eng_input_key_pressed(input, settings.keyLightQuickLoot)) {
        return true;
    }
    return settings.isRMBTakeAllow && (engine.eng_input_key_pressed(input, kMouseButtonRight) ||
                                       engine.eng_input_mouse_right_pressed(input));
}

bool InChestAnimation(Engine& engine, const oCNpc& player) {
    // A player whose model is not loaded plays no animation; asking no model would crash.
    const zCModel* model = engine.eng_npc_model(&player);
    if (model == nullptr) {
        return false;
    }
    for (const std::string_view animation : kChestAnimations) {
        if (engine.eng_model_is_animation_active(model, zSTRING(animation))) {
            return true;
        }
    }
    return false;
}

void LootFocusedItem(Instance& instance, const oCNpc& player) {
    Engine& engine = instance.engine;
    zCVob* focus = engine.eng_npc_focus_vob(&player);
    if (focus == nullptr || engine.eng_vob_type(focus) != kVobTypeItem) {
        return;
    }
    auto* item = static_cast<oCItem*>(EngineCast(engine, focus, EngineClass::oCItem));
    if (item == nullptr) {
        return;
    }
    const zSTRING arrowText = engine.eng_item_arrow_text(item);
    if (arrowText.HasBuffer() && IsNpcArrow(instance, engine.eng_item_instance(item),
                                            engine.eng_vob_flag_bits(item) & 0x3, arrowText)) {
        return;
    }
    TakeItem(instance, item, false);
}

void LootFocusedNpc(Instance& instance, const oCNpc& player) {
    oCNpc* npc = instance.engine.eng_npc_focus_npc(&player);
    if (npc == nullptr) {
        return;
    }
    LootCorpseOfEngine(instance, npc, false);
}

}  // namespace

bool QuickLootDispatch(Instance& instance) {
    Engine& engine = instance.engine;
    oCNpc* player = engine.eng_player();
    if (engine.eng_npc_loot_block(player) != 0 || !LootRequested(instance)) {
        return false;
    }
    // Chests open only in passing; the item and NPC below are looted in any animation.
    if (instance.settings.allowQuickLootChests != 0 && InChestAnimation(engine, *player)) {
        LootContainer(instance);
    }
    LootFocusedItem(instance, *player);
    LootFocusedNpc(instance, *player);
    return true;
}

bool IsNpcArrow(Instance& instance, int instanceIndex, int vobBits, const zSTRING& text) {
    Engine& engine = instance.engine;
    const oCNpc* player = engine.eng_player();
    const oCItem* weapon = engine.eng_npc_weapon_query_1(player);
    if (weapon == nullptr) {
        weapon = engine.eng_npc_weapon_query_2(player);
    }
    if (weapon == nullptr) {
        return false;
    }
    if ((engine.eng_item_category(weapon) & kCategoryRanged) == 0 &&
        engine.eng_item_munition(weapon) <= 0) {
        return false;
    }
    if (instanceIndex != engine.eng_item_munition(weapon) || vobBits == 0 || !text.HasBuffer()) {
        return false;
    }
    return ContainsIgnoringCase(text.Text(), kNpcArrowText);
}

}  // namespace pilfern
