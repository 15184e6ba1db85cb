#include "frame/frame_driver.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "autoloot/corpses.h"
#include "autoloot/ground_items.h"
#include "feedback/history_overlay.h"
#include "feedback/target_markers.h"
#include "frame/input.h"
#include "frame/text_hooks.h"
#include "host/engine_lists.h"
#include "looting/quick_loot.h"

namespace pilfern {
namespace {

constexpr std::uint32_t kQuietTimeAfterLoadMs = 5000;
constexpr std::uint32_t kWispSearchPeriodMs = 1500;
constexpr int kAutoLootGate = 1;
constexpr int kWispSearchGate = 3;
constexpr int kNoticeY = 400;
constexpr float kNoticeDisplayMs = 3000.0F;
// Body states in which the player cannot loot, tested in this order.
constexpr std::array<int, 6> kBlockingBodyStates{8, 6, 9, 10, 20, 14};
constexpr std::array<int, 2> kLateBlockingBodyStates{15, 16};
constexpr std::array<std::string_view, 2> kWispInstances{"WISP_DETECTOR", "UNION_WISP"};

// The body as the world's NPC list holds it; none when the list does not hold it.
oCNpc* FindInWorld(Engine& engine, const oCNpc* body) {
    oCNpc* found = nullptr;
    ForEachWorldNpc(engine, [&](oCNpc& npc) {
        if (&npc == body) {
            found = &npc;
        }
        return found != nullptr;
    });
    return found;
}

// Which body is the hero's own, learned from the game's own sequence and not from an
// instance name: a transformed hero shares his creature's name with every sheep of the
// world. The first body seen after the start or a load counts as his own. When the player
// moves into another body, the one he left stays his own as long as the world still holds
// it: a transformation leaves the hero's body standing where he cast it, and its end takes
// the creature's body out of the world. So a hero first seen in a creature's body (a game
// saved while transformed) is known in his own body again as soon as he turns back. The
// world is walked only in a frame whose player differs from the last frame's.
void NoteHeroBody(Instance& instance, const oCNpc& player) {
    if (&player == instance.lastPlayerBody) {
        return;
    }
    instance.lastPlayerBody = &player;
    if (instance.heroBody == nullptr ||
        (&player != instance.heroBody &&
         FindInWorld(instance.engine, instance.heroBody) == nullptr)) {
        instance.heroBody = &player;
    }
}

bool IsTransformed(const Instance& instance, const oCNpc& player) {
    return &player != instance.heroBody;
}

bool IsWisp(Engine& engine, const oCNpc& npc) {
    // Compared where the engine's text lies: the search runs over every NPC of the world and
    // must not copy a name per NPC.
    const zSTRING name = engine.eng_object_instance_name(&npc);
    if (!EqualsIgnoringCase(kWispInstances[0], name.Text()) &&
        !EqualsIgnoringCase(kWispInstances[1], name.Text())) {
        return false;
    }
    if (engine.eng_vob_home_world(&npc) == nullptr || engine.eng_vob_visual(&npc) == nullptr) {
        return false;
    }
    // A wisp still at the origin has not been placed yet.
    const zVEC3 position = engine.eng_vob_position(&npc);
    return position.x != 0.0F || position.y != 0.0F || position.z != 0.0F;
}

// A wisp in the world switches auto-loot off and says so on screen. True when one was found.
bool SwitchOffForWisp(Instance& instance) {
    Engine& engine = instance.engine;
    bool found = false;
    ForEachWorldNpc(engine, [&](const oCNpc& npc) {
        found = IsWisp(engine, npc);
        return found;
    });
    if (!found) {
        return false;
    }
    instance.autoLootActive = false;
    zCView* notice = instance.statics.noticeView;
    engine.eng_view_clear_text(notice);
    engine.eng_view_print_timed_cx(notice, kNoticeY, ToZString(instance.settings.wispText),
                                   kNoticeDisplayMs, engine.eng_color_make(255, 0, 0, 255));
    return true;
}

void DrawLootIcon(Instance& instance) {
    Engine& engine = instance.engine;
    zCView* icon = instance.statics.lootIconView;
    if (icon == nullptr) {
        return;
    }
    engine.eng_screen_insert(icon, 0);
    engine.eng_view_blit(icon);
    engine.eng_view_draw(icon);
    engine.eng_screen_remove(icon);
    const zVIEWPORT& viewport = instance.statics.screenViewport;
    engine.eng_renderer_set_viewport(viewport.x, viewport.y, viewport.width, viewport.height);
}

// Looks the NewBalance flag up until the script has it.
void CacheFullSyncFlag(Instance& instance) {
    if (!instance.settings.newBalanceMode || instance.fullSyncState != -1) {
        return;
    }
    Engine& engine = instance.engine;
    const zCPar_Symbol* symbol =
        engine.eng_script_find_symbol(engine.eng_script_parser(), zSTRING("ISFULLSNC"));
    if (symbol != nullptr) {
        instance.fullSyncState = engine.eng_script_symbol_int(symbol) == 1 ? 1 : -2;
    }
}

void RunAutoLootStep(Instance& instance, const oCNpc& player) {
    const PluginSettings& settings = instance.settings;
    instance.heroTransformed = IsTransformed(instance, player);
    if (instance.heroTransformed) {
        instance.heroOriginalBody = FindInWorld(instance.engine, instance.heroBody);
    }
    if (settings.allowPilfernGround) {
        AutoLootGroundItems(instance);
    }
    if (settings.allowPilfernNpc) {
        AutoLootCorpses(instance);
    }
    instance.heroOriginalBody = nullptr;
}

}  // namespace

void FrameUpdate(Instance& instance) {
    Engine& engine = instance.engine;
    const PluginSettings& settings = instance.settings;

    oCNpc* player = engine.eng_player();
    if (player == nullptr) {
        return;
    }
    NoteHeroBody(instance, *player);
    if (!engine.eng_dialog_is_over(engine.eng_dialog_manager())) {
        return;
    }
    if (engine.eng_game_paused(engine.eng_game())) {
        return;
    }
    // A transformed hero loots only when allowed, and then also in battle. Looting by key
    // reads the flag too, so it is noted in every frame that gets this far, not only on
    // auto-loot steps: a hero who has turned back must not loot as if still transformed.
    const bool transformed = IsTransformed(instance, *player);
    instance.heroTransformed = transformed;
    if (transformed && settings.allowQuickLootInTransform == 0) {
        return;
    }
    const bool battleRuleApplies = !transformed;
    if (battleRuleApplies && settings.allowQuickLootInBattle == 0 &&
        engine.eng_npc_in_battle(player)) {
        return;
    }
    if (engine.eng_npc_hitpoints(player) <= 0) {
        return;
    }
    if (engine.eng_inventory_is_open(engine.eng_npc_inventory(player))) {
        return;
    }

    if (HotKeyPressed(engine, settings.historyQuickLootBase, settings.historyQuickLootSecond)) {
        instance.historyVisible = !instance.historyVisible;
    }
    DrawLootMessages(instance);
    DrawLootHistory(instance);
    if (instance.autoLootActive) {
        DrawLootIcon(instance);
    }
    if (QuickLootDispatch(instance)) {
        return;
    }

    if (HotKeyPressed(engine, settings.autoLootEnabledBase, settings.autoLootEnabledSecond)) {
        instance.autoLootActive = !instance.autoLootActive;
    }
    if (!instance.autoLootActive) {
        return;
    }
    DrawTargetMarkers(instance);

    if (engine.eng_npc_interaction_a(player) != nullptr ||
        engine.eng_npc_interaction_b(player) != nullptr) {
        return;
    }
    if (engine.eng_npc_is_unconscious(player)) {
        return;
    }
    for (const int blocking : kBlockingBodyStates) {
        if (engine.eng_npc_body_state(player) == blocking) {
            return;
        }
    }
    // Elapsed time as an unsigned difference, right across the clock's wrap at 2^32 ms.
    const bool quietTimeOver =
        instance.framework.GetTime() - instance.loadTime > kQuietTimeAfterLoadMs;
    const int bodyState = engine.eng_npc_body_state(player);
    for (const int blocking : kLateBlockingBodyStates) {
        if (bodyState == blocking) {
            return;
        }
    }
    if (!quietTimeOver) {
        return;
    }
    if (!settings.allowPilfernGround && !settings.allowPilfernNpc) {
        return;
    }
    if (instance.pluginTimer[kWispSearchGate].Await(kWispSearchPeriodMs, false) &&
        SwitchOffForWisp(instance)) {
        return;
    }
    CacheFullSyncFlag(instance);
    if (!instance.pluginTimer[kAutoLootGate].Await(
            static_cast<std::uint32_t>(settings.autoLootInterval), false)) {
        return;
    }
    RunAutoLootStep(instance, *player);
}

}  // namespace pilfern
