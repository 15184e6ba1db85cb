#include "frame/input.h"

#include "frame/hooks.h"

namespace pilfern {
namespace {

constexpr int kKeyEscape = 1;
constexpr unsigned short kFilteredKey = 11;  // "KEY_0"

}  // namespace

bool HotKeyPressed(Engine& engine, int baseKey, int secondKey) {
    zCInput* input = engine.eng_input();
    // The base key is asked even when it is 0, as the engine's own key query sees it.
    const bool baseHeld = engine.eng_input_key_pressed(input, baseKey);
    if (!baseHeld && baseKey != 0) {
        return false;
    }
    return engine.eng_input_key_toggled(input, secondKey);
}

void HandleEscapeForHistory(Instance& instance) {
    Engine& engine = instance.engine;
    oCNpc* player = engine.eng_player();
    if (player == nullptr || !engine.eng_npc_query_a(player) || engine.eng_npc_query_b(player) ||
        engine.eng_inventory_is_open(engine.eng_npc_inventory(player)) ||
        engine.eng_game_paused(engine.eng_game()) || engine.eng_npc_in_battle(player) ||
        !instance.historyVisible || engine.eng_ui_block_global() != 0) {
        return;
    }
    zCInput* input = engine.eng_input();
    if (!engine.eng_input_key_toggled(input, kKeyEscape)) {
        return;
    }
    instance.historyVisible = false;
    engine.eng_input_clear_key_buffer(input);
}

int SetState_Hook(Instance& instance, zCInput_Win32* input, unsigned short key, int state) {
    if (key == kFilteredKey) {
        return 0;
    }
    return OriginalOf<InputSetStateFn>(*instance.patches.setState)(input, key, state);
}

}  // namespace pilfern
